#pragma once

// What a load of the list says when it lists nothing or leaves files out, as both faces say it.
// UTF-8; a folder goes in as the face shows it.

#include <cstddef>
#include <string>

namespace LoadTexts {

std::string CannotOpen(const std::string& folder);
// No file in the folder, or none left by the extension filter.
std::string NoFiles(const std::string& folder);
std::string AllFiltered(const std::string& folder);
// Files whose names the codec cannot hold.
std::string Unlisted(std::size_t count);

}  // namespace LoadTexts
