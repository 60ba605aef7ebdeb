#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include "job/SettingsStore.h"
#include "ui/CProgressWindow.h"
#include "ui/QtUserPort.h"

using namespace zorvek;

TEST(QtUserPort, FiltersBecomeQtNameFilters) {
    EXPECT_EQ(qtNameFilters("WAV Files (*.wav)|*.wav|All Files (*.*)|*.*||"),
              QStringList({"WAV Files (*.wav)", "All Files (*)"}));
    EXPECT_EQ(qtNameFilters("HEX Files (*.hex)|*.hex;*.ihx||"), QStringList({"HEX Files (*.hex *.ihx)"}));
    EXPECT_EQ(qtNameFilters("Configuration|*.zfg||"), QStringList({"Configuration (*.zfg)"}));
    EXPECT_TRUE(qtNameFilters("").isEmpty());
    EXPECT_TRUE(qtNameFilters("Dangling|").isEmpty());
    EXPECT_EQ(qtNameFilters("A (*.a)|*.a||B (*.b)|*.b||"), QStringList({"A (*.a)"}));  // "||" ends the list
}

TEST(QtUserPort, FileDialogTakesFiltersExtensionFolderAndModes) {
    QTemporaryDir dir;
    FileDialogOptions dialog{
        "WAV Files (*.wav)|*.wav|All Files (*.*)|*.*||", "wav", "*.wav", dir.path().toStdString(), true, false};
    auto open = makeFileDialog(dialog, QFileDialog::AcceptOpen, nullptr);
    EXPECT_EQ(open->fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(open->defaultSuffix(), "wav");
    EXPECT_EQ(open->nameFilters(), QStringList({"WAV Files (*.wav)", "All Files (*)"}));
    EXPECT_EQ(open->directory().absolutePath(), QDir(dir.path()).absolutePath());

    dialog.overwritePrompt = true;
    auto save = makeFileDialog(dialog, QFileDialog::AcceptSave, nullptr);
    EXPECT_EQ(save->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_FALSE(save->testOption(QFileDialog::DontConfirmOverwrite));
    dialog.overwritePrompt = false;
    EXPECT_TRUE(
        makeFileDialog(dialog, QFileDialog::AcceptSave, nullptr)->testOption(QFileDialog::DontConfirmOverwrite));
}

TEST(QtUserPort, MessageBoxesCarryCaptionIconAndButtons) {
    QtUserPort port(nullptr, nullptr);
    QString seenTitle, seenText;
    QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons seenButtons;
    auto answer = [&](QMessageBox::StandardButton which) {
        QTimer::singleShot(0, [&, which] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            seenTitle = box->windowTitle();
            seenText = box->text();
            seenIcon = box->icon();
            seenButtons = box->standardButtons();
            box->button(which)->click();
        });
    };
    answer(QMessageBox::Yes);
    EXPECT_TRUE(port.AskYesNo("Erase the siren?", "Zorvek USB Siren Programmer", MessageIcon::Question));
    EXPECT_EQ(seenTitle, "Zorvek USB Siren Programmer");
    EXPECT_EQ(seenIcon, QMessageBox::Question);
    EXPECT_EQ(seenButtons, QMessageBox::Yes | QMessageBox::No);
    answer(QMessageBox::No);
    EXPECT_FALSE(port.AskYesNo("Again?", "Warning!", MessageIcon::Warning));
    answer(QMessageBox::Ok);
    port.ShowMessage("No file chosen", "Caution!", MessageIcon::Stop);
    EXPECT_EQ(seenText, "No file chosen");
    EXPECT_EQ(seenIcon, QMessageBox::Critical);
    EXPECT_EQ(seenButtons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

TEST(QtUserPort, ProgressAndWindowCallbacks) {
    MemorySettingsStore store;
    QWidget main;
    main.show();
    QtUserPort port(&main, &store);
    auto progress = port.MakeProgress("Complete...", false);
    auto* window = dynamic_cast<CProgressWindow*>(progress.get());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->caption(), "Complete...");
    EXPECT_TRUE(window->window()->isVisible());
    progress.reset();
    EXPECT_TRUE(store.Contains("Settings", "X"));

    int exchanges = 0;
    bool banner = false;
    port.exchangeToWindow();  // no callbacks: nothing happens
    port.setWindowCallbacks({[&] { ++exchanges; }, [&](bool v) { banner = v; }, nullptr});
    port.exchangeToWindow();
    port.ShowFirmwareBanner(true);
    port.ShowDip32ToneIndicator(true);
    EXPECT_EQ(exchanges, 1);
    EXPECT_TRUE(banner);
}

TEST(QtUserPort, MessagesCanBeAnsweredWhileTheWindowIsDisabled) {
    // An operation's popup disables the main window; its messages must still take a click.
    QWidget main;
    main.show();
    main.setEnabled(false);
    QtUserPort port(&main, nullptr);
    bool enabled = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        enabled = box->isEnabled();
        box->button(QMessageBox::Yes)->click();
        if (box->isVisible()) box->done(QMessageBox::No);
    });
    EXPECT_TRUE(port.AskYesNo("Verify failed. Retry?", "Zorvek USB Siren Programmer", MessageIcon::Stop));
    EXPECT_TRUE(enabled);
}
