#pragma once

// What a run tells on stdout: one line a file (old path → new name, and why a file is not renamed),
// then the counts; or with --json one object a line per file and a summary object. The fields of
// the JSON objects are part of the interface that scripts use: names are never changed.
//
//   {"type":"file","old":PATH,"new":PATH|null,"status":STATUS,"reason":TEXT|null}
//   {"type":"summary","applied":BOOL,"renamed":N,"unchanged":N,"collision":N,"failed":N,
//    "untried":N,"refusal":TEXT|null,"exit":N}

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace Cli {

enum class Status {
    kRenamed,
    kUnchanged,
    kCollision,  // another file holds the name
    kReordered,  // held by a file of the list: renamed only in another order, when agreed to
    kUnusable,   // a name no file can have
    kTooLong,
    kMissing,
    kRefused,  // the file system or the run refused it
    kFailed,   // the rename failed
    kUntried,  // Ctrl-C came first
};

struct Counts {
    std::size_t renamed = 0;
    std::size_t unchanged = 0;
    std::size_t collisions = 0;  // reordered ones too, as the window counts them
    std::size_t failed = 0;
    std::size_t untried = 0;  // not reached before Ctrl-C
};

class Report {
public:
    Report(bool json, bool applied);
    ~Report();
    Report(const Report&) = delete;
    Report& operator=(const Report&) = delete;

    // oldPath and newName (a file name, empty for none) in code page 932; reason in UTF-8.
    void File(std::string_view oldPath, std::string_view newName, Status status, std::string_view reason);
    // The same with native paths (as the journal keeps them).
    void NativeFile(std::string_view oldPath, std::string_view newName, Status status,
                    std::string_view reason);
    // The same with the part of its line before the status as AppendFileStart made it.
    void StartedFile(std::string_view start, Status status, std::string_view reason);
    // The counts on stdout, or the refusal (empty for none) on stderr; with --json the summary object.
    void Summary(std::string_view refusal, int exitCode);
    const Counts& Counted() const { return counts_; }

private:
    void FinishFile(Status status, std::string_view reason);
    void Flush();

    bool json_;
    bool applied_;
    Counts counts_;
    std::string buffer_;
    std::string oldNative_;  // room for conversions
    std::string newNative_;
};

// The part of a file's line (or JSON object) that does not depend on its status, with native paths.
void AppendFileStart(std::string& out, bool json, std::string_view oldPath, std::string_view newName);

// A message on stderr, a line of its own.
void TellError(std::string_view text);

}  // namespace Cli
