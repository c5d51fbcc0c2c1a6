#include "core/text/HenkanJ.h"

#include "core/text/Cp932.h"

#include <iterator>

namespace HenkanJ {

namespace {

constexpr unsigned char kVoicedMark = 0xDE;      // ﾞ
constexpr unsigned char kSemiVoicedMark = 0xDF;  // ﾟ

// JIS X 0208 row and column, each 0x21-0x7E.
struct Jis {
    unsigned row;
    unsigned column;
};

void AppendJis(std::string& out, unsigned row, unsigned column) {
    unsigned lead = ((row + 1) >> 1) + 0x70;
    if (lead >= 0xA0) lead += 0x40;
    unsigned trail = 0;
    if (row & 1) {
        trail = column + 0x1F;
        if (trail >= 0x7F) ++trail;
    } else {
        trail = column + 0x7E;
    }
    out += static_cast<char>(lead);
    out += static_cast<char>(trail);
}

// The JIS code of a double-byte character; false for a trail byte outside 0x40-0x7E, 0x80-0xFC,
// which no real character has.
bool ToJis(unsigned char lead, unsigned char trail, Jis& jis) {
    if (trail < 0x40 || trail == 0x7F || trail > 0xFC) return false;
    const unsigned l = lead >= 0xE0 ? lead - 0x40 : lead;
    jis.row = (l - 0x81) * 2 + 0x21;
    if (trail >= 0x9F) {
        ++jis.row;
        jis.column = trail - 0x7E;
    } else {
        jis.column = trail - (trail >= 0x80 ? 0x20 : 0x1F);
    }
    return true;
}

// Symbol pairs: the half-width byte at index i belongs to the full-width character at 2i.
constexpr std::string_view kHalfSymbols = " !\"#$%&'()=`|-^\\~{@[+*};:]<>?_\xA4\xA1\xA5,./\xB0\xA2\xA3";
constexpr std::string_view kFullSymbols =
    "\x81\x40\x81\x49\x81\x68\x81\x94\x81\x90\x81\x93\x81\x95\x81\x66\x81\x69\x81\x6A"  // 　！”＃＄％＆’（）
    "\x81\x81\x81\x65\x81\x62\x81\x7C\x81\x4F\x81\x8F\x81\x50\x81\x6F\x81\x97\x81\x6D"  // ＝‘｜－＾￥￣｛＠［
    "\x81\x7B\x81\x96\x81\x70\x81\x47\x81\x46\x81\x6E\x81\x83\x81\x84\x81\x48\x81\x51"  // ＋＊｝；：］＜＞？＿
    "\x81\x41\x81\x42\x81\x45\x81\x43\x81\x44\x81\x5E\x81\x5B\x81\x75\x81\x76";  // 、。・，．／ー「」
static_assert(kHalfSymbols.size() == 39 && kFullSymbols.size() == 78);

enum Marks : unsigned char { kNoMark, kVoiced, kVoicedOrSemi };

// Half-width kana 0xA6-0xDF: the katakana column in JIS row 0x25 (0 = no entry) and the sound
// marks the kana takes.
struct HalfKana {
    unsigned char column;
    Marks marks;
};
constexpr unsigned char kFirstHalfKana = 0xA6;
// clang-format off
constexpr HalfKana kHalfKana[] = {
    {0x72, kNoMark},                                                                     // ｦ
    {0x21, kNoMark},       {0x23, kNoMark},       {0x25, kNoMark},       {0x27, kNoMark},  // ｧｨｩｪ
    {0x29, kNoMark},                                                                     // ｫ
    {0x63, kNoMark},       {0x65, kNoMark},       {0x67, kNoMark},                         // ｬｭｮ
    {0x43, kNoMark},                                                                     // ｯ
    {0, kNoMark},                                                                        // ｰ: a symbol
    {0x22, kNoMark},       {0x24, kNoMark},       {0x26, kNoMark},       {0x28, kNoMark},  // ｱｲｳｴ
    {0x2A, kNoMark},                                                                     // ｵ
    {0x2B, kVoiced},       {0x2D, kVoiced},       {0x2F, kVoiced},       {0x31, kVoiced},  // ｶｷｸｹ
    {0x33, kVoiced},       {0x35, kVoiced},       {0x37, kVoiced},       {0x39, kVoiced},  // ｺｻｼｽ
    {0x3B, kVoiced},       {0x3D, kVoiced},       {0x3F, kVoiced},       {0x41, kVoiced},  // ｾｿﾀﾁ
    {0x44, kVoiced},       {0x46, kVoiced},       {0x48, kVoiced},                         // ﾂﾃﾄ
    {0x4A, kNoMark},       {0x4B, kNoMark},       {0x4C, kNoMark},       {0x4D, kNoMark},  // ﾅﾆﾇﾈ
    {0x4E, kNoMark},                                                                     // ﾉ
    {0x4F, kVoicedOrSemi}, {0x52, kVoicedOrSemi}, {0x55, kVoicedOrSemi},                 // ﾊﾋﾌ
    {0x58, kVoicedOrSemi}, {0x5B, kVoicedOrSemi},                                        // ﾍﾎ
    {0x5E, kNoMark},       {0x5F, kNoMark},       {0x60, kNoMark},       {0x61, kNoMark},  // ﾏﾐﾑﾒ
    {0x62, kNoMark},                                                                     // ﾓ
    {0x64, kNoMark},       {0x66, kNoMark},       {0x68, kNoMark},                         // ﾔﾕﾖ
    {0x69, kNoMark},       {0x6A, kNoMark},       {0x6B, kNoMark},       {0x6C, kNoMark},  // ﾗﾘﾙﾚ
    {0x6D, kNoMark},                                                                     // ﾛ
    {0x6F, kNoMark},       {0x73, kNoMark},                                              // ﾜﾝ
    {0, kNoMark},          {0, kNoMark},                                                 // ﾞﾟ alone
};
// clang-format on
static_assert(std::size(kHalfKana) == 0xDF - kFirstHalfKana + 1);

// Full-width kana by JIS column 0x21-0x76, the same for hiragana (row 0x24) and katakana
// (row 0x25): the half-width kana and the sound mark after it (0 = none).
struct FullKana {
    unsigned char kana;
    unsigned char mark;
};
constexpr unsigned kFirstKanaColumn = 0x21;
constexpr unsigned kLastHiraganaColumn = 0x73;  // ん; row 0x24 has nothing after it
constexpr unsigned kLastKatakanaColumn = 0x76;  // ヶ
constexpr unsigned char V = kVoicedMark;        // shorthands for the table below
constexpr unsigned char S = kSemiVoicedMark;
// clang-format off
constexpr FullKana kFullKana[] = {
    {0xA7, 0}, {0xB1, 0}, {0xA8, 0}, {0xB2, 0}, {0xA9, 0}, {0xB3, 0}, {0xAA, 0}, {0xB4, 0},  // ァアィイゥウェエ
    {0xAB, 0}, {0xB5, 0},                                                                    // ォオ
    {0xB6, 0}, {0xB6, V}, {0xB7, 0}, {0xB7, V}, {0xB8, 0}, {0xB8, V}, {0xB9, 0}, {0xB9, V},  // カガキギクグケゲ
    {0xBA, 0}, {0xBA, V},                                                                    // コゴ
    {0xBB, 0}, {0xBB, V}, {0xBC, 0}, {0xBC, V}, {0xBD, 0}, {0xBD, V}, {0xBE, 0}, {0xBE, V},  // サザシジスズセゼ
    {0xBF, 0}, {0xBF, V},                                                                    // ソゾ
    {0xC0, 0}, {0xC0, V}, {0xC1, 0}, {0xC1, V}, {0xAF, 0}, {0xC2, 0}, {0xC2, V}, {0xC3, 0},  // タダチヂッツヅテ
    {0xC3, V}, {0xC4, 0}, {0xC4, V},                                                         // デトド
    {0xC5, 0}, {0xC6, 0}, {0xC7, 0}, {0xC8, 0}, {0xC9, 0},                                   // ナニヌネノ
    {0xCA, 0}, {0xCA, V}, {0xCA, S}, {0xCB, 0}, {0xCB, V}, {0xCB, S}, {0xCC, 0}, {0xCC, V},  // ハバパヒビピフブ
    {0xCC, S}, {0xCD, 0}, {0xCD, V}, {0xCD, S}, {0xCE, 0}, {0xCE, V}, {0xCE, S},             // プヘベペホボポ
    {0xCF, 0}, {0xD0, 0}, {0xD1, 0}, {0xD2, 0}, {0xD3, 0},                                   // マミムメモ
    {0xAC, 0}, {0xD4, 0}, {0xAD, 0}, {0xD5, 0}, {0xAE, 0}, {0xD6, 0},                        // ャヤュユョヨ
    {0xD7, 0}, {0xD8, 0}, {0xD9, 0}, {0xDA, 0}, {0xDB, 0},                                   // ラリルレロ
    {0xDC, 0}, {0xDC, 0}, {0xB2, 0}, {0xB4, 0}, {0xB5, 0}, {0xDD, 0},                        // ヮワヰヱヲン
    {0xB3, V}, {0xB6, 0}, {0xB9, 0},                                                         // ヴヵヶ
};
// clang-format on
static_assert(std::size(kFullKana) == kLastKatakanaColumn - kFirstKanaColumn + 1);

bool IsAsciiAlnum(unsigned char b) {
    return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
}

bool IsHalfKanaByte(unsigned char b) {
    return b >= kFirstHalfKana && b <= 0xDF;
}

}  // namespace

std::string ToFullWidth(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        const std::size_t len = Cp932::CharLength(text, i);
        if (len == 2) {
            out.append(text.substr(i, 2));
            i += 2;
            continue;
        }
        ++i;
        if (IsAsciiAlnum(b)) {
            AppendJis(out, 0x23, b);
            continue;
        }
        if (IsHalfKanaByte(b) && kHalfKana[b - kFirstHalfKana].column != 0) {
            const HalfKana kana = kHalfKana[b - kFirstHalfKana];
            const int next = i < text.size() ? static_cast<unsigned char>(text[i]) : -1;
            if (kana.marks != kNoMark && next == kVoicedMark) {
                AppendJis(out, 0x25, kana.column + 1u);
                ++i;
            } else if (kana.marks == kVoicedOrSemi && next == kSemiVoicedMark) {
                AppendJis(out, 0x25, kana.column + 2u);
                ++i;
            } else {
                AppendJis(out, 0x25, kana.column);
                // A mark the kana cannot take still belongs to it: it becomes ゛ or ゜.
                if (next == kVoicedMark || next == kSemiVoicedMark) {
                    AppendJis(out, 0x21, next == kVoicedMark ? 0x2B : 0x2C);
                    ++i;
                }
            }
            continue;
        }
        const std::size_t symbol = kHalfSymbols.find(static_cast<char>(b));
        if (symbol != std::string_view::npos) {
            out.append(kFullSymbols.substr(symbol * 2, 2));
        } else {
            out += static_cast<char>(b);
        }
    }
    return out;
}

