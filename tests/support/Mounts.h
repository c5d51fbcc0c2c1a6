#pragma once

// Real mounts for the failure paths that root would otherwise walk past: root ignores file modes,
// but a read-only mount refuses every write with EROFS, a tiny tmpfs fills up, and a loop image
// is a second file system. Each mount is made on a folder the test owns and is gone with the
// object. Where mounting is not allowed, Make returns null and Why() tells the reason to skip.
#include <cstddef>
#include <memory>
#include <string>

namespace testsupport {

class Mount {
public:
    enum class Kind {
        kBind,   // the folder bound onto itself: the same files, a mount of its own to make read-only
        kTmpfs,  // an empty tmpfs of the given size
        kExt4,   // an empty ext4 file system in a loop image of the given size
    };
    // folder: an existing folder, usually under a TempDir; bytes: the size of a tmpfs or image.
    static std::unique_ptr<Mount> Make(Kind kind, const std::string& folder, std::size_t bytes = 1 << 20);
    // Why the last Make returned null.
    static const std::string& Why();

    ~Mount();
    Mount(const Mount&) = delete;
    Mount& operator=(const Mount&) = delete;

    const std::string& Path() const { return folder_; }
    // Remounts read-only or writable again (a card's lock switch, a disk that turned read-only).
    bool SetReadOnly(bool readOnly);
    // Unmounts now (a card pulled out), lazily while something holds it; the folder stays, empty.
    bool Unmount();
    // Fills a tmpfs or image to its last block with one file, "filler" (a disk that is full); false
    // for a bind mount, whose blocks are the real disk's.
    bool Fill();

private:
    Mount(Kind kind, std::string folder, std::string image);
    Kind kind_;
    std::string folder_;
    std::string image_;  // the loop image of kExt4, removed with the mount
    bool mounted_ = true;
};

}  // namespace testsupport
