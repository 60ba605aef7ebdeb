// File > Recent Jobs as the settings keep it.
#include <gtest/gtest.h>

#include <algorithm>

#include "TestFiles.h"
#include "WavTestSupport.h"
#include "job/RecentJobs.h"

using namespace zorvek;

TEST(RecentJobs, NewestFirstOnceAtMostEightAndMissingFilesRemovable) {
    test::ScratchFolder dir;
    MemorySettingsStore store;
    for (int i = 1; i <= 10; ++i) {
        const std::string path = dir.file("job" + std::to_string(i) + ".zfg");
        if (i % 2 == 0) test::WriteBytes(path, {'x'});
        RememberRecentJob(store, path);
    }
    RememberRecentJob(store, dir.file("job4.zfg"));  // used again: first, and once
    std::vector<std::string> jobs = ReadRecentJobs(store);
    ASSERT_EQ(jobs.size(), kRecentJobsKept);
    EXPECT_EQ(jobs.front(), dir.file("job4.zfg"));
    EXPECT_EQ(jobs[1], dir.file("job10.zfg"));
    EXPECT_EQ(std::count(jobs.begin(), jobs.end(), dir.file("job4.zfg")), 1);
    EXPECT_EQ(std::find(jobs.begin(), jobs.end(), dir.file("job2.zfg")), jobs.end());  // the oldest fell off

    ForgetRecentJob(store, "");  // the files that are gone
    jobs = ReadRecentJobs(store);
    EXPECT_EQ(jobs, (std::vector<std::string>{dir.file("job4.zfg"), dir.file("job10.zfg"), dir.file("job8.zfg"),
                                              dir.file("job6.zfg")}));
    ForgetRecentJob(store, dir.file("job10.zfg"));
    EXPECT_EQ(ReadRecentJobs(store).size(), 3u);
    ClearRecentJobs(store);
    EXPECT_TRUE(ReadRecentJobs(store).empty());
}
