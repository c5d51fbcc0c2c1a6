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

}  // namespace

void AppendEscaped(std::string& out, std::string_view native) {
    for (std::size_t i = 0; i < native.size();) {
        const auto byte = static_cast<unsigned char>(native[i]);
        if (byte >= 0x80) {
            if (const std::size_t length = Cp932::Utf8CharLength(native, i); length > 0) {
                out.append(native.substr(i, length));
                i += length;
                continue;
            }
        } else if (byte >= 0x20 && byte != 0x7F && byte != '\\') {
            out += static_cast<char>(byte);
            ++i;
            continue;
        }
        if (!AppendShortEscape(out, byte)) {
            out += "\\x";
            AppendHexByte(out, byte);
        }
        ++i;
    }
}

void AppendJsonString(std::string& out, std::string_view native) {
    out += '"';
    for (std::size_t i = 0; i < native.size();) {
        const auto byte = static_cast<unsigned char>(native[i]);
        if (byte >= 0x80) {
            if (const std::size_t length = Cp932::Utf8CharLength(native, i); length > 0) {
                out.append(native.substr(i, length));
                i += length;
            } else {
                out += "\\udc";
                AppendHexByte(out, byte);
                ++i;
            }
            continue;
        }
        if (byte == '"') {
            out += "\\\"";
        } else if (!AppendShortEscape(out, byte)) {
            if (byte < 0x20) {
                out += "\\u00";
                AppendHexByte(out, byte);
            } else {
                out += static_cast<char>(byte);
            }
        }
        ++i;
    }
    out += '"';
}

}  // namespace Cli
