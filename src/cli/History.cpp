#include "cli/History.h"

#include <ctime>

#include "cli/Escape.h"
#include "cli/Report.h"
#include "cli/Texts.h"
#include "core/journal/RunJournalStore.h"

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

int ShowHistory(const Request& request, const std::string& journalFolder) {
    if (journalFolder.empty()) {
        TellError("変更履歴のフォルダがわかりません（HOME も XDG_STATE_HOME もありません）。");
        return kExitRefused;
    }
    RunJournal::Store store(journalFolder);
    const RunJournal::Listing listing = store.List();
    for (const RunJournal::Problem& problem : listing.problems) {
        std::string file;
        AppendEscaped(file, problem.file);
        TellError("変更履歴のファイル " + file + " は読み込めないため、除外しました。");
    }
    std::string out;
    for (const RunJournal::Summary& command : listing.commands) {
        const RunJournal::Header& header = command.header;
        if (request.json) {
            out += R"({"type":"command","id":)" + std::to_string(header.id) + R"(,"time":)" +
                   std::to_string(header.time) + R"(,"kind":")";
            out += KindName(header.kind);
            out += R"(","folder":)";
            AppendJsonString(out, header.folder);
            out += R"(,"files":)" + std::to_string(command.files) + R"(,"state":")";
            out += StateName(command.state);
            out += "\"}\n";
        } else {
            out += std::to_string(header.id) + '\t' + LocalTime(header.time) + '\t' +
                   Texts::KindText(header.kind) + '\t';
            AppendEscaped(out, header.folder);
            out += '\t' + std::to_string(command.files) + '\t' + Texts::StateText(command.state) + '\n';
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return kExitDone;
}

}  // namespace Cli
