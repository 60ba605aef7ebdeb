#include "ui/Translation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>

#include "job/Translate.h"

namespace zorvek {
namespace {

// Every text of the catalogues sits in one context: the core's texts are looked
// up without knowing where lupdate found them.
constexpr const char* kContext = "zorvek";

// The languages asked for, most wanted first, as Qt reads them (LANGUAGE, then the locale).
QStringList wantedLanguages() {
    QStringList wanted;
    for (const QString& part : qEnvironmentVariable("LANGUAGE").split(QLatin1Char(':'), Qt::SkipEmptyParts))
        wanted << part;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(name);
        if (value.isEmpty()) continue;
        wanted << value;
        break;  // the first one set decides, as for the C library
    }
    return wanted;
}

}  // namespace

QStringList translationFolders(const QString& programFolder) {
    const QDir here(programFolder);
    return {here.filePath(QStringLiteral("translations")),
            here.filePath(QStringLiteral("../share/zorvek-siren-programmer/translations")),
            QStringLiteral(ZORVEK_BUILD_TRANSLATIONS)};
}

QString installTranslations(const QString& programFolder) {
    static std::unique_ptr<QTranslator> ours;
    static std::unique_ptr<QTranslator> qts;
    // Called again (tests), the earlier choice is undone first.
    SetTextTranslator({});
    if (qts && QCoreApplication::instance()) QCoreApplication::removeTranslator(qts.get());
    qts.reset();
    ours.reset();
    for (QString wanted : wantedLanguages()) {
        wanted = wanted.section(QLatin1Char('.'), 0, 0).section(QLatin1Char('@'), 0, 0);  // de_DE.UTF-8 -> de_DE
        if (wanted == QLatin1String("C") || wanted == QLatin1String("POSIX")) return {};
        const QString language = wanted.section(QLatin1Char('_'), 0, 0);
        if (language == QLatin1String("en")) return {};
        auto translator = std::make_unique<QTranslator>();
        bool loaded = false;
        for (const QString& folder : translationFolders(programFolder))
            if (translator->load(QStringLiteral("zorvek_") + language, folder)) {
                loaded = true;
                break;
            }
        if (!loaded) continue;
        ours = std::move(translator);
        QTranslator* catalogue = ours.get();
        SetTextTranslator([catalogue](std::string_view english) -> std::optional<std::string> {
            const QString text =
                catalogue->translate(kContext, QByteArray(english.data(), static_cast<qsizetype>(english.size())));
            if (text.isEmpty()) return std::nullopt;
            return text.toStdString();
        });
        // Qt's own buttons and dialogs, where Debian's Qt catalogues are installed.
        if (QCoreApplication::instance()) {
            qts = std::make_unique<QTranslator>();
            if (qts->load(QStringLiteral("qtbase_") + language, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
                QCoreApplication::installTranslator(qts.get());
        }
        return language;
    }
    return {};
}

QString zt(const char* english) {
    return QString::fromStdString(Translated(english));
}

}  // namespace zorvek
