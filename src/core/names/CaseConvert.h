#pragma once

// New file names of the case and width conversion run: the conversion mode chosen on the page and
// the name each mode gives. Pure functions over code page 932 texts.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace CaseConvert {

// Conversion modes: the item of the conversion menu, moved to the base (4, 5) or to the
// extension (6, 7) for the two case items.
enum Mode : int {
    kUpper = 0,      // upper-case(name)
    kLower = 1,      // lower-case(name)
    kFullWidth = 2,  // full width(base) + ext
    kHalfWidth = 3,  // half width(base) + ext
    kUpperBase = 4,  // upper-case(base) + ext
    kLowerBase = 5,  // lower-case(base) + ext
    kUpperExt = 6,   // base + upper-case(ext)
    kLowerExt = 7,   // base + lower-case(ext)
};

// item: 0 upper, 1 lower, 2 full width, 3 half width. The two extension options count for the case
// items only and exclude each other.
int ConversionMode(int item, bool leaveExtensionOut, bool extensionOnly);

// The new file name for a file name (no folder) under a mode; base is the name without its
// extension, ext the extension from the last "." on.
std::string ConvertName(std::string_view name, int mode);

// Half width for a file name: as HenkanJ::ToHalfWidth, except that a full-width character whose
// half-width form may not stand in a name (／ ￥ ： ＊ ？ ” ＜ ＞ ｜) stays as it is, so a name
// never turns into a path or a forbidden name.
std::string ToHalfWidthName(std::string_view text);

// The files a mode renames, in list order: each old full path with its new one in the same folder.
// Files whose name the mode leaves exactly as it is are not in the plan.
struct Plan {
    std::vector<std::size_t> oldIndices;  // of each planned file in the list given
    std::vector<std::string> oldPaths;
    std::vector<std::string> newPaths;
};
Plan PlanConversion(std::span<const std::string> paths, int mode);
inline Plan PlanConversion(const std::vector<std::string>& paths, int mode) {
    return PlanConversion(std::span<const std::string>(paths), mode);
}

}  // namespace CaseConvert
