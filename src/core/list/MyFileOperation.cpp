#include "core/list/MyFileOperation.h"

#include "core/list/FolderLook.h"
#include "core/platform/FileSystem.h"
#include "core/text/Cp932.h"

namespace MyFileOperation {
namespace {

// "/" is never the second byte of a double-byte character, so a byte test finds delimiters.
bool EndsWithDelimiter(std::string_view text) {
    return !text.empty() && text.back() == kDelimiter;
}

std::optional<Platform::FileStatus> StatusOf(std::string_view path) {
    const auto native = Cp932::ToUtf8(path);
    return native ? Platform::Status(*native) : std::nullopt;
}

}  // namespace

std::string AddBackslash(std::string_view text) {
    if (text.empty()) return {};
    std::string result(text);
    if (!EndsWithDelimiter(text)) result += kDelimiter;
    return result;
}

std::string RemoveBackslash(std::string_view text) {
    if (text.size() > kRoot.size() && EndsWithDelimiter(text)) text.remove_suffix(1);
    return std::string(text);
}

SplitResult SplitPath(std::string_view path) {
    SplitResult result;
    if (path.empty()) return result;
    const std::string bare = RemoveBackslash(path);
    bool isFolder = false;
    if (const auto status = StatusOf(bare)) {
        isFolder = status->kind == Platform::EntryKind::Folder;
    } else {
        isFolder = ExtensionOf(bare).empty();
    }
    if (isFolder) {
        result.folder = std::string(path);
    } else {
        result.file = FileNameOf(bare);
        result.folder = FolderOf(bare);
    }
    return result;
}

std::string ParentFolder(std::string_view folder) {
    const SplitResult split = SplitPath(folder);
    if (split.folder.empty() || split.folder == kRoot) return std::string(kRoot);
    return FolderOf(split.folder);
}

std::string FileNameOf(std::string_view path) {
    return std::string(SplitAtLastDelimiter(path).name);
}

std::string FolderOf(std::string_view path) {
    return std::string(SplitAtLastDelimiter(path).folder);
}

std::string ExtensionOf(std::string_view path) {
    const std::size_t slash = path.rfind(kDelimiter);
    const std::size_t start = slash == std::string_view::npos ? 0 : slash + 1;
    // '.' is never a trail byte either.
    const std::size_t dot = path.rfind('.');
    return dot == std::string_view::npos || dot < start ? std::string() : std::string(path.substr(dot));
}

std::string NameWithoutExt(std::string_view text) {
    const std::string ext = ExtensionOf(text);
    return std::string(text.substr(0, text.size() - ext.size()));
}

bool FolderExists(std::string_view path) {
    const auto status = StatusOf(path);
    return status && status->kind == Platform::EntryKind::Folder;
}

std::vector<bool> FilesExist(const std::vector<std::string_view>& paths) {
    FolderLook look(paths);
    std::vector<bool> exist;
    exist.reserve(paths.size());
    for (const std::string_view path : paths)
        exist.push_back(look.At(path) == FolderLook::Kind::kFile);
    return exist;
}

bool PathExists(std::string_view path) {
    return StatusOf(path).has_value();
}

bool FileExists(std::string_view path) {
    const auto status = StatusOf(path);
    return status && status->kind == Platform::EntryKind::File;
}

}  // namespace MyFileOperation
