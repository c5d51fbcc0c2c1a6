#include "Mounts.h"

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace testsupport {
namespace {

std::string& Reason() {
    static std::string reason;
    return reason;
}

bool Refused(const char* what) {
    Reason() = std::string(what) + ": " + std::strerror(errno) + " (mounting needs root and CAP_SYS_ADMIN)";
    return false;
}

// Quotes a path for the shell: the loop image needs mkfs and mount(8), which set up the loop device.
std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

bool Run(const std::string& command) {
    if (std::system((command + " >/dev/null 2>&1").c_str()) == 0) return true;
    Reason() = "failed: " + command;
    return false;
}

}  // namespace

std::unique_ptr<Mount> Mount::Make(Kind kind, const std::string& folder, std::size_t bytes) {
    Reason().clear();
    std::string image;
    bool made = false;
    switch (kind) {
        case Kind::kBind:
            made = mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) == 0 ||
                   Refused("bind mount");
            break;
        case Kind::kTmpfs: {
            const std::string size = "size=" + std::to_string(bytes);
            made = mount("quorbel-test", folder.c_str(), "tmpfs", 0, size.c_str()) == 0 || Refused("tmpfs");
            break;
        }
        case Kind::kExt4:
            // Beside the folder, so that the image is not inside the file system it holds.
            image = folder + ".img";
            made = Run("truncate -s " + std::to_string(bytes) + " " + Quoted(image)) &&
                   Run("mkfs.ext4 -q -F " + Quoted(image)) &&
                   Run("mount -o loop " + Quoted(image) + " " + Quoted(folder));
            if (!made) std::filesystem::remove(image);
            break;
    }
    if (!made) return nullptr;
    return std::unique_ptr<Mount>(new Mount(kind, folder, std::move(image)));
}

const std::string& Mount::Why() {
    return Reason();
}

Mount::Mount(Kind kind, std::string folder, std::string image)
    : kind_(kind), folder_(std::move(folder)), image_(std::move(image)) {}

Mount::~Mount() {
    Unmount();
    if (!image_.empty()) std::filesystem::remove(image_);
}

bool Mount::SetReadOnly(bool readOnly) {
    unsigned long flags = MS_REMOUNT;
    if (readOnly) flags |= MS_RDONLY;
    if (kind_ == Kind::kBind) flags |= MS_BIND;
    return mount(nullptr, folder_.c_str(), nullptr, flags, nullptr) == 0;
}

bool Mount::Unmount() {
    if (!mounted_) return true;
    // Lazily when something still holds it, so that a failing test never leaves a mount behind.
    if (umount2(folder_.c_str(), 0) != 0 && umount2(folder_.c_str(), MNT_DETACH) != 0) return false;
    mounted_ = false;
    return true;
}

bool Mount::Fill() {
    // A bind mount is the disk under it: never filled.
    if (kind_ == Kind::kBind) return false;
    const int fd = open((folder_ + "/filler").c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    const std::string block(1 << 16, 'f');
    std::size_t size = block.size();
    // Smaller and smaller writes take the last partial block too.
    while (size > 0) {
        if (write(fd, block.data(), size) < 0) {
            if (errno != ENOSPC) break;
            size /= 2;
        }
    }
    const bool full = size == 0;
    close(fd);
    return full;
}

}  // namespace testsupport
