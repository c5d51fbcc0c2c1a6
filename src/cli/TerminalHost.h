#pragma once

// The host of a command run from the command line: the work runs on the calling thread with a
// progress line on stderr (only when stderr is a terminal and the work takes over half a second)
// and stops between two steps after Ctrl-C; a question is asked on the terminal when stdin is one,
// else answered by --yes or --no, else answered no (the refusal stands); the messages go to stderr.

#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/commands/Host.h"

namespace Cli {

class TerminalHost final : public Command::Host {
public:
    // answer: given by --yes (true) or --no (false). renaming (optional): called once, when a run's
    // renames begin: the executor takes its first step only once the run's journal is written.
    explicit TerminalHost(std::optional<bool> answer, std::function<void()> renaming = {})
        : answer_(answer), renaming_(std::move(renaming)) {}

    bool Busy(Command::Work what, std::size_t total, const std::function<void(RunControl&)>& work) override;
    Command::Answer Ask(Command::Question which, const std::string& text) override;
    void Tell(const std::string& text) override;
    void TellMissing(const std::string& text) override;
    void ListChanged() override;
    void MarkUnprocessed(const std::vector<std::size_t>& entries) override;

    // What the command did, for the report: whether it was stopped by Ctrl-C, whether a question
    // went unanswered for want of a person, and the entries it left unprocessed.
    bool Stopped() const { return stopped_; }
    bool Unanswered() const { return unanswered_; }
    const std::set<std::size_t>& Unprocessed() const { return unprocessed_; }
    // The last message told ("" for none).
    const std::string& LastMessage() const { return lastMessage_; }

private:
    std::optional<bool> answer_;
    std::function<void()> renaming_;
    bool stopped_ = false;
    bool unanswered_ = false;
    std::set<std::size_t> unprocessed_;
    std::string lastMessage_;
};

}  // namespace Cli
