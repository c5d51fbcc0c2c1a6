#include "core/commands/StringRun.h"

#include <utility>

#include "core/commands/RunTexts.h"
#include "core/list/PairList.h"
#include "core/names/RegexRename.h"
#include "core/names/StringRename.h"

namespace Command {
namespace {

RunOutcome RunPlan(const RunContext& context, Host& host, const KeptRun::Plan& plan) {
    const RunOutcome ran =
        RunKeptFiles(context, {.plan = plan, .kind = RunJournal::Kind::kString, .offerOrder = true}, host);
    if (ran.end == RunOutcome::End::kNoFile)
        host.Tell(RunTexts::NothingToRename(RenamePreview::NothingToRename::Run::kString));
    return ran;
}

RunOutcome RunRegex(const RunContext& context, const StringRun& run, Host& host) {
    const RegexRename::Prepared prepared =
        RegexRename::Prepare(run.target, run.replacement, run.caseSensitive);
    if (prepared.check.refusal != RegexRename::Refusal::None) {
        host.Tell(RunTexts::RegexRefusal(prepared.check));
        return {};
    }
    // Every name is planned before any is renamed: a name the pattern runs away on refuses the run.
    const std::vector<std::string>& listed = context.pairs.OldPaths();
    RegexRename::Preview preview;
    const bool finished = host.Busy(Work::kRenaming, listed.size(), [&](RunControl& control) {
        preview = RegexRename::PreviewRenames(listed, *prepared.replacer,
                                              {.includeExtension = run.includeExtension}, &control);
    });
    if (!finished || preview.cancelled) return {};
    if (preview.stopped) {
        host.Tell(RunTexts::RegexStopped(preview.stopped->reason, listed[preview.stopped->index]));
        return {};
    }
    return RunPlan(context, host, [&preview](const std::vector<std::string>& paths) {
        std::vector<std::string> oldPaths = StringRename::PickEntries(paths, preview.oldIndices);
        return KeptFiles{std::move(preview.oldIndices), std::move(oldPaths), std::move(preview.newPaths),
                         std::move(preview.unusable)};
    });
}

}  // namespace

RunOutcome RunString(const RunContext& context, const StringRun& run, Host& host) {
    if (run.regex) return RunRegex(context, run, host);
    const StringRename::Check check = StringRename::CheckInputs(run.target, run.replacement);
    if (check.refusal != StringRename::Refusal::None) {
        host.Tell(RunTexts::StringRefusal(check));
        return {};
    }
    const StringRename::Options options{.includeExtension = run.includeExtension,
                                        .caseSensitive = run.caseSensitive};
    return RunPlan(context, host, [&](const std::vector<std::string>& listed) {
        StringRename::Preview preview =
            StringRename::PreviewRenames(listed, run.target, run.replacement, options);
        std::vector<std::string> oldPaths = StringRename::PickEntries(listed, preview.oldIndices);
        return KeptFiles{std::move(preview.oldIndices), std::move(oldPaths), std::move(preview.newPaths)};
    });
}

}  // namespace Command
