#include "app/RunStatus.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>

namespace zorvek {

RunStatus::RunStatus(QWidget* parent) : QWidget(parent), icon_(new QLabel(this)), text_(new QLabel(this)) {
    setObjectName(QStringLiteral("runStatus"));
    icon_->setObjectName(QStringLiteral("runStatusIcon"));
    text_->setObjectName(QStringLiteral("runStatusText"));
    text_->setTextFormat(Qt::PlainText);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(2, 0, 2, 0);
    row->addWidget(icon_);
    row->addWidget(text_, 1);
}

void RunStatus::show(const RunSummary& summary) {
    tone_ = summary.tone;
    QStyle::StandardPixmap which = QStyle::SP_DialogApplyButton;
    if (summary.tone == RunSummary::Tone::Warning) which = QStyle::SP_MessageBoxWarning;
    if (summary.tone == RunSummary::Tone::Error) which = QStyle::SP_MessageBoxCritical;
    const int side = text_->fontMetrics().height();
    icon_->setPixmap(style()->standardIcon(which).pixmap(side, side));
    text_->setText(QString::fromStdString(summary.text));
}

void RunStatus::clear() {
    tone_ = RunSummary::Tone::Success;
    icon_->clear();
    text_->clear();
}

QString RunStatus::text() const {
    return text_->text();
}

}  // namespace zorvek
