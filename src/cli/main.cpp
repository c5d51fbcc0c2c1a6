// quorbel-cli: the window's renames from a terminal, a script or a file server, dry run first.
#include <cstdio>
#include <cstdlib>

#include "cli/Apply.h"
#include "cli/Args.h"
#include "cli/DryRun.h"
#include "cli/History.h"
#include "cli/Interrupt.h"
#include "cli/Report.h"
#include "cli/Selection.h"
#include "cli/TakeBack.h"
#include "core/journal/RunJournalStore.h"
#include "core/platform/Heap.h"
#include "core/platform/SystemInfo.h"
#include "core/settings/Settings.h"
#include "core/settings/SettingsLocation.h"

namespace {

// The language the window speaks: its settings file (beside the window's executable, which stands
// beside this one, or in the user's folder) is read for the choice, never written.
void UseWindowsLanguage() {
    const std::string self = SystemInfo::ExecutablePath();
    const std::size_t slash = self.rfind('/');
    const std::string window =
        slash == std::string::npos ? std::string() : self.substr(0, slash + 1) + "quorbel";
    Settings::UseLanguage(SettingsLocation::Choose(SettingsLocation::GatherFacts(window)).path);
}

int Run(const Cli::Request& request) {
    using Cli::Subcommand;
    const std::string journalFolder = RunJournal::DefaultFolder();
    switch (request.subcommand) {
        case Subcommand::kHistory:
            return Cli::ShowHistory(request, journalFolder);
        case Subcommand::kUndo:
            return Cli::Undo(request, journalFolder);
        case Subcommand::kRecover:
            return Cli::Recover(request, journalFolder);
        case Subcommand::kSeq:
        case Subcommand::kReplace:
        case Subcommand::kCase:
        case Subcommand::kDigits:
            break;
    }
    Cli::Selection selection = Cli::Select(request);
    for (const std::string& message : selection.messages)
        Cli::TellError(message);
    if (selection.exitCode != Cli::kExitDone) return selection.exitCode;
    const int code =
        request.apply ? Cli::ApplyRun(request, selection, journalFolder) : Cli::DryRun(request, selection);
    // Everything is told and the run's journals are closed and synced: the process ends here rather
    // than free a list of a million files on its way out. The image library may also still read a
    // photo on a thread given up on, whose static data must not be destroyed under it.
    std::fflush(nullptr);
    std::_Exit(code);
}

}  // namespace

int main(int argc, char** argv) {
    Platform::SetUpHeap();
    UseWindowsLanguage();
    const Cli::Parsed parsed = Cli::Parse(argc, argv);
    if (!parsed.request) {
        std::fputs(parsed.output.c_str(), parsed.exitCode == Cli::kExitDone ? stdout : stderr);
        return parsed.exitCode;
    }
    Cli::CatchInterrupt();
    return Run(*parsed.request);
}
