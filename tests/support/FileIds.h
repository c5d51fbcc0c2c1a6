#pragma once

// The two things the run journal's tests ask of a path: its code page 932 text, as the executors
// take it, and who stands there, as the run's record names a file.

#include <gtest/gtest.h>

#include <string>

#include "core/platform/FileSystem.h"
#include "core/text/Cp932.h"

namespace testsupport {

inline std::string Cp(const std::string& native) {
    return Cp932::FromUtf8(native).value();
}

inline Platform::EntryId IdOf(const std::string& path) {
    const auto look = Platform::LookAt(path);
    EXPECT_TRUE(look) << path;
    return look ? look->id : Platform::EntryId{};
}

}  // namespace testsupport
