#pragma once

// What the POSIX files of the platform share: errors, identities, temporary names and the rename
// that never replaces, relative to open folders. Not for use outside src/core/platform.

#include <sys/stat.h>
#include <sys/vfs.h>

#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "core/platform/FileSystem.h"

namespace Platform::Posix {

std::error_code ErrorOf(int code);
std::error_code LastError();

// Errors by which a file system says it lacks a kind of rename or link.
bool Unsupported(int code);

FileId IdOf(const struct stat& st);

EntryKind ModeKind(mode_t mode);
// The kind of a folder entry from its type, links followed; nullopt for a broken link or one that
// cannot be looked at. Only links and file systems without entry types cost a stat.
std::optional<EntryKind> KindOfEntry(int folderFd, unsigned char type, const char* name);

// What a look at an entry tells: its type and permissions, its numbers and its birth.
struct Looked {
    mode_t mode = 0;
    FileId id;
    Born born;
};
// statx of path in the folder dir (AT_FDCWD for a path as it is), links not followed; with
// AT_EMPTY_PATH in flags and path "", of dir itself. The birth is the birth time where the file
// system keeps one, else for a regular file its inode generation, which costs opening it.
bool Look(int dir, const char* path, int flags, Looked& looked);
// EntryId::volume of the files of a file system: its id.
std::uint64_t VolumeOf(const struct statfs& fs);
inline bool SameId(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The program's temporary names in a user's folder, one form for each use. Only a copy may ever be
// removed as a leftover: the other two hold a user's only file.
inline constexpr std::string_view kRenamePrefix = ".quorbel-";       // a rename on its way through
inline constexpr std::string_view kAsidePrefix = ".quorbel-aside-";  // a destination file being replaced
inline constexpr std::string_view kCopyPrefix = ".quorbel-copy-";    // a copy from another file system

// Tries of fresh temporary names before giving up; a clash is already unlikely.
constexpr int kTemporaryAttempts = 100;

// prefix + 12 random lower-case letters and digits + ".tmp": a hidden name that nobody else uses.
// The callers create it exclusively and try again on a clash.
std::string RandomName(std::string_view prefix);

// Renames from (in fromDir) to to (in toDir) without ever replacing: renameat2 with
// RENAME_NOREPLACE; where the file system lacks it, link + unlink; where it lacks links too, a
// look at the target and a plain rename. AT_FDCWD takes the paths as they are.
std::error_code RenameNoReplaceAt(int fromDir, const char* from, int toDir, const char* to);
// The two fallbacks on their own.
std::error_code RenameByLinkAt(int fromDir, const char* from, int toDir, const char* to);
std::error_code RenameAfterCheckAt(int fromDir, const char* from, int toDir, const char* to);

}  // namespace Platform::Posix
