#include "core/commands/OtherRun.h"

#include "core/commands/Common.h"
#include "core/commands/RunTexts.h"
#include "core/names/CaseConvert.h"
#include "core/names/DigitAlign.h"

namespace Command {

RunOutcome RunCaseConversion(const RunContext& context, int mode, Host& host) {
    const auto plan = [mode](const std::vector<std::string>& listed) {
        return KeptFrom(CaseConvert::PlanConversion(listed, mode));
    };
    // Last to first, so of two files converted to one name the later one gets it.
    const RunOutcome ran = RunKeptFiles(
        context,
        {.plan = plan, .kind = RunJournal::Kind::kCaseWidth, .order = RenameExecutor::Order::LastToFirst},
        host);
    if (ran.end == RunOutcome::End::kNoFile) {
        host.Tell(RunTexts::NothingToRename(RenamePreview::NothingToRename::Run::kCase));
        if (context.tellDone) host.Tell(Text::Done());
    }
    return ran;
}

RunOutcome RunDigitAlignment(const RunContext& context, Host& host) {
    const auto plan = [](const std::vector<std::string>& listed) {
        return KeptFrom(DigitAlign::Preview(listed));
    };
    const RunOutcome ran = RunKeptFiles(context,
                                        {.plan = plan,
                                         .collided = Text::Left::kDigitsCollided,
                                         .kind = RunJournal::Kind::kDigit,
                                         .offerOrder = true},
                                        host);
    if (ran.end == RunOutcome::End::kNoFile)
        host.Tell(RunTexts::NothingToRename(RenamePreview::NothingToRename::Run::kDigit));
    return ran;
}

}  // namespace Command
