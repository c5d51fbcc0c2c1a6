#include "core/text/Cp932.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <numeric>
#include <unordered_map>

namespace Cp932 {
namespace {

#include "core/text/Cp932Table.inc"

struct CasePair {
    char32_t from;
    char32_t to;
};
#include "core/text/CaseTable.inc"

constexpr char32_t kNone = 0;
constexpr char32_t kReplacement = 0xFFFD;
constexpr std::uint16_t kFirstStandIn = 0xF040;
constexpr std::uint16_t kLastStandIn = 0xF9FC;
constexpr std::size_t kTrailsPerLead = 188;

// Trail bytes run 0x40-0x7E and 0x80-0xFC; -1 for any other byte.
constexpr int TrailIndex(unsigned char t) {
    if (t >= 0x40 && t <= 0x7E) return t - 0x40;
    if (t >= 0x80 && t <= 0xFC) return t - 0x41;
    return -1;
}
constexpr unsigned char TrailByte(std::size_t index) {
    return static_cast<unsigned char>(index < 63 ? 0x40 + index : 0x41 + index);
}
constexpr int LeadIndex(unsigned char lead) {
    return lead <= 0x9F ? lead - 0x81 : lead - 0xE0 + 31;
}

constexpr bool IsStandInCode(std::uint16_t code) {
    return code >= kFirstStandIn && code <= kLastStandIn && TrailIndex(code & 0xFF) >= 0;
}
constexpr std::size_t StandInIndex(std::uint16_t code) {
    return ((code >> 8) - 0xF0) * kTrailsPerLead + static_cast<std::size_t>(TrailIndex(code & 0xFF));
}
constexpr std::uint16_t StandInCode(std::size_t index) {
    return static_cast<std::uint16_t>(((0xF0 + index / kTrailsPerLead) << 8) |
                                      TrailByte(index % kTrailsPerLead));
}

// The stand-in area in three parts: single codes (leads 0xF0-0xF5), then the first codes of pairs
// (0xF6-0xF7), then their second codes (0xF8-0xF9). A pair never begins with a code that can stand
// alone or end a pair, so no search for a character can match inside a pair or across two codes
// that stand alone. Stand-in n below kSingleStandIns is a single code; the others are pairs.
constexpr std::size_t kPairFirst = kSingleStandIns;
constexpr std::size_t kPairSecond = kPairFirst + kPairHalf;
static_assert(kPairSecond + kPairHalf == 10 * kTrailsPerLead);

// Standard decoding of a double-byte code; kNone when unmapped (the user-defined area included).
char32_t DecodeDouble(unsigned char lead, unsigned char trail) {
    const int t = TrailIndex(trail);
    return t < 0 ? kNone : kDoubleByte[LeadIndex(lead)][t];
}

char32_t DecodeSingle(unsigned char b) {
    return b < 0x80 ? b : kSingleByteHigh[b - 0x80];
}

// Unicode (BMP) to code page 932: 0 = no code; values below 0x100 are single bytes.
class EncodeTable {
public:
    EncodeTable() : codes_(std::make_unique<std::uint16_t[]>(0x10000)) {
        std::fill_n(codes_.get(), 0x10000, std::uint16_t{0});
        for (unsigned b = 0x80; b < 0x100; ++b) {
            if (!IsLeadByte(static_cast<unsigned char>(b)) && kSingleByteHigh[b - 0x80] != kNone) {
                codes_[kSingleByteHigh[b - 0x80]] = static_cast<std::uint16_t>(b);
            }
        }
        for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
            if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
            for (std::size_t t = 0; t < kTrailsPerLead; ++t) {
                const char32_t u = kDoubleByte[LeadIndex(static_cast<unsigned char>(lead))][t];
                const auto code = static_cast<std::uint16_t>((lead << 8) | TrailByte(t));
                if (u == kNone ||
                    std::binary_search(std::begin(kNonCanonical), std::end(kNonCanonical), code)) {
                    continue;
                }
                assert(u < 0x10000 && codes_[u] == 0);
                codes_[u] = code;
            }
        }
    }
    // The code of u, or 0. ASCII is handled by the callers.
    std::uint16_t operator[](char32_t u) const { return u < 0x10000 ? codes_[u] : 0; }

private:
    std::unique_ptr<std::uint16_t[]> codes_;
};

// Built at the first character outside ASCII, as the case tables are.
const EncodeTable& Encoder() {
    static const EncodeTable table;
    return table;
}

// Stand-ins: what each allocated code stands for, for the life of the process. The key is a code
// point, or kRawByteKey + byte for a byte that was not valid UTF-8.
constexpr std::uint32_t kRawByteKey = 0x110000;

class StandIns {
public:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    // The stand-in of key, allocated on first sight; kNone when all are taken. With singleOnly, only
    // a single code: kNone when key holds a pair or would need one.
    std::size_t NumberFor(std::uint32_t key, bool singleOnly = false) {
        const std::lock_guard lock(mutex_);
        const std::size_t limit = singleOnly ? kSingleStandIns : kStandInCapacity;
        if (const auto it = index_.find(key); it != index_.end())
            return it->second < limit ? it->second : kNone;
        if (keys_.size() >= limit) return kNone;
        index_.emplace(key, keys_.size());
        keys_.push_back(key);
        return keys_.size() - 1;
    }
    // The key stand-in n stands for; nullopt when it is not allocated.
    std::optional<std::uint32_t> KeyAt(std::size_t n) {
        const std::lock_guard lock(mutex_);
        if (n >= keys_.size()) return std::nullopt;
        return keys_[n];
    }
    std::size_t Size() {
        const std::lock_guard lock(mutex_);
        return keys_.size();
    }

private:
    std::mutex mutex_;
    std::vector<std::uint32_t> keys_;
    std::unordered_map<std::uint32_t, std::size_t> index_;
};

StandIns& Registry() {
    static StandIns registry;
    return registry;
}

void AppendUtf8(std::string& out, char32_t u) {
    if (u < 0x80) {
        out += static_cast<char>(u);
    } else if (u < 0x800) {
        out += static_cast<char>(0xC0 | (u >> 6));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else if (u < 0x10000) {
        out += static_cast<char>(0xE0 | (u >> 12));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (u >> 18));
        out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    }
}

void AppendCode(std::string& out, std::uint16_t code) {
    if (code < 0x100) {
        out += static_cast<char>(code);
    } else {
        out += static_cast<char>(code >> 8);
        out += static_cast<char>(code & 0xFF);
    }
}

// Stand-in n: one code, or a pair of two.
void AppendStandIn(std::string& out, std::size_t n) {
    if (n < kSingleStandIns) {
        AppendCode(out, StandInCode(n));
        return;
    }
    const std::size_t pair = n - kSingleStandIns;
    AppendCode(out, StandInCode(kPairFirst + pair / kPairHalf));
    AppendCode(out, StandInCode(kPairSecond + pair % kPairHalf));
}

// The stand-in that starts at pos (its code already known to be in the area), with its length in
// bytes; nullopt for the second code of a pair, or a first code without one after it.
std::optional<std::size_t> StandInAt(std::string_view text, std::size_t pos, std::uint16_t code,
                                     std::size_t& len) {
    const std::size_t index = StandInIndex(code);
    len = 2;
    if (index < kSingleStandIns) return index;
    if (index >= kPairSecond || pos + 3 >= text.size()) return std::nullopt;
    const auto next = static_cast<std::uint16_t>((static_cast<unsigned char>(text[pos + 2]) << 8) |
                                                 static_cast<unsigned char>(text[pos + 3]));
    if (!IsStandInCode(next) || StandInIndex(next) < kPairSecond) return std::nullopt;
    len = 4;
    return kSingleStandIns + (index - kPairFirst) * kPairHalf + (StandInIndex(next) - kPairSecond);
}

// Decodes one well-formed UTF-8 sequence at pos; returns its length, or 0 when the byte at pos
// does not start one (the caller then treats that single byte as raw).
std::size_t DecodeUtf8At(std::string_view s, std::size_t pos, char32_t& out) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char b0 = byte(pos);
    const std::size_t left = s.size() - pos;
    const auto cont = [&](std::size_t i) { return (byte(pos + i) & 0xC0) == 0x80; };
    if (b0 < 0x80) {
        out = b0;
        return 1;
    }
    if (b0 >= 0xC2 && b0 <= 0xDF && left >= 2 && cont(1)) {
        out = ((b0 & 0x1Fu) << 6) | (byte(pos + 1) & 0x3Fu);
        return 2;
    }
    if (b0 >= 0xE0 && b0 <= 0xEF && left >= 3 && cont(1) && cont(2)) {
        const char32_t u = ((b0 & 0x0Fu) << 12) | ((byte(pos + 1) & 0x3Fu) << 6) | (byte(pos + 2) & 0x3Fu);
        if (u < 0x800 || (u >= 0xD800 && u <= 0xDFFF)) return 0;
        out = u;
        return 3;
    }
    if (b0 >= 0xF0 && b0 <= 0xF4 && left >= 4 && cont(1) && cont(2) && cont(3)) {
        const char32_t u = ((b0 & 0x07u) << 18) | ((byte(pos + 1) & 0x3Fu) << 12) |
                           ((byte(pos + 2) & 0x3Fu) << 6) | (byte(pos + 3) & 0x3Fu);
        if (u < 0x10000 || u > 0x10FFFF) return 0;
        out = u;
        return 4;
    }
    return 0;
}

