#pragma once

// The folders of a run as the run would find them, read once, with renames made on paper: the
// preview takes the run's steps (RenameSteps.h) on it to tell what the run will do, and changes
// nothing on disk. A folder whose names compare exactly is read whole into a table; any other (a
// folder that folds case, one that cannot be read) is looked at name by name, with the renames
// made on paper kept beside it.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/list/FolderListings.h"
#include "core/list/FolderLook.h"
#include "core/list/MyFileOperation.h"
#include "core/platform/FileSystem.h"

namespace MyFileOperation {

class DiskModel {
public:
    using Kind = FolderLook::Kind;

    // listings (optional): of folders read before (a load's), lent to the model, which reads a folder
    // found unchanged since no more, and copies a listing only to rename in it on paper. They must
    // not change while the model lives.
    explicit DiskModel(const FolderListings* listings = nullptr);
    ~DiskModel();
    DiskModel(const DiskModel&) = delete;
    DiskModel& operator=(const DiskModel&) = delete;

    // Reads a folder (a text ending in "/") now rather than at the first look into it, with room
    // for renames names coming into it, so that its table is not rebuilt on the way.
    void Read(std::string_view folder, std::size_t renames = 0);

    // What stands at path now, links followed; id (optional) receives the identity of the entry
    // itself; asRead (optional): whether it is what the folder held when read. As FolderLook::At.
    Kind At(std::string_view path, Platform::EntryId* id = nullptr, bool* asRead = nullptr);
    // A look at name in folder (with its "/") comes soon: what it will read is fetched into the
    // cache meanwhile, first (held false) the place of the name, then nearer the look (held true)
    // the name standing there. Changes nothing the model tells.
    void Prefetch(std::string_view folder, std::string_view name, bool held);
    // The name of path has more bytes than its file system takes.
    bool TooLong(std::string_view path);

    // The steps' disk (RenameSteps.h), on paper. Rename gives what BatchRenames::Rename would: with
    // expected, a source that is not that file is kNoSource; without, a missing source is refused.
    BatchRenames::Result Rename(std::string_view from, std::string_view to,
                                const Platform::EntryId* expected);
    bool Holds(std::string_view from, const Platform::EntryId& id);
    bool Taken(std::string_view from, std::string_view to);

    // The same where the file expected is the one that stood at from when its folder was read:
    // what the run would find knowing each file first, without keeping every file's identity.
    BatchRenames::Result RenameReadFile(std::string_view from, std::string_view to);
    bool HoldsReadFile(std::string_view from);

    // Whether every folder read was read whole, its names compared exactly, and no two folder
    // texts name one folder: then two paths name one file only where they are the same text.
    bool ExactAndDistinct() const;

    // The steps' disk as read, for steps that cannot meet (each looks only at names no other
    // step renames): Rename tells what the model's would and records nothing. It only looks, so
    // several threads may take steps at once, each through its own, once every folder the steps
    // look into was read (Read, or a look) and while the model is not changed.
    class AsRead;

    // The steps' disk for a run that knows its files before the first rename (SkipStep), each
    // expected to be the one read at its path: the identities passed are not used.
    class ReadFiles {
    public:
        explicit ReadFiles(DiskModel& model) : model_(model) {}
        BatchRenames::Result Rename(std::string_view from, std::string_view to,
                                    const Platform::EntryId* /*id*/) {
            return model_.RenameReadFile(from, to);
        }
        bool Holds(std::string_view from, const Platform::EntryId& /*id*/) {
            return model_.HoldsReadFile(from);
        }
        bool Taken(std::string_view from, std::string_view to) { return model_.Taken(from, to); }

