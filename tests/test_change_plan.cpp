// Which sectors a content-aware write erases and which pages it programs.
#include <gtest/gtest.h>

#include <vector>

#include "operations/ChangePlan.h"

using namespace zorvek;

namespace {

// Two 16-byte sectors of 4-byte pages keep every case readable.
constexpr uint32_t kSector = 16, kPage = 4;

struct Case {
    const char* name;
    std::vector<uint8_t> current, wanted;
    std::vector<uint32_t> erase;
    std::vector<PageRun> runs;
    int32_t alreadyRight;
    std::vector<uint32_t> touched;
};

std::vector<uint8_t> Filled(size_t n, uint8_t v) {
    return std::vector<uint8_t>(n, v);
}

std::vector<uint8_t> With(std::vector<uint8_t> v, size_t at, uint8_t value) {
    v[at] = value;
    return v;
}

}  // namespace

TEST(ChangePlan, ErasesOnlyWhereABitMustRiseAndProgramsOnlyDifferingPages) {
    const auto image = [] {
        std::vector<uint8_t> v(32);
        for (size_t i = 0; i < v.size(); ++i) v[i] = static_cast<uint8_t>(0x10 + i);
        return v;
    }();
    const std::vector<Case> cases = {
        {"already holds it", image, image, {}, {}, 8, {}},
        {"blank siren: program every page, erase nothing", Filled(32, 0xFF), image, {}, {{0, 32}}, 0, {0, 1}},
        // 0x10 -> 0x00 only clears bits: a page program, no erase.
        {"a bit falls", image, With(image, 5, 0x00), {}, {{4, 4}}, 7, {0}},
        // 0x00 -> 0x15 needs bits raised: that sector is erased, all its non-blank pages written.
        {"a bit rises", With(image, 21, 0x00), image, {1}, {{16, 16}}, 4, {1}},
        {"erased pages that must stay blank are not programmed",
         With(Filled(32, 0x00), 0, 0x00),
         With(Filled(32, 0xFF), 17, 0x00),
         {0, 1},
         {{16, 4}},
         7,
         {0, 1}},
        // The image ends inside a page: that last page is a short one.
        {"short image", Filled(10, 0xFF), Filled(10, 0x01), {}, {{0, 10}}, 0, {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ChangePlan plan = PlanChanges(c.current.data(), c.wanted.data(), c.wanted.size(), kSector, kPage);
        EXPECT_EQ(plan.eraseSectors, c.erase);
        EXPECT_EQ(plan.programRuns, c.runs);
        EXPECT_EQ(plan.pagesAlreadyRight, c.alreadyRight);
        EXPECT_EQ(plan.touchedSectors, c.touched);
        EXPECT_EQ(plan.sectorsErased, static_cast<int32_t>(c.erase.size()));
        EXPECT_EQ(plan.Nothing(), c.erase.empty() && c.runs.empty());
        // Whatever the plan, carrying it out must leave the image.
        std::vector<uint8_t> flash = c.current;
        for (uint32_t s : plan.eraseSectors)
            for (uint32_t i = s * kSector; i < std::min<size_t>(flash.size(), (s + 1) * kSector); ++i) flash[i] = 0xFF;
        for (const PageRun& r : plan.programRuns)
            for (uint32_t i = r.address; i < r.address + r.length; ++i) flash[i] &= c.wanted[i];
        EXPECT_EQ(flash, c.wanted);
    }
}

TEST(ChangePlan, FullSectorsProgramEveryPageOfTheirsOnly) {
    const ChangePlan plan = PlanFullSectors({1}, 30, kSector, kPage);
    EXPECT_EQ(plan.eraseSectors, (std::vector<uint32_t>{1}));
    EXPECT_EQ(plan.programRuns, (std::vector<PageRun>{{16, 14}}));
    EXPECT_EQ(plan.pagesWritten, 4);
}
