#include "core/names/SequentialNames.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <charconv>
#include <limits>
#include <unordered_map>

#include "core/list/FolderLook.h"
#include "core/list/MyFileOperation.h"
#include "core/names/PhotoDate.h"
#include "core/platform/Heap.h"
#include "core/platform/HelperThread.h"
#include "core/text/Cp932.h"
#include "core/text/Strfunc.h"

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
    // Written in place: every name of a run takes one.
    const bool negative = number < 0;
    const std::uint64_t magnitude =
        negative ? std::uint64_t{0} - static_cast<std::uint64_t>(number) : static_cast<std::uint64_t>(number);
    std::array<char, 20> digits{};
    const std::size_t count = static_cast<std::size_t>(
        std::to_chars(digits.data(), digits.data() + digits.size(), magnitude).ptr - digits.data());
    const std::size_t used = count + (negative ? 1 : 0);
    std::string out;
    out.reserve(std::max(used, width));
    if (negative) out += '-';
    if (used < width) out.append(width - used, '0');
    out.append(digits.data(), count);
    return out;
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

RunCheck CheckRun(const Options& o) {
    if (!CheckSequentialInputs(o)) return {RunCheck::Refusal::kInputs, {}};
    // Texts that go into every name as they stand, the new extension among them.
    std::vector<const std::string*> fixedTexts = {&o.leadingText, &o.trailingText};
    if (o.changeExtension) fixedTexts.push_back(&o.newExtension);
    for (const std::string* text : fixedTexts) {
        std::string forbidden = Strfunc::FindForbiddenChar(*text);
        if (!forbidden.empty()) return {RunCheck::Refusal::kForbidden, std::move(forbidden)};
    }
    return {};
}

