#pragma once

// The texts the command line shares with the window's list and preview, byte for byte as the
// window shows them (UTF-8). Paths in them are native.

#include <cstddef>
#include <string>

#include "core/journal/RunJournal.h"
#include "core/run/RenamePreview.h"

namespace Cli::Texts {

// Loading the list.
std::string CannotOpen(const std::string& folder);
std::string NoFiles(const std::string& folder);
std::string AllFiltered(const std::string& folder);
std::string Unlisted(std::size_t count);

std::string Counts(std::size_t renamed, std::size_t collisions, std::size_t failed);

// The history of changes: a command's kind and state as its list shows them.
std::string KindText(RunJournal::Kind kind);
std::string StateText(RunJournal::State state);

}  // namespace Cli::Texts
