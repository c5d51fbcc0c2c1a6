#pragma once

// Changes to the disk. Paths here are native (UTF-8 bytes on Linux). Every call returns an empty
// error_code on success or the reason it failed; a failed call leaves the files as they were.
// Nothing here replaces an existing file unless the caller asks for it with Existing::Replace.

#include <string>
#include <string_view>
#include <system_error>

namespace Platform {

// Renames within one file system, never replacing an existing target (a target that exists is
// refused with file_exists). Another file system gives cross_device_link.
std::error_code RenameNoReplace(const std::string& from, const std::string& to);

// RenameNoReplace for many pairs in a row, each rename as that one does it. The folders of the
// two paths are opened once and kept while the next pairs share them (a run renames within one
// folder), so the renames no longer walk every folder's path for each file.
class FolderRenames {
public:
    FolderRenames() = default;
    ~FolderRenames();
    FolderRenames(const FolderRenames&) = delete;
    FolderRenames& operator=(const FolderRenames&) = delete;

    std::error_code RenameNoReplace(const std::string& from, const std::string& to);
    // Platform::RenameCaseOnly, as one rename in the folders where names compare exactly (the two
    // spellings are two names there, so nothing else could be meant).
    std::error_code RenameCaseOnly(const std::string& from, const std::string& to);

private:
    struct Folder {
        std::string path;
        int fd = -1;         // -1 when it could not be opened
        bool exact = false;  // ExactNames of the folder
    };
    // The descriptors of the folders of from and to and the name parts; false for a bare name, a
    // path ending in "/" or a folder that could not be opened.
    bool OpenBoth(const std::string& from, const std::string& to, const char*& fromName, const char*& toName);
    // The descriptor of the folder path names (opened or kept in folder), or -1.
    static int Open(Folder& folder, std::string_view path);
    Folder from_;
    Folder to_;
};

// A rename between two spellings that differ in letter case only. When both spellings name the
// same file (a case-insensitive file system) it goes through a temporary name in the folder;
// otherwise it is an ordinary rename that refuses a different file holding the new spelling.
// Two hard links of one file are two files to the user: that rename is refused too.
std::error_code RenameCaseOnly(const std::string& from, const std::string& to);

enum class Existing {
    Keep,     // an existing destination refuses the move
    Replace,  // the user agreed: the destination file is replaced once the move has completed
};

// Moves a file, also to another file system, as DestinationFolder::Move does it for one file.
// Never moves a file onto itself.
std::error_code MovePath(const std::string& from, const std::string& to, Existing existing);

// Removes a file (not a folder).
std::error_code RemoveFile(const std::string& path);

// Makes folder and the missing folders above it, the new ones with permissions 0700, as for a
// user's own configuration or state. A file in the way gives not_a_directory.
std::error_code MakeFolders(const std::string& folder);

// The building blocks of the renames above, for file systems without RENAME_NOREPLACE; open to
// tests, which cannot choose the file system. Each refuses an existing target.
std::error_code RenameByLink(const std::string& from, const std::string& to);      // link + unlink
std::error_code RenameAfterCheck(const std::string& from, const std::string& to);  // lstat + rename
// from → fresh temporary name in from's folder → to; back to from when the second step fails.
std::error_code RenameViaTemporary(const std::string& from, const std::string& to);

}  // namespace Platform
