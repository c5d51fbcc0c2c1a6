#pragma once

#include <QTest>
#include <memory>

#include "components/StringGridEx.h"

namespace testsupport {

// A grid of a fixed size, shown and exposed: for tests that paint it or give it input. Null when
// the window system did not show it.
inline std::unique_ptr<TStringGridEx> ShownGrid() {
    auto grid = std::make_unique<TStringGridEx>();
    grid->resize(420, 300);
    grid->show();
    if (!QTest::qWaitForWindowExposed(grid.get())) return nullptr;
    return grid;
}

}  // namespace testsupport
