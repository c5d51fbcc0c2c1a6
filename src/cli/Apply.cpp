#include "cli/Apply.h"

#include <cstdint>
#include <optional>
#include <utility>

#include "cli/DryRun.h"
#include "cli/History.h"
#include "cli/Journaled.h"
#include "cli/Report.h"
#include "cli/TerminalHost.h"
#include "core/commands/OtherRun.h"
#include "core/commands/RunSteps.h"
#include "core/commands/RunTexts.h"
#include "core/commands/SequentialRun.h"
#include "core/commands/StringRun.h"
#include "core/names/CaseConvert.h"
#include "core/text/Cp932.h"

namespace Cli {

int ApplyRun(const Request& request, Selection& selection, const std::string& journalFolder) {
    // A run from here is always journaled: it is what undo and the window's history go by.
    if (!HasJournalFolder(journalFolder)) return kExitRefused;
    RunJournal::Store store(journalFolder);
    const std::uint64_t before = store.NewestId();
    ReportAhead ahead(journalFolder, before, request.json);
    TerminalHost host(request.answer, [&ahead] { ahead.Start(); });
    // The counts tell that it went well.
    const Command::RunContext context{
        .pairs = selection.pairs, .journalFolder = journalFolder, .tellDone = false};
    switch (request.subcommand) {
        case Subcommand::kSeq: {
            const std::optional<SequentialNames::Options> options = SequentialOptionsOf(request.seq);
            if (!options) {
                // A text without a code page 932 form, as the window refuses it.
                TellError(RunTexts::SequentialRefusal({SequentialNames::RunCheck::Refusal::kInputs, {}}));
                return kExitRefused;
            }
            Command::RunSequential(
                context,
                {.names = *options, .readDatesTaken = [&] { return ReadDatesTaken(selection.pairs); }}, host);
            break;
        }
        case Subcommand::kReplace: {
            const ReplaceArgs& args = request.replace;
            std::optional<std::string> target = Cp932::FromUtf8(args.find);
            std::optional<std::string> replacement = Cp932::FromUtf8(args.replace);
            if (!target || !replacement) {
                // A text the codec cannot hold at all is as unusable as a missing one.
                TellError(RunTexts::StringRefusal({StringRename::Refusal::EmptyTarget, {}}));
                return kExitRefused;
            }
            Command::RunString(context,
                               {.target = std::move(*target),
                                .replacement = std::move(*replacement),
                                .regex = args.regex,
                                .includeExtension = args.includeExtension,
                                .caseSensitive = args.caseSensitive},
                               host);
            break;
        }
        case Subcommand::kCase: {
            const CaseArgs& args = request.caseArgs;
            Command::RunCaseConversion(
                context, CaseConvert::ConversionMode(args.item, args.nameOnly, args.extensionOnly), host);
            break;
        }
        case Subcommand::kDigits:
            Command::RunDigitAlignment(context, host);
            break;
        case Subcommand::kHistory:
        case Subcommand::kUndo:
        case Subcommand::kRecover:
            break;
    }
    return ReportJournaled(store, before, request, host, &ahead);
}

}  // namespace Cli
