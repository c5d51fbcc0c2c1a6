#include "cli/DryRun.h"

#include "cli/Interrupt.h"
#include "cli/Report.h"
#include "core/commands/Common.h"
#include "core/commands/RunTexts.h"
#include "core/names/CaseConvert.h"
#include "core/text/Cp932.h"

namespace Cli {
namespace {

Status StatusOf(RenamePreview::State state) {
    using State = RenamePreview::State;
    switch (state) {
        case State::kUnchanged:
            return Status::kUnchanged;
        case State::kRenamed:
            return Status::kRenamed;
        case State::kCollision:
            return Status::kCollision;
        case State::kReordered:
            return Status::kReordered;
        case State::kUnusable:
            return Status::kUnusable;
        case State::kTooLong:
            return Status::kTooLong;
        case State::kMissing:
            return Status::kMissing;
        case State::kRefused:
            break;
    }
    return Status::kRefused;
}

}  // namespace

std::optional<SequentialNames::Options> SequentialOptionsOf(const SeqArgs& args) {
    const auto lead = Cp932::FromUtf8(args.lead);
    const auto start = Cp932::FromUtf8(args.start);
    const auto trail = Cp932::FromUtf8(args.trail);
    const auto step = Cp932::FromUtf8(args.step);
    const auto extension = Cp932::FromUtf8(args.newExtension.value_or(std::string()));
    if (!lead || !start || !trail || !step || !extension) return std::nullopt;
    SequentialNames::Options options;
    options.leadingText = *lead;
    options.startValue = *start;
    options.trailingText = *trail;
    options.incrementText = *step;
    options.changeExtension = args.newExtension.has_value();
    options.newExtension = *extension;
    options.keepName = args.keepName;
    options.folderName = args.folderName;
    options.resetPerFolder = args.resetPerFolder;
    options.addDate = args.date;
    options.dateFormat = SequentialNames::DateFormatFor(args.dateFormat).value_or(options.dateFormat);
    options.dateSeparator = args.dateSeparator;
    options.dateAtEnd = args.dateAtEnd;
    options.dateTaken = args.dateTaken;
    return options;
}

RenamePreview::Inputs InputsOf(const Request& request) {
    switch (request.subcommand) {
        case Subcommand::kReplace: {
            const ReplaceArgs& args = request.replace;
            return RenamePreview::StringPage{.target = Cp932::FromUtf8(args.find),
                                             .replacement = Cp932::FromUtf8(args.replace),
                                             .regex = args.regex,
                                             .includeExtension = args.includeExtension,
                                             .caseSensitive = args.caseSensitive};
        }
        case Subcommand::kCase: {
            const CaseArgs& args = request.caseArgs;
            return RenamePreview::CaseConversion{
                CaseConvert::ConversionMode(args.item, args.nameOnly, args.extensionOnly)};
        }
        case Subcommand::kDigits:
            return RenamePreview::DigitAlignment{};
        case Subcommand::kSeq:
        case Subcommand::kHistory:
        case Subcommand::kUndo:
        case Subcommand::kRecover:
            break;
    }
    return RenamePreview::Sequential{SequentialOptionsOf(request.seq)};
}

int DryRun(const Request& request, Selection& selection) {
    PairList& pairs = selection.pairs;
    const RenamePreview::Inputs inputs = InputsOf(request);
    const auto stopped = [] {
        TellError(Command::Text::UserCancelled());
        return kExitInterrupted;
    };
    if (RenamePreview::NeedsDatesTaken(inputs) && !ReadDatesTaken(pairs)) return stopped();
    InterruptControl control;
    const RenamePreview::Result result = RenamePreview::Forecast(
        pairs.OldPaths(), inputs, pairs.HasDatesTaken() ? &pairs.DatesTaken() : nullptr, &control,
        &pairs.Listings());
    if (result.stopped) return stopped();

    Report report(request.json, false);
    const RenamePreview::Rows& rows = result.rows;
    for (std::size_t row = 0; row < rows.Size(); ++row) {
        const RenamePreview::State state = rows.StateOf(row);
        report.File(pairs.OldPaths()[row], rows.NameOf(row), StatusOf(state), RunTexts::PreviewReason(state));
    }
    const std::string refusal = RunTexts::PreviewRefusal(result.refusal);
    const Counts& counts = report.Counted();
    int code = kExitDone;
    if (!refusal.empty()) {
        code = kExitRefused;
    } else if (counts.collisions + counts.failed > 0) {
        code = kExitSomeFailed;
    }
    report.Summary(refusal, code);
    return code;
}

}  // namespace Cli
