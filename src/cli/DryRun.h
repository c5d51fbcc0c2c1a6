#pragma once

// A run shown, not made: what the window's preview tells for the same files and inputs, a line a
// file, then the counts or the refusal of the whole run. Nothing on disk changes.

#include <optional>

#include "cli/Args.h"
#include "cli/Selection.h"
#include "core/run/RenamePreview.h"

namespace Cli {

// The sequential options as the window's page holds them; nullopt for a text without a code page
// 932 form.
std::optional<SequentialNames::Options> SequentialOptionsOf(const SeqArgs& args);

// The inputs of the window's page that the subcommand stands for.
RenamePreview::Inputs InputsOf(const Request& request);

// The exit status: 0 when every file would be renamed or stays as it is, 1 when the run would be
// refused, 2 when some file would not be renamed, 130 after Ctrl-C.
int DryRun(const Request& request, Selection& selection);

}  // namespace Cli
