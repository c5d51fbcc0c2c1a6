#pragma once

// Paths held as a table of their folders and the names in them, for a list that is kept but not
// read for a while: a path of a photo library takes ~30 bytes so, ~130 as a string of its own.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class PackedPaths {
public:
    PackedPaths() = default;
    // Takes the paths, each freed as soon as it is packed; paths is left empty.
    explicit PackedPaths(std::vector<std::string>&& paths);
    std::size_t Size() const { return folderOf_.size(); }
    // The paths as they were given; this is left empty.
    std::vector<std::string> Unpack();

private:
    std::vector<std::string> folders_;     // each with its delimiter, or empty
    std::vector<std::uint32_t> folderOf_;  // per path, into folders_
    std::vector<std::size_t> nameEnds_;    // per path, into names_
    std::string names_;
};
