#include "TempDir.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace fs = std::filesystem;

namespace testsupport {

TempDir::TempDir(const std::string& base) {
    const fs::path root = base.empty() ? fs::temp_directory_path() : fs::path(base);
    std::string pattern = (root / "quorbel-test-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) throw std::runtime_error("mkdtemp failed in " + root.string());
    path_ = buffer.data();
}

TempDir::~TempDir() {
    // Tests make folders read-only; give write permission back so everything can be removed.
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(path_, fs::directory_options::skip_permission_denied, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec)) chmod(it->path().c_str(), 0700);
    }
    chmod(path_.c_str(), 0700);
    fs::remove_all(path_, ec);
}

std::string TempDir::operator/(const std::string& relative) const {
    return path_ + "/" + relative;
}

std::string TempDir::MakeFile(const std::string& relative, const std::string& content,
                              std::int64_t mtime) const {
    const fs::path full = *this / relative;
    fs::create_directories(full.parent_path());
    WriteFile(full.string(), content, mtime);
    return full.string();
}

void TempDir::WriteFile(const std::string& path, const std::string& content, std::int64_t mtime) {
    {
        std::ofstream out(path, std::ios::binary);
        if (!out) throw std::runtime_error("cannot create " + path);
        out << content;
    }
    if (mtime >= 0) {
        struct timespec times[2] = {{mtime, 0}, {mtime, 0}};
        utimensat(AT_FDCWD, path.c_str(), times, 0);
    }
}

std::string TempDir::MakeDir(const std::string& relative) const {
    const fs::path full = *this / relative;
    fs::create_directories(full);
    return full.string();
}

std::string TempDir::ReadFile(const std::string& path) {
    // Read whole, not a character at a time: some outputs read back are megabytes long.
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return std::move(bytes).str();
}

bool TempDir::Exists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

std::vector<std::string> TempDir::Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace testsupport