// One counter per folder name when numbering restarts per folder, else one for the whole list.
// Entries of one folder usually follow each other, so the last folder's counter is kept at hand.
class Composer::Counters {
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

Composer::Composer(const Options& options, std::size_t count, const std::vector<std::int64_t>* datesTaken)
    : options_(options),
      datesTaken_(datesTaken),
      extensionOnly_(ExtensionOnlyMode(options)),
      numbering_(!options.startValue.empty()),
      width_(options.startValue.size()),
      increment_(Increment(options.incrementText)),
      counters_(std::make_unique<Counters>(numbering_ ? ReadStrictInteger(options.startValue).value_or(0) : 0,
                                           options.resetPerFolder)) {
    assert(datesTaken == nullptr || datesTaken->size() == count);
    (void)count;
    if (options.changeExtension)
        newExtension_ =
            options.newExtension.starts_with('.') ? options.newExtension : "." + options.newExtension;
}

Composer::~Composer() = default;

Outcome Composer::Compose(std::size_t index, std::string_view path, std::string& newName,
                          std::string& detail) {
    const Options& o = options_;
    const std::string_view name = MyFileOperation::SplitAtLastDelimiter(path).name;
    number_.clear();
    if (numbering_ && !extensionOnly_) {
        const auto value = counters_->For(path).Take(increment_);
        if (!value) {
            detail = path;
            return Outcome::NumberOutOfRange;
        }
        number_ = PadNumber(*value, width_);
    }
    std::string date;
    if (o.addDate) {
        const PhotoDate::Stamp taken =
            o.dateTaken && datesTaken_ != nullptr ? (*datesTaken_)[index] : PhotoDate::kNone;
        std::optional<Date> parsed;
        if (taken != PhotoDate::kNone) {
            const PhotoDate::DateTime when = PhotoDate::Unpack(taken);
            parsed = Date{when.year, when.month, when.day};
        } else {
            if (o.dateTaken) ++undatedPhotos_;
            std::string dateText = MyFileOperation::FileDateText(path);
            parsed = ParseDateText(dateText);
            if (!parsed) {
                detail = std::move(dateText);
                return Outcome::BadDate;
            }
        }
        date = FormatDate(*parsed, o.dateFormat);
        if (o.dateSeparator) date.insert(date.begin(), '_');
    }

    // Folder name, leading text and original name, the date unless it goes to the end, the
    // number, the trailing text, the date at the end, the extension.
    newName.clear();
    if (extensionOnly_) {
        newName.append(BaseOf(name));
    } else {
        if (o.folderName) newName.append(FolderNameOf(path));
        newName.append(o.leadingText);
        if (o.keepName) newName.append(BaseOf(name));
    }
    if (!o.dateAtEnd) newName.append(date);
    if (!extensionOnly_) newName.append(number_).append(o.trailingText);
    if (o.dateAtEnd) newName.append(date);
    newName.append(o.changeExtension ? std::string_view(newExtension_) : ExtensionOfName(name));
    return Outcome::Composed;
}

// The paths checked so far compared without regard to case, to find two entries given one name.
// An open-addressing table of entry indices with bits of their folded hash, so no folded copy is
// kept and no node is allocated per path. A slot is four bytes: the index plus one in the bits a
// list of count entries needs, the hash's bits in the rest.
class NameCheck::Table {
public:
    Table(std::size_t count, std::function<bool(std::size_t, std::size_t)> same) : same_(std::move(same)) {
        assert(count < std::numeric_limits<std::uint32_t>::max());
        while (indexBits_ < 32 && (std::uint64_t{1} << indexBits_) <= count)
            ++indexBits_;
        slots_.resize(Platform::TableSlots(count));
    }
    // False when an entry of the same path without regard to case was inserted before.
    bool Insert(std::size_t index, std::string_view folder, std::string_view newName) {
        return Insert(index, HashOf(folder, newName));
    }
    void Queue(std::size_t index, std::string_view folder, std::string_view newName,
               std::vector<std::size_t>& refused) {
        Queued& next = queued_[queuedEnd_ % kAhead];
        if (queuedEnd_ - queuedBegin_ == kAhead) {
            if (!Insert(next.index, next.hash)) refused.push_back(next.index);
            ++queuedBegin_;
        }
        next = {index, HashOf(folder, newName)};
        __builtin_prefetch(&slots_[Platform::SlotOf(next.hash, slots_.size())]);
        ++queuedEnd_;
    }
    void Finish(std::vector<std::size_t>& refused) {
        for (; queuedBegin_ < queuedEnd_; ++queuedBegin_) {
            const Queued& next = queued_[queuedBegin_ % kAhead];
            if (!Insert(next.index, next.hash)) refused.push_back(next.index);
        }
    }

private:
    std::size_t HashOf(std::string_view folder, std::string_view newName) {
        forms_.Use(folder);
        folded_.assign(newName);
        Cp932::LowerInPlace(folded_);
        return forms_.FoldedHash(folded_);
    }
    bool Insert(std::size_t index, std::size_t hash) {
        assert(Platform::TableSlots(used_ + 1) <= slots_.size());
        const std::uint64_t indexMask = (std::uint64_t{1} << indexBits_) - 1;
        const auto tag = static_cast<std::uint32_t>((hash >> 32) & ~indexMask);
        for (std::size_t at = Platform::SlotOf(hash, slots_.size());;
             at = Platform::NextSlot(at, slots_.size())) {
            std::uint32_t& slot = slots_[at];
            if (slot == 0) {
                slot = tag | static_cast<std::uint32_t>(index + 1);
                ++used_;
                return true;
            }
            if ((slot & ~indexMask) == tag && same_((slot & indexMask) - 1, index)) return false;
        }
    }

