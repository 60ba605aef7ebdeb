#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "job/Settings.h"
#include "ui/QtSettingsStore.h"

using namespace zorvek;

TEST(QtSettingsStore, RoundTripThroughIniFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.filePath("store.conf").toStdString();
    JobState job;
    job.slot(7).wavPath = "/home/eng/Message one.wav";
    job.slot(1).toneIndex = 64;
    job.slot(7).volumeIndex = 8;
    job.usage = IndustrialAc;
    job.verify = 1;
    job.configFolder = "/home/eng/jobs/";
    {
        auto store = QtSettingsStore::AtFile(path);
        saveAllSettings(job, *store);
    }
    auto store = QtSettingsStore::AtFile(path);
    JobState back;
    loadSettings(back, *store);
    EXPECT_EQ(back.slot(7).wavPath, job.slot(7).wavPath);
    EXPECT_EQ(back.slot(1).toneIndex, 64);
    EXPECT_EQ(back.slot(7).volumeIndex, 8);
    EXPECT_EQ(back.usage, IndustrialAc);
    EXPECT_EQ(back.verify, 1);
    EXPECT_EQ(back.configFolder, "/home/eng/jobs/");
    EXPECT_EQ(back.slot(2).wavPath, "");
    // Empty texts are stored as empty strings.
    EXPECT_EQ(store->ReadText("Settings", "WAV2 Location", "missing"), "");
}

TEST(QtSettingsStore, UnreadableValuesReadAsDefault) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("bad.conf").toStdString();
    {
        auto store = QtSettingsStore::AtFile(path);
        store->WriteText("Settings", "Tone 1", "seven");
        store->WriteText("Settings", "Vol 1", "99999999999");
        store->WriteInt("Settings", "X", -1);
    }
    auto store = QtSettingsStore::AtFile(path);
    EXPECT_EQ(store->ReadInt("Settings", "Tone 1", 3), 3);
    EXPECT_EQ(store->ReadInt("Settings", "Vol 1", 0), 0);
    EXPECT_EQ(store->ReadInt("Settings", "X", 5), -1);
    EXPECT_EQ(store->ReadInt("Settings", "Missing", 42), 42);
}

TEST(QtSettingsStore, ProgramNameIsFileNameWithoutExtension) {
    EXPECT_EQ(programNameFromPath("/usr/bin/zorvek-programmer"), "zorvek-programmer");
    EXPECT_EQ(programNameFromPath("C/Tools/Prog.exe"), "Prog");
}
