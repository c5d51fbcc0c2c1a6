#include "core/DiskModel.h"

#include <algorithm>
#include <limits>

#include "core/Cp932.h"

namespace MyFileOperation {
namespace {

Platform::EntryKind EntryKindOf(FolderLook::Kind kind) {
    switch (kind) {
        case FolderLook::Kind::kFile:
            return Platform::EntryKind::File;
        case FolderLook::Kind::kFolder:
            return Platform::EntryKind::Folder;
        case FolderLook::Kind::kNone:
        case FolderLook::Kind::kOther:
            break;
    }
    return Platform::EntryKind::Other;
}

}  // namespace

DiskModel::DiskModel() = default;
DiskModel::~DiskModel() = default;

DiskModel::Folder* DiskModel::FolderOf(std::string_view folder, std::size_t renames) {
    if (last_ != nullptr && folder == lastText_) return last_;
    auto found = byText_.find(std::string(folder));
    if (found == byText_.end()) {
        Folder* model = nullptr;
        if (const auto native = Cp932::ToUtf8(folder)) {
            // Every name of the folder is read: a run looks at most of them, often twice.
            auto entries = std::make_unique<Platform::FolderEntries>(
                *native, std::numeric_limits<std::size_t>::max(), renames);
            // Two texts of one folder (a link, a "/./") share it, so that a rename made through one
            // is seen through the other.
            const auto same = std::find_if(folders_.begin(), folders_.end(), [&](const auto& other) {
                return entries->Id() && other->entries->Id() == entries->Id();
            });
            if (same != folders_.end()) {
                model = same->get();
            } else {
                folders_.push_back(std::make_unique<Folder>(Folder{std::move(entries), {}}));
                model = folders_.back().get();
            }
        }
        found = byText_.emplace(std::string(folder), model).first;
    }
    lastText_ = folder;
    last_ = found->second;
    return last_;
}

void DiskModel::Read(std::string_view folder, std::size_t renames) {
    FolderOf(folder, renames);
}

std::string DiskModel::PaperKey(const Folder& folder, std::string_view name) {
    return folder.entries->Exact() ? std::string(name) : Cp932::ToLower(name);
}

DiskModel::Kind DiskModel::At(std::string_view path, Platform::EntryId* id, bool* asRead) {
    if (asRead != nullptr) *asRead = true;
    const PathParts parts = SplitAtLastDelimiter(path);
    if (parts.folder.empty() || !FolderLook::ListedName(parts.name)) return FolderLook::LookAtPath(path, id);
    Folder* folder = FolderOf(parts.folder);
    if (folder == nullptr || !Cp932::ToUtf8(parts.name, name_)) return Kind::kNone;
    return Look(*folder, parts.name, name_, id, asRead);
}

DiskModel::Kind DiskModel::Look(Folder& folder, std::string_view name, const std::string& native,
                                Platform::EntryId* id, bool* asRead) {
    if (!folder.entries->Listed() && !folder.paper.empty()) {
        const auto paper = folder.paper.find(PaperKey(folder, name));
        if (paper != folder.paper.end()) {
            if (id != nullptr) *id = paper->second.id;
            if (asRead != nullptr) *asRead = false;
            return paper->second.kind;
        }
    }
    return FolderLook::KindOf(folder.entries->KindOf(native, id, asRead));
}

void DiskModel::Prefetch(std::string_view folder, std::string_view name, bool held) {
    Folder* model = FolderOf(folder);
    if (model != nullptr && Cp932::ToUtf8(name, expected_)) model->entries->Prefetch(expected_, held);
}

bool DiskModel::TooLong(std::string_view path) {
    const PathParts parts = SplitAtLastDelimiter(path);
    Folder* folder = FolderOf(parts.folder);
    return folder != nullptr && Cp932::ToUtf8(parts.name, name_) && name_.size() > folder->entries->NameMax();
}

void DiskModel::Move(std::string_view from, std::string_view to) {
    Platform::EntryId id;
    const Kind kind = At(from, &id);
    const PathParts source = SplitAtLastDelimiter(from);
    const PathParts target = SplitAtLastDelimiter(to);
    Folder* sourceFolder = FolderOf(source.folder);
    Folder* targetFolder = FolderOf(target.folder);
    if (sourceFolder == nullptr || targetFolder == nullptr) return;
    if (!Cp932::ToUtf8(source.name, name_) || !Cp932::ToUtf8(target.name, toName_)) return;
    Move(*sourceFolder, source.name, name_, *targetFolder, target.name, toName_, kind, id);
}

void DiskModel::Move(Folder& sourceFolder, std::string_view sourceName, const std::string& sourceNative,
                     Folder& targetFolder, std::string_view targetName, const std::string& targetNative,
                     Kind kind, const Platform::EntryId& id) {
    if (sourceFolder.entries->Listed()) {
        sourceFolder.entries->Removed(sourceNative);
    } else {
        sourceFolder.paper[PaperKey(sourceFolder, sourceName)] = Paper{};
    }
    if (targetFolder.entries->Listed()) {
        targetFolder.entries->Added(targetNative, EntryKindOf(kind), id.file.inode);
    } else {
        targetFolder.paper[PaperKey(targetFolder, targetName)] = Paper{kind, id};
    }
}

BatchRenames::Result DiskModel::Rename(std::string_view from, std::string_view to,
                                       const Platform::EntryId* expected) {
    return Rename(from, to, expected != nullptr ? Expect::kId : Expect::kAny, expected);
}

BatchRenames::Result DiskModel::RenameReadFile(std::string_view from, std::string_view to) {
    return Rename(from, to, Expect::kRead, nullptr);
}

BatchRenames::Result DiskModel::Rename(std::string_view from, std::string_view to, Expect expect,
                                       const Platform::EntryId* expected) {
    using Result = BatchRenames::Result;
    const PathParts source = SplitAtLastDelimiter(from);
    const PathParts target = SplitAtLastDelimiter(to);
    // A text with no native form is refused as the rename refuses it (the folders were read, so
    // only the names are left to convert).
    Folder* targetFolder = from == to ? nullptr : FolderOf(target.folder);
    if (targetFolder == nullptr || !Cp932::ToUtf8(source.name, name_) || !Cp932::ToUtf8(target.name, toName_))
        return Result::kRefused;
    // Each name is split, converted and looked up once: a preview over a million rows takes this
    // step for every one of them.
    const bool plain =
        !source.folder.empty() && FolderLook::ListedName(source.name) && FolderLook::ListedName(target.name);
    Folder* sourceFolder = plain ? FolderOf(source.folder) : nullptr;
    Platform::EntryId id;
    Kind kind = Kind::kNone;
    bool asRead = true;
    if (!plain) {
        kind = At(from, &id, &asRead);
    } else if (sourceFolder != nullptr) {
        kind = Look(*sourceFolder, source.name, name_, &id, &asRead);
    }
    if (expect != Expect::kAny &&
        (kind != Kind::kFile || (expect == Expect::kId ? id != *expected : !asRead)))
        return Result::kNoSource;
    if (kind == Kind::kNone || toName_.size() > targetFolder->entries->NameMax()) return Result::kRefused;
    // The rename never replaces what stands at the new name, except where that is the file itself
    // under another spelling (a folder that folds case): then it goes through a temporary name.
    Platform::EntryId standing;
    if ((plain ? Look(*targetFolder, target.name, toName_, &standing) : At(to, &standing)) != Kind::kNone) {
        const bool oneFile =
            Cp932::EqualNoCase(from, to) && !targetFolder->entries->Exact() && standing == id;
        if (!oneFile) return Result::kRefused;
    }
    if (!plain) {
        Move(from, to);
    } else {
        Move(*sourceFolder, source.name, name_, *targetFolder, target.name, toName_, kind, id);
    }
    return Result::kDone;
}

bool DiskModel::Holds(std::string_view from, const Platform::EntryId& id) {
    Platform::EntryId standing;
    return At(from, &standing) == Kind::kFile && standing == id;
}

bool DiskModel::HoldsReadFile(std::string_view from) {
    bool asRead = false;
    return At(from, nullptr, &asRead) == Kind::kFile && asRead;
}

bool DiskModel::Taken(std::string_view from, std::string_view to) {
    Platform::EntryId source;
    Platform::EntryId standing;
    At(from, &source);
    return At(to, &standing) != Kind::kNone && standing != source;
}

}  // namespace MyFileOperation
