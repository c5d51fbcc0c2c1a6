#include "core/SequentialNames.h"

#include <array>
#include <cassert>
#include <charconv>
#include <limits>
#include <unordered_map>

#include "core/Cp932.h"
#include "core/FolderLook.h"
#include "core/MyFileOperation.h"
#include "core/PhotoDate.h"

namespace SequentialNames {
namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

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

// A running number: the next value to give out, or none when it would pass the 64-bit range.
class Counter {
public:
    explicit Counter(std::int64_t start) : next_(start) {}
    // The number for the next entry; nullopt when the range is used up.
    std::optional<std::int64_t> Take(std::int64_t increment) {
        if (exhausted_) return std::nullopt;
        const std::int64_t taken = next_;
        exhausted_ = __builtin_add_overflow(next_, increment, &next_);
        return taken;
    }

private:
    std::int64_t next_;
    bool exhausted_ = false;
};

// One counter per folder name when numbering restarts per folder, else one for the whole list.
// Entries of one folder usually follow each other, so the last folder's counter is kept at hand.
class Counters {
public:
    Counters(std::int64_t start, bool perFolder) : start_(start), perFolder_(perFolder), whole_(start) {}
    Counter& For(std::string_view path) {
        if (!perFolder_) return whole_;
        const std::string_view folder = MyFileOperation::SplitAtLastDelimiter(path).folder;
        if (last_ == nullptr || folder != lastFolder_) {
            last_ = &byName_.try_emplace(FolderNameOf(path), start_).first->second;
            lastFolder_ = folder;
        }
        return *last_;
    }

private:
    std::int64_t start_;
    bool perFolder_;
    Counter whole_;
    std::unordered_map<std::string, Counter> byName_;
    std::string_view lastFolder_;
    Counter* last_ = nullptr;
};

// The case-folded form of a folder, kept while entries share it (a sorted list holds a folder's
// files together), so that a path costs only the folding of its name.
class FolderForms {
public:
    void Use(std::string_view folder) {
        if (used_ && folder == folder_) return;
        folder_ = folder;
        used_ = true;
        foldedHash_ = std::hash<std::string>{}(Cp932::ToLower(folder));
    }
    // A hash of folder + name without regard to case, from the name mapped to lower case.
    std::size_t FoldedHash(std::string_view foldedName) const {
        const std::size_t name = std::hash<std::string_view>{}(foldedName);
        return foldedHash_ ^ (name + 0x9e3779b97f4a7c15U + (foldedHash_ << 6) + (foldedHash_ >> 2));
    }

private:
    std::string folder_;
    bool used_ = false;
    std::size_t foldedHash_ = 0;
};

// The paths of a list compared without regard to case, to find two entries given one name. An
// open-addressing table of indices into the list with bits of their folded hash, so no folded copy
// is kept and no node is allocated per path.
class FoldedPaths {
public:
    // count: the most paths that will be inserted.
    FoldedPaths(const std::vector<std::string>& paths, std::size_t count) : paths_(paths) {
        std::size_t size = 16;
        while (size < 2 * count + 2)
            size *= 2;
        slots_.resize(size);
    }
    // False when a path equal to paths[index] without regard to case was inserted before.
    bool Insert(std::size_t index, std::size_t foldedHash) {
        assert(2 * (used_ + 1) <= slots_.size());
        const auto tag = static_cast<std::uint32_t>(foldedHash >> 32);
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t at = foldedHash & mask;; at = (at + 1) & mask) {
            Slot& slot = slots_[at];
            if (slot.index == 0) {
                slot = {static_cast<std::uint32_t>(index + 1), tag};
                ++used_;
                return true;
            }
            if (slot.tag == tag && Cp932::EqualNoCase(paths_[slot.index - 1], paths_[index])) return false;
        }
    }

private:
    struct Slot {
        std::uint32_t index = 0;  // into the list, plus one; 0 for an empty slot
        std::uint32_t tag = 0;
    };
    const std::vector<std::string>& paths_;
    std::vector<Slot> slots_;
    std::size_t used_ = 0;
};

