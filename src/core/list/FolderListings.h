#pragma once

// Listings of folders a load read whole, kept for the run that follows: a run takes the listing
// of a folder it finds unchanged since instead of reading the folder a second time.

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

#include "core/platform/FileSystem.h"

namespace MyFileOperation {

class FolderListings {
public:
    // The names the listings may hold together: a hundred thousand names cost a run tens of ms to
    // read again, a million held from the load to the run would cost tens of MB.
    static constexpr std::size_t kNameBudget = std::size_t{1} << 18;

    // How many more names a listing may hold.
    std::size_t Room() const { return kNameBudget - names_; }
    // Keeps a listing (FolderReader::TakeListing) that fits in Room; null is ignored.
    void Keep(std::unique_ptr<Platform::FolderEntries> listing);
    // The listing of the native folder ("/" at its end or not) when one was kept and the folder is
    // unchanged since; null otherwise. Either way it is kept no longer.
    std::unique_ptr<Platform::FolderEntries> Take(std::string_view folder);
    bool Empty() const { return listings_.empty(); }

private:
    std::vector<std::unique_ptr<Platform::FolderEntries>> listings_;
    std::size_t names_ = 0;
};

}  // namespace MyFileOperation
