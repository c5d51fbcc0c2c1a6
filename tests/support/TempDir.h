#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes. Paths are native (UTF-8) and absolute; folders are given without a trailing "/".
class TempDir {
public:
    // base: the folder to create it in; empty for the system's temporary folder.
    explicit TempDir(const std::string& base = {});
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    // The native path of a relative one ("a/b.txt" → "<dir>/a/b.txt").
    std::string operator/(const std::string& relative) const;

    // Creates the file (and its folders) with the given content; mtime in seconds since the epoch
    // when given (>= 0 is applied, negative keeps "now"). Returns the native path.
    std::string MakeFile(const std::string& relative, const std::string& content = {},
                         std::int64_t mtime = -1) const;
    std::string MakeDir(const std::string& relative) const;
    // The same for a native path anywhere (its folder must exist).
    static void WriteFile(const std::string& path, const std::string& content = {}, std::int64_t mtime = -1);
    static std::string ReadFile(const std::string& path);
    static bool Exists(const std::string& path);  // anything, links not followed
    // Every name in a folder, sorted, so that a temporary name left over shows.
    static std::vector<std::string> Names(const std::string& folder);

private:
    std::string path_;
};

}  // namespace testsupport
