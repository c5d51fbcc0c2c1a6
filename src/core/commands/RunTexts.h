#pragma once

// The texts with which the runs refuse to start or stop before renaming anything, and the
// questions they ask. The preview shows the same refusals in the status bar, so each is written
// once, here. UTF-8; paths and names in them are code page 932, shown through Cp932::ToUtf8Lossy.

#include <string>

#include "core/names/RegexRename.h"
#include "core/names/SequentialNames.h"
#include "core/names/StringRename.h"
#include "core/run/RenamePreview.h"

namespace RunTexts {

// Go on the 動作設定 page.
std::string SettingsPage();

// The sequential run's checks of its inputs.
std::string SequentialRefusal(const SequentialNames::RunCheck& check);
// The composition stopped (any outcome but Composed and EmptyList); detail as the composition
// gives it. A missing file is told by the first line of the missing-file message.
std::string SequentialStop(SequentialNames::Outcome outcome, const std::string& detail);

// The string rename's checks of the target and the replacement.
std::string StringRefusal(const StringRename::Check& check);
std::string RegexRefusal(const RegexRename::Check& check);
// The regular expression, though valid, gave up on the name of the file at path.
std::string RegexStopped(RegexRename::StopReason reason, const std::string& path);

// A run that keeps only the files whose names change kept none.
std::string NothingToRename(RenamePreview::NothingToRename::Run run);

// The message the run would show for a refusal the preview foresees; empty for none.
std::string PreviewRefusal(const RenamePreview::Refusal& refusal);

// Why the preview says a row keeps its name; empty for a row renamed or unchanged.
std::string PreviewReason(RenamePreview::State state);
// The preview's counts: rows renamed, colliding, and failing where any do.
std::string PreviewCounts(const RenamePreview::Rows& rows);
// The same line from the counts; untried: files a stop came before.
std::string Counts(std::size_t renamed, std::size_t collided, std::size_t failed, std::size_t untried = 0);

// Whether to rename in another order: the sequential run, whose names are all held by files of the
// list; a run that keeps some files, count of which meet names of others.
std::string SequentialReorder();
std::string BatchReorder(std::size_t count);

}  // namespace RunTexts
