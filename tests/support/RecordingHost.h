#pragma once

// A command's host for tests: runs busy work on a thread of its own (as the window does), answers
// questions from a list given beforehand, and records every call in order with the thread it came
// from, so a test can check what the user would have seen and that nothing came from the work.

#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "core/commands/Host.h"

namespace testsupport {

class RecordingHost final : public Command::Host {
public:
    struct Call {
        enum class Kind { kBusy, kAsk, kTell, kTellMissing, kListChanged, kMark } kind;
        std::string text;                  // the question or message
        std::vector<std::size_t> entries;  // the marked entries; of a list change, the kept ones
        bool fromCaller = true;            // made on the thread that started the command
    };

    // The answers, in the order the questions come; a question with none left is answered no.
    std::deque<Command::Answer> answers;
    // The step at which the work is stopped, as by the cancel button; none by default.
    std::size_t stopAt = static_cast<std::size_t>(-1);
    std::vector<Call> calls;

    bool Busy(Command::Work /*what*/, std::size_t /*total*/,
              const std::function<void(RunControl&)>& work) override {
        Record({Call::Kind::kBusy, {}, {}});
        Control control{stopAt};
        std::exception_ptr thrown;
        std::thread worker([&] {
            try {
                work(control);
            } catch (...) {
                thrown = std::current_exception();
            }
        });
        worker.join();
        if (thrown) std::rethrow_exception(thrown);
        return !control.stopped;
    }
    Command::Answer Ask(Command::Question /*which*/, const std::string& text) override {
        Record({Call::Kind::kAsk, text, {}});
        if (answers.empty()) return Command::Answer::kNo;
        const Command::Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void Tell(const std::string& text) override { Record({Call::Kind::kTell, text, {}}); }
    void TellMissing(const std::string& text) override { Record({Call::Kind::kTellMissing, text, {}}); }
    void ListChanged() override { Record({Call::Kind::kListChanged, {}, {}}); }
    void ListReplaced(const Command::ListChange& change) override {
        Record({Call::Kind::kListChanged, change.unmark ? "unmark" : "",
                change.keptFrom != nullptr ? *change.keptFrom : std::vector<std::size_t>()});
    }
    void MarkUnprocessed(const std::vector<std::size_t>& entries) override {
        Record({Call::Kind::kMark, {}, entries});
    }

    // The texts of the calls of one kind, in order.
    std::vector<std::string> Texts(Call::Kind kind) const {
        std::vector<std::string> texts;
        for (const Call& call : calls)
            if (call.kind == kind) texts.push_back(call.text);
        return texts;
    }
    // True when every call came from the thread that created the host.
    bool AllFromCaller() const {
        for (const Call& call : calls)
            if (!call.fromCaller) return false;
        return true;
    }

private:
    struct Control final : RunControl {
        explicit Control(std::size_t stopAt) : stopAt(stopAt) {}
        bool Continue(std::size_t done) override {
            if (done >= stopAt) stopped = true;
            return !stopped;
        }
        std::size_t stopAt;
        bool stopped = false;
    };
    void Record(Call call) {
        call.fromCaller = std::this_thread::get_id() == caller_;
        calls.push_back(std::move(call));
    }
    std::thread::id caller_ = std::this_thread::get_id();
};

}  // namespace testsupport
