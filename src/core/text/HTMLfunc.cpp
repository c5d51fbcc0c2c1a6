#include "core/text/HTMLfunc.h"

namespace HTMLfunc {

std::string StripTrailingDigits(std::string_view text) {
    const std::size_t lastOther = text.find_last_not_of("0123456789");
    if (lastOther == std::string_view::npos) return {};
    return std::string(text.substr(0, lastOther + 1));
}

}  // namespace HTMLfunc
