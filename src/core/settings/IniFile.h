#pragma once

// The settings file: an INI file read once and written back as a whole.
//
// Syntax. "[Section]" lines open sections; "Key=Value" lines hold values; blanks (spaces and tabs)
// around names, around "=" and at the ends of a value are ignored; a value in matching double
// quotes is read without them; lines whose first non-blank character is ";" are comments. A "["
// line without "]" names a section with the rest of the line. Other lines are kept but mean
// nothing. Section and key names match without regard to letter case; where a key appears more
// than once (also in a repeated section) the first one counts, for reading and for writing.
//
// Text. Names and values are code page 932 strings, like every text of the program. A file that
// begins with a UTF-8 byte order mark is read as UTF-8 throughout; otherwise each line is read as
// UTF-8 when it is valid UTF-8 and as legacy code page 932 when not, so a stray byte garbles no
// other line. CRLF and LF line ends both read. The file is written as UTF-8 with LF line ends.
// Values may carry bytes that are not UTF-8 (from names on disk); such a file is written with a
// byte order mark, which keeps it read as UTF-8, so those bytes come back exactly.
//
// Limits. A value read back is at most kMaxValueBytes bytes: a longer one is cut there, or one
// byte earlier when the cut would split a double-byte character. A value cannot hold a line
// break: writing one stores an empty value instead and reports false. A value whose bytes do not
// form code page 932 characters (impossible for text that came through the codec) is written
// with U+FFFD in place of what cannot be converted.

#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "core/platform/AtomicFile.h"

class TIniFile {
public:
    static constexpr std::size_t kMaxValueBytes = 1023;

    // Loads the file at path (native). A missing or unreadable file gives an empty one, so every
    // read yields its default.
    explicit TIniFile(std::string path);

    const std::string& FileName() const { return path_; }

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    // Decimal with an optional sign, or "0x" / "0X" and up to eight hexadecimal digits (taken as
    // the 32-bit pattern, so 0xFFFFFFFF is -1). Anything else, out-of-range decimals included,
    // gives the default.
    int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
    // Read as an integer: non-zero is true.
    bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;

    // Sets the value, creating the key and the section as needed: a new key goes after the last
    // key of its section, a new section at the end of the file. A key that exists keeps its place
    // and spelling. Returns false (and stores an empty value) for a value holding a line break.
    // Section and key names are the program's own: non-empty, without line breaks or blanks at
    // their ends, keys without "=" and not starting with ";" or "[", sections without "]".
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int value);
    void WriteBool(std::string_view section, std::string_view key, bool value);

    // Replaces the file with the current content in one step (AtomicFile). On failure returns false,
    // leaves the old file as it was and keeps the reason in ErrorMessage() (code page 932, naming
    // the file) and ErrorCode().
    bool UpdateFile(AtomicFile::MissingFolders folders = AtomicFile::MissingFolders::kFail);
    const std::string& ErrorMessage() const { return errorMessage_; }
    std::error_code ErrorCode() const { return errorCode_; }

    // The file's content as UpdateFile writes it.
    std::string Content() const;

private:
    enum class LineKind { kOther, kSection, kEntry };
    struct Line {
        LineKind kind = LineKind::kOther;
        std::string native;                 // the line as the file holds it (UTF-8), without line end
        std::string nativeKey;              // entry: the key as spelt in the file
        std::optional<std::string> folded;  // section name or key, lower case; none when unreadable
        std::string value;                  // entry: code page 932, blanks and quotes removed
    };

    void Load();
    static Line ParseLine(std::string_view native);
    std::optional<std::size_t> FindEntry(std::string_view section, std::string_view key) const;
    void SetEntry(Line& line, std::string_view value) const;

    std::string path_;
    std::vector<Line> lines_;
    std::string errorMessage_;
    std::error_code errorCode_;
};
