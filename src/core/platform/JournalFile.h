#pragma once

// The file access of the run journal: files created whole and synced, appended to with a sync,
// and held under an exclusive flock while a command runs, so that another process can tell a live
// command from one whose process is gone. Paths are native (UTF-8 bytes on Linux).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace Platform {

// A journal file open for appending, under an exclusive lock until it is closed (by Close, the
// destructor or the end of the process, however it ends).
class LockedFile {
public:
    LockedFile() = default;
    ~LockedFile();
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;

    // Creates folder/name in two steps, so that the larger part of the content can be written and
    // flushed while its last part is not known yet. The content goes to a hidden file under the
    // lock first, which is then renamed to name without replace: name never shows a file without
    // its content or without its lock. Draft writes content to the hidden file, and flushes it
    // unless Place follows at once (file_exists when the hidden name is taken).
    std::error_code Draft(const std::string& folder, const std::string& name, std::string_view content,
                          bool flush = true);
    // Appends rest to the draft, syncs it and puts it under its name, synced with the folder; then
    // the file is open for appending. file_exists when name is taken: the draft is dropped. On
    // failure nothing is left.
    std::error_code Place(std::string_view rest);
    // Drops a draft that was not placed (also the destructor does).
    void Discard();
    bool Drafted() const { return !draft_.empty(); }
    // Opens an existing file and takes its lock; resource_unavailable_try_again when another holds it.
    std::error_code OpenExisting(const std::string& path);

    // Open for appending: placed or opened, and not closed.
    bool IsOpen() const { return fd_ >= 0 && draft_.empty(); }
    // The whole file as it is now; file_too_large past maxBytes.
    std::error_code ReadAll(std::size_t maxBytes, std::string& out) const;
    // Appends and syncs. On failure the file is cut back to where it was, so that no torn record
    // stays for a later append to follow.
    std::error_code Append(std::string_view bytes);
    // Cuts the file to size and syncs.
    std::error_code Truncate(std::size_t size);
    // Closes the file, which gives up the lock; a draft is dropped.
    void Close();

private:
    int fd_ = -1;
    std::uint64_t size_ = 0;
    // Of a draft: the hidden file and the path it is placed at.
    std::string draft_;
    std::string path_;
};

enum class LockProbe : std::uint8_t { kFree, kHeld, kMissing };
// Whether another process holds the lock of the file at path, links not followed. Only exclusive
// holders count: two processes probing at once do not see each other.
LockProbe ProbeLock(const std::string& path);

struct FolderFile {
    std::string name;
    std::uint64_t size = 0;
};
// The regular files of a folder, links not followed; nullopt when it cannot be read.
std::optional<std::vector<FolderFile>> ListFiles(const std::string& folder);

// The content of the regular file at path, links not followed (a link, a FIFO or a device is
// refused without being opened for reading); file_too_large past maxBytes.
std::error_code ReadRegularFile(const std::string& path, std::size_t maxBytes, std::string& out);

// Removes the file at path unless another process holds its lock; true when it is gone.
bool RemoveUnlocked(const std::string& path);

}  // namespace Platform