// Unicode's one-to-one case mapping of u (u itself when it has none).
char32_t MapCase(const CasePair* begin, const CasePair* end, char32_t u) {
    const auto* it =
        std::lower_bound(begin, end, u, [](const CasePair& p, char32_t v) { return p.from < v; });
    return it != end && it->from == u ? it->to : u;
}

// Case of a double-byte character of the code page: a code page character maps only to a code page
// character; a stand-in character maps to a code page character or to a stand-in of its own.
class CaseTables {
public:
    CaseTables()
        : upper_(std::make_unique<std::uint16_t[]>(0x10000)),
          lower_(std::make_unique<std::uint16_t[]>(0x10000)) {
        std::fill_n(upper_.get(), 0x10000, std::uint16_t{0});
        std::fill_n(lower_.get(), 0x10000, std::uint16_t{0});
        const EncodeTable& enc = Encoder();
        for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
            if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
            for (std::size_t t = 0; t < kTrailsPerLead; ++t) {
                const char32_t u = kDoubleByte[LeadIndex(static_cast<unsigned char>(lead))][t];
                if (u == kNone) continue;
                const auto code = static_cast<std::uint16_t>((lead << 8) | TrailByte(t));
                const std::uint16_t up = enc[MapCase(std::begin(kToUpper), std::end(kToUpper), u)];
                const std::uint16_t low = enc[MapCase(std::begin(kToLower), std::end(kToLower), u)];
                if (up >= 0x100 && up != code) upper_[code] = up;
                if (low >= 0x100 && low != code) lower_[code] = low;
            }
        }
    }
    std::uint16_t Map(std::uint16_t code, bool upper) const { return (upper ? upper_ : lower_)[code]; }

