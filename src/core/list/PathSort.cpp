#include "core/list/PathSort.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "core/platform/HelperThread.h"
#include "core/text/Cp932.h"

namespace PathSort {
namespace {

// Length of the folder part, delimiter included ("/" is never the second byte of a character,
// so the text after it starts a character).
std::size_t FolderLength(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? 0 : slash + 1;
}

bool InFolder(const std::string& path, const std::string& first, std::size_t folderLength) {
    return FolderLength(path) == folderLength && std::memcmp(path.data(), first.data(), folderLength) == 0;
}

// Cp932::CompareNoCase from start (a character boundary of both, the bytes before it equal),
// which folds only from the first character that differs: paths share long stretches.
bool LessFrom(std::string_view a, std::string_view b, std::size_t start) {
    const std::size_t common = std::min(a.size(), b.size());
    std::size_t i = start;
    while (i < common && a[i] == b[i]) {
        if (!Cp932::IsLeadByte(a[i])) {
            ++i;
        } else if (i + 1 < common && a[i + 1] == b[i + 1]) {
            i += 2;
        } else {
            break;
        }
    }
    // Most paths part at two ASCII characters that differ also when folded.
    if (i < common) {
        const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (x < 0x80 && y < 0x80 && lower(x) != lower(y)) return lower(x) < lower(y);
    }
    return Cp932::CompareNoCase(a.substr(i), b.substr(i)) < 0;
}

bool Less(const std::string& a, const std::string& b) {
    return LessFrom(a, b, 0);
}

using Iter = std::vector<std::string>::iterator;

Iter At(std::vector<std::string>& paths, std::size_t i) {
    return paths.begin() + static_cast<std::ptrdiff_t>(i);
}

// The bounds of the groups of consecutive paths of one folder: the first index of every group,
// then the size.
std::vector<std::size_t> FindGroups(const std::vector<std::string>& paths) {
    std::vector<std::size_t> bounds;
    for (std::size_t i = 0; i < paths.size();) {
        const std::size_t folder = FolderLength(paths[i]);
        std::size_t end = i + 1;
        while (end < paths.size() && InFolder(paths[end], paths[i], folder))
            ++end;
        bounds.push_back(i);
        i = end;
    }
    bounds.push_back(paths.size());
    return bounds;
}

// Sorts groups first..last-1 each on its own.
void SortGroups(std::vector<std::string>& paths, const std::vector<std::size_t>& bounds, std::size_t first,
                std::size_t last) {
    for (std::size_t g = first; g < last; ++g) {
        const std::size_t folder = FolderLength(paths[bounds[g]]);
        // A shared folder part orders nothing: compare from the names on.
        const auto less = [folder](const std::string& a, const std::string& b) {
            return LessFrom(a, b, folder);
        };
        const auto first = At(paths, bounds[g]);
        const auto last = At(paths, bounds[g + 1]);
        // A folder is often listed in order already, or in reverse (tmpfs lists the newest first, and
        // files are mostly made in the order of their names): a pass finds out.
        if (std::is_sorted(first, last, less)) continue;
        if (std::is_sorted(first, last,
                           [&less](const std::string& a, const std::string& b) { return less(b, a); })) {
            std::reverse(first, last);
            continue;
        }
        std::sort(first, last, less);
    }
}

// The groups are independent: a long list shares them out between this thread and one more,
// about half of the paths each.
void SortAllGroups(std::vector<std::string>& paths, const std::vector<std::size_t>& bounds) {
    constexpr std::size_t kWorthAThread = 50000;
    const std::size_t groups = bounds.size() - 1;
    if (paths.size() < kWorthAThread || groups < 2) {
        SortGroups(paths, bounds, 0, groups);
        return;
    }
    const auto half = static_cast<std::size_t>(
        std::upper_bound(bounds.begin(), bounds.end() - 1, paths.size() / 2) - bounds.begin());
    const std::size_t split = std::clamp<std::size_t>(half, 1, groups - 1);
    Platform::HelperThread other(
        [&paths, &bounds, split, groups] { SortGroups(paths, bounds, split, groups); });
    SortGroups(paths, bounds, 0, split);
    other.Join();
}

// Puts the groups in order of their first paths, and the bounds with them. The paths move in place,
// along the cycles of the permutation: a second list of a million paths would cost tens of MB.
void OrderGroups(std::vector<std::string>& paths, std::vector<std::size_t>& bounds) {
    const std::size_t groups = bounds.size() - 1;
    std::vector<std::size_t> order(groups);
    for (std::size_t g = 0; g < groups; ++g)
        order[g] = g;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t x, std::size_t y) { return Less(paths[bounds[x]], paths[bounds[y]]); });
    if (std::is_sorted(order.begin(), order.end())) return;
    std::vector<std::size_t> orderedBounds;
    orderedBounds.reserve(bounds.size());
    std::size_t at = 0;
    for (const std::size_t g : order) {
        orderedBounds.push_back(at);
        at += bounds[g + 1] - bounds[g];
    }
    orderedBounds.push_back(at);
    // The path that comes to position p.
    const auto source = [&](std::size_t p) {
        const auto k = static_cast<std::size_t>(
            std::upper_bound(orderedBounds.begin(), orderedBounds.end(), p) - orderedBounds.begin() - 1);
        return bounds[order[k]] + (p - orderedBounds[k]);
    };
    std::vector<bool> placed(paths.size());
    for (std::size_t first = 0; first < paths.size(); ++first) {
        if (placed[first]) continue;
        std::string held = std::move(paths[first]);
        std::size_t p = first;
        for (;;) {
            placed[p] = true;
            const std::size_t from = source(p);
            if (from == first) break;
            paths[p] = std::move(paths[from]);
            p = from;
        }
        paths[p] = std::move(held);
    }
    bounds = std::move(orderedBounds);
}

}  // namespace

void SortPaths(std::vector<std::string>& paths) {
    if (paths.size() < 2) return;
    std::vector<std::size_t> bounds = FindGroups(paths);
    SortAllGroups(paths, bounds);
    OrderGroups(paths, bounds);
    // Neighbouring groups merged pairwise, level by level; groups that do not overlap, as the
    // folders of a tree mostly do not, cost one comparison.
    while (bounds.size() > 2) {
        std::vector<std::size_t> next;
        next.reserve(bounds.size() / 2 + 2);
        std::size_t g = 0;
        for (; g + 2 < bounds.size(); g += 2) {
            const std::size_t mid = bounds[g + 1];
            if (Less(paths[mid], paths[mid - 1]))
                std::inplace_merge(At(paths, bounds[g]), At(paths, mid), At(paths, bounds[g + 2]), Less);
            next.push_back(bounds[g]);
        }
        if (g + 1 < bounds.size()) next.push_back(bounds[g]);
        if (next.back() != paths.size()) next.push_back(paths.size());
        bounds = std::move(next);
    }
}

}  // namespace PathSort
