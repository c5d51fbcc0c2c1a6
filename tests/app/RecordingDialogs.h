#pragma once

#include <QPoint>
#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "app/Dialogs.h"
#include "components/BrowseDlg.h"

// Records every box the window asks for and answers from queues. An empty queue answers No,
// Cancel or nothing, so a question the test did not expect never says yes.
class TRecordingDialogs : public TDialogs {
public:
    enum class TKind { Message, YesNo, YesNoCancel, Input, Folder, About };
    struct TCall {
        TKind kind;
        QString text;   // message or question; the prompt of an input box; the caption of the chooser;
                        // the About box's text
        QPoint point;   // where a message or question box stands (none for the centred boxes)
        QString title;  // input box and About box title
    };

    std::vector<TCall> calls;
    std::deque<bool> yesNoAnswers;
    std::deque<TAnswer> yesNoCancelAnswers;
    std::deque<std::optional<QString>> inputAnswers;
    std::deque<std::optional<QString>> folderAnswers;
    // When set, answers the folder chooser instead of folderAnswers (e.g. by running the real dialog).
    std::function<std::optional<QString>(TBrowseDlg&)> folderChooser;
    // When set, runs while a question is open, before it is answered (the disk changing meanwhile).
    std::function<void()> whileAsking;

    // The texts of the plain messages, in order.
    std::vector<QString> Messages() const {
        std::vector<QString> texts;
        for (const TCall& call : calls) {
            if (call.kind == TKind::Message) texts.push_back(call.text);
        }
        return texts;
    }

    void ShowMessage(QWidget*, const QString& text, QPoint topLeft) override {
        calls.push_back({TKind::Message, text, topLeft, {}});
    }
    bool AskYesNo(QWidget*, const QString& text, QPoint topLeft) override {
        calls.push_back({TKind::YesNo, text, topLeft, {}});
        if (whileAsking) whileAsking();
        return Take(yesNoAnswers, false);
    }
    TAnswer AskYesNoCancel(QWidget*, const QString& text, QPoint topLeft) override {
        calls.push_back({TKind::YesNoCancel, text, topLeft, {}});
        if (whileAsking) whileAsking();
        return Take(yesNoCancelAnswers, TAnswer::Cancel);
    }
    std::optional<QString> InputBox(QWidget*, const QString& title, const QString& prompt,
                                    const QString&) override {
        calls.push_back({TKind::Input, prompt, {}, title});
        return Take(inputAnswers, std::optional<QString>());
    }
    void ShowAbout(QWidget*, const QString& title, const QString& text) override {
        calls.push_back({TKind::About, text, {}, title});
    }
    std::optional<QString> ChooseFolder(QWidget*, TBrowseDlg& dialog) override {
        calls.push_back({TKind::Folder, dialog.Caption(), {}, {}});
        if (folderChooser) return folderChooser(dialog);
        return Take(folderAnswers, std::optional<QString>());
    }

private:
    template <class T>
    static T Take(std::deque<T>& queue, T fallback) {
        if (queue.empty()) return fallback;
        T answer = std::move(queue.front());
        queue.pop_front();
        return answer;
    }
};
