#pragma once

#include <QMainWindow>

// The main window of Quorbel.
class TFmMein : public QMainWindow {
    Q_OBJECT
public:
    explicit TFmMein(QWidget* parent = nullptr);
};
