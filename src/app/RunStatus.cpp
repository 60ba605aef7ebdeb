#include "app/RunStatus.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>

#include "ui/Translation.h"

namespace zorvek {

RunStatus::RunStatus(QWidget* parent)
    : QWidget(parent), icon_(new QLabel(this)), text_(new QLabel(this)), adapter_(new QLabel(this)) {
    setObjectName(QStringLiteral("runStatus"));
    icon_->setObjectName(QStringLiteral("runStatusIcon"));
    text_->setObjectName(QStringLiteral("runStatusText"));
    text_->setTextFormat(Qt::PlainText);
    adapter_->setObjectName(QStringLiteral("runStatusAdapter"));
    adapter_->setTextFormat(Qt::PlainText);
    adapter_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(2, 0, 2, 0);
    row->addWidget(icon_);
    row->addWidget(text_, 1);
    row->addWidget(adapter_);
}

void RunStatus::show(const RunSummary& summary, const std::string& adapter) {
    tone_ = summary.tone;
    QStyle::StandardPixmap which = QStyle::SP_DialogApplyButton;
    if (summary.tone == RunSummary::Tone::Warning) which = QStyle::SP_MessageBoxWarning;
    if (summary.tone == RunSummary::Tone::Error) which = QStyle::SP_MessageBoxCritical;
    const int side = text_->fontMetrics().height();
    icon_->setPixmap(style()->standardIcon(which).pixmap(side, side));
    text_->setText(QString::fromStdString(summary.text));  // worded in the language by the core
    adapter_->setText(QString::fromStdString(adapter));
    adapter_->setToolTip(adapter.empty() ? QString() : zt("The adapter the run used"));
}

void RunStatus::clear() {
    tone_ = RunSummary::Tone::Success;
    icon_->clear();
    text_->clear();
    adapter_->clear();
}

QString RunStatus::adapterText() const {
    return adapter_->text();
}

QString RunStatus::text() const {
    return text_->text();
}

}  // namespace zorvek
