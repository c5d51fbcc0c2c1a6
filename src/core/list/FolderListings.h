#pragma once

// Listings of folders a load read whole, kept for the previews and the run that follow: each takes
// the listing of a folder it finds unchanged since instead of reading the folder a second time.

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "core/platform/FileSystem.h"

namespace MyFileOperation {

class FolderListings {
public:
    // The names the listings may hold together by default: a hundred thousand names cost a run tens
    // of ms to read again, a million held from the load to the run would cost tens of MB.
    static constexpr std::size_t kNameBudget = std::size_t{1} << 18;

    FolderListings() = default;
    explicit FolderListings(std::size_t budget) : budget_(budget) {}

    // How many more names a listing may hold.
    std::size_t Room() const { return budget_ - names_; }
    // Keeps a listing (FolderReader::TakeListing) that fits in Room; null is ignored.
    void Keep(std::unique_ptr<Platform::FolderEntries> listing);
    // The listing of the native folder ("/" at its end or not) when one was kept and the folder is
    // unchanged since; null otherwise. Either way it is kept no longer.
    std::unique_ptr<Platform::FolderEntries> Take(std::string_view folder);
    // The same without taking it: it stays kept.
    const Platform::FolderEntries* Find(std::string_view folder) const;
    bool Empty() const { return listings_.empty(); }

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
    };
    // By folder text without "/" at its end.
    std::unordered_map<std::string, std::unique_ptr<Platform::FolderEntries>, Hash, std::equal_to<>>
        listings_;
    std::size_t budget_ = kNameBudget;
    std::size_t names_ = 0;
};

}  // namespace MyFileOperation
