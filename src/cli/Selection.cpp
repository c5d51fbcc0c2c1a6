#include "cli/Selection.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <optional>

#include "cli/Escape.h"
#include "cli/Interrupt.h"
#include "core/commands/Common.h"
#include "core/list/FileList.h"
#include "core/list/LoadTexts.h"
#include "core/list/MyFileOperation.h"
#include "core/names/DateReading.h"
#include "core/text/Cp932.h"
#include "core/text/Translate.h"

namespace Cli {
namespace {

// The whole of a file, or of stdin for "-"; nullopt with errno set when it cannot be read.
std::optional<std::string> ReadAll(const std::string& name) {
    const bool stdinput = name == "-";
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(
        stdinput ? stdin : std::fopen(name.c_str(), "rb"),
        stdinput ? [](std::FILE*) { return 0; } : std::fclose);
    if (file == nullptr) return std::nullopt;
    std::string bytes;
    char chunk[65536];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0)
        bytes.append(chunk, got);
    if (std::ferror(file.get()) != 0) return std::nullopt;
    return bytes;
}

// The entries of --from: one path a line (or between two NULs), empty ones left out.
std::vector<std::string> SplitEntries(const std::string& bytes, char separator) {
    std::vector<std::string> entries;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find(separator, start);
        if (end == std::string::npos) end = bytes.size();
        if (end > start) entries.emplace_back(bytes, start, end - start);
        start = end + 1;
    }
    return entries;
}

Selection Refused(std::string message) {
    Selection selection;
    selection.messages.push_back(std::move(message));
    selection.exitCode = kExitRefused;
    return selection;
}

// Ctrl-C before anything changed.
Selection Stopped() {
    Selection selection = Refused(Command::Text::UserCancelled());
    selection.exitCode = kExitInterrupted;
    return selection;
}

}  // namespace

std::string AbsolutePath(const std::string& native) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path path = fs::absolute(fs::path(native), error);
    if (error) path = fs::path(native);
    // Up to the last "..", the file system decides where it leads; after it, the text.
    fs::path upTo;
    fs::path after;
    bool afterUp = false;
    for (const fs::path& part : path) {
        if (part == "..") {
            upTo /= after;
            upTo /= part;
            after.clear();
            afterUp = true;
        } else {
            after /= part;
        }
    }
    if (afterUp) {
        if (fs::path real = fs::canonical(upTo, error); !error) path = real / after;
    }
    std::string text = path.lexically_normal().string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

std::string Shown(const std::string& path) {
    std::string shown;
    const std::optional<std::string> native = Cp932::ToUtf8(path);
    AppendEscaped(shown, native ? *native : Cp932::ToUtf8Lossy(path));
    return shown;
}

Selection Select(const Request& request) {
    std::vector<std::string> natives = request.paths;
    if (request.from) {
        const std::optional<std::string> bytes = ReadAll(*request.from);
        if (!bytes) {
            std::string named;
            AppendEscaped(named, *request.from);
            return Refused(
                Translate::Fill(_("ファイル %1 を読み込めません。（%2）"), {named, std::strerror(errno)}));
        }
        for (std::string& entry : SplitEntries(*bytes, request.nulSeparated ? '\0' : '\n'))
            natives.push_back(std::move(entry));
        if (natives.empty()) return Refused(_("--from のファイルにパスがありません。"));
    }
    std::vector<std::string> entries;
    entries.reserve(natives.size());
    for (const std::string& native : natives) {
        std::optional<std::string> path = Cp932::FromUtf8(AbsolutePath(native));
        if (!path) return Refused(LoadTexts::Unlisted(1));
        entries.push_back(std::move(*path));
    }

    FileList::LoadOptions options;
    options.recursive = request.recursive;
    options.extensions = FileList::ReadExtFilter(Cp932::FromUtf8(request.extensions).value_or(std::string()));
    options.filterMode = request.filterMode;
    // The listings serve the dry run's forecast and the run at once after the load: all are kept.
    options.keptNames = std::numeric_limits<std::size_t>::max();
    InterruptControl control;
    // One folder alone is listed as if chosen in the window, anything else as if dropped on it.
    FileList::LoadPlan plan =
        entries.size() == 1 && !request.from && MyFileOperation::FolderExists(entries[0])
            ? FileList::PlanChosenFolderLoad(entries[0], options, &control)
            : FileList::PlanLoad(entries, options, &control);
    Selection selection;
    // The folder the window would then call its current one.
    const std::string folder = Shown(!plan.recordedFolders.empty() ? plan.recordedFolders.back()
                                     : entries.size() == 1         ? FileList::FolderTextOf(entries[0])
                                                                   : std::string());
    using Outcome = FileList::LoadPlan::Outcome;
    switch (plan.outcome) {
        case Outcome::kCancelled:
            return Stopped();
        case Outcome::kCannotOpen:
            return Refused(LoadTexts::CannotOpen(Shown(plan.failedFolder)));
        case Outcome::kNoFiles:
            selection.messages.push_back(LoadTexts::NoFiles(folder));
            selection.exitCode = kExitRefused;
            break;
        case Outcome::kAllFiltered:
            selection.messages.push_back(LoadTexts::AllFiltered(folder));
            selection.exitCode = kExitRefused;
            break;
        case Outcome::kLoaded:
            selection.pairs.Load(std::move(plan.paths), std::move(plan.listings));
            break;
    }
    if (plan.unlisted > 0) selection.messages.push_back(LoadTexts::Unlisted(plan.unlisted));
    if (selection.exitCode != kExitDone || request.sort == RowOrder::Key::kName) return selection;

    if (request.sort == RowOrder::Key::kTaken && !ReadDatesTaken(selection.pairs)) return Stopped();
    const std::optional<std::vector<std::size_t>> order =
        RowOrder::Order(selection.pairs, request.sort, &control);
    if (!order) return Stopped();
    selection.pairs.Reorder(*order);
    return selection;
}

bool ReadDatesTaken(PairList& pairs) {
    if (pairs.Empty() || pairs.HasDatesTaken()) return true;
    const PhotoDate::Reading reading(pairs.OldPaths(), PhotoDate::ReadingSetup{});
    InterruptControl control;
    if (!reading.Wait(control)) return false;
    pairs.SetDatesTaken(reading.Dates());
    return true;
}

}  // namespace Cli
