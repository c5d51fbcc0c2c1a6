#pragma once

// What the plans of the runs share about their lists.

#include <cstddef>

namespace PlanLists {

// Room in each list for count entries at once. A plan keeps at most one entry per listed file, and
// a list grown through doublings takes fresh memory at each step.
template <class... Lists>
void ReserveEach(std::size_t count, Lists&... lists) {
    (lists.reserve(count), ...);
}

}  // namespace PlanLists
