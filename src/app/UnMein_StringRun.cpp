// The string rename run of the "文字列として処理" page: the target (wildcards, or with CBRegex a
// regular expression) and the replacement read, the core's command run, and the state after it.
#include <QCheckBox>
#include <QComboBox>

#include "app/QtText.h"
#include "app/UnMein.h"
#include "app/WindowHost.h"
#include "core/commands/StringRun.h"

void TFmMein::RunStringRename() {
    const auto target = QtText::FromQt(Edit6->currentText());
    const auto replacement = QtText::FromQt(Edit7->currentText());
    // A text the codec cannot hold at all is as unusable as a missing one.
    const bool usable = target && replacement;
    const Command::StringRun run{.target = usable ? *target : std::string(),
                                 .replacement = usable ? *replacement : std::string(),
                                 .regex = CBRegex->isChecked(),
                                 .includeExtension = CB9->isChecked(),
                                 .caseSensitive = CB10->isChecked()};
    const Command::RunOutcome ran = Command::RunString(RunFiles(), run, *host_);
    if (ran.end != Command::RunOutcome::End::kRan) return;
    if (ran.journal != 0) runJournal_ = ran.journal;
    SetPostRunState();
}
