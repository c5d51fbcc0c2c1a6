#include "core/names/StringRename.h"

#include <cassert>
#include <utility>

#include "core/list/MyFileOperation.h"
#include "core/run/PlanLists.h"
#include "core/text/LightStr.h"
#include "core/text/Strfunc.h"

namespace StringRename {

Check CheckInputs(std::string_view target, std::string_view replacement) {
    // Neither "*" nor "?" is ever the second byte of a double-byte character: plain finds do.
    const bool hasStar = target.find('*') != std::string_view::npos;
    const bool hasQuestion = target.find('?') != std::string_view::npos;
    if (target.empty()) return {Refusal::EmptyTarget, {}};
    if (target == "*") return {Refusal::StarAlone, {}};
    if (target == "?") return {Refusal::QuestionAlone, {}};
    if (hasStar && hasQuestion) return {Refusal::StarAndQuestion, {}};
    if (hasStar && LightStr::StrAfter(target, "*", false).find('*') != std::string::npos) {
        return {Refusal::SeveralStars, {}};
    }
    if (std::string forbidden = Strfunc::FindForbiddenChar(replacement); !forbidden.empty()) {
        return {Refusal::ForbiddenInReplacement, std::move(forbidden)};
    }
    return {};
}

Preview PreviewRenames(std::span<const std::string> oldPaths, std::string_view target,
                       std::string_view replacement, const Options& options) {
    Preview preview;
    PlanLists::ReserveEach(oldPaths.size(), preview.oldIndices, preview.newPaths);
    const Strfunc::WildcardReplacer replace(target, replacement, !options.caseSensitive);
    for (std::size_t i = 0; i < oldPaths.size(); ++i) {
        // A listed path is a full path, so its folder part already ends in the delimiter.
        const auto [folder, fileName] = MyFileOperation::SplitAtLastDelimiter(oldPaths[i]);
        const std::string name =
            options.includeExtension ? std::string(fileName) : MyFileOperation::NameWithoutExt(fileName);
        const std::string_view ext = fileName.substr(name.size());
        const std::string replaced = replace(name);
        if (replaced.empty() || replaced == name) continue;
        std::string newPath;
        newPath.reserve(folder.size() + replaced.size() + ext.size());
        newPath.append(folder).append(replaced).append(ext);
        preview.oldIndices.push_back(i);
        preview.newPaths.push_back(std::move(newPath));
    }
    return preview;
}

std::vector<std::string> PickEntries(const std::vector<std::string>& list,
                                     const std::vector<std::size_t>& indices) {
    std::vector<std::string> picked;
    picked.reserve(indices.size());
    for (const std::size_t index : indices) {
        assert(index < list.size());
        picked.push_back(list[index]);
    }
    return picked;
}

}  // namespace StringRename
