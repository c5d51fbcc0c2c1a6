#include "cli/History.h"

#include <ctime>

#include "cli/Escape.h"
#include "cli/Report.h"
#include "cli/TerminalHost.h"
#include "core/commands/History.h"
#include "core/commands/Recovery.h"
#include "core/journal/RunJournalStore.h"
#include "core/text/Translate.h"

namespace Cli {
namespace {

// The names of the JSON fields' values, which scripts compare.
std::string_view KindName(RunJournal::Kind kind) {
    using RunJournal::Kind;
    switch (kind) {
        case Kind::kSequential:
            return "sequential";
        case Kind::kString:
            return "string";
        case Kind::kCaseWidth:
            return "case-width";
        case Kind::kDigit:
            return "digit";
        case Kind::kUndo:
            return "undo";
        case Kind::kRevert:
            return "revert";
        case Kind::kMove:
            return "move";
        case Kind::kRecovery:
            return "recovery";
    }
    return {};
}

std::string_view StateName(RunJournal::State state) {
    using RunJournal::State;
    switch (state) {
        case State::kRunning:
            return "running";
        case State::kInterrupted:
        case State::kClosedAsFound:
            return "interrupted";
        case State::kCompleted:
            return "completed";
        case State::kUndone:
            return "undone";
    }
    return {};
}

// As the window shows it: local time, "yyyy/MM/dd HH:mm:ss".
std::string LocalTime(std::int64_t seconds) {
    const auto time = static_cast<std::time_t>(seconds);
    std::tm local{};
    localtime_r(&time, &local);
    char text[32];
    return {text, std::strftime(text, sizeof text, "%Y/%m/%d %H:%M:%S", &local)};
}

}  // namespace

bool HasJournalFolder(const std::string& journalFolder) {
    if (!journalFolder.empty()) return true;
    TellError(_("変更履歴のフォルダがわかりません（HOME も XDG_STATE_HOME もありません）。"));
    return false;
}

void AppendCommand(std::string& out, bool json, std::string_view type, const RunJournal::Header& header,
                   std::size_t files, RunJournal::State state, const std::size_t* done) {
    if (json) {
        out += R"({"type":")";
        out += type;
        out += R"(","id":)" + std::to_string(header.id) + R"(,"time":)" + std::to_string(header.time) +
               R"(,"kind":")";
        out += KindName(header.kind);
        out += R"(","folder":)";
        AppendJsonString(out, header.folder);
        out += R"(,"files":)" + std::to_string(files) + R"(,"state":")";
        out += StateName(state);
        out += '"';
        if (done != nullptr) out += R"(,"done":)" + std::to_string(*done);
        out += "}\n";
        return;
    }
    out += std::to_string(header.id) + '\t' + LocalTime(header.time) + '\t' + Command::KindText(header.kind) +
           '\t';
    AppendEscaped(out, header.folder);
    out += '\t' + std::to_string(files) + '\t' + Command::StateText(state);
    if (done != nullptr) {
        out += '\t';
        out += Translate::Fill(P_("%1個を変更済み", "%1個を変更済み", *done), {std::to_string(*done)});
    }
    out += '\n';
}

int ShowHistory(const Request& request, const std::string& journalFolder) {
    if (!HasJournalFolder(journalFolder)) return kExitRefused;
    RunJournal::Store store(journalFolder);
    TerminalHost host(request.answer);
    const RunJournal::Listing listing = Command::ListJournal(store, host);
    std::string out;
    for (const RunJournal::Summary& command : listing.commands)
        AppendCommand(out, request.json, "command", command.header, command.files, command.state);
    std::fwrite(out.data(), 1, out.size(), stdout);
    return kExitDone;
}

}  // namespace Cli
