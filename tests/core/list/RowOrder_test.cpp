#include "core/list/RowOrder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/list/PairList.h"
#include "core/names/PhotoDate.h"
#include "support/LocalTime.h"
#include "support/TempDir.h"
#include "support/Text.h"

namespace {

using RowOrder::Key;
using testsupport::Cp;

class RowOrderTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("TZ", "Asia/Tokyo", 1);
        tzset();
    }
    // A file modified at the given local time on 1 May 2024.
    std::string File(const std::string& name, int hour) {
        return Cp(dir.MakeFile(name, name, testsupport::LocalSeconds(2024, 5, 1, hour)));
    }
    // The names (after the folder) of the entries in the order given.
    std::vector<std::string> Sorted(const PairList& pairs, Key key) {
        const auto order = RowOrder::Order(pairs, key);
        EXPECT_TRUE(order);
        std::vector<std::string> names;
        for (const std::size_t i : order.value_or(std::vector<std::size_t>{}))
            names.push_back(pairs.OldPaths()[i].substr(Cp(dir.Path()).size() + 1));
        return names;
    }
    testsupport::TempDir dir;
};

TEST_F(RowOrderTest, EachKeyOrdersTiesByNameAndUndatedFilesLast) {
    PairList pairs;
    // In no order; "B" and "b.txt" differ in case only, and "a.txt" is listed twice.
    pairs.Load({File("c.txt", 9), File("B.txt", 10), File("a.txt", 10), File("d.txt", 8),
                Cp(dir / "gone.txt"), File("b.txt", 7), Cp(dir / "a.txt")});
    // Taken: d and B share one moment; c has no date taken but was modified at 9:00, before them.
    pairs.SetDatesTaken({PhotoDate::kNone, 20240501093000, 20240501110000, 20240501093000, PhotoDate::kNone,
                         20240501120000, 20240501110000});
    struct Case {
        Key key;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {Key::kName, {"a.txt", "a.txt", "B.txt", "b.txt", "c.txt", "d.txt", "gone.txt"}},
        {Key::kModified, {"b.txt", "d.txt", "c.txt", "a.txt", "a.txt", "B.txt", "gone.txt"}},
        {Key::kTaken, {"c.txt", "B.txt", "d.txt", "a.txt", "a.txt", "b.txt", "gone.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.key));
        EXPECT_EQ(Sorted(pairs, c.key), c.names);
    }
}

TEST_F(RowOrderTest, ARenamedFileIsLookedAtWhereItStandsNow) {
    PairList pairs;
    const std::string renamed = File("x.txt", 10);
    pairs.SetRun({Cp(dir / "a.txt"), File("b.txt", 11)}, {renamed, Cp(dir / "b.txt")}, {{}, {}});
    pairs.Record({.executed = true, .skipped = {}, .failed = {}, .untried = {}, .ids = {}, .unrecorded = {}},
                 RenameExecutor::Order::FirstToLast);
    EXPECT_EQ(Sorted(pairs, Key::kModified), (std::vector<std::string>{"a.txt", "b.txt"}));
}

}  // namespace
