#pragma once

// The program's arguments: quorbel [FOLDER | FILE...], --help, --version.

#include <QString>
#include <QStringList>
#include <optional>

class TFmMein;

namespace CommandLine {

struct Request {
    QStringList paths;            // absolute and cleaned, in the order given
    std::optional<int> exitCode;  // set: show output and end with this code, without a window
    QString output;               // help or version (for stdout), or the error (for stderr)
};

// True when the arguments ask for help or the version, which need no display: the caller can then
// parse them under a QCoreApplication.
bool AsksOnlyForText(int argc, const char* const* argv);

// arguments as QCoreApplication::arguments() gives them, the program first. Relative paths are
// taken from the current folder.
Request Parse(const QStringList& arguments);

// Writes the output of a request that ends the program and returns its exit code.
int Finish(const Request& request);

// Hands the paths to the window: a single folder is listed as if chosen in the browse dialog,
// anything else (files, several entries, a path that does not exist) as if dropped on the window.
// No paths: nothing happens.
void Open(TFmMein& window, const QStringList& paths);

}  // namespace CommandLine
