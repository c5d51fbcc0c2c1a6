#pragma once

// How a native path (bytes, mostly UTF-8) is written where one byte could break the output: a line
// of text, a JSON string. Neither loses a byte: each escape tells the byte it stands for.

#include <string>
#include <string_view>

namespace Cli {

// For one line of text: valid UTF-8 as it is, except control characters ("\n", "\r", "\t", else
// "\xNN") and the backslash ("\\"); a byte that is not UTF-8 as "\xNN".
void AppendEscaped(std::string& out, std::string_view native);

// A JSON string, quotes included. A byte that is not UTF-8 becomes the lone surrogate "\udcNN",
// as Python reads and writes such names (os.fsencode gives the bytes back); no valid UTF-8 text
// holds a surrogate, so the escape cannot be mistaken for a character.
void AppendJsonString(std::string& out, std::string_view native);

}  // namespace Cli
