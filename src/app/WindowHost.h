#pragma once

// The window as the face of the core's commands: their work runs behind its progress dialog, their
// questions and messages are its dialogs at the message placement, a missing file its missing-file
// box, and a changed list its table.

#include "core/commands/Host.h"

class TFmMein;

class TWindowHost final : public Command::Host {
public:
    explicit TWindowHost(TFmMein& window) : window_(window) {}

    bool Busy(Command::Work what, std::size_t total, const std::function<void(RunControl&)>& work) override;
    Command::Answer Ask(Command::Question which, const std::string& text) override;
    void Tell(const std::string& text) override;
    void TellMissing(const std::string& text) override;
    void ListChanged() override;
    void ListReplaced(const Command::ListChange& change) override;
    void MarkUnprocessed(const std::vector<std::size_t>& entries) override;

private:
    TFmMein& window_;
};
