#pragma once

// Where the settings file lives. It belongs beside the executable, named after it with the
// extension ".ini" (build/quorbel → build/quorbel.ini), when the executable's folder is writable:
// the file is replaced through a temporary file beside it, so a writable file in a read-only folder
// is not enough. Otherwise (an installed program in /usr/bin, say) it goes to
// $XDG_CONFIG_HOME/quorbel/quorbel.ini, with ~/.config standing in for an unset, empty or relative
// XDG_CONFIG_HOME. Paths are native (UTF-8 bytes on Linux).

#include <optional>
#include <string>
#include <string_view>

namespace SettingsLocation {

// What the choice depends on, gathered from the system by GatherFacts.
struct Facts {
    std::string executablePath;  // absolute; empty when unknown
    bool besideFolderWritable = false;
    std::optional<std::string> xdgConfigHome;
    std::optional<std::string> home;
};

struct Location {
    std::string path;            // empty only when neither the executable nor a home folder is known
    bool createFolders = false;  // the folder may not exist yet: the saver makes it
    friend bool operator==(const Location&, const Location&) = default;
};

// A folder from the environment, such as XDG_CONFIG_HOME, as it can be used: only an absolute,
// non-empty folder counts; trailing slashes are dropped, and "/" becomes "" so that appending "/x"
// gives "/x".
std::optional<std::string> UsableFolder(const std::optional<std::string>& folder);

// The executable's path with its extension replaced by ".ini", or ".ini" added when it has none.
std::string BesidePath(std::string_view executablePath);

// The decision itself, free of the system. When neither place is usable (no home folder known and
// the executable's folder read-only) it stays beside the executable, so that saving fails with a
// message naming that path rather than writing somewhere unexpected.
Location Choose(const Facts& facts);

// HOME, or the user database's home folder when HOME is unset or empty.
std::optional<std::string> HomeFolder();

// Reads the executable's path, whether its folder is writable, XDG_CONFIG_HOME and HOME (the user
// database when HOME is unset). Touches nothing.
Facts GatherFacts();
// The same for an executable at the given absolute path.
Facts GatherFacts(const std::string& executablePath);

// Choose(GatherFacts()).
Location Find();

}  // namespace SettingsLocation
