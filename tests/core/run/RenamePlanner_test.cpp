#include "core/run/RenamePlanner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/list/MyFileOperation.h"
#include "core/text/Cp932.h"

namespace {

using namespace RenamePlanner;
using ::testing::ElementsAre;

// Folders in memory: per folder whether it folds case, and each entry's name and what it holds.
class MemoryFolders : public Folders {
public:
    struct Entry {
        std::string name;
        std::string content;
    };
    struct Folder {
        bool folds = false;
        std::map<std::string, Entry> entries;  // by key: the name, folded where the folder folds
    };

    void AddFolder(const std::string& folder, bool folds) { folders_[folder].folds = folds; }
    // path's folder must have been added; content tells the files apart.
    void Put(const std::string& path, const std::string& content) {
        const auto [folder, name] = Split(path);
        Folder& f = folders_.at(folder);
        f.entries[Key(f, name)] = Entry{name, content};
    }
    // What stands at path, spelled as it stands.
    std::optional<Entry> At(const std::string& path) const {
        const auto [folder, name] = Split(path);
        const Folder& f = folders_.at(folder);
        const auto it = f.entries.find(Key(f, name));
        if (it == f.entries.end()) return std::nullopt;
        return it->second;
    }
    // Every path standing, spelled as it stands, with its content.
    std::map<std::string, std::string> All() const {
        std::map<std::string, std::string> all;
        for (const auto& [folder, f] : folders_) {
            for (const auto& [key, entry] : f.entries)
                all[folder + entry.name] = entry.content;
        }
        return all;
    }
    // A single rename without replace; false when the source is missing or the target taken by
    // another entry.
    bool Rename(const std::string& from, const std::string& to) {
        const auto [fromFolder, fromName] = Split(from);
        const auto [toFolder, toName] = Split(to);
        Folder& source = folders_.at(fromFolder);
        Folder& target = folders_.at(toFolder);
        const auto it = source.entries.find(Key(source, fromName));
        if (it == source.entries.end() || it->second.name != fromName) return false;
        const std::string toKey = Key(target, toName);
        const bool self = &source == &target && toKey == it->first;
        if (!self && target.entries.contains(toKey)) return false;
        Entry moved{toName, it->second.content};
        source.entries.erase(it);
        target.entries[toKey] = std::move(moved);
        return true;
    }

