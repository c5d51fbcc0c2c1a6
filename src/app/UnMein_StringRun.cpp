// The string rename run of the "文字列として処理" page: the checks of the target and the
// replacement, the table narrowed to the files the replacement changes, and their renames. The
// target holds wildcards, or with CBRegex a regular expression.
#include <QCheckBox>
#include <QComboBox>

#include "app/BusyRunner.h"
#include "app/QtText.h"
#include "app/RunMessages.h"
#include "app/UnMein.h"
#include "core/names/RegexRename.h"
#include "core/names/StringRename.h"
#include "core/run/RenameExecutor.h"

void TFmMein::RunStringRename() {
    const auto target = QtText::FromQt(Edit6->currentText());
    const auto replacement = QtText::FromQt(Edit7->currentText());
    // A text the codec cannot hold at all is as unusable as a missing one.
    if (CBRegex->isChecked() && target && replacement) {
        RunRegexRename(*target, *replacement);
        return;
    }
    const StringRename::Check check = target && replacement
                                          ? StringRename::CheckInputs(*target, *replacement)
                                          : StringRename::Check{StringRename::Refusal::EmptyTarget, {}};
    if (check.refusal != StringRename::Refusal::None) {
        Message(RunMessages::StringRefusal(check));
        return;
    }

    const StringRename::Options options{.includeExtension = CB9->isChecked(),
                                        .caseSensitive = CB10->isChecked()};
    RunStringPlan([&](const std::vector<std::string>& listed) {
        StringRename::Preview preview = StringRename::PreviewRenames(listed, *target, *replacement, options);
        std::vector<std::string> oldPaths = StringRename::PickEntries(listed, preview.oldIndices);
        return KeptFiles{std::move(preview.oldIndices), std::move(oldPaths), std::move(preview.newPaths)};
    });
}

void TFmMein::RunRegexRename(const std::string& target, const std::string& replacement) {
    const RegexRename::Prepared prepared = RegexRename::Prepare(target, replacement, CB10->isChecked());
    if (prepared.check.refusal != RegexRename::Refusal::None) {
        Message(RunMessages::RegexRefusal(prepared.check));
        return;
    }
    // Every name is planned before any is renamed: a name the pattern runs away on refuses the run.
    const RegexRename::Options options{.includeExtension = CB9->isChecked()};
    RegexRename::Preview preview;
    const bool finished = RunBusy({RunText::kRenaming, Pairs.Size()}, [&](RunControl& control) {
        preview = RegexRename::PreviewRenames(Pairs.OldPaths(), *prepared.replacer, options, &control);
    });
    if (!finished || preview.cancelled) return;
    if (preview.stopped) {
        Message(RunMessages::RegexStopped(preview.stopped->reason, Pairs.OldPaths()[preview.stopped->index]));
        return;
    }
    RunStringPlan([&preview](const std::vector<std::string>& listed) {
        std::vector<std::string> oldPaths = StringRename::PickEntries(listed, preview.oldIndices);
        return KeptFiles{std::move(preview.oldIndices), std::move(oldPaths), std::move(preview.newPaths),
                         std::move(preview.unusable)};
    });
}

void TFmMein::RunStringPlan(const KeptPlan& plan) {
    // Only the files the replacement changes stay in the lists and the table. They are renamed one
    // after another in list order: a name freed by an earlier rename can be taken by a later one.
    const KeptRun ran = RunKeptFiles(plan, QStringLiteral("処理により同名ファイルができたため、 "),
                                     RunJournal::Kind::kString, RenameExecutor::Order::FirstToLast, true);
    if (ran == KeptRun::kRefused) return;
    if (ran == KeptRun::kNoFile) {
        Message(RunMessages::NothingToRename(RenamePreview::NothingToRename::Run::kString));
        return;
    }
    SetPostRunState();
}
