#pragma once

// What a command asks of the face that runs it: the window with its dialogs and busy runner, the
// command line with its terminal, a test with a recorder. A command calls its host only from the
// thread that started it; the work handed to Busy runs wherever the host likes (the window's busy
// thread) and never calls the host itself. Texts are UTF-8, the program's own, byte for byte what
// the window shows.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "core/run/RunControl.h"

namespace Command {

// What a long piece of work is doing, for the face's progress display.
enum class Work { kRenaming, kMoving, kReadingDates };

// The questions a command may ask, so that a face without a person can answer them by kind.
enum class Question {
    kReorder,       // renames held up by files of the list go in another order (yes / no)
    kMissingFiles,  // an undo or revert with files gone goes on with the others (yes / no)
    kReplace,       // the move finds names taken in the destination (yes / no / cancel)
    kRecover,       // an interrupted command is taken back (yes / no)
};

enum class Answer { kYes, kNo, kCancel };

// How the entries listed after a change stand to those listed before it, for the marks the face
// shows beside them.
struct ListChange {
    // The former index of each entry now listed: a "V" goes with its file, every other mark goes.
    // Null: every entry kept its place.
    const std::vector<std::size_t>* keptFrom = nullptr;
    // Every mark goes (the command marks anew the entries it left).
    bool unmark = false;
};

class Host {
public:
    virtual ~Host() = default;

    // Runs work with progress (total steps, 0 when unknown) and a way to stop it; false when it was
    // stopped. An exception thrown by the work is thrown again here.
    virtual bool Busy(Work what, std::size_t total, const std::function<void(RunControl&)>& work) = 0;
    // A question; a yes/no question is never answered kCancel.
    virtual Answer Ask(Question which, const std::string& text) = 0;
    // A message of the outcome, in the order the command reaches it.
    virtual void Tell(const std::string& text) = 0;
    // A file a command needs is missing: text names it (Text::MissingFile), and the face
    // adds what the user can do about it in its own way (the window's missing-file box).
    virtual void TellMissing(const std::string& text) = 0;
    // The list has changed (a run gave new names, a revert took some back): the face shows it now,
    // before the next question or message. Every entry kept its place and its mark.
    virtual void ListChanged() = 0;
    // The same where the entries or their marks did not all stay (a run kept only some files, an
    // undo marks anew what it left). A face without marks shows the list as for ListChanged.
    virtual void ListReplaced(const ListChange& /*change*/) { ListChanged(); }
    // The entries (indices into the list) that the command left unprocessed, to be marked "*"
    // before the message that counts them.
    virtual void MarkUnprocessed(const std::vector<std::size_t>& entries) = 0;
};

}  // namespace Command
