#include "core/list/PackedPaths.h"

#include <unordered_map>
#include <utility>

#include "core/list/MyFileOperation.h"

PackedPaths::PackedPaths(std::vector<std::string>&& paths) {
    std::size_t nameBytes = 0;
    for (const std::string& path : paths)
        nameBytes += MyFileOperation::SplitAtLastDelimiter(path).name.size();
    names_.reserve(nameBytes);
    folderOf_.reserve(paths.size());
    nameEnds_.reserve(paths.size());
    // A list mostly runs folder by folder; a sorted one may come back to a folder.
    std::unordered_map<std::string, std::uint32_t> known;
    for (std::string& path : paths) {
        const auto [folder, name] = MyFileOperation::SplitAtLastDelimiter(path);
        if (folders_.empty() || folders_[folderOf_.back()] != folder) {
            const auto [at, added] = known.try_emplace(std::string(folder), folders_.size());
            if (added) folders_.emplace_back(folder);
            folderOf_.push_back(at->second);
        } else {
            folderOf_.push_back(folderOf_.back());
        }
        names_.append(name);
        nameEnds_.push_back(names_.size());
        std::string().swap(path);
    }
    std::vector<std::string>().swap(paths);
}

std::vector<std::string> PackedPaths::Unpack() {
    std::vector<std::string> paths;
    paths.reserve(Size());
    std::size_t start = 0;
    for (std::size_t i = 0; i < Size(); ++i) {
        const std::string& folder = folders_[folderOf_[i]];
        std::string& path = paths.emplace_back();
        path.reserve(folder.size() + nameEnds_[i] - start);
        path.append(folder).append(names_, start, nameEnds_[i] - start);
        start = nameEnds_[i];
    }
    *this = PackedPaths();
    return paths;
}