private:
    std::unique_ptr<std::uint16_t[]> upper_;
    std::unique_ptr<std::uint16_t[]> lower_;
};

// Built at the first character outside ASCII: a text of ASCII alone never needs them.
const CaseTables& Cases() {
    static const CaseTables tables;
    return tables;
}

// Only single codes change case: the halves of a pair stand for nothing on their own.
std::uint16_t StandInCase(std::uint16_t code, bool upper) {
    const std::size_t index = StandInIndex(code);
    if (index >= kSingleStandIns) return 0;
    const auto key = Registry().KeyAt(index);
    if (!key || *key >= kRawByteKey) return 0;
    const auto u = static_cast<char32_t>(*key);
    const char32_t mapped = upper ? MapCase(std::begin(kToUpper), std::end(kToUpper), u)
                                  : MapCase(std::begin(kToLower), std::end(kToLower), u);
    if (mapped == u) return 0;
    const std::uint16_t inTable = Encoder()[mapped];
    if (inTable >= 0x100) return inTable;
    if (inTable != 0 || mapped < 0x80) return 0;  // a single-byte result would change the length
    const std::size_t other = Registry().NumberFor(mapped, true);
    return other == StandIns::kNone ? 0 : StandInCode(other);
}

// The length of the run of ASCII bytes at pos, which both forms share. Eight bytes at a time: a
// path is mostly one such run.
std::size_t AsciiRun(std::string_view text, std::size_t pos) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080;
    std::size_t end = pos;
    for (std::uint64_t word = 0; end + sizeof word <= text.size(); end += sizeof word) {
        std::memcpy(&word, text.data() + end, sizeof word);
        if ((word & kHighBits) != 0) break;
    }
    while (end < text.size() && static_cast<unsigned char>(text[end]) < 0x80)
        ++end;
    return end - pos;
}

