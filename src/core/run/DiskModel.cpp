#include "core/run/DiskModel.h"

#include <algorithm>
#include <cassert>
#include <limits>

#include "core/text/Cp932.h"

namespace MyFileOperation {

namespace {

// Two looks of the model at one entry: what they tell of its birth may differ (a rename on paper
// keeps none), its numbers do not.
bool OneEntry(const Platform::EntryId& a, const Platform::EntryId& b) {
    return a.file == b.file && a.volume == b.volume;
}

// Whether the run would find the file expected at a path the model finds found at: where the
// listings cannot tell, the run looks at the file itself, which the model does not.
bool MayHold(const Platform::EntryId& expected, const Platform::EntryId& found) {
    return Platform::Compare(expected, found) != Platform::Sameness::kOther;
}

}  // namespace
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

DiskModel::DiskModel(const FolderListings* listings) : listings_(listings) {}
DiskModel::~DiskModel() = default;

DiskModel::Folder* DiskModel::FolderOf(std::string_view folder, std::size_t renames) {
    if (looks_.last != nullptr && folder == looks_.lastText) return looks_.last;
    auto found = byText_.find(std::string(folder));
    if (found == byText_.end()) {
        Folder* model = nullptr;
        if (const auto native = Cp932::ToUtf8(folder)) {
            // Every name of the folder is read: a run looks at most of them, often twice.
            const Platform::FolderEntries* lent = listings_ != nullptr ? listings_->Find(*native) : nullptr;
            auto own = lent != nullptr ? nullptr
                                       : std::make_unique<Platform::FolderEntries>(
                                             *native, std::numeric_limits<std::size_t>::max(), renames);
            const Platform::FolderEntries* entries = lent != nullptr ? lent : own.get();
            // Two texts of one folder (a link, a "/./") share it, so that a rename made through one
            // is seen through the other.
            const auto same = std::find_if(folders_.begin(), folders_.end(), [&](const auto& other) {
                return entries->Id() && other->entries->Id() == entries->Id();
            });
            if (same != folders_.end()) {
                model = same->get();
                aliased_ = true;
            } else {
                folders_.push_back(std::make_unique<Folder>(Folder{entries, std::move(own), {}}));
                model = folders_.back().get();
            }
        }
        found = byText_.emplace(std::string(folder), model).first;
    }
    looks_.lastText = folder;
    looks_.last = found->second;
    return looks_.last;
}

DiskModel::Folder* DiskModel::ReadBefore(Looks& looks, std::string_view folder) const {
    if (looks.last != nullptr && folder == looks.lastText) return looks.last;
    const auto found = byText_.find(std::string(folder));
    assert(found != byText_.end());
    if (found == byText_.end()) return nullptr;
    looks.lastText = folder;
    looks.last = found->second;
    return looks.last;
}

void DiskModel::Read(std::string_view folder, std::size_t renames) {
    FolderOf(folder, renames);
}

bool DiskModel::ExactAndDistinct() const {
    return !aliased_ && std::all_of(folders_.begin(), folders_.end(), [](const auto& folder) {
        return folder->entries->Listed() && folder->entries->Exact();
    });
}

std::string DiskModel::PaperKey(const Folder& folder, std::string_view name) {
    return folder.entries->Exact() ? std::string(name) : Cp932::ToLower(name);
}

template <class FolderAt>
DiskModel::Kind DiskModel::At(Looks& looks, const FolderAt& folderAt, std::string_view path,
                              Platform::EntryId* id, bool* asRead) {
    if (asRead != nullptr) *asRead = true;
    const PathParts parts = SplitAtLastDelimiter(path);
    if (parts.folder.empty() || !FolderLook::ListedName(parts.name)) return FolderLook::LookAtPath(path, id);
    const Folder* folder = folderAt(parts.folder);
    if (folder == nullptr || !Cp932::ToUtf8(parts.name, looks.name)) return Kind::kNone;
    return Look(looks, *folder, parts.name, looks.name, id, asRead);
}

DiskModel::Kind DiskModel::At(std::string_view path, Platform::EntryId* id, bool* asRead) {
    return At(
        looks_, [this](std::string_view text) { return FolderOf(text); }, path, id, asRead);
}

DiskModel::Kind DiskModel::Look(Looks& looks, const Folder& folder, std::string_view name,
                                const std::string& native, Platform::EntryId* id, bool* asRead) {
    if (!folder.entries->Listed() && !folder.paper.empty()) {
        const auto paper = folder.paper.find(PaperKey(folder, name));
        if (paper != folder.paper.end()) {
            if (id != nullptr) *id = paper->second.id;
            if (asRead != nullptr) *asRead = false;
            return paper->second.kind;
        }
    }
    if (!looks.shared) return FolderLook::KindOf(folder.entries->KindOf(native, id, asRead));
    for (const Looks::Seen& seen : looks.seen) {
        if (seen.folder != &folder || seen.native != native) continue;
        if (id != nullptr) *id = seen.id;
        if (asRead != nullptr) *asRead = seen.asRead;
        return seen.kind;
    }
    Looks::Seen& seen = looks.seen[looks.next];
    looks.next = (looks.next + 1) % std::size(looks.seen);
    seen.folder = &folder;
    seen.native = native;
    seen.kind = FolderLook::KindOf(folder.entries->SharedKindOf(native, &seen.id, &seen.asRead));
    if (id != nullptr) *id = seen.id;
    if (asRead != nullptr) *asRead = seen.asRead;
    return seen.kind;
}

void DiskModel::Prefetch(std::string_view folder, std::string_view name, bool held) {
    Folder* model = FolderOf(folder);
    if (model != nullptr && Cp932::ToUtf8(name, expected_)) model->entries->Prefetch(expected_, held);
}

bool DiskModel::TooLong(std::string_view path) {
    const PathParts parts = SplitAtLastDelimiter(path);
    Folder* folder = FolderOf(parts.folder);
    return folder != nullptr && Cp932::ToUtf8(parts.name, looks_.name) &&
           looks_.name.size() > folder->entries->NameMax();
}

void DiskModel::Move(std::string_view from, std::string_view to) {
    Platform::EntryId id;
    const Kind kind = At(from, &id);
    const PathParts source = SplitAtLastDelimiter(from);
    const PathParts target = SplitAtLastDelimiter(to);
    Folder* sourceFolder = FolderOf(source.folder);
    Folder* targetFolder = FolderOf(target.folder);
    if (sourceFolder == nullptr || targetFolder == nullptr) return;
    if (!Cp932::ToUtf8(source.name, looks_.name) || !Cp932::ToUtf8(target.name, looks_.toName)) return;
    Move(*sourceFolder, source.name, looks_.name, *targetFolder, target.name, looks_.toName, kind, id);
}

void DiskModel::Move(Folder& sourceFolder, std::string_view sourceName, const std::string& sourceNative,
                     Folder& targetFolder, std::string_view targetName, const std::string& targetNative,
                     Kind kind, const Platform::EntryId& id) {
    if (sourceFolder.entries->Listed()) {
        Changed(sourceFolder).Removed(sourceNative);
    } else {
        sourceFolder.paper[PaperKey(sourceFolder, sourceName)] = Paper{};
    }
    if (targetFolder.entries->Listed()) {
        Changed(targetFolder).Added(targetNative, EntryKindOf(kind), id.file.inode);
    } else {
        targetFolder.paper[PaperKey(targetFolder, targetName)] = Paper{kind, id};
    }
}

Platform::FolderEntries& DiskModel::Changed(Folder& folder) {
    if (!folder.own) {
        folder.own = folder.entries->Copy();
        folder.entries = folder.own.get();
    }
    return *folder.own;
}

BatchRenames::Result DiskModel::Rename(std::string_view from, std::string_view to,
                                       const Platform::EntryId* expected) {
    return Rename(from, to, expected != nullptr ? Expect::kId : Expect::kAny, expected);
}

BatchRenames::Result DiskModel::RenameReadFile(std::string_view from, std::string_view to) {
    return Rename(from, to, Expect::kRead, nullptr);
}

template <class FolderAt>
DiskModel::Found DiskModel::Find(Looks& looks, const FolderAt& folderAt, std::string_view from,
                                 std::string_view to, Expect expect, const Platform::EntryId* expected) {
    using Result = BatchRenames::Result;
    Found found;
    const PathParts source = SplitAtLastDelimiter(from);
    const PathParts target = SplitAtLastDelimiter(to);
    // A text with no native form is refused as the rename refuses it (the folders were read, so
    // only the names are left to convert).
    found.target = from == to ? nullptr : folderAt(target.folder);
    if (found.target == nullptr || !Cp932::ToUtf8(source.name, looks.name) ||
        !Cp932::ToUtf8(target.name, looks.toName))
        return found;
    // Each name is split, converted and looked up once: a preview over a million rows takes this
    // step for every one of them.
    found.plain =
        !source.folder.empty() && FolderLook::ListedName(source.name) && FolderLook::ListedName(target.name);
    found.source = found.plain ? folderAt(source.folder) : nullptr;
    bool asRead = true;
    if (!found.plain) {
        found.kind = At(looks, folderAt, from, &found.id, &asRead);
    } else if (found.source != nullptr) {
        found.kind = Look(looks, *found.source, source.name, looks.name, &found.id, &asRead);
    }
    if (expect != Expect::kAny &&
        (found.kind != Kind::kFile || (expect == Expect::kId ? !MayHold(*expected, found.id) : !asRead))) {
        found.result = Result::kNoSource;
        return found;
    }
    if (found.kind == Kind::kNone || looks.toName.size() > found.target->entries->NameMax()) return found;
    // The rename never replaces what stands at the new name, except where that is the file itself
    // under another spelling (a folder that folds case): then it goes through a temporary name.
    Platform::EntryId standing;
    const Kind atTarget = found.plain ? Look(looks, *found.target, target.name, looks.toName, &standing)
                                      : At(looks, folderAt, to, &standing, nullptr);
    if (atTarget != Kind::kNone) {
        const bool oneFile =
            Cp932::EqualNoCase(from, to) && !found.target->entries->Exact() && OneEntry(standing, found.id);
        if (!oneFile) return found;
    }
    found.result = Result::kDone;
    return found;
}

BatchRenames::Result DiskModel::Rename(std::string_view from, std::string_view to, Expect expect,
                                       const Platform::EntryId* expected) {
    const Found found = Find(
        looks_, [this](std::string_view text) { return FolderOf(text); }, from, to, expect, expected);
    if (found.result != BatchRenames::Result::kDone) return found.result;
    if (!found.plain) {
        Move(from, to);
    } else {
        const PathParts source = SplitAtLastDelimiter(from);
        const PathParts target = SplitAtLastDelimiter(to);
        Move(*found.source, source.name, looks_.name, *found.target, target.name, looks_.toName, found.kind,
             found.id);
    }
    return BatchRenames::Result::kDone;
}

bool DiskModel::Holds(std::string_view from, const Platform::EntryId& id) {
    Platform::EntryId standing;
    return At(from, &standing) == Kind::kFile && MayHold(id, standing);
}

bool DiskModel::HoldsReadFile(std::string_view from) {
    bool asRead = false;
    return At(from, nullptr, &asRead) == Kind::kFile && asRead;
}

bool DiskModel::Taken(std::string_view from, std::string_view to) {
    Platform::EntryId source;
    Platform::EntryId standing;
    At(from, &source);
    return At(to, &standing) != Kind::kNone && !OneEntry(standing, source);
}

DiskModel::Kind DiskModel::AsRead::At(std::string_view path, Platform::EntryId* id, bool* asRead) {
    return DiskModel::At(
        looks_, [this](std::string_view text) { return model_.ReadBefore(looks_, text); }, path, id, asRead);
}

BatchRenames::Result DiskModel::AsRead::Rename(std::string_view from, std::string_view to,
                                               const Platform::EntryId* expected) {
    const Expect expect = readFiles_ ? Expect::kRead : expected != nullptr ? Expect::kId : Expect::kAny;
    return Find(
               looks_, [this](std::string_view text) { return model_.ReadBefore(looks_, text); }, from, to,
               expect, expected)
        .result;
}

bool DiskModel::AsRead::Holds(std::string_view from, const Platform::EntryId& id) {
    Platform::EntryId standing;
    bool asRead = false;
    return At(from, &standing, &asRead) == Kind::kFile && (readFiles_ ? asRead : MayHold(id, standing));
}

bool DiskModel::AsRead::Taken(std::string_view from, std::string_view to) {
    Platform::EntryId source;
    Platform::EntryId standing;
    At(from, &source);
    return At(to, &standing) != Kind::kNone && !OneEntry(standing, source);
}

}  // namespace MyFileOperation
