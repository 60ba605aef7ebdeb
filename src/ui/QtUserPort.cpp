#include "ui/QtUserPort.h"

#include <QAbstractButton>
#include <QDir>
#include <QFontDatabase>
#include <QLabel>

#include "job/Translate.h"
#include "ui/CProgressWindow.h"
#include "ui/Translation.h"

namespace zorvek {
namespace {

QString patternsOf(const QString& raw) {
    QStringList patterns;
    for (QString p : raw.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        p = p.trimmed();
        if (p == QLatin1String("*.*")) p = QStringLiteral("*");
        if (!p.isEmpty()) patterns << p;
    }
    return patterns.join(QLatin1Char(' '));
}

bool hasWildcard(const std::string& name) {
    return name.find_first_of("*?") != std::string::npos;
}

}  // namespace

QStringList qtNameFilters(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList result;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts[i].trimmed();
        const QString patterns = patternsOf(parts[i + 1]);
        if (name.isEmpty() || patterns.isEmpty()) break;  // "||" ends the list
        // Qt reads the patterns from the last parentheses: replace the shown ones.
        const int open = name.lastIndexOf(QLatin1Char('('));
        if (open > 0 && name.endsWith(QLatin1Char(')'))) name = name.left(open).trimmed();
        result << QStringLiteral("%1 (%2)").arg(name, patterns);
    }
    return result;
}

QMessageBox::Icon qtIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Stop:
            return QMessageBox::Critical;
        case MessageIcon::Warning:
            return QMessageBox::Warning;
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

std::unique_ptr<QFileDialog> makeFileDialog(const FileDialogOptions& request, QFileDialog::AcceptMode mode,
                                            QWidget* parent) {
    auto dialog = std::make_unique<QFileDialog>(parent);
    dialog->setAcceptMode(mode);
    if (mode == QFileDialog::AcceptOpen)
        dialog->setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    else
        dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setOption(QFileDialog::DontConfirmOverwrite, !(mode == QFileDialog::AcceptSave && request.overwritePrompt));
    const QStringList filters = qtNameFilters(Translated(request.filter));
    if (!filters.isEmpty()) dialog->setNameFilters(filters);
    if (!request.defaultExtension.empty()) dialog->setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    if (!request.initialFolder.empty() && QDir(QString::fromStdString(request.initialFolder)).exists())
        dialog->setDirectory(QString::fromStdString(request.initialFolder));
    // A pattern such as "*.wav" as the initial name only restates the filter.
    if (!request.initialName.empty() && !hasWildcard(request.initialName))
        dialog->selectFile(QString::fromStdString(request.initialName));
    return dialog;
}

std::unique_ptr<QMessageBox> makeMessageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                                            bool yesNo, QWidget* parent) {
    // The core's texts arrive in English: each line is put in the user's language here.
    auto box = std::make_unique<QMessageBox>(qtIcon(icon), QString::fromStdString(Translated(caption)),
                                             QString::fromStdString(TranslatedLines(text)),
                                             yesNo ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok, parent);
    box->setTextFormat(Qt::PlainText);
    if (yesNo) {
        box->button(QMessageBox::Yes)->setText(zt("&Yes"));
        box->button(QMessageBox::No)->setText(zt("&No"));
    } else {
        box->button(QMessageBox::Ok)->setText(zt("OK"));
    }
    box->setDefaultButton(yesNo ? QMessageBox::Yes : QMessageBox::Ok);
    return box;
}

QtUserPort::QtUserPort(QWidget* parent, SettingsStore* store) : parent_(parent), store_(store) {}

void QtUserPort::ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon) {
    makeMessageBox(text, caption, icon, false, parent_)->exec();
}

void QtUserPort::ShowTable(const std::string& text, const std::string& caption, MessageIcon icon) {
    auto box = makeMessageBox(text, caption, icon, false, parent_);
    if (auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
        label->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    box->exec();
}

bool QtUserPort::AskYesNo(const std::string& text, const std::string& caption, MessageIcon icon) {
    return makeMessageBox(text, caption, icon, true, parent_)->exec() == QMessageBox::Yes;
}

std::optional<std::string> QtUserPort::runFileDialog(const FileDialogOptions& request, QFileDialog::AcceptMode mode) {
    auto dialog = makeFileDialog(request, mode, parent_);
    if (dialog->exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog->selectedFiles();
    if (chosen.isEmpty() || chosen.front().isEmpty()) return std::nullopt;
    return QDir::toNativeSeparators(chosen.front()).toStdString();
}

std::optional<std::string> QtUserPort::ChooseOpenFile(const FileDialogOptions& request) {
    return runFileDialog(request, QFileDialog::AcceptOpen);
}

std::optional<std::string> QtUserPort::ChooseSaveFile(const FileDialogOptions& request) {
    return runFileDialog(request, QFileDialog::AcceptSave);
}

void QtUserPort::exchangeToWindow() {
    if (callbacks_.exchangeToWindow) callbacks_.exchangeToWindow();
}

void QtUserPort::ShowFirmwareBanner(bool visible) {
    if (callbacks_.showFirmwareBanner) callbacks_.showFirmwareBanner(visible);
}

void QtUserPort::ShowDip32ToneIndicator(bool visible) {
    if (callbacks_.showDip32ToneIndicator) callbacks_.showDip32ToneIndicator(visible);
}

std::unique_ptr<ProgressPort> QtUserPort::MakeProgress(const std::string& title, bool smooth) {
    return std::make_unique<CProgressWindow>(parent_, title, smooth, store_);
}

}  // namespace zorvek