    private:
        DiskModel& model_;
    };

private:
    // What renames on paper left at a name of a folder looked at name by name.
    struct Paper {
        Kind kind = Kind::kNone;  // kNone: the name was emptied
        Platform::EntryId id;
    };
    struct Folder {
        const Platform::FolderEntries* entries = nullptr;  // own, or a listing lent
        std::unique_ptr<Platform::FolderEntries> own;
        std::unordered_map<std::string, Paper> paper;  // by name, in lower case where names fold
    };
    // The entries of a folder to rename in: a listing lent is copied first.
    static Platform::FolderEntries& Changed(Folder& folder);
    // The room a series of looks works in: the folder looked into last and the native names. The
    // model has its own, and so has each AsRead.
    struct Looks {
        std::string lastText;
        Folder* last = nullptr;
        std::string name;    // the native name of each look
        std::string toName;  // and of a rename's new name
        // Looks that change nothing in the folders' entries, on a model that does not change: the
        // last two are kept, since a step looks again at the names looked at before it.
        bool shared = false;
        struct Seen {
            const Folder* folder = nullptr;
            std::string native;
            Kind kind = Kind::kNone;
            Platform::EntryId id;
            bool asRead = true;
        };
        Seen seen[2];
        std::size_t next = 0;  // the one replaced next
    };
    // The folder of a text, read now when it was not.
    Folder* FolderOf(std::string_view folder, std::size_t renames = 0);
    // The same for a folder read before, without changing the model.
    Folder* ReadBefore(Looks& looks, std::string_view folder) const;
    // What stands at name (native: its native form) in folder; asRead (optional): whether it is
    // what the folder held when read.
    static Kind Look(Looks& looks, const Folder& folder, std::string_view name, const std::string& native,
                     Platform::EntryId* id, bool* asRead = nullptr);
    // At, through looks and folderAt(text), the folder of a text.
    template <class FolderAt>
    static Kind At(Looks& looks, const FolderAt& folderAt, std::string_view path, Platform::EntryId* id,
                   bool* asRead);
    // What a source expected must be: any file, the file id, or the one read there.
    enum class Expect { kAny, kId, kRead };
    // What a rename finds before it is made: its result, and where it goes through, what its move
    // needs (the folders, and what stands at the source).
    struct Found {
        BatchRenames::Result result = BatchRenames::Result::kRefused;
        bool plain = false;  // both names were looked up in their folders, converted in looks
        Folder* source = nullptr;
        Folder* target = nullptr;
        Kind kind = Kind::kNone;
        Platform::EntryId id;
    };
    template <class FolderAt>
    static Found Find(Looks& looks, const FolderAt& folderAt, std::string_view from, std::string_view to,
                      Expect expect, const Platform::EntryId* expected);
    BatchRenames::Result Rename(std::string_view from, std::string_view to, Expect expect,
                                const Platform::EntryId* expected);
    // The rename of what stands at from, made on paper.
    void Move(std::string_view from, std::string_view to);
    // The same once the two folders, the native names and what stands at the source are known.
    static void Move(Folder& sourceFolder, std::string_view sourceName, const std::string& sourceNative,
                     Folder& targetFolder, std::string_view targetName, const std::string& targetNative,
                     Kind kind, const Platform::EntryId& id);
    static std::string PaperKey(const Folder& folder, std::string_view name);

    const FolderListings* listings_;
    std::vector<std::unique_ptr<Folder>> folders_;
    std::unordered_map<std::string, Folder*> byText_;
    bool aliased_ = false;  // two folder texts name one folder
    Looks looks_;
    std::string expected_;  // room for the native name of a look to come
};

class DiskModel::AsRead {
public:
    // readFiles: as ReadFiles, each source is expected to be the file read at its path.
    explicit AsRead(const DiskModel& model, bool readFiles = false) : model_(model), readFiles_(readFiles) {
        looks_.shared = true;
    }
    Kind At(std::string_view path, Platform::EntryId* id = nullptr, bool* asRead = nullptr);
    // The steps' disk (RenameSteps.h).
    BatchRenames::Result Rename(std::string_view from, std::string_view to,
                                const Platform::EntryId* expected);
    bool Holds(std::string_view from, const Platform::EntryId& id);
    bool Taken(std::string_view from, std::string_view to);

private:
    const DiskModel& model_;
    bool readFiles_;
    Looks looks_;
};

}  // namespace MyFileOperation