char AsciiCase(char c, bool upper) {
    if (upper) return c >= 'a' && c <= 'z' ? static_cast<char>(c - 0x20) : c;
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c;
}

std::uint16_t CodeAt(std::string_view text, std::size_t pos) {
    return static_cast<std::uint16_t>((static_cast<unsigned char>(text[pos]) << 8) |
                                      static_cast<unsigned char>(text[pos + 1]));
}

// The other case of a double-byte character, or the code itself.
std::uint16_t CodeCase(const CaseTables& cases, std::uint16_t code, bool upper) {
    std::uint16_t mapped = cases.Map(code, upper);
    if (mapped == 0 && IsStandInCode(code)) mapped = StandInCase(code, upper);
    return mapped != 0 ? mapped : code;
}

void CaseInPlace(std::string& text, bool upper) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        // A run of ASCII at once: most names are one.
        for (const std::size_t end = i + AsciiRun(text, i); i < end; ++i)
            text[i] = AsciiCase(text[i], upper);
        if (i == text.size()) break;
        if (CharLength(text, i) == 1) {
            text[i] = AsciiCase(text[i], upper);
            continue;
        }
        const std::uint16_t mapped = CodeCase(Cases(), CodeAt(text, i), upper);
        text[i] = static_cast<char>(mapped >> 8);
        text[i + 1] = static_cast<char>(mapped & 0xFF);
        ++i;
    }
}

// Decodes the character at pos of a code page 932 text; len receives its length. Returns the
// UTF-8 form, or nullopt when nothing maps to it.
bool AppendCharAsUtf8(std::string& out, std::string_view text, std::size_t pos, std::size_t& len) {
    const auto b = static_cast<unsigned char>(text[pos]);
    len = 1;
    if (b < 0x80) {
        out += static_cast<char>(b);
        return true;
    }
    if (!IsLeadByte(b)) {
        const char32_t u = DecodeSingle(b);
        if (u == kNone) return false;
        AppendUtf8(out, u);
        return true;
    }
    if (pos + 1 == text.size()) return false;
    len = 2;
    const auto trail = static_cast<unsigned char>(text[pos + 1]);
    if (const char32_t u = DecodeDouble(b, trail); u != kNone) {
        AppendUtf8(out, u);
        return true;
    }
    const auto code = static_cast<std::uint16_t>((b << 8) | trail);
    if (!IsStandInCode(code)) return false;
    const auto index = StandInAt(text, pos, code, len);
    const auto key = index ? Registry().KeyAt(*index) : std::nullopt;
    if (!key) return false;
    if (*key >= kRawByteKey) {
        out += static_cast<char>(*key - kRawByteKey);
    } else {
        AppendUtf8(out, static_cast<char32_t>(*key));
    }
    return true;
}

}  // namespace

bool IsTrailByteAt(std::string_view text, std::size_t pos) {
    std::size_t i = 0;
    while (i < pos)
        i += CharLength(text, i);
    return i > pos;
}

bool IsAscii(std::string_view text) {
    return AsciiRun(text, 0) == text.size();
}

std::optional<std::string> FromUtf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        if (const std::size_t run = AsciiRun(utf8, i); run > 0) {
            out.append(utf8.substr(i, run));
            i += run;
            continue;
        }
        const auto b = static_cast<unsigned char>(utf8[i]);
        char32_t u = 0;
        const std::size_t len = DecodeUtf8At(utf8, i, u);
        i += len == 0 ? 1 : len;
        if (len != 0) {
            if (const std::uint16_t code = Encoder()[u]; code != 0) {
                AppendCode(out, code);
                continue;
            }
        }
        const std::size_t standIn = Registry().NumberFor(len == 0 ? kRawByteKey + b : u);
        if (standIn == StandIns::kNone) return std::nullopt;
        AppendStandIn(out, standIn);
    }
    return out;
}

std::optional<std::string> ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    if (!ToUtf8(text, out)) return std::nullopt;
    return out;
}

bool ToUtf8(std::string_view text, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < text.size();) {
        if (const std::size_t run = AsciiRun(text, i); run > 0) {
            out.append(text.substr(i, run));
            i += run;
            continue;
        }
        std::size_t len = 0;
        if (!AppendCharAsUtf8(out, text, i, len)) return false;
        i += len;
    }
    return true;
}

