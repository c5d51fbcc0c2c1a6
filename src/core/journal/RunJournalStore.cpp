#include "core/journal/RunJournalStore.h"

#include <algorithm>
#include <cassert>
#include <chrono>
#include <set>

#include "core/platform/FileOps.h"
#include "core/platform/SystemInfo.h"
#include "core/settings/SettingsLocation.h"

namespace RunJournal {

namespace {

constexpr std::string_view kDamagedSuffix = ".damaged";
// A Begin whose id another process took at the same moment tries the next ones.
constexpr int kIdAttempts = 100;

std::string PathIn(const std::string& folder, const std::string& name) {
    return folder + "/" + name;
}

// The ids of a journal file's name, also of one set aside as damaged.
std::optional<std::uint64_t> IdOfKeptName(std::string_view name) {
    if (name.size() > kDamagedSuffix.size() && name.ends_with(kDamagedSuffix)) {
        name.remove_suffix(kDamagedSuffix.size());
    }
    return Format::IdOfFileName(name);
}

// A Begin cut short by a crash leaves its hidden file: ".<journal name>.new".
bool IsLeftBegin(std::string_view name) {
    return name.size() > 5 && name.front() == '.' && name.ends_with(".new") &&
           Format::IdOfFileName(name.substr(1, name.size() - 5));
}

std::uint64_t NewestId(const std::string& folder) {
    std::uint64_t newest = 0;
    for (const Platform::FolderFile& file :
         Platform::ListFiles(folder).value_or(std::vector<Platform::FolderFile>{})) {
        newest = std::max(newest, IdOfKeptName(file.name).value_or(0));
    }
    return newest;
}

// A journal whose command was never closed: a later start has yet to take it up.
bool Unclosed(const std::string& path) {
    std::string bytes;
    if (Platform::ReadRegularFile(path, Format::kMaxFileBytes, bytes)) return false;
    const Format::Parsed parsed = Format::Parse(bytes, Format::Entries::kCheckOnly);
    return parsed.verdict == Format::Verdict::kGood && !parsed.journal.closing;
}

// Removes the journals beyond the newest kKeptCommands and kKeptBytes, keeping `newest` whatever
// its size, and what a crashed Begin left. A file whose lock is held stays, and so does a command
// never closed, whatever its age, until it is taken up.
void Prune(const std::string& folder, std::uint64_t newest) {
    struct Kept {
        std::uint64_t id;
        std::string name;
        std::uint64_t size;
    };
    std::vector<Kept> kept;
    for (Platform::FolderFile& file :
         Platform::ListFiles(folder).value_or(std::vector<Platform::FolderFile>{})) {
        if (IsLeftBegin(file.name)) {
            Platform::RemoveUnlocked(PathIn(folder, file.name));
        } else if (const auto id = IdOfKeptName(file.name)) {
            kept.push_back({*id, std::move(file.name), file.size});
        }
    }
    std::sort(kept.begin(), kept.end(), [](const Kept& a, const Kept& b) { return a.id > b.id; });
    std::size_t count = 0;
    std::uint64_t bytes = 0;
    bool full = false;
    for (const Kept& file : kept) {
        full = full || (file.id != newest && (count + 1 > kKeptCommands || bytes + file.size > kKeptBytes));
        const std::string path = PathIn(folder, file.name);
        if (full) {
            if (file.name.ends_with(kDamagedSuffix) || !Unclosed(path)) Platform::RemoveUnlocked(path);
        } else {
            ++count;
            bytes += file.size;
        }
    }
}

std::uint64_t NowInNanoseconds() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
    return ns > 0 ? static_cast<std::uint64_t>(ns) : 0;
}

State StateOf(const Format::Parsed& parsed, bool locked) {
    if (const auto& closing = parsed.journal.closing)
        return closing->asFound ? State::kClosedAsFound : State::kCompleted;
    return locked ? State::kRunning : State::kInterrupted;
}

}  // namespace

std::string FolderFor(const std::optional<std::string>& xdgStateHome,
                      const std::optional<std::string>& home) {
    std::optional<std::string> state = SettingsLocation::UsableFolder(xdgStateHome);
    if (!state) {
        const auto usableHome = SettingsLocation::UsableFolder(home);
        if (!usableHome) return {};
        state = *usableHome + "/.local/state";
    }
    return *state + "/quorbel/journal";
}

