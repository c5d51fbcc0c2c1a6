#pragma once

#include <QObject>
#include <QString>
#include <functional>

// A message of up to three lines, shown in a plain box with an OK button at a given screen point.
class TSwMsg : public QObject {
    Q_OBJECT
public:
    // Shows a text at a screen point and returns when the user has closed it.
    using Presenter = std::function<void(const QString& text, int left, int top)>;

    explicit TSwMsg(QObject* parent = nullptr);

    QString Msg1, Msg2, Msg3;
    int Top = 0;
    int Left = 0;

    // The three lines joined; empty lines leave no blank line behind.
    QString Text() const;
    void Execute() const;
    // Replaces the plain box (the main window routes every message through its dialog interface).
    void SetPresenter(Presenter presenter) { presenter_ = std::move(presenter); }

private:
    Presenter presenter_;
};
