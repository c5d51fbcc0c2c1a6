#pragma once

// What the program says about itself: the version line of --version and the About box.

#include <QString>

namespace About {

// "quorbel 1.54", the first line --version prints.
QString VersionLine();
// What --version prints: the version line, then the copyright and the licence.
QString VersionText();

// The About box's title and its rich text: the program's name, its version, the Qt it runs on,
// its licence and the project's address as a link.
QString Title();
QString Text();

}  // namespace About
