#include "core/journal/RunJournalRecord.h"

#include <cassert>
#include <string_view>
#include <utility>

#include "core/list/MyFileOperation.h"
#include "core/text/Cp932.h"

namespace RunJournal {
namespace {

// Native paths of the pairs of a run, which share their folders: each folder is converted once
// while the paths keep to it, and only the names after it.
class NativePaths {
public:
    // The native form of cp932: the text itself where it is all ASCII, as most paths are, else
    // room holding the conversion.
    std::string_view Convert(std::string_view cp932, std::string& room) {
        if (Cp932::IsAscii(cp932)) return cp932;
        const MyFileOperation::PathParts parts = MyFileOperation::SplitAtLastDelimiter(cp932);
        if (parts.folder.empty() || parts.folder != folder_) {
            folder_.assign(parts.folder);
            nativeFolder_ = NativePath(parts.folder);
        }
        room = nativeFolder_;
        if (!Cp932::ToUtf8(parts.name, name_)) name_.assign(parts.name);
        room += name_;
        return room;
    }

private:
    std::string folder_;
    std::string nativeFolder_;
    std::string name_;
};

std::string FolderOfNative(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {};
    return path.substr(0, slash == 0 ? 1 : slash);
}

}  // namespace

Outcome OutcomeOfMove(const std::error_code& error) {
    if (!error) return Outcome::kDone;
    return error == std::errc::operation_canceled ? Outcome::kUntried : Outcome::kFailed;
}

std::string NativePath(std::string_view cp932) {
    std::string native;
    if (!Cp932::ToUtf8(cp932, native)) native.assign(cp932);
    return native;
}

Record::Record(std::string folder, Kind kind, std::uint64_t target, std::string workFolder)
    : writer_(std::move(folder)), kind_(kind), target_(target), workFolder_(std::move(workFolder)) {}

std::error_code Record::Begin(const std::vector<Entry>& entries) {
    assert(!Running() && "one command per record");
    const std::string folder =
        !workFolder_.empty() || entries.empty() ? workFolder_ : FolderOfNative(entries.front().oldPath);
    return Started(writer_.Begin(kind_, folder, entries, target_));
}

namespace {

// Encoded straight from the pairs: gathering a hundred thousand entries first cost as much as the
// rest of the journal.
Format::EntriesEncoder EncodePaths(const RenameExecutor::RecordedPairs& pairs) {
    const std::size_t size = pairs.Size();
    std::size_t pathBytes = 0;
    for (std::size_t k = 0; k < size; ++k)
        pathBytes += pairs.from[pairs.At(k)].size() + pairs.to[pairs.At(k)].size();
    Format::EntriesEncoder encoder(size, pathBytes);
    NativePaths paths;
    std::string from;
    std::string to;
    for (std::size_t k = 0; k < size; ++k) {
        const std::size_t i = pairs.At(k);
        encoder.Add(paths.Convert(pairs.from[i], from), paths.Convert(pairs.to[i], to));
    }
    return encoder;
}

}  // namespace

void Record::Prepare(const RenameExecutor::RecordedPairs& pairs) {
    Draft(pairs, true);
}

void Record::Draft(const RenameExecutor::RecordedPairs& pairs, bool ahead) {
    assert(!Running() && "one command per record");
    writer_.Discard();
    const std::string folder = !workFolder_.empty() || pairs.Size() == 0
                                   ? workFolder_
                                   : FolderOfNative(NativePath(pairs.from[pairs.At(0)]));
    ready_ = Ready{pairs.from.data(), pairs.to.data(), pairs.entries, pairs.Size(), pairs.order, {}};
    ready_->drafted = writer_.Draft(kind_, folder, EncodePaths(pairs), target_, ahead);
}

void Record::PrepareMeanwhile(const RenameExecutor::RecordedPairs& pairs) {
    assert(!preparing_.Joinable() && "one batch per record");
    preparing_ = Platform::HelperThread([this, pairs] { Prepare(pairs); });
}

bool Record::Prepared(const RenameExecutor::RecordedPairs& pairs) const {
    return ready_ && ready_->from == pairs.from.data() && ready_->to == pairs.to.data() &&
           ready_->entries == pairs.entries && ready_->size == pairs.Size() && ready_->order == pairs.order;
}

std::error_code Record::Begin(const RenameExecutor::RecordedPairs& pairs) {
    // Joined first: the preparation fills in the writer that Running() reads.
    if (preparing_.Joinable()) preparing_.Join();
    assert(!Running() && "one command per record");
    if (!Prepared(pairs)) Draft(pairs, false);
    const std::error_code drafted = ready_->drafted;
    ready_.reset();
    if (drafted) return drafted;
    size_ = pairs.Size();
    order_ = pairs.order;
    return Started(writer_.Begin([&pairs](std::size_t k) { return pairs.ids[pairs.At(k)]; }));
}

std::error_code Record::Started(const std::error_code& ec) {
    if (!ec) id_ = writer_.Id();
    return ec;
}

Platform::NameRecorder Record::MoveNames(std::string folder, std::size_t first) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return [this, folder = std::move(folder), first](const std::vector<Platform::TemporaryName>& used) {
        std::vector<Note> notes;
        notes.reserve(used.size());
        for (const Platform::TemporaryName& name : used) {
            NoteKind kind = NoteKind::kSetAside;
            if (name.kind == Platform::TemporaryName::Kind::kCopy) kind = NoteKind::kCopy;
            if (name.kind == Platform::TemporaryName::Kind::kCopyPlaced) kind = NoteKind::kCopyPlaced;
            notes.push_back(
                {kind, static_cast<std::uint32_t>(first + name.move), folder + name.name, name.id});
        }
        return AddNotes(notes);
    };
}

std::error_code Record::Temporaries(const std::vector<RenameExecutor::Stranded>& names) {
    // The executor's batch is recorded in list order (first to last, every index).
    assert(order_ == RenameExecutor::Order::FirstToLast);
    std::vector<Note> notes;
    notes.reserve(names.size());
    for (const RenameExecutor::Stranded& name : names)
        notes.push_back(
            {NoteKind::kCycle, static_cast<std::uint32_t>(name.index), NativePath(name.path), name.id});
    return AddNotes(notes);
}

std::error_code Record::AddNotes(const std::vector<Note>& notes) {
    assert(Running());
    if (notes.empty()) return {};
    return writer_.AddNotes(notes);
}

void Record::End(const std::vector<Outcome>& outcomes) {
    if (Running()) writer_.Close(outcomes);
}

void Record::End(const RenameExecutor::Outcome& outcome) {
    std::vector<Outcome> outcomes(size_, Outcome::kDone);
    const auto mark = [&](const std::vector<std::size_t>& positions, Outcome what) {
        for (const std::size_t position : positions) {
            outcomes[order_ == RenameExecutor::Order::FirstToLast ? position : size_ - 1 - position] = what;
        }
    };
    mark(outcome.skipped, Outcome::kSkipped);
    mark(outcome.failed, Outcome::kFailed);
    mark(outcome.untried, Outcome::kUntried);
    End(outcomes);
}

}  // namespace RunJournal
