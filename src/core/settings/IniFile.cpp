#include "core/settings/IniFile.h"

#include <cassert>
#include <charconv>
#include <cstdint>
#include <fstream>
#include <limits>
#include <utility>

#include "core/text/Cp932.h"
#include "core/text/LightStr.h"
#include "core/text/Translate.h"

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Blanks around names, "=" and values are spaces and tabs, as in every INI reader.
std::string_view Trim(std::string_view text) {
    return LightStr::Trim(text, " \t");
}

bool IsQuoted(std::string_view text) {
    return text.size() >= 2 && text.front() == '"' && text.back() == '"';
}

std::string_view Unquote(std::string_view text) {
    return IsQuoted(text) ? text.substr(1, text.size() - 2) : text;
}

// A value that reading would change (blanks at its ends, or quotes around it) is written in
// quotes, so it reads back as it was written.
bool NeedsQuotes(std::string_view native) {
    return !native.empty() && (IsBlank(native.front()) || IsBlank(native.back()) || IsQuoted(native));
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

// Text of the program (code page 932) as file text. Only a byte string that never came through
// the codec can fail; it is written with U+FFFD rather than failing the whole save.
std::string ToNative(std::string_view text) {
    auto native = Cp932::ToUtf8(text);
    return native ? *std::move(native) : Cp932::ToUtf8Lossy(text);
}

std::optional<std::string> Fold(std::string_view native) {
    auto text = Cp932::FromUtf8(native);
    if (!text) return std::nullopt;
    Cp932::LowerInPlace(*text);
    return text;
}

// Message text for a native string; the '?' fallback only matters when every stand-in is taken.
std::string ToMessageText(std::string_view native) {
    if (auto text = Cp932::FromUtf8(native)) return *std::move(text);
    std::string ascii(native);
    for (char& c : ascii) {
        if (static_cast<unsigned char>(c) >= 0x80) c = '?';
    }
    return ascii;
}

std::optional<int> ParseInteger(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        std::uint64_t value = 0;
        const char* end = text.data() + text.size();
        const auto [ptr, ec] = std::from_chars(text.data() + 2, end, value, 16);
        if (ec != std::errc() || ptr != end || value > 0xFFFFFFFFu) return std::nullopt;
        return static_cast<int>(static_cast<std::uint32_t>(value));
    }
    if (text.starts_with('+')) {
        text.remove_prefix(1);
        if (text.starts_with('-')) return std::nullopt;
    }
    long long value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, 10);
    if (ec != std::errc() || ptr != end || value < std::numeric_limits<int>::min() ||
        value > std::numeric_limits<int>::max()) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

[[maybe_unused]] bool IsValidName(std::string_view name, bool isKey) {
    if (name.empty() || Trim(name) != name || HasLineBreak(name)) return false;
    if (isKey) return name.find('=') == std::string_view::npos && name.front() != ';' && name.front() != '[';
    return name.find(']') == std::string_view::npos;
}

}  // namespace

TIniFile::TIniFile(std::string path) : path_(std::move(path)) {
    Load();
}

void TIniFile::Load() {
    // istream::read turns a failing read (a folder by that name, an I/O error) into badbit
    // instead of an exception; such a file reads as empty.
    std::string content;
    if (std::ifstream in(path_, std::ios::binary); in) {
        char buffer[65536];
        while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
            content.append(buffer, in.gcount());
        if (in.bad()) content.clear();
    }
    std::string_view text = content;
    // The mark is this program's (or a UTF-8 editor's): bytes that are not UTF-8 then come from
    // names on disk and are read as they are. Without it each line tells its own encoding, so
    // one stray byte or one line typed in code page 932 changes nothing in the others. Line ends
    // are safe to look for first: neither byte is ever part of a double-byte character.
    const bool markedUtf8 = text.starts_with(kBom);
    if (markedUtf8) text.remove_prefix(kBom.size());
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (markedUtf8 || Cp932::IsValidUtf8(line)) {
            lines_.push_back(ParseLine(line));
        } else {
            lines_.push_back(ParseLine(Cp932::LegacyToUtf8(line)));
        }
    }
}

