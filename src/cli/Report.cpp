#include "cli/Report.h"

#include "cli/Escape.h"
#include "core/commands/RunTexts.h"
#include "core/list/MyFileOperation.h"
#include "core/text/Cp932.h"
#include "core/text/Translate.h"

namespace Cli {
namespace {

// Written out in pieces of this size: a million files make some hundred megabytes of JSON.
constexpr std::size_t kFlushBytes = std::size_t{1} << 20;

std::string_view JsonName(Status status) {
    switch (status) {
        case Status::kRenamed:
            return "renamed";
        case Status::kUnchanged:
            return "unchanged";
        case Status::kCollision:
            return "collision";
        case Status::kReordered:
            return "reordered";
        case Status::kUnusable:
            return "unusable";
        case Status::kTooLong:
            return "too-long";
        case Status::kMissing:
            return "missing";
        case Status::kRefused:
            return "refused";
        case Status::kFailed:
            return "failed";
        case Status::kUntried:
            return "untried";
    }
    return {};
}

// Which count a file goes into: the states the counts line names together.
std::size_t Counts::*CountOf(Status status) {
    switch (status) {
        case Status::kRenamed:
            return &Counts::renamed;
        case Status::kUnchanged:
            return &Counts::unchanged;
        case Status::kCollision:
        case Status::kReordered:
            return &Counts::collisions;
        case Status::kUntried:
            return &Counts::untried;
        case Status::kUnusable:
        case Status::kTooLong:
        case Status::kMissing:
        case Status::kRefused:
        case Status::kFailed:
            break;
    }
    return &Counts::failed;
}

// The word of a text line, as the window's counts name them.
std::string_view Label(Status status) {
    const std::size_t Counts::*count = CountOf(status);
    if (count == &Counts::renamed) return _("変更");
    if (count == &Counts::unchanged) return _("変更なし");
    if (count == &Counts::collisions) return _("重複");
    if (count == &Counts::untried) return _("未処理");
    return _("失敗");
}

void AppendNumber(std::string& out, std::string_view name, std::size_t value) {
    out += ",\"";
    out += name;
    out += "\":";
    out += std::to_string(value);
}

}  // namespace

Report::Report(bool json, bool applied) : json_(json), applied_(applied) {
    buffer_.reserve(kFlushBytes + 4096);
}

Report::~Report() {
    Flush();
}

void Report::Flush() {
    std::fwrite(buffer_.data(), 1, buffer_.size(), stdout);
    std::fflush(stdout);
    buffer_.clear();
}

void Report::File(std::string_view oldPath, std::string_view newName, Status status,
                  std::string_view reason) {
    const auto native = [](std::string_view path, std::string& out) {
        if (!Cp932::ToUtf8(path, out)) out = Cp932::ToUtf8Lossy(path);
    };
    native(oldPath, oldNative_);
    native(newName, newNative_);
    NativeFile(oldNative_, newNative_, status, reason);
}

void AppendFileStart(std::string& out, bool json, std::string_view oldPath, std::string_view newName) {
    if (json) {
        out += R"({"type":"file","old":)";
        AppendJsonString(out, oldPath);
        out += R"(,"new":)";
        if (newName.empty()) {
            out += "null";
        } else {
            std::string newPath(MyFileOperation::SplitAtLastDelimiter(oldPath).folder);
            newPath += newName;
            AppendJsonString(out, newPath);
        }
        return;
    }
    AppendEscaped(out, oldPath);
    if (!newName.empty()) {
        out += " → ";
        AppendEscaped(out, newName);
    }
}

void Report::NativeFile(std::string_view oldPath, std::string_view newName, Status status,
                        std::string_view reason) {
    AppendFileStart(buffer_, json_, oldPath, newName);
    FinishFile(status, reason);
}

void Report::StartedFile(std::string_view start, Status status, std::string_view reason) {
    buffer_ += start;
    FinishFile(status, reason);
}

void Report::FinishFile(Status status, std::string_view reason) {
    ++(counts_.*CountOf(status));
    if (json_) {
        buffer_ += R"(,"status":")";
        buffer_ += JsonName(status);
        buffer_ += R"(","reason":)";
        if (reason.empty()) {
            buffer_ += "null";
        } else {
            AppendJsonString(buffer_, reason);
        }
        buffer_ += "}\n";
    } else {
        if (status != Status::kRenamed) {
            buffer_ += "  [";
            buffer_ += Label(status);
            buffer_ += ']';
            if (!reason.empty()) {
                buffer_ += ' ';
                buffer_ += reason;
            }
        }
        buffer_ += '\n';
    }
    if (buffer_.size() >= kFlushBytes) Flush();
}

void Report::Summary(std::string_view refusal, int exitCode) {
    if (json_) {
        buffer_ += R"({"type":"summary","applied":)";
        buffer_ += applied_ ? "true" : "false";
        AppendNumber(buffer_, "renamed", counts_.renamed);
        AppendNumber(buffer_, "unchanged", counts_.unchanged);
        AppendNumber(buffer_, "collision", counts_.collisions);
        AppendNumber(buffer_, "failed", counts_.failed);
        AppendNumber(buffer_, "untried", counts_.untried);
        buffer_ += ",\"refusal\":";
        if (refusal.empty()) {
            buffer_ += "null";
        } else {
            AppendJsonString(buffer_, refusal);
        }
        AppendNumber(buffer_, "exit", static_cast<std::size_t>(exitCode));
        buffer_ += "}\n";
        Flush();
        return;
    }
    // A refused run is told by its message alone, as the window's preview tells it.
    if (refusal.empty()) {
        buffer_ += RunTexts::Counts(counts_.renamed, counts_.collisions, counts_.failed, counts_.untried);
        buffer_ += '\n';
    }
    Flush();
    if (!refusal.empty()) TellError(refusal);
}

void TellError(std::string_view text) {
    std::string line = "quorbel-cli: ";
    // The window's messages break their lines with CR LF.
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        line += text[i];
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
}

}  // namespace Cli
