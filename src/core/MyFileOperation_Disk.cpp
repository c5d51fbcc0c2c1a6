#include <cstdio>

#include "core/Cp932.h"
#include "core/MyFileOperation.h"
#include "core/platform/FileOps.h"
#include "core/platform/FileSystem.h"
#include "core/platform/LocalTime.h"

namespace MyFileOperation {
namespace {

bool IsFile(const std::string& native) {
    const auto status = Platform::Status(native);
    return status && status->kind == Platform::EntryKind::File;
}

}  // namespace

std::string FileDateText(std::string_view path) {
    static const std::string kError = "Error";
    const auto native = Cp932::ToUtf8(path);
    if (!native) return kError;
    const auto status = Platform::Status(*native);
    if (!status || status->kind != Platform::EntryKind::File) return kError;
    const auto local = Platform::ToLocalTime(status->modified);
    if (!local) return kError;
    // Short date and long time of the Japanese locale; two-second precision as in the file
    // systems the format comes from.
    char text[64];
    std::snprintf(text, sizeof text, "%04lld/%02d/%02d %d:%02d:%02d", static_cast<long long>(local->year),
                  local->month, local->day, local->hour, local->minute, local->second - local->second % 2);
    return text;
}

namespace {

// folders: where the pairs of a batch keep their folders open; null for a single rename.
bool RenameFile(std::string_view oldPath, std::string_view newPath, bool lookAtSource,
                Platform::FolderRenames* folders = nullptr) {
    if (oldPath == newPath) return false;
    const auto from = Cp932::ToUtf8(oldPath);
    const auto to = Cp932::ToUtf8(newPath);
    if (!from || !to || from->empty() || to->empty()) return false;
    if (Cp932::EqualNoCase(oldPath, newPath)) {
        return !Platform::RenameCaseOnly(*from, *to);
    }
    // The rename itself refuses an existing target, so only the source needs a look.
    if (lookAtSource && !IsFile(*from)) return false;
    return !(folders != nullptr ? folders->RenameNoReplace(*from, *to)
                                : Platform::RenameNoReplace(*from, *to));
}

}  // namespace

bool SameFile(std::string_view a, std::string_view b) {
    const auto nativeA = Cp932::ToUtf8(a);
    const auto nativeB = Cp932::ToUtf8(b);
    return nativeA && nativeB && Platform::SameFile(*nativeA, *nativeB);
}

bool SameEntry(std::string_view a, std::string_view b) {
    const auto nativeA = Cp932::ToUtf8(a);
    const auto nativeB = Cp932::ToUtf8(b);
    return nativeA && nativeB && Platform::SameEntry(*nativeA, *nativeB);
}

bool TryRenameFile(std::string_view oldPath, std::string_view newPath) {
    return RenameFile(oldPath, newPath, true);
}

CheckedRenames::CheckedRenames() : folders_(std::make_unique<Platform::FolderRenames>()) {}

CheckedRenames::~CheckedRenames() = default;

bool CheckedRenames::Rename(std::string_view oldPath, std::string_view newPath) {
    return RenameFile(oldPath, newPath, false, folders_.get());
}

bool TryMoveFile(std::string_view source, std::string_view destination) {
    if (source == destination) return false;
    const auto from = Cp932::ToUtf8(source);
    const auto to = Cp932::ToUtf8(destination);
    if (!from || !to || from->empty() || to->empty()) return false;
    return IsFile(*from) && !Platform::MovePath(*from, *to, Platform::Existing::Keep);
}

}  // namespace MyFileOperation
