#include "core/SequentialNames.h"

#include <array>
#include <charconv>
#include <limits>
#include <unordered_set>

#include "core/Cp932.h"
#include "core/MyFileOperation.h"
#include "core/platform/FileSystem.h"

namespace SequentialNames {
namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view SkipBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    return text;
}

// The counter must never overflow, however odd the start value and the increment.
std::int64_t SaturatingAdd(std::int64_t a, std::int64_t b) {
    std::int64_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum)) return b > 0 ? kMax : kMin;
    return sum;
}

// Whether anything (file or folder) stands at the path.
bool Taken(std::string_view path) {
    const auto native = Cp932::ToUtf8(path);
    return native && Platform::Status(*native).has_value();
}

// The file name up to its first ".".
std::string BaseOf(std::string_view name) {
    return std::string(name.substr(0, name.find('.')));
}

}  // namespace

std::optional<std::string> DateFormatFor(int index) {
    static constexpr std::array<std::string_view, 4> kFormats = {"yyyymmdd", "yyyy_mm_dd", "yymmdd",
                                                                 "yy_mm_dd"};
    if (index < 0 || index >= static_cast<int>(kFormats.size())) return std::nullopt;
    return std::string(kFormats[static_cast<std::size_t>(index)]);
}

std::optional<std::int64_t> ReadStrictInteger(std::string_view text) {
    text = SkipBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (!text.empty() && text.front() == '$') {
        base = 16;
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    std::uint64_t magnitude = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (!negative && magnitude > static_cast<std::uint64_t>(kMax)) return std::nullopt;
    if (negative && magnitude > static_cast<std::uint64_t>(kMax) + 1) return std::nullopt;
    return negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
}

std::int64_t ReadLenientInteger(std::string_view text) {
    if (const auto whole = ReadStrictInteger(text); whole && text.find('$') == std::string_view::npos)
        return *whole;
    text = SkipBlanks(text);
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
    std::int64_t value = 0;
    for (const char c : text) {
        if (!IsDigit(c)) break;
        if (value > (kMax - (c - '0')) / 10) return kMax;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::int64_t Increment(std::string_view incrementText) {
    const std::int64_t value = ReadLenientInteger(incrementText);
    return value <= 0 ? 1 : value;
}

bool CheckSequentialInputs(const Options& o) {
    if (o.changeExtension && o.newExtension.empty()) return false;
    if (!o.startValue.empty() && !ReadStrictInteger(o.startValue)) return false;
    if (!o.startValue.empty() || o.changeExtension) return true;
    return o.keepName && (o.folderName || o.addDate || !o.leadingText.empty() || !o.trailingText.empty());
}

bool ExtensionOnlyMode(const Options& o) {
    return o.leadingText.empty() && o.startValue.empty() && o.changeExtension &&
           !(o.keepName && o.folderName);
}

std::string FolderNameOf(std::string_view path) {
    return MyFileOperation::FileNameOf(MyFileOperation::RemoveBackslash(MyFileOperation::FolderOf(path)));
}

std::string PadNumber(std::int64_t number, std::size_t width) {
    const bool negative = number < 0;
    std::string digits = std::to_string(number);
    if (negative) digits.erase(0, 1);
    const std::size_t used = digits.size() + (negative ? 1 : 0);
    if (used < width) digits.insert(0, width - used, '0');
    return negative ? "-" + digits : digits;
}

std::string FormatDate(const Date& date, std::string_view format) {
    const auto two = [](int v) { return PadNumber(v % 100, 2); };
    std::string out;
    for (std::size_t i = 0; i < format.size();) {
        const std::string_view rest = format.substr(i);
        if (rest.starts_with("yyyy")) {
            out += PadNumber(date.year, 4);
            i += 4;
        } else if (rest.starts_with("yy")) {
            out += two(date.year);
            i += 2;
        } else if (rest.starts_with("mm")) {
            out += two(date.month);
            i += 2;
        } else if (rest.starts_with("dd")) {
            out += two(date.day);
            i += 2;
        } else {
            out += format[i++];
        }
    }
    return out;
}

std::optional<Date> ParseDateText(std::string_view text) {
    Date date;
    const char* p = text.data();
    const char* end = text.data() + text.size();
    const auto number = [&](int& value) {
        const auto [next, error] = std::from_chars(p, end, value);
        if (error != std::errc()) return false;
        p = next;
        return true;
    };
    const auto expect = [&](char c) { return p != end && *p++ == c; };
    if (!number(date.year) || !expect('/') || !number(date.month) || !expect('/') || !number(date.day) ||
        !expect(' ')) {
        return std::nullopt;
    }
    if (date.month < 1 || date.month > 12 || date.day < 1 || date.day > 31) return std::nullopt;
    return date;
}

Result BuildSequentialNames(const std::vector<std::string>& orgPaths, const Options& o) {
    Result result;
    if (orgPaths.empty()) return result;
    for (const std::string& path : orgPaths) {
        if (!MyFileOperation::FileExists(path)) {
            result.outcome = Outcome::MissingFile;
            result.detail = path;
            return result;
        }
    }

    const bool extensionOnly = ExtensionOnlyMode(o);
    const bool numbering = !o.startValue.empty();
    const std::int64_t start = numbering ? ReadStrictInteger(o.startValue).value_or(0) : 0;
    const std::size_t width = o.startValue.size();
    const std::int64_t increment = Increment(o.incrementText);
    std::string newExtension;
    if (o.changeExtension)
        newExtension = o.newExtension.starts_with('.') ? o.newExtension : "." + o.newExtension;

    std::int64_t counter = start;
    bool resetAfter = false;
    std::string number;
    std::unordered_set<std::string> composed;  // folded, to catch two entries given one name
    result.newPaths.reserve(orgPaths.size());
    for (std::size_t i = 0; i < orgPaths.size(); ++i) {
        const std::string& path = orgPaths[i];
        const std::string folder = MyFileOperation::FolderOf(path);
        const std::string name = MyFileOperation::FileNameOf(path);
        if (o.resetPerFolder && i + 1 < orgPaths.size()) {
            resetAfter = FolderNameOf(orgPaths[i + 1]) != FolderNameOf(path);
        }
        number.clear();
        if (numbering) {
            number = PadNumber(counter, width);
            counter = resetAfter ? start : SaturatingAdd(counter, increment);
        }
        const std::string extension = o.changeExtension ? newExtension : MyFileOperation::ExtensionOf(name);
        const std::string base = BaseOf(name);

        std::string front;
        std::string middle;
        std::string trailing;
        if (extensionOnly) {
            middle = base;
            number.clear();
        } else {
            if (o.folderName) front = FolderNameOf(path);
            middle = o.keepName ? o.leadingText + base : o.leadingText;
            trailing = o.trailingText;
        }
        if (o.addDate) {
            const std::string dateText = MyFileOperation::FileDateText(path);
            const auto date = ParseDateText(dateText);
            if (!date) {
                result.outcome = Outcome::BadDate;
                result.detail = dateText;
                return result;
            }
            std::string& part = o.dateAtEnd ? trailing : middle;
            if (o.dateSeparator) part += '_';
            part += FormatDate(*date, o.dateFormat);
        }
        std::string newPath;
        newPath.reserve(folder.size() + front.size() + middle.size() + number.size() + trailing.size() +
                        extension.size());
        newPath.append(folder).append(front).append(middle).append(number).append(trailing).append(extension);

        const std::string folded = Cp932::ToLower(newPath);
        const bool sameFile = folded == Cp932::ToLower(path);
        if ((!sameFile && Taken(newPath)) || !composed.insert(folded).second) {
            result.outcome = Outcome::Collision;
            result.detail = newPath;
            return result;
        }
        result.newPaths.push_back(std::move(newPath));
    }
    result.outcome = Outcome::Composed;
    result.lastNumberText = number;
    return result;
}

std::optional<std::string> ContinueNumbering(std::string_view lastNumberText,
                                             std::string_view incrementText) {
    if (lastNumberText.empty()) return std::nullopt;
    const auto last = ReadStrictInteger(lastNumberText);
    if (!last) return std::nullopt;
    return PadNumber(SaturatingAdd(*last, Increment(incrementText)), lastNumberText.size());
}

}  // namespace SequentialNames