// The file name up to its first "." ("." is never a trail byte).
std::string_view BaseOf(std::string_view name) {
    return name.substr(0, name.find('.'));
}
// The file name from its last "." on; empty without one.
std::string_view ExtensionOfName(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
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

Result BuildSequentialNames(const std::vector<std::string>& orgPaths, const Options& o,
                            const std::vector<std::int64_t>* datesTaken) {
    Result result;
    if (orgPaths.empty()) return result;
    assert(datesTaken == nullptr || datesTaken->size() == orgPaths.size());
    // Every file and its new name are looked up in their folder's entries, read once: two looks
    // per entry.
    MyFileOperation::FolderLook look(orgPaths, 2);
    using Kind = MyFileOperation::FolderLook::Kind;

    const bool extensionOnly = ExtensionOnlyMode(o);
    const bool numbering = !o.startValue.empty();
    const std::int64_t start = numbering ? ReadStrictInteger(o.startValue).value_or(0) : 0;
    const std::size_t width = o.startValue.size();
    const std::int64_t increment = Increment(o.incrementText);
    std::string newExtension;
    if (o.changeExtension)
        newExtension = o.newExtension.starts_with('.') ? o.newExtension : "." + o.newExtension;

    FolderForms forms;
    Counters counters(start, o.resetPerFolder);
    std::string number;
    std::string newName;
    result.newPaths.reserve(orgPaths.size());
    result.ids.reserve(orgPaths.size());
    FoldedPaths composed(result.newPaths, orgPaths.size());
    // The first entry the composition stopped at. A missing file anywhere in the list is told
    // before it, so the look for missing files goes on to the end of the list.
    std::optional<Outcome> stopped;
    std::string stoppedAt;
    std::optional<std::string> heldAt;  // the first new name held on disk by another file
    for (std::size_t index = 0; index < orgPaths.size(); ++index) {
        const std::string& path = orgPaths[index];
        Platform::EntryId id;
        if (look.At(path, &id) != Kind::kFile) {
            result.outcome = Outcome::MissingFile;
            result.detail = path;
            result.newPaths.clear();
            result.ids.clear();
            return result;
        }
        if (stopped) continue;
        result.ids.push_back(id);
        const MyFileOperation::PathParts parts = MyFileOperation::SplitAtLastDelimiter(path);
        forms.Use(parts.folder);
        number.clear();
        if (numbering && !extensionOnly) {
            const auto value = counters.For(path).Take(increment);
            if (!value) {
                stopped = Outcome::NumberOutOfRange;
                stoppedAt = path;
                continue;
            }
            number = PadNumber(*value, width);
        }
        std::string date;
        if (o.addDate) {
            const PhotoDate::Stamp taken =
                o.dateTaken && datesTaken != nullptr ? (*datesTaken)[index] : PhotoDate::kNone;
            std::optional<Date> parsed;
            if (taken != PhotoDate::kNone) {
                const PhotoDate::DateTime when = PhotoDate::Unpack(taken);
                parsed = Date{when.year, when.month, when.day};
            } else {
                if (o.dateTaken) ++result.undatedPhotos;
                const std::string dateText = MyFileOperation::FileDateText(path);
                parsed = ParseDateText(dateText);
                if (!parsed) {
                    stopped = Outcome::BadDate;
                    stoppedAt = dateText;
                    continue;
                }
            }
            if (o.dateSeparator) date = "_";
            date += FormatDate(*parsed, o.dateFormat);
        }

        // Folder name, leading text and original name, the date unless it goes to the end, the
        // number, the trailing text, the date at the end, the extension.
        newName.clear();
        if (extensionOnly) {
            newName.append(BaseOf(parts.name));
        } else {
            if (o.folderName) newName.append(FolderNameOf(path));
            newName.append(o.leadingText);
            if (o.keepName) newName.append(BaseOf(parts.name));
        }
        if (!o.dateAtEnd) newName.append(date);
        if (!extensionOnly) newName.append(number).append(o.trailingText);
        if (o.dateAtEnd) newName.append(date);
        newName.append(o.changeExtension ? std::string_view(newExtension) : ExtensionOfName(parts.name));

        std::string newPath;
        newPath.reserve(parts.folder.size() + newName.size());
        newPath.append(parts.folder).append(newName);
        // Old and new path share the folder, so the names alone tell a change of case only.
        const bool sameFile = Cp932::EqualNoCase(newName, parts.name);
        const bool taken = !sameFile && look.At(newPath) != Kind::kNone;
        result.newPaths.push_back(std::move(newPath));
        if (!composed.Insert(result.newPaths.size() - 1, forms.FoldedHash(Cp932::ToLower(newName)))) {
            stopped = Outcome::Collision;
            stoppedAt = std::move(result.newPaths.back());
            result.newPaths.pop_back();
        } else if (taken && !heldAt) {
            // The names go on being composed: the file holding this one may be renamed by the run.
            heldAt = result.newPaths.back();
        }
    }
    if (stopped) {
        // A name taken on disk before the run stopped is the reason it gives.
        result.outcome = heldAt ? Outcome::Collision : *stopped;
        result.detail = heldAt ? std::move(*heldAt) : std::move(stoppedAt);
        return result;
    }
    result.lastNumberText = number;
    if (heldAt) {
        result.outcome = Outcome::Collision;
        result.detail = std::move(*heldAt);
        result.composedAll = true;
        return result;
    }
    result.outcome = Outcome::Composed;
    return result;
}

std::optional<std::string> ContinueNumbering(std::string_view lastNumberText,
                                             std::string_view incrementText) {
    if (lastNumberText.empty()) return std::nullopt;
    const auto last = ReadStrictInteger(lastNumberText);
    std::int64_t next = 0;
    if (!last || __builtin_add_overflow(*last, Increment(incrementText), &next)) return std::nullopt;
    return PadNumber(next, lastNumberText.size());
}

}  // namespace SequentialNames
