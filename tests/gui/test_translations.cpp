// The window in the user's language: under German no visible text is left in
// English, and LANGUAGE=en gives the English texts exactly, whatever LANG says.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <map>
#include <set>

#include "ScriptedUserPort.h"
#include "app/CProgrammerDlg.h"
#include "job/TextFormat.h"
#include "job/Translate.h"
#include "operations/SirenOperations.h"
#include "operations/UsbConnection.h"
#include "ui/CProgressWindow.h"
#include "ui/Translation.h"

using namespace zorvek;

namespace {

// Every text a person sees or hears read out in a fresh window, by where it is.
std::map<std::string, QString> visibleTexts(CProgrammerDlg& dlg) {
    std::map<std::string, QString> texts;
    int n = 0;
    auto add = [&](const QString& where, const QString& text) {
        if (!text.isEmpty()) texts[std::to_string(n++) + " " + where.toStdString()] = text;
    };
    add(QStringLiteral("title"), dlg.windowTitle());
    for (QWidget* w : dlg.findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&dlg) || w->inherits("QMenu")) continue;
        const QString where = w->objectName();
        if (auto* l = qobject_cast<QLabel*>(w)) add(where, l->text());
        if (auto* b = qobject_cast<QAbstractButton*>(w)) add(where, b->text());
        if (auto* g = qobject_cast<QGroupBox*>(w)) add(where, g->title());
        if (auto* c = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < c->count(); ++i) add(where + QStringLiteral(" item"), c->itemText(i));
        add(where + QStringLiteral(" tooltip"), w->toolTip());
        add(where + QStringLiteral(" name"), w->accessibleName());
        add(where + QStringLiteral(" description"), w->accessibleDescription());
    }
    std::function<void(QMenu*)> menu = [&](QMenu* m) {
        for (QAction* a : m->actions()) {
            if (a->isSeparator()) continue;
            add(QStringLiteral("menu item"), a->text());
            if (a->menu()) menu(a->menu());
        }
    };
    for (QAction* a : dlg.menuBar()->actions()) {
        add(QStringLiteral("menu"), a->text());
        if (a->menu()) menu(a->menu());
    }
    return texts;
}

bool hasLetters(const QString& text) {
    for (QChar c : text)
        if (c.isLetter()) return true;
    return false;
}

class TranslationTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        setenv("ZORVEK_ADAPTER", "simulator", 1);
        setenv("ZORVEK_SIMULATOR_FILE", (tmp.path() + "/siren.bin").toUtf8().constData(), 1);
        english = textsUnder("C", "");
    }
    void TearDown() override {
        for (const char* name : {"ZORVEK_ADAPTER", "ZORVEK_SIMULATOR_FILE", "LANGUAGE"}) unsetenv(name);
        setenv("LANG", "C.UTF-8", 1);
        installTranslations(QString());
    }
    std::map<std::string, QString> textsUnder(const char* lang, const char* language) {
        setenv("LANG", lang, 1);
        setenv("LANGUAGE", language, 1);
        unsetenv("LC_ALL");
        unsetenv("LC_MESSAGES");
        loaded = installTranslations(QString());
        MemorySettingsStore store;
        test::ScriptedUserPort port;
        CProgrammerDlg dlg(store, tmp.path().toStdString() + "/", &port);
        dlg.show();
        return visibleTexts(dlg);
    }

    QTemporaryDir tmp;
    QString loaded;
    std::map<std::string, QString> english;
};

}  // namespace

TEST_F(TranslationTest, GermanLeavesNoVisibleTextInEnglish) {
    const auto german = textsUnder("de_DE.UTF-8", "");
    ASSERT_EQ(loaded, QStringLiteral("de"));
    ASSERT_EQ(german.size(), english.size());
    // Words German shares with English.
    const std::set<QString> same = {QStringLiteral("Gas"), QStringLiteral("Ind. (DC)"), QStringLiteral("Ind. (AC)"),
                                    QStringLiteral("&Adapter..."),  QStringLiteral("6 MHz"),     QStringLiteral("10 MHz"),
                                    QStringLiteral("15 MHz"),       QStringLiteral("30 MHz")};
    std::vector<std::string> untranslated;
    for (const auto& [where, text] : german)
        if (hasLetters(text) && text == english.at(where) && !same.count(text))
            untranslated.push_back(where + ": " + text.toStdString());
    EXPECT_TRUE(untranslated.empty()) << ::testing::PrintToString(untranslated);
    EXPECT_EQ(Translated(kMsgTooBig), "Gewählte Dateien zu groß für den Flash-Baustein");
    // A format takes its numbers after translation.
    EXPECT_EQ(Format(kMsgTooBigDetail, 3, 1.5), "Meldung 3: 1.5 s zu lang");
}

TEST_F(TranslationTest, LanguageEnGivesTheEnglishTextsExactly) {
    const auto chosen = textsUnder("de_DE.UTF-8", "en");
    EXPECT_TRUE(loaded.isEmpty());
    EXPECT_EQ(chosen, english);
    // The described texts, byte for byte.
    for (const char* text : {"Zorvek USB Siren Programmer", "Chosen files too big for flash chip", "Complete...",
                             "Programming...", "Caution!", "Siren has NOT been programmed.", "&Program", "Verify"})
        EXPECT_EQ(Translated(text), text);
    EXPECT_EQ(english.at("0 title"), QStringLiteral("Zorvek USB Siren Programmer - Simulated Siren"));
    EXPECT_EQ(TranslatedLines(std::string(kMsgNoAdapter) + "\n/dev/x"), std::string(kMsgNoAdapter) + "\n/dev/x");
}

TEST_F(TranslationTest, MessagesAreTranslatedLineByLineAroundTheirDetails) {
    textsUnder("fr_FR.UTF-8", "");
    ASSERT_EQ(loaded, QStringLiteral("fr"));
    // A marked text of two lines, then a detail that stays as it is.
    EXPECT_EQ(TranslatedLines(std::string(kMsgNoAdapter) + "\n/dev/x"),
              "Aucun programmateur de sirène trouvé.\nVérifiez que l'adaptateur USB est branché et réessayez.\n/dev/x");
}
