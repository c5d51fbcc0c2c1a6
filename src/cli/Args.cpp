#include "cli/Args.h"

#include <getopt.h>

#include <array>
#include <charconv>
#include <string_view>
#include <utility>

#include "core/list/FileList.h"
#include "core/text/Translate.h"

namespace Cli {
namespace {

// Long options without a short form.
enum OptionId : int {
    kApply = 256,
    kYes,
    kNo,
    kJson,
    kFrom,
    kExt,
    kNotExt,
    kSort,
    kVersion,
    kLead,
    kStart,
    kTrail,
    kStep,
    kNewExt,
    kKeepName,
    kFolderName,
    kResetPerFolder,
    kDate,
    kDateFormat,
    kNoDateSeparator,
    kDateAtEnd,
    kDateTaken,
    kFind,
    kReplace,
    kRegex,
    kIncludeExt,
    kCaseSensitive,
    kTo,
    kNameOnly,
    kExtOnly,
};

// Which subcommands take an option.
enum Takers : unsigned {
    kOnSeq = 1U << 0,
    kOnReplace = 1U << 1,
    kOnCase = 1U << 2,
    kOnDigits = 1U << 3,
    kOnHistory = 1U << 4,
    kOnUndo = 1U << 5,
    kOnRecover = 1U << 6,
    kOnRuns = kOnSeq | kOnReplace | kOnCase | kOnDigits,
    kOnChanges = kOnRuns | kOnUndo | kOnRecover,
    kOnAll = kOnChanges | kOnHistory,
};

struct OptionRow {
    const char* name;
    int hasArg;
    int id;
    unsigned takers;
};

constexpr std::array kOptions{
    OptionRow{"help", no_argument, 'h', kOnAll},
    OptionRow{"version", no_argument, kVersion, kOnAll},
    OptionRow{"json", no_argument, kJson, kOnAll},
    OptionRow{"apply", no_argument, kApply, kOnChanges},
    OptionRow{"yes", no_argument, kYes, kOnChanges},
    OptionRow{"no", no_argument, kNo, kOnChanges},
    OptionRow{"from", required_argument, kFrom, kOnRuns},
    OptionRow{"null", no_argument, '0', kOnRuns},
    OptionRow{"recursive", no_argument, 'r', kOnRuns},
    OptionRow{"ext", required_argument, kExt, kOnRuns},
    OptionRow{"not-ext", required_argument, kNotExt, kOnRuns},
    OptionRow{"sort", required_argument, kSort, kOnRuns},
    OptionRow{"lead", required_argument, kLead, kOnSeq},
    OptionRow{"start", required_argument, kStart, kOnSeq},
    OptionRow{"trail", required_argument, kTrail, kOnSeq},
    OptionRow{"step", required_argument, kStep, kOnSeq},
    OptionRow{"new-ext", required_argument, kNewExt, kOnSeq},
    OptionRow{"keep-name", no_argument, kKeepName, kOnSeq},
    OptionRow{"folder-name", no_argument, kFolderName, kOnSeq},
    OptionRow{"reset-per-folder", no_argument, kResetPerFolder, kOnSeq},
    OptionRow{"date", no_argument, kDate, kOnSeq},
    OptionRow{"date-format", required_argument, kDateFormat, kOnSeq},
    OptionRow{"no-date-separator", no_argument, kNoDateSeparator, kOnSeq},
    OptionRow{"date-at-end", no_argument, kDateAtEnd, kOnSeq},
    OptionRow{"date-taken", no_argument, kDateTaken, kOnSeq},
    OptionRow{"find", required_argument, kFind, kOnReplace},
    OptionRow{"replace", required_argument, kReplace, kOnReplace},
    OptionRow{"regex", no_argument, kRegex, kOnReplace},
    OptionRow{"include-ext", no_argument, kIncludeExt, kOnReplace},
    OptionRow{"case-sensitive", no_argument, kCaseSensitive, kOnReplace},
    OptionRow{"to", required_argument, kTo, kOnCase},
    OptionRow{"name-only", no_argument, kNameOnly, kOnCase},
    OptionRow{"ext-only", no_argument, kExtOnly, kOnCase},
};

constexpr std::array<std::pair<std::string_view, Subcommand>, 7> kSubcommands{{
    {"seq", Subcommand::kSeq},
    {"replace", Subcommand::kReplace},
    {"case", Subcommand::kCase},
    {"digits", Subcommand::kDigits},
    {"history", Subcommand::kHistory},
    {"undo", Subcommand::kUndo},
    {"recover", Subcommand::kRecover},
}};

constexpr std::array<std::string_view, 4> kDateFormats{"yyyymmdd", "yyyy_mm_dd", "yymmdd", "yy_mm_dd"};
constexpr std::array<std::string_view, 4> kCaseTargets{"upper", "lower", "full-width", "half-width"};
constexpr std::array<std::pair<std::string_view, RowOrder::Key>, 3> kSortKeys{{
    {"name", RowOrder::Key::kName},
    {"modified", RowOrder::Key::kModified},
    {"taken", RowOrder::Key::kTaken},
}};

unsigned TakerOf(Subcommand subcommand) {
    return 1U << static_cast<unsigned>(subcommand);
}

Parsed UsageError(const std::string& text) {
    return {std::nullopt, kExitUsage,
            "quorbel-cli: " + text + "\n" + _("詳しくは quorbel-cli --help を見てください。") + "\n"};
}

// The option an error is about, as the user wrote it: the word, or one letter of a group.
std::string OptionNamed(char** argv, int index, int shortOption) {
    const std::string_view word = argv[index];
    if (!word.starts_with("--") && shortOption > 0 && shortOption < 128)
        return std::string("-") + static_cast<char>(shortOption);
    return std::string(word.substr(0, word.find('=')));
}

// The index of text among choices, or nullopt.
template <class Choices>
std::optional<std::size_t> IndexOf(const Choices& choices, std::string_view text) {
    for (std::size_t i = 0; i < choices.size(); ++i) {
        if (choices[i] == text) return i;
    }
    return std::nullopt;
}

std::string Joined(const auto& choices) {
    std::string text;
    for (const std::string_view choice : choices)
        text += (text.empty() ? "" : ", ") + std::string(choice);
    return text;
}

std::string BadValue(std::string_view option, std::string_view value, const std::string& choices) {
    // TRANSLATORS: %1 is an option, %2 the value given, %3 the values it takes.
    return Translate::Fill(_("%1 の値 %2 は使えません（%3 のいずれか）。"),
                           {"--" + std::string(option), value, choices});
}

std::string Extra(const std::string& operand) {
    return Translate::Fill(_("余分な引数 %1 があります。"), {operand});
}

// Applies one option with its argument; an error text, or empty.
std::string Apply(Request& request, int id, const char* argument) {
    const std::string value = argument != nullptr ? argument : "";
    SeqArgs& seq = request.seq;
    switch (id) {
        case kApply:
            request.apply = true;
            break;
        case kYes:
        case kNo:
            if (request.answer && *request.answer != (id == kYes))
                return _("--yes と --no は一緒に使えません。");
            request.answer = id == kYes;
            break;
        case kJson:
            request.json = true;
            break;
        case kFrom:
            request.from = value;
            break;
        case '0':
            request.nulSeparated = true;
            break;
        case 'r':
            request.recursive = true;
            break;
        case kExt:
        case kNotExt: {
            const int mode = id == kExt ? FileList::kOnlyListed : FileList::kExceptListed;
            if (request.filterMode != FileList::kNoFilter && request.filterMode != mode)
                return _("--ext と --not-ext は一緒に使えません。");
            request.filterMode = mode;
            request.extensions = value;
            break;
        }
        case kSort: {
            std::array<std::string_view, kSortKeys.size()> names{};
            for (std::size_t i = 0; i < kSortKeys.size(); ++i)
                names[i] = kSortKeys[i].first;
            const auto index = IndexOf(names, value);
            if (!index) return BadValue("sort", value, Joined(names));
            request.sort = kSortKeys[*index].second;
            break;
        }
        case kLead:
            seq.lead = value;
            break;
        case kStart:
            seq.start = value;
            break;
        case kTrail:
            seq.trail = value;
            break;
        case kStep:
            seq.step = value;
            break;
        case kNewExt:
            seq.newExtension = value;
            break;
        case kKeepName:
            seq.keepName = true;
            break;
        case kFolderName:
            seq.folderName = true;
            break;
        case kResetPerFolder:
            seq.resetPerFolder = true;
            break;
        case kDate:
            seq.date = true;
            break;
        case kDateFormat: {
            const auto index = IndexOf(kDateFormats, value);
            if (!index) return BadValue("date-format", value, Joined(kDateFormats));
            seq.dateFormat = static_cast<int>(*index);
            break;
        }
        case kNoDateSeparator:
            seq.dateSeparator = false;
            break;
        case kDateAtEnd:
            seq.dateAtEnd = true;
            break;
        case kDateTaken:
            seq.dateTaken = true;
            break;
        case kFind:
            request.replace.find = value;
            break;
        case kReplace:
            request.replace.replace = value;
            break;
        case kRegex:
            request.replace.regex = true;
            break;
        case kIncludeExt:
            request.replace.includeExtension = true;
            break;
        case kCaseSensitive:
            request.replace.caseSensitive = true;
            break;
        case kTo: {
            const auto index = IndexOf(kCaseTargets, value);
            if (!index) return BadValue("to", value, Joined(kCaseTargets));
            request.caseArgs.item = static_cast<int>(*index);
            break;
        }
        case kNameOnly:
        case kExtOnly:
            (id == kNameOnly ? request.caseArgs.nameOnly : request.caseArgs.extensionOnly) = true;
            if (request.caseArgs.nameOnly && request.caseArgs.extensionOnly)
                return _("--name-only と --ext-only は一緒に使えません。");
            break;
        default:
            break;
    }
    return {};
}

// What the options of a request leave to check once all are read.
std::string CheckWhole(Request& request, const std::vector<std::string>& operands) {
    using enum Subcommand;
    switch (request.subcommand) {
        case kHistory:
        case kRecover:
            if (!operands.empty()) return Extra(operands.front());
            return {};
        case kUndo: {
            if (operands.size() > 1) return Extra(operands[1]);
            if (operands.empty()) return {};
            std::uint64_t id = 0;
            const std::string& text = operands.front();
            const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
            if (error != std::errc() || end != text.data() + text.size() || id == 0)
                return Translate::Fill(_("変更履歴の ID %1 は正しくありません。"), {text});
            request.undoId = id;
            return {};
        }
        case kSeq:
        case kReplace:
        case kCase:
        case kDigits:
            break;
    }
    if (request.caseArgs.item >= 2 && (request.caseArgs.nameOnly || request.caseArgs.extensionOnly))
        return _("--name-only と --ext-only は --to upper と --to lower にだけ使えます。");
    if (request.nulSeparated && !request.from) return _("-0 は --from と一緒に使います。");
    request.paths = operands;
    if (request.paths.empty() && !request.from)
        return _("ファイルかフォルダを指定してください（または --from）。");
    return {};
}

}  // namespace

Parsed Parse(int argc, char** argv) {
    if (argc < 2) return UsageError(_("コマンドを指定してください。"));
    const std::string_view first = argv[1];
    if (first == "-h" || first == "--help") return {std::nullopt, kExitDone, HelpText()};
    if (first == "--version") return {std::nullopt, kExitDone, VersionText()};
    std::optional<Subcommand> subcommand;
    for (const auto& [name, which] : kSubcommands) {
        if (name == first) subcommand = which;
    }
    if (!subcommand) {
        if (first.starts_with('-'))
            return UsageError(Translate::Fill(_("コマンドより前にオプション %1 があります。"), {first}));
        return UsageError(Translate::Fill(_("不明なコマンド %1 です。"), {first}));
    }

    Request request;
    request.subcommand = *subcommand;
    const unsigned taker = TakerOf(*subcommand);
    std::vector<option> longOptions;
    std::string shortOptions = ":h";  // ':' first: a missing argument is told apart
    for (const OptionRow& row : kOptions) {
        if ((row.takers & taker) == 0) continue;
        longOptions.push_back({row.name, row.hasArg, nullptr, row.id});
        if (row.id == 'r' || row.id == '0') shortOptions += static_cast<char>(row.id);
    }
    longOptions.push_back({nullptr, 0, nullptr, 0});

    // The subcommand stands where getopt expects the program's name.
    const int count = argc - 1;
    char** words = argv + 1;
    opterr = 0;
    optind = 0;  // start afresh
    bool help = false;
    bool version = false;
    for (;;) {
        const int id = getopt_long(count, words, shortOptions.c_str(), longOptions.data(), nullptr);
        if (id == -1) break;
        if (id == '?')
            return UsageError(
                Translate::Fill(_("不明なオプション %1 です。"), {OptionNamed(words, optind - 1, optopt)}));
        if (id == ':')
            return UsageError(Translate::Fill(_("オプション %1 には値が必要です。"),
                                              {OptionNamed(words, optind - 1, optopt)}));
        if (id == 'h') {
            help = true;
        } else if (id == kVersion) {
            version = true;
        } else if (std::string error = Apply(request, id, optarg); !error.empty()) {
            return UsageError(error);
        }
    }
    if (help) return {std::nullopt, kExitDone, HelpText()};
    if (version) return {std::nullopt, kExitDone, VersionText()};
    const std::vector<std::string> operands(words + optind, words + count);
    if (std::string error = CheckWhole(request, operands); !error.empty()) return UsageError(error);
    return {std::move(request), kExitDone, {}};
}

std::string VersionText() {
    return "quorbel-cli " QUORBEL_VERSION
           "\nCopyright (C) 2026 Quorbel developers\n"
           "License GPL-3.0-or-later: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>.\n"
           "This is free software: you are free to change and redistribute it.\n"
           "There is NO WARRANTY, to the extent permitted by law.\n";
}

}  // namespace Cli
