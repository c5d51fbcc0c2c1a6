#pragma once

// The command line of quorbel-cli: a subcommand, its options and the files it works on, parsed in
// the GNU way (long options, "--opt=value", bundled short options, "--" ends the options).
// Texts given for names are kept as the bytes they came in; the caller converts them.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/list/RowOrder.h"

namespace Cli {

enum class Subcommand { kSeq, kReplace, kCase, kDigits, kHistory, kUndo, kRecover };

// Exit statuses (the usage error as sysexits.h has it).
enum Exit : int {
    kExitDone = 0,
    kExitRefused = 1,
    kExitSomeFailed = 2,
    kExitUsage = 64,
    kExitInterrupted = 130,
};

// The sequential names' options, as given.
struct SeqArgs {
    std::string lead;
    std::string start;
    std::string trail;
    std::string step = "1";
    std::optional<std::string> newExtension;
    bool keepName = false;
    bool folderName = false;
    bool resetPerFolder = false;
    bool date = false;
    int dateFormat = 0;  // the index of the window's date format
    bool dateSeparator = true;
    bool dateAtEnd = false;
    bool dateTaken = false;
};

struct ReplaceArgs {
    std::string find;
    std::string replace;
    bool regex = false;
    bool includeExtension = false;
    bool caseSensitive = false;
};

struct CaseArgs {
    int item = 0;  // 0 upper, 1 lower, 2 full width, 3 half width
    bool nameOnly = false;
    bool extensionOnly = false;
};

struct Request {
    Subcommand subcommand = Subcommand::kSeq;
    bool apply = false;
    bool json = false;
    std::optional<bool> answer;  // --yes or --no
    // Which files: paths and the lines of --from, native.
    std::vector<std::string> paths;
    std::optional<std::string> from;  // a file, or "-" for stdin
    bool nulSeparated = false;
    bool recursive = false;
    std::string extensions;  // the window's ";"-separated list
    int filterMode = 0;      // FileList::FilterMode
    RowOrder::Key sort = RowOrder::Key::kName;
    SeqArgs seq;
    ReplaceArgs replace;
    CaseArgs caseArgs;
    std::optional<std::uint64_t> undoId;
};

// What parsing gives: a request to carry out, or a text to print and a status to end with.
struct Parsed {
    std::optional<Request> request;
    int exitCode = kExitDone;
    std::string output;  // help or version (stdout), or the usage error (stderr)
};

Parsed Parse(int argc, char** argv);

std::string HelpText();
std::string VersionText();

}  // namespace Cli
