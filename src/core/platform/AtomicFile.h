#pragma once

// Replacing a whole file in one step, so that a crash, a full disk or a failed write never leaves
// a half-written file: the new content goes to a temporary file in the same folder, is flushed to
// the disk and then renamed over the old file. Paths are native (UTF-8 bytes on Linux).

#include <string>
#include <string_view>
#include <system_error>

namespace AtomicFile {

// Whether missing folders above the file are made (with permissions 0700, as for a user's
// configuration folder) or make the write fail.
enum class MissingFolders { kFail, kCreate };

// Writes content to path as a whole. On success the file holds exactly content; it keeps the
// permission bits of the file it replaces (new files get 0666 less the umask). A path that is a
// symbolic link writes the file the link points to, so the link stays. On failure the old file is
// untouched, no temporary file is left, and the error is returned. Syncing the folder after the
// rename is best effort: the new file is in place by then, so its failure is not reported.
std::error_code WriteWholeFile(const std::string& path, std::string_view content,
                               MissingFolders folders = MissingFolders::kFail);

}  // namespace AtomicFile