    // Entries queued ahead of their insert: enough to cover a wait for memory.
    static constexpr std::size_t kAhead = 16;
    struct Queued {
        std::size_t index = 0;
        std::size_t hash = 0;
    };
    std::array<Queued, kAhead> queued_;
    std::size_t queuedBegin_ = 0;
    std::size_t queuedEnd_ = 0;
    std::string folded_;  // room for a name in lower case
    std::function<bool(std::size_t, std::size_t)> same_;
    FolderForms forms_;
    unsigned indexBits_ = 1;
    std::vector<std::uint32_t> slots_;  // 0 for an empty slot
    std::size_t used_ = 0;
};

NameCheck::NameCheck(std::size_t count, std::function<bool(std::size_t, std::size_t)> same)
    : table_(std::make_unique<Table>(count, std::move(same))) {}

NameCheck::~NameCheck() = default;

bool NameCheck::SameNameNoCase(std::string_view a, std::string_view b) {
    return Cp932::EqualNoCase(a, b);
}

bool NameCheck::Insert(std::size_t index, std::string_view folder, std::string_view newName) {
    return table_->Insert(index, folder, newName);
}

void NameCheck::Queue(std::size_t index, std::string_view folder, std::string_view newName,
                      std::vector<std::size_t>& refused) {
    table_->Queue(index, folder, newName, refused);
}

void NameCheck::Finish(std::vector<std::size_t>& refused) {
    table_->Finish(refused);
}

Result BuildSequentialNames(const std::vector<std::string>& orgPaths, const Options& o,
                            const std::vector<std::int64_t>* datesTaken, const Meanwhile& meanwhile,
                            MyFileOperation::FolderListings listings) {
    Result result;
    if (orgPaths.empty()) return result;
    // Every file and its new name are looked up in their folder's entries, read once: two looks
    // per entry. The names need no look to be composed, so the files are looked at meanwhile.
    MyFileOperation::FolderLook look(orgPaths, 2);
    look.Adopt(std::move(listings));
    using Kind = MyFileOperation::FolderLook::Kind;
    std::vector<Platform::EntryId> seen(orgPaths.size());
    std::size_t firstMissing = orgPaths.size();
    Platform::HelperThread reader([&] {
        for (std::size_t i = 0; i < orgPaths.size(); ++i) {
            if (look.At(orgPaths[i], &seen[i]) == Kind::kFile) continue;
            firstMissing = i;
            return;
        }
    });

    // The names up to the first entry the composition stops at, each checked against the names
    // before it meanwhile: a name given twice stops the list there.
    Composer composer(o, orgPaths.size(), datesTaken);
    result.newPaths.reserve(orgPaths.size());
    NameCheck check(orgPaths.size(), [&result](std::size_t a, std::size_t b) {
        return Cp932::EqualNoCase(result.newPaths[a], result.newPaths[b]);
    });
    std::optional<Outcome> stopped;
    std::string stoppedAt;
    std::string newName;
    for (const std::string& path : orgPaths) {
        const std::size_t index = result.newPaths.size();
        const Outcome composed = composer.Compose(index, path, newName, stoppedAt);
        if (composed != Outcome::Composed) {
            stopped = composed;
            break;
        }
        const std::string_view folder = MyFileOperation::SplitAtLastDelimiter(path).folder;
        std::string newPath;
        newPath.reserve(folder.size() + newName.size());
        newPath.append(folder).append(newName);
        result.newPaths.push_back(std::move(newPath));
        if (!check.Insert(index, folder, newName)) {
            stopped = Outcome::Collision;
            stoppedAt = result.newPaths.back();
            result.newPaths.pop_back();
            break;
        }
    }
    reader.Join();
    // A missing file anywhere in the list is told before any stop of the names.
    if (firstMissing < orgPaths.size()) {
        result.outcome = Outcome::MissingFile;
        result.detail = orgPaths[firstMissing];
        result.newPaths.clear();
        return result;
    }

    result.ids = std::move(seen);
    Platform::HelperThread aside;
    if (!stopped && meanwhile) aside = Platform::HelperThread([&] { meanwhile(result.newPaths); });
    // The first new name before the stop that something on disk holds: the reason the run gives,
    // also for a later stop (the file holding it may be one the run renames).
    std::optional<std::string> heldAt;
    for (std::size_t index = 0; index < result.newPaths.size() && !heldAt; ++index) {
        const MyFileOperation::PathParts parts = MyFileOperation::SplitAtLastDelimiter(orgPaths[index]);
        const std::string_view composedName =
            std::string_view(result.newPaths[index]).substr(parts.folder.size());
        if (check.Taken(parts.folder, parts.name, composedName,
                        [&look](std::string_view at) { return look.At(at) != Kind::kNone; })) {
            heldAt = result.newPaths[index];
        }
    }
    if (aside.Joinable()) aside.Join();
    if (stopped) {
        // The names as far as the list was checked; a name taken on disk before the stop is the
        // reason the run gives.
        result.outcome = heldAt ? Outcome::Collision : *stopped;
        result.detail = heldAt ? std::move(*heldAt) : std::move(stoppedAt);
        return result;
    }
    result.lastNumberText = composer.LastNumber();
    result.undatedPhotos = composer.UndatedPhotos();
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