std::string ToHalfWidth(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (Cp932::CharLength(text, i) == 1) {
            out += text[i++];
            continue;
        }
        const std::string_view character = text.substr(i, 2);
        i += 2;
        Jis jis{};
        if (!ToJis(static_cast<unsigned char>(character[0]), static_cast<unsigned char>(character[1]), jis)) {
            out.append(character);
            continue;
        }
        const unsigned lastKana = jis.row == 0x24 ? kLastHiraganaColumn : kLastKatakanaColumn;
        if ((jis.row == 0x24 || jis.row == 0x25) && jis.column >= kFirstKanaColumn &&
            jis.column <= lastKana) {
            const FullKana kana = kFullKana[jis.column - kFirstKanaColumn];
            out += static_cast<char>(kana.kana);
            if (kana.mark != 0) out += static_cast<char>(kana.mark);
            continue;
        }
        std::size_t symbol = std::string_view::npos;
        for (std::size_t k = 0; k < kHalfSymbols.size(); ++k) {
            if (kFullSymbols.substr(k * 2, 2) == character) {
                symbol = k;
                break;
            }
        }
        if (symbol != std::string_view::npos) {
            out += kHalfSymbols[symbol];
        } else if (jis.row == 0x23 && IsAsciiAlnum(static_cast<unsigned char>(jis.column))) {
            out += static_cast<char>(jis.column);
        } else {
            out.append(character);
        }
    }
    return out;
}

}  // namespace HenkanJ