std::string DefaultFolder() {
    return FolderFor(SystemInfo::EnvironmentValue("XDG_STATE_HOME"), SettingsLocation::HomeFolder());
}

std::error_code Writer::Begin(Kind kind, const std::string& workFolder, const std::vector<Entry>& entries,
                              std::uint64_t target) {
    if (const auto ec = Draft(kind, workFolder, Format::EncodePaths(entries), target, false)) return ec;
    return Begin([&entries](std::size_t k) { return entries[k].id; });
}

std::error_code Writer::Draft(Kind kind, const std::string& workFolder, const Format::EntriesEncoder& entries,
                              std::uint64_t target, bool flush) {
    assert(!Running() && !Drafted() && "one command at a time per writer");
    if (const auto ec = Platform::MakeFolders(folder_)) return ec;
    const std::uint64_t now = NowInNanoseconds();
    // Ids grow with time, and past every kept one even when the clock went back.
    const std::uint64_t id = std::max(now, NewestId(folder_) + 1);
    draft_ = Format::DraftBytes(
        {id, kind, static_cast<std::int64_t>(now / 1'000'000'000), target, workFolder}, entries);
    entries_ = entries.Count();
    id_ = id;
    flush_ = flush;
    return WriteDraft(id_);
}

std::error_code Writer::WriteDraft(std::uint64_t id) {
    std::error_code ec;
    // A draft's hidden name holds its id against other processes; a name taken still moves on.
    for (int attempt = 0; attempt < kIdAttempts; ++attempt, ++id) {
        if (id != id_) Format::Renumber(draft_, id);
        ec = file_.Draft(folder_, Format::FileName(id), draft_, flush_);
        if (ec != std::errc::file_exists) break;
    }
    id_ = id;
    if (ec) draft_.clear();
    return ec;
}

std::error_code Writer::Begin(const Format::IdOf& idOf) {
    assert(Drafted() && "Begin follows a Draft");
    const std::string ids = Format::IdsBytes(entries_, idOf);
    std::error_code ec = file_.Place(ids);
    // Another process took the name between the draft and now: the draft again under the next.
    for (int attempt = 0; ec == std::errc::file_exists && attempt < kIdAttempts; ++attempt) {
        ec = WriteDraft(id_ + 1);
        if (!ec) ec = file_.Place(ids);
    }
    draft_.clear();
    draft_.shrink_to_fit();
    if (ec) return ec;
    asFound_ = false;
    Prune(folder_, id_);
    return {};
}

void Writer::Discard() {
    file_.Discard();
    draft_.clear();
}

std::error_code Writer::Resume(std::uint64_t id) {
    assert(!Running() && "one command at a time per writer");
    if (const auto ec = file_.OpenExisting(PathIn(folder_, Format::FileName(id)))) return ec;
    std::string bytes;
    std::error_code ec = file_.ReadAll(Format::kMaxFileBytes, bytes);
    const Format::Parsed parsed = Format::Parse(bytes, Format::Entries::kCheckOnly);
    if (!ec && (parsed.verdict != Format::Verdict::kGood || parsed.journal.header.id != id)) {
        ec = std::make_error_code(std::errc::bad_message);
    }
    if (!ec && parsed.journal.closing) ec = std::make_error_code(std::errc::operation_not_permitted);
    if (!ec && parsed.tornTail) ec = file_.Truncate(parsed.validBytes);
    if (ec) {
        file_.Close();
        return ec;
    }
    id_ = id;
    entries_ = parsed.entryCount;
    asFound_ = true;
    return {};
}

std::error_code Writer::AddNotes(const std::vector<Note>& notes) {
    assert(Running());
    assert(std::all_of(notes.begin(), notes.end(), [this](const Note& n) { return n.entry < entries_; }));
    return file_.Append(Format::EncodeNotes(notes));
}

std::error_code Writer::Close(const std::vector<Outcome>& outcomes) {
    assert(Running());
    assert(outcomes.size() == entries_ && "one outcome per entry");
    const std::error_code ec = file_.Append(Format::EncodeClosing({asFound_, outcomes}));
    file_.Close();
    return ec;
}

Listing Store::List(std::size_t limit) {
    Listing listing;
    std::vector<std::pair<std::uint64_t, std::string>> files;
    for (Platform::FolderFile& file :
         Platform::ListFiles(folder_).value_or(std::vector<Platform::FolderFile>{})) {
        if (const auto id = Format::IdOfFileName(file.name)) files.emplace_back(*id, std::move(file.name));
    }
    std::sort(files.begin(), files.end(), std::greater<>());
    std::set<std::uint64_t> undone;  // targets of the completed undo and recovery commands read so far
    for (const auto& [id, name] : files) {
        if (listing.commands.size() >= limit) break;
        const std::string path = PathIn(folder_, name);
        std::string bytes;
        const std::error_code readError = Platform::ReadRegularFile(path, Format::kMaxFileBytes, bytes);
        if (readError && readError != std::errc::file_too_large) continue;  // gone, or not ours to read
        const Format::Parsed parsed =
            readError ? Format::Parsed{} : Format::Parse(bytes, Format::Entries::kCheckOnly);
        const bool locked = Platform::ProbeLock(path) == Platform::LockProbe::kHeld;
        if (parsed.verdict == Format::Verdict::kNewer || (locked && parsed.verdict != Format::Verdict::kGood))
            continue;
        if (parsed.verdict != Format::Verdict::kGood || parsed.journal.header.id != id) {
            const Format::Verdict verdict =
                parsed.verdict == Format::Verdict::kGood ? Format::Verdict::kDamaged : parsed.verdict;
            // Set aside, it is not met again; where that fails, this store remembers it.
            Platform::RenameNoReplace(path, path + std::string(kDamagedSuffix));
            if (reported_.insert(name).second) listing.problems.push_back({name, verdict});
            continue;
        }
        Summary summary{parsed.journal.header, parsed.entryCount, StateOf(parsed, locked)};
        const bool closed = summary.state == State::kCompleted || summary.state == State::kClosedAsFound;
        if (closed && undone.contains(id)) summary.state = State::kUndone;
        // An undo that left some files where they were (stopped, or refused) undid only a part; one
        // killed after its last file and closed as found by a later start undid all.
        const Kind kind = summary.header.kind;
        if ((kind == Kind::kUndo || kind == Kind::kRecovery) &&
            (summary.state == State::kCompleted || summary.state == State::kClosedAsFound) &&
            std::ranges::all_of(parsed.journal.closing->outcomes,
                                [](Outcome o) { return o == Outcome::kDone; })) {
            undone.insert(summary.header.target);
        }
        listing.commands.push_back(std::move(summary));
    }
    return listing;
}

std::vector<std::uint64_t> Store::IdsAfter(std::uint64_t after) const {
    std::vector<std::uint64_t> ids;
    for (const Platform::FolderFile& file :
         Platform::ListFiles(folder_).value_or(std::vector<Platform::FolderFile>{})) {
        if (const auto id = Format::IdOfFileName(file.name); id && *id > after) ids.push_back(*id);
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

std::uint64_t Store::NewestId() const {
    return RunJournal::NewestId(folder_);
}

std::optional<Journal> Store::Read(std::uint64_t id) const {
    std::string bytes;
    return ReadAs(id, Format::Entries::kRead, bytes);
}

std::optional<Journal> Store::ReadWithoutEntries(std::uint64_t id, std::string& bytes) const {
    return ReadAs(id, Format::Entries::kCheckOnly, bytes);
}

std::optional<Journal> Store::ReadAs(std::uint64_t id, Format::Entries entries, std::string& bytes) const {
    if (Platform::ReadRegularFile(PathIn(folder_, Format::FileName(id)), Format::kMaxFileBytes, bytes)) {
        return std::nullopt;
    }
    Format::Parsed parsed = Format::Parse(bytes, entries);
    if (parsed.verdict != Format::Verdict::kGood || parsed.journal.header.id != id) return std::nullopt;
    return std::move(parsed.journal);
}

}  // namespace RunJournal
