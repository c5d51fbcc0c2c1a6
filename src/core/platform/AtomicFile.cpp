#include "core/platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <utility>

#include "core/platform/FileOps.h"

namespace AtomicFile {

namespace {

std::error_code LastError() {
    return {errno, std::system_category()};
}

// A symbolic link that resolves gives the file it points to; anything else is used as given.
std::string ResolveLink(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::unique_ptr<char, decltype(&std::free)> resolved(realpath(path.c_str(), nullptr), &std::free);
    return resolved ? std::string(resolved.get()) : path;
}

// "a/b/c" → {"a/b", "c"}; "c" → {".", "c"}; "/c" → {"/", "c"}.
std::pair<std::string, std::string> SplitFolder(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

std::error_code WriteAll(int fd, std::string_view content) {
    while (!content.empty()) {
        const ssize_t written = write(fd, content.data(), content.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return LastError();
        }
        content.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
}

// Creates a fresh temporary file beside the target; its name starts with "." so that a listing of
// the folder does not show it while it exists.
int CreateTemporary(const std::string& folder, const std::string& name, std::string& tempPath) {
    static std::atomic<unsigned> counter{0};
    // Leave room for the suffix within the 255-byte limit of a file name.
    const std::string stem = folder + "/." + name.substr(0, 200) + ".tmp" + std::to_string(getpid()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = stem + std::to_string(counter++);
        const int fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

void SyncFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

}  // namespace

std::error_code WriteWholeFile(const std::string& path, std::string_view content, MissingFolders folders) {
    if (path.empty()) return std::make_error_code(std::errc::no_such_file_or_directory);
    const std::string target = ResolveLink(path);
    const auto [folder, name] = SplitFolder(target);
    if (name.empty()) return std::make_error_code(std::errc::is_a_directory);
    if (folders == MissingFolders::kCreate) {
        if (const auto ec = Platform::MakeFolders(folder)) return ec;
    }

    std::string tempPath;
    const int fd = CreateTemporary(folder, name, tempPath);
    if (fd < 0) return LastError();

    std::error_code ec;
    struct stat old {};
    if (stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) fchmod(fd, old.st_mode & 07777);
    ec = WriteAll(fd, content);
    if (!ec && fsync(fd) != 0) ec = LastError();
    if (close(fd) != 0 && !ec) ec = LastError();
    if (!ec && rename(tempPath.c_str(), target.c_str()) != 0) ec = LastError();
    if (ec) {
        unlink(tempPath.c_str());
        return ec;
    }
    SyncFolder(folder);
    return {};
}

}  // namespace AtomicFile
