#include "core/list/RowOrder.h"

#include <algorithm>
#include <cassert>
#include <limits>
#include <numeric>

#include "core/list/PairList.h"
#include "core/names/PhotoDate.h"
#include "core/run/RunControl.h"
#include "core/text/Cp932.h"

namespace RowOrder {

std::optional<std::vector<std::size_t>> Order(const PairList& pairs, Key key, RunControl* control) {
    const std::vector<std::string>& names = pairs.OldPaths();
    std::vector<std::size_t> order(pairs.Size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    const auto byName = [&names](std::size_t a, std::size_t b) {
        return Cp932::LessNoCase(names[a], names[b]);
    };
    if (key == Key::kName) {
        std::stable_sort(order.begin(), order.end(), byName);
        return order;
    }

    assert(key != Key::kTaken || pairs.HasDatesTaken());
    std::vector<PhotoDate::Stamp> dates(pairs.Size(), PhotoDate::kNone);
    for (std::size_t i = 0; i < pairs.Size(); ++i) {
        if (key == Key::kTaken) dates[i] = pairs.DatesTaken()[i];
        if (dates[i] != PhotoDate::kNone) continue;
        if (StopAsked(control, i)) return std::nullopt;
        dates[i] = PhotoDate::ModifiedStamp(pairs.CurrentPath(i));
    }
    // No date sorts after every date.
    const auto late = [&dates](std::size_t i) {
        return dates[i] == PhotoDate::kNone ? std::numeric_limits<PhotoDate::Stamp>::max() : dates[i];
    };
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        if (late(a) != late(b)) return late(a) < late(b);
        return byName(a, b);
    });
    return order;
}

}  // namespace RowOrder
