#include "core/names/DigitAlign.h"

#include <algorithm>

#include "core/list/MyFileOperation.h"
#include "core/run/PlanLists.h"
#include "core/text/HTMLfunc.h"

namespace DigitAlign {
namespace {

// No trail byte of a double-byte character lies in 0x30-0x39, so bytes can be tested one by one.
constexpr std::string_view kDigits = "0123456789";

bool IsDigit(char c) {
    return kDigits.find(c) != std::string_view::npos;
}

struct Parts {
    std::string_view folder;  // with its "/"
    std::string_view base;
    std::string_view ext;
};

Parts PartsOf(std::string_view path) {
    const auto [folder, name] = MyFileOperation::SplitAtLastDelimiter(path);
    const std::size_t dot = name.rfind('.');
    const std::size_t cut = dot == std::string_view::npos ? name.size() : dot;
    return {folder, name.substr(0, cut), name.substr(cut)};
}

}  // namespace

Split SplitBase(std::string_view base) {
    Split split;
    if (base.empty()) return split;
    if (IsDigit(base.back())) {
        split.kind = Kind::Trailing;
        split.head = base.substr(0, HTMLfunc::StripTrailingDigits(base).size());
        split.run = base.substr(split.head.size());
        return split;
    }
    const std::size_t offset = base.find_first_of(kDigits);
    if (offset == std::string_view::npos) return split;
    const std::size_t after = std::min(base.find_first_not_of(kDigits, offset), base.size());
    split.kind = offset == 0 ? Kind::Leading : Kind::Inner;
    const std::size_t length = after - offset;
    split.head = base.substr(0, offset);
    split.run = base.substr(offset, length);
    split.tail = base.substr(offset + length);
    return split;
}

std::size_t Width(std::span<const std::string> paths) {
    std::size_t width = 0;
    for (const std::string& path : paths)
        width = std::max(width, SplitBase(PartsOf(path).base).run.size());
    return width;
}

Plan Preview(const std::vector<std::string>& paths) {
    return Preview(paths, Width(paths));
}

Plan Preview(std::span<const std::string> paths, std::size_t width) {
    Plan plan;
    plan.width = width;
    PlanLists::ReserveEach(paths.size(), plan.oldIndices, plan.oldPaths, plan.newPaths);
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const std::string& path = paths[i];
        const Parts parts = PartsOf(path);
        const Split split = SplitBase(parts.base);
        if (split.kind == Kind::None || split.run.size() == plan.width) continue;
        plan.oldIndices.push_back(i);
        plan.oldPaths.push_back(path);
        std::string& newPath = plan.newPaths.emplace_back();
        newPath.reserve(path.size() + plan.width - split.run.size());
        newPath.append(parts.folder).append(split.head);
        newPath.append(plan.width - split.run.size(), '0');
        newPath.append(split.run).append(split.tail).append(parts.ext);
    }
    return plan;
}

}  // namespace DigitAlign
