#include "core/names/CaseConvert.h"

#include <cassert>

#include "core/list/MyFileOperation.h"
#include "core/run/PlanLists.h"
#include "core/text/Cp932.h"
#include "core/text/HenkanJ.h"
#include "core/text/Strfunc.h"

namespace CaseConvert {
namespace {

bool HalfWidthIsForbidden(std::string_view character) {
    const std::string half = HenkanJ::ToHalfWidth(character);
    return half.size() == 1 && !Strfunc::FindForbiddenChar(half).empty();
}

}  // namespace

int ConversionMode(int item, bool leaveExtensionOut, bool extensionOnly) {
    assert(item >= kUpper && item <= kHalfWidth);
    assert(!(leaveExtensionOut && extensionOnly) && "the page keeps the two options apart");
    if (item > kLower) return item;
    if (leaveExtensionOut) return item + 4;
    if (extensionOnly) return item + 6;
    return item;
}

std::string ToHalfWidthName(std::string_view text) {
    std::string result;
    result.reserve(text.size() * 2);
    std::size_t segment = 0;  // start of the text not yet converted
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = Cp932::CharLength(text, pos);
        if (length == 2 && HalfWidthIsForbidden(text.substr(pos, 2))) {
            result += HenkanJ::ToHalfWidth(text.substr(segment, pos - segment));
            result.append(text.substr(pos, 2));
            segment = pos + 2;
        }
        pos += length;
    }
    result += HenkanJ::ToHalfWidth(text.substr(segment));
    return result;
}

std::string ConvertName(std::string_view name, int mode) {
    const std::string ext = MyFileOperation::ExtensionOf(name);
    const std::string_view base = name.substr(0, name.size() - ext.size());
    switch (mode) {
        case kUpper:
            return Cp932::ToUpper(name);
        case kLower:
            return Cp932::ToLower(name);
        case kFullWidth:
            return HenkanJ::ToFullWidth(base) + ext;
        case kHalfWidth:
            return ToHalfWidthName(base) + ext;
        case kUpperBase:
            return Cp932::ToUpper(base) + ext;
        case kLowerBase:
            return Cp932::ToLower(base) + ext;
        case kUpperExt:
            return std::string(base) + Cp932::ToUpper(ext);
        case kLowerExt:
            return std::string(base) + Cp932::ToLower(ext);
        default:
            assert(false && "conversion mode out of range");
            return std::string(name);
    }
}

Plan PlanConversion(std::span<const std::string> paths, int mode) {
    Plan plan;
    PlanLists::ReserveEach(paths.size(), plan.oldIndices, plan.oldPaths, plan.newPaths);
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const std::string& path = paths[i];
        const auto [folder, name] = MyFileOperation::SplitAtLastDelimiter(path);
        std::string newName = ConvertName(name, mode);
        if (newName == name) continue;
        plan.oldIndices.push_back(i);
        plan.oldPaths.push_back(path);
        std::string& newPath = plan.newPaths.emplace_back();
        newPath.reserve(folder.size() + newName.size());
        newPath.append(folder).append(newName);
    }
    return plan;
}

}  // namespace CaseConvert
