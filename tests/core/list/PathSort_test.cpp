#include "core/list/PathSort.h"

#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <string>
#include <vector>

#include "core/text/Cp932.h"
#include "support/Text.h"

namespace {

using testsupport::Cp;

std::vector<std::string> Reference(std::vector<std::string> paths) {
    Cp932::SortNoCase(paths);
    return paths;
}

// Lists in the shape a folder listing gives (a folder's files together, then its subfolders')
// and in shapes it does not: every one must come out as the one sort order has it.
TEST(PathSort, SameOrderAsTheOneSortOnEveryShapeOfList) {
    const std::vector<std::vector<std::string>> lists = {
        {},
        {"/a/x.txt"},
        // Files of a folder around the files of its subfolder.
        {"/a/z.txt", "/a/b.txt", "/a/sub/c.txt", "/a/sub/A.txt", "/a/m.txt"},
        // Two folders whose names differ only in case: their files interleave.
        {"/r/Sub/a.txt", "/r/Sub/c.txt", "/r/sub/b.txt", "/r/sub/D.txt", "/r/Sub/B.txt"},
        // A folder name that is a prefix of another, and "-" sorting before "/".
        {"/r/a/2.txt", "/r/a/1.txt", "/r/a-b/1.txt", "/r/a.txt", "/r/ab/1.txt", "/r/A/0.txt"},
        // Duplicates (a folder and a file in it both loaded), paths without a folder.
        {"/d/x.txt", "/d/y.txt", "/d/x.txt", "x.txt", "X.txt", "x.txt"},
        // Double-byte names: full-width letters fold, kana do not, 0x5C and 0x2F-free trail bytes.
        {Cp("/写真/Ｂ.jpg"), Cp("/写真/ａ.jpg"), Cp("/写真/Ａ.jpg"), Cp("/写真/ソ.jpg"), Cp("/写真/ア.jpg"),
         Cp("/ﾊﾝｶｸ/ｱ.txt"), Cp("/写真/é.jpg"), Cp("/写真/É.jpg"), Cp("/ｼｬｼﾝ/a.txt")},
        // A lone lead byte at the end of a name.
        {"/l/a\x83", "/l/a\x83\x41", "/l/a", "/l/A\x83"},
    };
    for (const auto& list : lists) {
        std::vector<std::string> sorted = list;
        PathSort::SortPaths(sorted);
        EXPECT_EQ(sorted, Reference(list)) << (list.empty() ? "" : list.front());
    }

    // Random trees of few letters, so that names collide in every way; the last round is long
    // enough to be shared out between threads.
    std::mt19937 rng(11);
    const std::vector<std::string> pieces = {"a", "A",        "b",        "_",       "-",
                                             ".", "\x82\x60", "\x82\x81", "\x83\x41"};
    const auto piece = [&] { return pieces[rng() % pieces.size()]; };
    for (int round = 0; round < 21; ++round) {
        std::vector<std::string> list;
        for (int folder = 0; folder < (round < 20 ? 30 : 20000); ++folder) {
            std::string path = "/";
            for (int depth = static_cast<int>(rng() % 3); depth >= 0; --depth)
                path += piece() + piece() + "/";
            for (int file = static_cast<int>(rng() % 8); file >= 0; --file)
                list.push_back(path + piece() + piece());
        }
        std::vector<std::string> sorted = list;
        PathSort::SortPaths(sorted);
        ASSERT_EQ(sorted, Reference(list)) << "round " << round;
        // In order, in reverse (as tmpfs lists a folder), and in reverse but for one pair.
        const std::vector<std::string> reversed(sorted.rbegin(), sorted.rend());
        std::vector<std::string> almost = reversed;
        std::swap(almost[almost.size() / 2], almost[almost.size() / 2 + 1]);
        for (std::vector<std::string> shape : {sorted, reversed, almost}) {
            PathSort::SortPaths(shape);
            ASSERT_EQ(shape, sorted) << "round " << round;
        }
    }
}

}  // namespace
