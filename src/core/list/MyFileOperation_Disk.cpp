#include <cstdio>

#include "core/list/FolderLook.h"
#include "core/list/MyFileOperation.h"
#include "core/platform/FileOps.h"
#include "core/platform/FileSystem.h"
#include "core/platform/LocalTime.h"
#include "core/text/Cp932.h"

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

// How the source is looked at before a rename.
enum class Source { kLook, kSeen, kLookInFolder };

using Result = BatchRenames::Result;

// folders: where the pairs of a batch keep their folders open; null for a single rename. look:
// the folders' entries for Source::kLookInFolder, told of every rename made; expected (optional
// with it): the identity of the file to rename. from and to: room for the native paths, kept from
// pair to pair by a batch.
Result RenameFile(std::string_view oldPath, std::string_view newPath, Source source, std::string& from,
                  std::string& to, Platform::FolderRenames* folders = nullptr, FolderLook* look = nullptr,
                  const Platform::EntryId* expected = nullptr) {
    if (oldPath == newPath) return Result::kRefused;
    if (!Cp932::ToUtf8(oldPath, from) || !Cp932::ToUtf8(newPath, to) || from.empty() || to.empty())
        return Result::kRefused;
    // The rename itself refuses an existing target, so only the source needs a look; a change of
    // case too renames files only, never a folder or a link to one.
    if (source == Source::kLook && !IsFile(from)) return Result::kNoSource;
    if (source == Source::kLookInFolder &&
        (expected != nullptr ? !look->Holds(oldPath, *expected)
                             : look->At(oldPath) != FolderLook::Kind::kFile))
        return Result::kNoSource;
    bool renamed = false;
    if (Cp932::EqualNoCase(oldPath, newPath)) {
        renamed =
            !(folders != nullptr ? folders->RenameCaseOnly(from, to) : Platform::RenameCaseOnly(from, to));
    } else {
        renamed =
            !(folders != nullptr ? folders->RenameNoReplace(from, to) : Platform::RenameNoReplace(from, to));
    }
    if (renamed && look != nullptr) look->Renamed(oldPath, newPath);
    return renamed ? Result::kDone : Result::kRefused;
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

std::optional<Platform::EntryId> FileIdentity(std::string_view path) {
    const auto native = Cp932::ToUtf8(path);
    if (!native) return std::nullopt;
    const auto look = Platform::LookAt(*native);
    if (!look || look->kind != Platform::EntryKind::File) return std::nullopt;
    return look->id;
}

bool TryRenameFile(std::string_view oldPath, std::string_view newPath) {
    std::string from;
    std::string to;
    return RenameFile(oldPath, newPath, Source::kLook, from, to) == Result::kDone;
}

BatchRenames::BatchRenames() : folders_(std::make_unique<Platform::FolderRenames>()) {}

BatchRenames::BatchRenames(std::size_t count, const std::function<std::string_view(std::size_t)>& sourceAt)
    : BatchRenames(count, sourceAt, {}) {}

BatchRenames::BatchRenames(std::size_t count, const std::function<std::string_view(std::size_t)>& sourceAt,
                           FolderListings listings)
    : look_(std::make_unique<FolderLook>(count, sourceAt)),
      folders_(std::make_unique<Platform::FolderRenames>()) {
    look_->Adopt(std::move(listings));
}

BatchRenames::~BatchRenames() = default;

Platform::EntryId BatchRenames::SourceId(std::string_view oldPath) {
    Platform::EntryId id;
    if (!look_ || look_->At(oldPath, &id) != FolderLook::Kind::kFile) return {};
    return id;
}

bool BatchRenames::SourceHolds(std::string_view oldPath, const Platform::EntryId& id) {
    return look_ && look_->Holds(oldPath, id);
}

void BatchRenames::ExpectSource(std::string_view oldPath) {
    if (look_) look_->Expect(oldPath);
}

bool BatchRenames::Listed(std::string_view oldPath) {
    return look_ && look_->Listed(oldPath);
}

BatchRenames::Result BatchRenames::RenameListed(std::string_view oldPath, std::string_view newPath) {
    return RenameFile(oldPath, newPath, Source::kSeen, from_, to_, folders_.get());
}

BatchRenames::Result BatchRenames::Rename(std::string_view oldPath, std::string_view newPath,
                                          const Platform::EntryId* expected) {
    return RenameFile(oldPath, newPath, look_ ? Source::kLookInFolder : Source::kSeen, from_, to_,
                      folders_.get(), look_.get(), expected);
}

bool TryMoveFile(std::string_view source, std::string_view destination) {
    if (source == destination) return false;
    const auto from = Cp932::ToUtf8(source);
    const auto to = Cp932::ToUtf8(destination);
    if (!from || !to || from->empty() || to->empty()) return false;
    return IsFile(*from) && !Platform::MovePath(*from, *to, Platform::Existing::Keep);
}

}  // namespace MyFileOperation
