#pragma once

// Where the user guide is: beside the build, or installed with the program.

#include <QString>
#include <optional>

namespace Guide {

// The guide's HTML file for a program in executableFolder: docs/guide.html in that folder (the
// build tree keeps the executable at its top), else ../share/doc/quorbel/guide.html (an installed
// program in <prefix>/bin). nullopt when neither exists.
std::optional<QString> Find(const QString& executableFolder);

}  // namespace Guide