TIniFile::Line TIniFile::ParseLine(std::string_view native) {
    Line line;
    line.native = native;
    const std::string_view text = Trim(native);
    if (text.empty() || text.front() == ';') return line;
    if (text.front() == '[') {
        std::string_view name = text.substr(1);
        name = name.substr(0, name.find(']'));
        line.kind = LineKind::kSection;
        line.folded = Fold(Trim(name));
        return line;
    }
    const auto equals = text.find('=');
    if (equals == std::string_view::npos) return line;
    const std::string_view key = Trim(text.substr(0, equals));
    if (key.empty()) return line;
    line.kind = LineKind::kEntry;
    line.nativeKey = key;
    auto value = Cp932::FromUtf8(Unquote(Trim(text.substr(equals + 1))));
    if (value) {
        line.folded = Fold(key);
        line.value = *std::move(value);
    }
    return line;
}

std::optional<std::size_t> TIniFile::FindEntry(std::string_view section, std::string_view key) const {
    const std::string foldedSection = Cp932::ToLower(section);
    const std::string foldedKey = Cp932::ToLower(key);
    bool inSection = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        if (line.kind == LineKind::kSection) {
            inSection = line.folded == foldedSection;
        } else if (inSection && line.kind == LineKind::kEntry && line.folded == foldedKey) {
            return i;
        }
    }
    return std::nullopt;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const {
    const auto index = FindEntry(section, key);
    if (!index) return std::string(defaultValue);
    const std::string& value = lines_[*index].value;
    if (value.size() <= kMaxValueBytes) return value;
    const std::size_t cut = Cp932::IsTrailByteAt(value, kMaxValueBytes) ? kMaxValueBytes - 1 : kMaxValueBytes;
    return value.substr(0, cut);
}

int TIniFile::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const {
    const auto index = FindEntry(section, key);
    if (!index) return defaultValue;
    return ParseInteger(lines_[*index].value).value_or(defaultValue);
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TIniFile::SetEntry(Line& line, std::string_view value) const {
    std::string native = ToNative(value);
    line.value = Cp932::FromUtf8(native).value_or(std::string(value));
    if (NeedsQuotes(native)) native = '"' + native + '"';
    line.native = line.nativeKey + "=" + native;
}

bool TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    assert(IsValidName(ToNative(section), false) && "section name the file cannot hold");
    assert(IsValidName(ToNative(key), true) && "key the file cannot hold");
    const bool storable = !HasLineBreak(value);
    if (!storable) value = {};

    if (const auto index = FindEntry(section, key)) {
        SetEntry(lines_[*index], value);
        return storable;
    }

    Line entry;
    entry.kind = LineKind::kEntry;
    entry.nativeKey = ToNative(key);
    entry.folded = Cp932::ToLower(key);
    SetEntry(entry, value);

    const std::string foldedSection = Cp932::ToLower(section);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind != LineKind::kSection || lines_[i].folded != foldedSection) continue;
        // After the section's last key, so that blank lines and comments before the next
        // section stay where they are.
        std::size_t insertAt = i + 1;
        for (std::size_t j = i + 1; j < lines_.size() && lines_[j].kind != LineKind::kSection; ++j) {
            if (lines_[j].kind == LineKind::kEntry) insertAt = j + 1;
        }
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(entry));
        return storable;
    }

    if (!lines_.empty() && !Trim(lines_.back().native).empty()) lines_.push_back(Line{});
    Line header;
    header.kind = LineKind::kSection;
    header.native.append("[").append(ToNative(section)).append("]");
    header.folded = foldedSection;
    lines_.push_back(std::move(header));
    lines_.push_back(std::move(entry));
    return storable;
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
    WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

std::string TIniFile::Content() const {
    std::string out;
    for (const Line& line : lines_) {
        out += line.native;
        out += '\n';
    }
    // Bytes that are not UTF-8 (kept from names on disk) would make the file read as code page
    // 932 next time; the byte order mark keeps it UTF-8.
    if (!Cp932::IsValidUtf8(out)) out.insert(0, kBom);
    return out;
}

bool TIniFile::UpdateFile(AtomicFile::MissingFolders folders) {
    errorCode_ = AtomicFile::WriteWholeFile(path_, Content(), folders);
    if (!errorCode_) {
        errorMessage_.clear();
        return true;
    }
    errorMessage_ = ToMessageText(_("設定ファイルを保存できませんでした。\n")) + ToMessageText(path_) +
                    "\n(" + ToMessageText(errorCode_.message()) + ")";
    return false;
}
