#pragma once

#include <string>
#include <string_view>

#include "core/text/Cp932.h"

namespace testsupport {

// A UTF-8 text in the program's text model. Throws, and so fails the test, only when the codec has
// no stand-in left.
inline std::string Cp(std::string_view utf8) {
    return Cp932::FromUtf8(utf8).value();
}

}  // namespace testsupport