    bool FoldsCase(std::string_view folder) const override { return folders_.at(std::string(folder)).folds; }
    bool Holds(std::string_view folder, std::string_view name) const override {
        const Folder& f = folders_.at(std::string(folder));
        return f.entries.contains(Key(f, std::string(name)));
    }

private:
    static std::pair<std::string, std::string> Split(const std::string& path) {
        const auto parts = MyFileOperation::SplitAtLastDelimiter(path);
        return {std::string(parts.folder), std::string(parts.name)};
    }
    static std::string Key(const Folder& f, const std::string& name) {
        return f.folds ? Cp932::ToLower(name) : name;
    }
    std::map<std::string, Folder> folders_;
};

// Carries out the plan on the folders; the first step that is refused, as a text, or empty.
std::string Carry(const Plan& plan, const std::vector<std::string>& from, const std::vector<std::string>& to,
                  MemoryFolders& disk) {
    for (const Group& group : plan.groups) {
        for (std::size_t s = group.first; s < group.first + group.count; ++s) {
            const Step step = plan.steps[s];
            const bool cycle = group.temporary != kNoTemporary;
            if (step.move != Move::kDirect && !cycle) return "a temporary name outside a cycle";
            const std::string temporary = cycle ? plan.TemporaryOf(group, from) : std::string();
            const std::string& source = step.move == Move::kHome ? temporary : from[step.pair];
            const std::string& target = step.move == Move::kAside ? temporary : to[step.pair];
            if (!disk.Rename(source, target)) return source + " -> " + target;
        }
    }
    return {};
}

struct Expected {
    std::vector<bool> blocked;
    std::vector<bool> reordered;
};

// What must be plannable, by its definition: following the holders of the new names from a pair
// reaches a free name or comes back round to the pair, through files of the batch that move and
// are the first to be given the name they are to take.
std::vector<bool> BlockedByDefinition(const std::vector<std::string>& from,
                                      const std::vector<std::string>& to, const MemoryFolders& start) {
    const std::size_t n = from.size();
    // Keys of names as the folders compare them: the contents of files are their old paths.
    const auto key = [&](const std::string& path) -> std::optional<std::string> {
        const auto entry = start.At(path);
        return entry ? std::optional(entry->content) : std::nullopt;
    };
    std::map<std::string, std::size_t> sourceOf;  // old path as stored → pair
    for (std::size_t i = 0; i < n; ++i)
        sourceOf[from[i]] = i;
    const auto keeps = [&](std::size_t i) {
        const auto held = key(to[i]);
        return from[i] == to[i] || (held && *held == from[i]);
    };
    // The first pair given each new name, compared by a probe in a copy of the folders.
    std::vector<bool> firstClaim(n, false);
    {
        MemoryFolders probe;
        std::set<std::string> folders;
        for (const auto& [path, content] : start.All())
            folders.insert(std::string(MyFileOperation::SplitAtLastDelimiter(path).folder));
        for (const auto& path : to)
            folders.insert(std::string(MyFileOperation::SplitAtLastDelimiter(path).folder));
        for (const auto& f : folders)
            probe.AddFolder(f, start.FoldsCase(f));
        for (std::size_t i = 0; i < n; ++i) {
            if (keeps(i)) continue;
            if (probe.At(to[i])) continue;
            probe.Put(to[i], "");
            firstClaim[i] = true;
        }
    }
    std::vector<bool> blocked(n, false);
    for (std::size_t i = 0; i < n; ++i) {
        if (keeps(i)) continue;
        std::size_t cur = i;
        for (std::size_t hops = 0;; ++hops) {
            if (!firstClaim[cur] || hops > n) {
                blocked[i] = true;
                break;
            }
            const auto held = key(to[cur]);
            if (!held) break;  // free: a chain
            const auto holder = sourceOf.find(*held);
            if (holder == sourceOf.end() || keeps(holder->second)) {
                blocked[i] = true;
                break;
            }
            cur = holder->second;
            if (cur == i) break;  // round a cycle
        }
    }
    return blocked;
}

// The pairs list order renames: each tried once, first to last, when its new name is free then.
std::vector<bool> DoneInListOrder(const std::vector<std::string>& from, const std::vector<std::string>& to,
                                  MemoryFolders disk) {
    std::vector<bool> done(from.size());
    for (std::size_t i = 0; i < from.size(); ++i)
        done[i] = from[i] == to[i] || disk.Rename(from[i], to[i]);
    return done;
}

struct Case {
    MemoryFolders disk;
    std::vector<std::string> from;
    std::vector<std::string> to;
};

// A random folder of each kind: files of the batch given a shuffled set of the batch's own names
// (cycles of every length and, where a name is replaced, chains), some given names that are free,
// shared, held by files outside the batch, their own, or their own in another case.
Case Generate(std::mt19937& rng) {
    Case c;
    const auto pick = [&rng](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
    };
    for (const std::string folder : {"/exact/", "/fold/"}) {
        const bool folds = folder == "/fold/";
        c.disk.AddFolder(folder, folds);
        const std::size_t count = 1 + pick(14);
        std::vector<std::string> names;
        for (std::size_t k = 0; k < count; ++k)
            names.push_back((pick(3) == 0 ? "F" : "f") + std::to_string(k));
        const std::size_t outside = pick(4);
        for (std::size_t k = 0; k < outside; ++k)
            c.disk.Put(folder + "o" + std::to_string(k), folder + "o" + std::to_string(k));
        std::vector<std::string> targets = names;
        std::shuffle(targets.begin(), targets.end(), rng);
        for (std::size_t k = 0; k < count; ++k) {
            c.disk.Put(folder + names[k], folder + names[k]);
            switch (pick(12)) {
                case 0:
                    targets[k] = "o" + std::to_string(pick(4));  // held outside, or free
                    break;
                case 1:
                    targets[k] = "n" + std::to_string(pick(3));  // free, maybe shared
                    break;
                case 2:
                    targets[k] = Cp932::ToUpper(targets[k]);  // another case of a batch name
                    break;
                case 3:
                    targets[k] = pick(2) == 0 ? names[k] : Cp932::ToUpper(names[k]);
                    break;
                case 4:
                    targets[k] = ".quorbel-t-" + std::to_string(pick(2));  // where temporaries go
                    break;
                default:
                    break;
            }
        }
        // Interleave the folders' pairs in random order, so list order and folders mix.
        for (std::size_t k = 0; k < count; ++k) {
            const std::size_t at = pick(c.from.size() + 1);
            c.from.insert(c.from.begin() + static_cast<std::ptrdiff_t>(at), folder + names[k]);
            c.to.insert(c.to.begin() + static_cast<std::ptrdiff_t>(at), folder + targets[k]);
        }
    }
    return c;
}

TEST(RenamePlannerTest, PlansEveryPermutationSafely) {
    std::mt19937 rng(20240523);
    std::size_t cycles = 0;
    std::size_t blockedSeen = 0;
    std::size_t reorderedSeen = 0;
    for (int round = 0; round < 1500; ++round) {
        Case c = Generate(rng);
        SCOPED_TRACE("round " + std::to_string(round));
        const MemoryFolders start = c.disk;
        const Plan plan = MakePlan(c.from, c.to, c.disk, "t");
        const std::vector<bool> blocked = BlockedByDefinition(c.from, c.to, start);
        const std::vector<bool> inOrder = DoneInListOrder(c.from, c.to, start);

        ASSERT_EQ(plan.blocked.size(), c.from.size());
        std::size_t blockedCount = 0;
        std::size_t reorderedCount = 0;
        for (std::size_t i = 0; i < c.from.size(); ++i) {
            SCOPED_TRACE(c.from[i] + " -> " + c.to[i]);
            EXPECT_EQ(plan.blocked[i] != Blocked::kNo, blocked[i]);
            // The pairs needing an order are those list order leaves but the plan renames.
            EXPECT_EQ(plan.reordered[i], !blocked[i] && !inOrder[i]);
            blockedCount += blocked[i] ? 1 : 0;
            reorderedCount += plan.reordered[i] ? 1 : 0;
        }
        EXPECT_EQ(plan.blockedCount, blockedCount);
        EXPECT_EQ(plan.reorderedCount, reorderedCount);

        // Every step finds its source and a free name; every planned file ends at its new name with
        // its content, the others and the files outside stay, no temporary name is left.
        ASSERT_EQ(Carry(plan, c.from, c.to, c.disk), "");
        std::map<std::string, std::string> expected = start.All();
        for (std::size_t i = 0; i < c.from.size(); ++i) {
            if (blocked[i] || c.from[i] == c.to[i]) continue;
            expected.erase(c.from[i]);
        }
        for (std::size_t i = 0; i < c.from.size(); ++i) {
            if (blocked[i] || c.from[i] == c.to[i]) continue;
            expected[c.to[i]] = c.from[i];
        }
        EXPECT_EQ(c.disk.All(), expected);

        // One group per chain or cycle, each pair in one group, one temporary name for each.
        std::vector<int> moved(c.from.size());
        std::size_t asidesInPlan = 0;
        for (const Group& group : plan.groups) {
            std::size_t asides = 0;
            for (std::size_t s = group.first; s < group.first + group.count; ++s) {
                if (plan.steps[s].move != Move::kHome) ++moved[plan.steps[s].pair];
                asides += plan.steps[s].move == Move::kAside ? 1 : 0;
            }
            EXPECT_EQ(asides, group.temporary == kNoTemporary ? 0U : 1U);
            asidesInPlan += asides;
        }
        EXPECT_EQ(plan.cycleCount, asidesInPlan);
        cycles += asidesInPlan;
        for (std::size_t i = 0; i < c.from.size(); ++i)
            EXPECT_EQ(moved[i], blocked[i] || c.from[i] == c.to[i] ? 0 : 1) << c.from[i];
        blockedSeen += blockedCount;
        reorderedSeen += reorderedCount;
    }
    // The generator reaches every kind of case.
    EXPECT_GT(cycles, 300U);
    EXPECT_GT(blockedSeen, 300U);
    EXPECT_GT(reorderedSeen, 300U);
}

TEST(RenamePlannerTest, TellsWhyAPairCannotMove) {
    MemoryFolders disk;
    disk.AddFolder("/d/", false);
    for (const char* name : {"a", "b", "c", "d", "e", "f", "x", "k"})
        disk.Put(std::string("/d/") + name, name);
    // c's name is held outside, d waits for c, e and f are given one free name, k keeps its own.
    const std::vector<std::string> from = {"/d/c", "/d/d", "/d/e", "/d/f", "/d/a", "/d/k", "/d/b"};
    const std::vector<std::string> to = {"/d/x", "/d/c", "/d/y", "/d/y", "/d/k", "/d/k", "/d/a"};
    const Plan plan = MakePlan(from, to, disk, "t");
    EXPECT_THAT(plan.blocked, ElementsAre(Blocked::kTaken, Blocked::kBehind, Blocked::kNo, Blocked::kShared,
                                          Blocked::kTaken, Blocked::kNo, Blocked::kBehind));
    EXPECT_EQ(plan.takenCount, 2U);
    EXPECT_EQ(plan.blockedCount, 5U);
}

TEST(RenamePlannerTest, RunsChainsFromTheirFreeEndAndCyclesThroughOneFreeTemporary) {
    MemoryFolders disk;
    disk.AddFolder("/d/", false);
    for (const char* name : {"1", "2", "3", "p", "q", ".quorbel-run-0"})
        disk.Put(std::string("/d/") + name, name);
    // The shift 1→2→3→4 and the swap p↔q.
    const std::vector<std::string> from = {"/d/1", "/d/2", "/d/3", "/d/p", "/d/q"};
    const std::vector<std::string> to = {"/d/2", "/d/3", "/d/4", "/d/q", "/d/p"};
    const Plan plan = MakePlan(from, to, disk, "run");
    ASSERT_EQ(plan.groups.size(), 2U);
    const auto stepsOf = [&](const Group& g) {
        std::vector<std::pair<std::uint32_t, Move>> steps;
        for (std::size_t s = g.first; s < g.first + g.count; ++s)
            steps.emplace_back(plan.steps[s].pair, plan.steps[s].move);
        return steps;
    };
    using P = std::pair<std::uint32_t, Move>;
    EXPECT_THAT(stepsOf(plan.groups[0]),
                ElementsAre(P{2, Move::kDirect}, P{1, Move::kDirect}, P{0, Move::kDirect}));
    EXPECT_THAT(stepsOf(plan.groups[1]),
                ElementsAre(P{3, Move::kAside}, P{4, Move::kDirect}, P{3, Move::kHome}));
    // The folder holds the first temporary name already.
    EXPECT_EQ(plan.TemporaryOf(plan.groups[1], from), "/d/.quorbel-run-1");
    // List order renames 3→4 last, after 1 and 2 found their names held; the swap needs an order too.
    EXPECT_THAT(plan.reordered, ElementsAre(true, true, false, true, true));
}

}  // namespace
