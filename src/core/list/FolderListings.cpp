#include "core/list/FolderListings.h"

#include <cassert>
#include <utility>

namespace MyFileOperation {
namespace {

std::string_view WithoutEndDelimiter(std::string_view folder) {
    if (folder.size() > 1 && folder.ends_with('/')) folder.remove_suffix(1);
    return folder;
}

}  // namespace

void FolderListings::Keep(std::unique_ptr<Platform::FolderEntries> listing) {
    if (!listing) return;
    assert(listing->ListedNames() <= Room() && "the reader was asked for at most Room names");
    names_ += listing->ListedNames();
    std::string folder(WithoutEndDelimiter(listing->Folder()));
    listings_.insert_or_assign(std::move(folder), std::move(listing));
}

std::unique_ptr<Platform::FolderEntries> FolderListings::Take(std::string_view folder) {
    const auto found = listings_.find(WithoutEndDelimiter(folder));
    if (found == listings_.end()) return nullptr;
    std::unique_ptr<Platform::FolderEntries> listing = std::move(found->second);
    listings_.erase(found);
    names_ -= listing->ListedNames();
    if (!listing->Unchanged()) return nullptr;
    return listing;
}

const Platform::FolderEntries* FolderListings::Find(std::string_view folder) const {
    const auto found = listings_.find(WithoutEndDelimiter(folder));
    return found != listings_.end() && found->second->Unchanged() ? found->second.get() : nullptr;
}

}  // namespace MyFileOperation
