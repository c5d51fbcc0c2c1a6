#pragma once

// The texts with which the runs refuse to start or stop before renaming anything. The preview
// shows the same texts in the status bar, so each is written once, here.

#include <QString>
#include <string>

#include "core/names/RegexRename.h"
#include "core/names/SequentialNames.h"
#include "core/names/StringRename.h"
#include "core/run/RenamePreview.h"

namespace RunMessages {

// Go on the 動作設定 page.
QString SettingsPage();

// The sequential run's checks of its inputs.
QString SequentialRefusal(const SequentialNames::RunCheck& check);
// The composition stopped (any outcome but Composed and EmptyList); detail as the composition
// gives it. A missing file is told by the first line of the missing-file message.
QString SequentialStop(SequentialNames::Outcome outcome, const std::string& detail);
// The first line of the missing-file message.
QString MissingFile(const std::string& path);

// The string rename's checks of the target and the replacement.
QString StringRefusal(const StringRename::Check& check);
QString RegexRefusal(const RegexRename::Check& check);
// The regular expression, though valid, gave up on the name of the file at path.
QString RegexStopped(RegexRename::StopReason reason, const std::string& path);

// A run that keeps only the files whose names change kept none.
QString NothingToRename(RenamePreview::NothingToRename::Run run);

// The message the run would show for a refusal the preview foresees; empty for none.
QString PreviewRefusal(const RenamePreview::Refusal& refusal);

}  // namespace RunMessages
