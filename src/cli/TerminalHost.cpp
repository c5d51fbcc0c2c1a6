#include "cli/TerminalHost.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <utility>

#include "cli/Interrupt.h"
#include "cli/Report.h"
#include "core/commands/Common.h"
#include "core/text/Translate.h"

namespace Cli {
namespace {

using Clock = std::chrono::steady_clock;

// Quiet work needs no progress; a line that changes more often than this only flickers.
constexpr auto kQuietFor = std::chrono::milliseconds(500);
constexpr auto kRedrawEvery = std::chrono::milliseconds(100);

// Stops after Ctrl-C; draws the progress line once the work has taken a while.
class TerminalControl final : public RunControl {
public:
    // firstStep (optional): called at the first step, then emptied.
    TerminalControl(Command::Work what, std::size_t total, std::function<void()>* firstStep)
        : label_(Command::Text::Working(what)),
          total_(total),
          shown_(isatty(STDERR_FILENO) != 0),
          firstStep_(firstStep) {}
    ~TerminalControl() override {
        if (drawn_) std::fputs("\r\033[K", stderr);
    }
    TerminalControl(const TerminalControl&) = delete;
    TerminalControl& operator=(const TerminalControl&) = delete;

    bool Continue(std::size_t done) override {
        if (firstStep_ != nullptr && *firstStep_) std::exchange(*firstStep_, nullptr)();
        if (shown_) Draw(done);
        if (!Interrupted()) return true;
        stopped_ = true;
        return false;
    }
    bool Stopped() const { return stopped_; }

private:
    void Draw(std::size_t done) {
        const Clock::time_point now = Clock::now();
        if (now - start_ < kQuietFor || (drawn_ && now - last_ < kRedrawEvery)) return;
        last_ = now;
        drawn_ = true;
        if (total_ > 0) {
            std::fprintf(stderr, "\r\033[K%s %zu / %zu", label_.c_str(), done, total_);
        } else {
            std::fprintf(stderr, "\r\033[K%s %zu", label_.c_str(), done);
        }
        std::fflush(stderr);
    }

    std::string label_;
    std::size_t total_;
    bool shown_;
    std::function<void()>* firstStep_;
    bool drawn_ = false;
    bool stopped_ = false;
    Clock::time_point start_ = Clock::now();
    Clock::time_point last_;
};

}  // namespace

bool TerminalHost::Busy(Command::Work what, std::size_t total, const std::function<void(RunControl&)>& work) {
    TerminalControl control(what, total, what == Command::Work::kRenaming ? &renaming_ : nullptr);
    work(control);
    if (control.Stopped() || Interrupted()) stopped_ = true;
    return !control.Stopped();
}

Command::Answer TerminalHost::Ask(Command::Question /*which*/, const std::string& text) {
    if (answer_) return *answer_ ? Command::Answer::kYes : Command::Answer::kNo;
    if (isatty(STDIN_FILENO) == 0) {
        // Nobody to ask: the refusal stands.
        TellError(text);
        TellError(_("（端末がないため「いいえ」とします。--yes か --no で答えられます）"));
        unanswered_ = true;
        return Command::Answer::kNo;
    }
    TellError(text);
    std::fputs("[y/N] ", stderr);
    std::fflush(stderr);
    std::string line;
    if (!std::getline(std::cin, line)) return Command::Answer::kNo;
    return line == "y" || line == "Y" || line == "yes" || line == _("はい") ? Command::Answer::kYes
                                                                            : Command::Answer::kNo;
}

void TerminalHost::Tell(const std::string& text) {
    lastMessage_ = text;
    TellError(text);
}

void TerminalHost::TellMissing(const std::string& text) {
    Tell(text);
}

void TerminalHost::ListChanged() {
    // The list is reported once the command ends.
}

void TerminalHost::MarkUnprocessed(const std::vector<std::size_t>& entries) {
    unprocessed_.insert(entries.begin(), entries.end());
}

}  // namespace Cli
