#include "cli/Escape.h"

#include "core/text/Cp932.h"

namespace Cli {
namespace {

void AppendHexByte(std::string& out, unsigned char byte) {
    constexpr std::string_view kHex = "0123456789abcdef";
    out += kHex[byte >> 4];
    out += kHex[byte & 0x0F];
}

// The escapes both forms give: "\\", "\n", "\r", "\t"; false for any other byte.
bool AppendShortEscape(std::string& out, unsigned char byte) {
    switch (byte) {
        case '\\':
            out += "\\\\";
            return true;
        case '\n':
            out += "\\n";
            return true;
        case '\r':
            out += "\\r";
            return true;
        case '\t':
            out += "\\t";
            return true;
        default:
            return false;
    }
}

// Appends native: runs of the bytes plain keeps and well-formed UTF-8 characters as they are (a
// run at a time: most names need no escape), each other byte as escape writes it.
template <class Plain, class Escape>
void AppendWith(std::string& out, std::string_view native, const Plain& plain, const Escape& escape) {
    std::size_t i = 0;
    while (i < native.size()) {
        std::size_t end = i;
        while (end < native.size() && plain(static_cast<unsigned char>(native[end])))
            ++end;
        out.append(native.data() + i, end - i);
        if (end == native.size()) return;
        i = end;
        const auto byte = static_cast<unsigned char>(native[i]);
        if (byte >= 0x80) {
            if (const std::size_t length = Cp932::Utf8CharLength(native, i); length > 0) {
                out.append(native.data() + i, length);
                i += length;
                continue;
            }
        }
        escape(byte);
        ++i;
    }
}

}  // namespace

void AppendEscaped(std::string& out, std::string_view native) {
    AppendWith(
        out, native, [](unsigned char byte) { return byte >= 0x20 && byte < 0x7F && byte != '\\'; },
        [&out](unsigned char byte) {
            if (AppendShortEscape(out, byte)) return;
            out += "\\x";
            AppendHexByte(out, byte);
        });
}

void AppendJsonString(std::string& out, std::string_view native) {
    out += '"';
    AppendWith(
        out, native,
        [](unsigned char byte) { return byte >= 0x20 && byte < 0x80 && byte != '"' && byte != '\\'; },
        [&out](unsigned char byte) {
            if (byte == '"') {
                out += "\\\"";
            } else if (!AppendShortEscape(out, byte)) {
                out += byte >= 0x80 ? "\\udc" : "\\u00";
                AppendHexByte(out, byte);
            }
        });
    out += '"';
}

}  // namespace Cli
