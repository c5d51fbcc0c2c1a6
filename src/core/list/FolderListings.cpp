#include "core/list/FolderListings.h"

#include <algorithm>
#include <cassert>
#include <string_view>
#include <utility>

namespace MyFileOperation {

void FolderListings::Keep(std::unique_ptr<Platform::FolderEntries> listing) {
    if (!listing) return;
    assert(listing->ListedNames() <= Room() && "the reader was asked for at most Room names");
    names_ += listing->ListedNames();
    listings_.push_back(std::move(listing));
}

namespace {

std::string_view WithoutEndDelimiter(std::string_view folder) {
    if (folder.size() > 1 && folder.ends_with('/')) folder.remove_suffix(1);
    return folder;
}

}  // namespace

std::unique_ptr<Platform::FolderEntries> FolderListings::Take(std::string_view folder) {
    folder = WithoutEndDelimiter(folder);
    const auto found = std::find_if(listings_.begin(), listings_.end(), [folder](const auto& listing) {
        return WithoutEndDelimiter(listing->Folder()) == folder;
    });
    if (found == listings_.end()) return nullptr;
    std::unique_ptr<Platform::FolderEntries> listing = std::move(*found);
    listings_.erase(found);
    names_ -= listing->ListedNames();
    if (!listing->Unchanged()) return nullptr;
    return listing;
}

}  // namespace MyFileOperation