std::string ToUtf8Lossy(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    for (std::size_t i = 0; i < text.size();) {
        std::size_t len = 0;
        if (!AppendCharAsUtf8(out, text, i, len)) AppendUtf8(out, kReplacement);
        i += len;
    }
    return out;
}

std::string LegacyToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        char32_t u = kNone;
        std::size_t len = 1;
        if (IsLeadByte(b) && i + 1 < text.size()) {
            const auto trail = static_cast<unsigned char>(text[i + 1]);
            const auto code = static_cast<std::uint16_t>((b << 8) | trail);
            u = IsStandInCode(code) ? 0xE000 + StandInIndex(code) : DecodeDouble(b, trail);
            if (u != kNone) len = 2;
        } else if (b < 0x80) {
            out += static_cast<char>(b);
            ++i;
            continue;
        } else {
            u = DecodeSingle(b);
        }
        if (u == kNone) {
            out += static_cast<char>(b);
        } else {
            AppendUtf8(out, u);
        }
        i += len;
    }
    return out;
}

std::size_t Utf8CharLength(std::string_view text, std::size_t pos) {
    char32_t ignored = 0;
    return DecodeUtf8At(text, pos, ignored);
}

bool IsValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        char32_t u = 0;
        const std::size_t len = DecodeUtf8At(text, i, u);
        if (len == 0) return false;
        i += len;
    }
    return true;
}

void UpperInPlace(std::string& text) {
    CaseInPlace(text, true);
}
void LowerInPlace(std::string& text) {
    CaseInPlace(text, false);
}

std::string ToUpper(std::string_view text) {
    std::string out(text);
    UpperInPlace(out);
    return out;
}

std::string ToLower(std::string_view text) {
    std::string out(text);
    LowerInPlace(out);
    return out;
}

// Folding keeps every character's length and whether its first byte is a lead byte, so the folded
// texts compare character by character without being built.
int CompareNoCase(std::string_view a, std::string_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common;) {
        const std::size_t lenA = CharLength(a, i);
        const std::size_t lenB = CharLength(b, i);
        const auto foldedA =
            lenA == 1 ? static_cast<std::uint16_t>(static_cast<unsigned char>(AsciiCase(a[i], false)) << 8)
                      : CodeCase(Cases(), CodeAt(a, i), false);
        const auto foldedB =
            lenB == 1 ? static_cast<std::uint16_t>(static_cast<unsigned char>(AsciiCase(b[i], false)) << 8)
                      : CodeCase(Cases(), CodeAt(b, i), false);
        // A single byte sits in the high half: it orders against a lead byte by that byte alone.
        if (foldedA != foldedB) return foldedA < foldedB ? -1 : 1;
        i += lenA;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size();) {
        // Paths are mostly ASCII: a byte below 0x80 in both is a character of its own in both.
        const auto byteA = static_cast<unsigned char>(a[i]);
        const auto byteB = static_cast<unsigned char>(b[i]);
        if ((byteA | byteB) < 0x80) {
            if (byteA != byteB && AsciiCase(a[i], false) != AsciiCase(b[i], false)) return false;
            ++i;
            continue;
        }
        const std::size_t len = CharLength(a, i);
        if (len != CharLength(b, i)) return false;
        if (len == 1) {
            if (AsciiCase(a[i], false) != AsciiCase(b[i], false)) return false;
        } else if (CodeAt(a, i) != CodeAt(b, i) &&
                   CodeCase(Cases(), CodeAt(a, i), false) != CodeCase(Cases(), CodeAt(b, i), false)) {
            return false;
        }
        i += len;
    }
    return true;
}

void SortNoCase(std::vector<std::string>& texts) {
    std::vector<std::string> keys;
    keys.reserve(texts.size());
    for (const std::string& t : texts)
        keys.push_back(ToLower(t));
    std::vector<std::size_t> order(texts.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
        if (const int c = keys[x].compare(keys[y]); c != 0) return c < 0;
        return texts[x] < texts[y];
    });
    std::vector<std::string> sorted;
    sorted.reserve(texts.size());
    for (const std::size_t i : order)
        sorted.push_back(std::move(texts[i]));
    texts = std::move(sorted);
}

std::size_t StandInsInUse() {
    return Registry().Size();
}

}  // namespace Cp932
