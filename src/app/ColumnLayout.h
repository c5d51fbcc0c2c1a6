#pragma once

#include <array>

class QMainWindow;
class TFmMeinForm;

// The column layout of the rename table: the table fills the client area between the option band
// and the status bar, columns 1 and 2 keep the widths the user gave them, column 3 takes the rest,
// and a client area made smaller than the minimum snaps back.
class TColumnLayout {
public:
    // form and window (the same window) must outlive this part.
    TColumnLayout(TFmMeinForm& form, QMainWindow& window);

    // From here on resizes lay out the columns, and the client area is kept at least this large.
    void Start(int minClientWidth, int minClientHeight, int baseColWidth);
    // The window was resized.
    void FormResize();
    void ColumnLayout();
    // Runs when the table was drawn with changed column widths (the user dragged a border).
    void MySGDrawCell();
    void SetClientSize(int width, int height);

    // The current and previous widths of columns 1..3 (index 0 unused); 0 before the first layout
    // takes the designed width.
    std::array<int, 4> ColWidth{};

private:
    // A client area at least the minimum wide: columns 1 and 2 as wide as remembered (or the base
    // width and a share of the extra width), fitted beside column 0 and the scroll bar.
    void FitColumns(int clientWidth, int col0, int bar);

    TFmMeinForm& form_;
    QMainWindow& window_;
    // The minimum client size (0 until start-up is done) and the base column width.
    int minClientWidth_ = 0;
    int minClientHeight_ = 0;
    int baseColWidth_ = 0;
    std::array<int, 4> prevColWidth_{};
};
