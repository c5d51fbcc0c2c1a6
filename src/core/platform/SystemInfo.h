#pragma once

// What the program asks the operating system about its own setting: where its executable lives,
// the environment and the user's home folder. Paths are native (UTF-8 bytes on Linux).

#include <optional>
#include <string>

namespace SystemInfo {

// The absolute path of the running executable (links resolved); empty when it cannot be found.
std::string ExecutablePath();

// The value of an environment variable; nullopt when it is not set.
std::optional<std::string> EnvironmentValue(const char* name);

// The home folder in the user database, for when HOME is not set; empty when unknown.
std::string HomeFolderOfUser();

// True when path is a folder in which this process may create files. A folder with no write
// permission bit at all counts as read-only for the superuser too, who could write into it
// regardless: whoever set it up meant it to stay as it is.
bool IsWritableFolder(const std::string& path);

}  // namespace SystemInfo
