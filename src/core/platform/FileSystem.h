#pragma once

// Queries of the file system. Paths here are native (UTF-8 bytes on Linux); the core converts its
// code page 932 texts at its edge.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace Platform {

// Links are followed: a link to a file is a file, a link to a folder a folder. Anything else
// (devices, sockets, FIFOs, broken links) is Other and is skipped by the listing.
enum class EntryKind { File, Folder, Other };

struct FileId {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    friend bool operator==(const FileId&, const FileId&) = default;
};

struct DirEntry {
    std::string name;
    EntryKind kind = EntryKind::Other;
};

struct FileStatus {
    EntryKind kind = EntryKind::Other;
    std::int64_t modified = 0;  // seconds since the epoch
    FileId id;
};

// The entries of a folder in the order the file system returns them, without "." and "..";
// nullopt when the folder cannot be opened. id receives the folder's identity.
std::optional<std::vector<DirEntry>> ReadFolder(const std::string& path, FileId* id = nullptr);

// The status of what path names, links followed; nullopt when it does not exist or cannot be read.
std::optional<FileStatus> Status(const std::string& path);

// One folder kept open while the next paths of a batch share it, so that each file is named within
// it instead of walking the folder's path again.
class KeptFolder {
public:
    KeptFolder() = default;
    ~KeptFolder();
    KeptFolder(const KeptFolder&) = delete;
    KeptFolder& operator=(const KeptFolder&) = delete;

    struct Place {
        int fd = -1;                 // the folder, or -1: use the whole path as it is
        const char* name = nullptr;  // the path's last component
    };
    // Where path is: its folder (opened, or kept from the path before) and its name. fd is -1 for
    // a bare name, a path ending in "/" or a folder that cannot be opened.
    Place Of(const std::string& path);

private:
    std::string path_;
    int fd_ = -1;
};

// For each path, whether Status would call it a file. Paths of one folder that follow each other
// are looked at from that folder, opened once, instead of walking its path again for each.
std::vector<bool> FilesExist(const std::vector<std::string>& paths);

// True when both paths name one file: the same entry, hard links, or a link to the other (also
// the two spellings of one name on a case-insensitive file system).
bool SameFile(const std::string& a, const std::string& b);
// As SameFile, but links are not followed: a link to the other path is a file of its own.
bool SameEntry(const std::string& a, const std::string& b);

}  // namespace Platform
