#pragma once

#include <QFlags>

// Types shared by the string grid, its column settings and its in-place editor.

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

enum class TGridDataType { dtString, dtInteger };

// Input-method modes in their classic order; only "disabled" versus "enabled" and a preference for
// Latin input reach the platform (see TInplaceEditEx::SetImeMode).
enum class TImeMode {
    imDisable,
    imClose,
    imOpen,
    imDontCare,
    imSAlpha,
    imAlpha,
    imHira,
    imSKata,
    imKata,
    imChinese,
    imSHanguel,
    imHanguel,
};

enum class TGridStyle { gsNormal, gsStriped };

enum class TGridOption {
    goFixedVertLine = 0x001,  // vertical lines between fixed cells
    goFixedHorzLine = 0x002,  // horizontal lines between fixed cells
    goVertLine = 0x004,       // vertical lines between data cells
    goHorzLine = 0x008,       // horizontal lines between data cells
    goRangeSelect = 0x010,    // shift-click, shift-arrows and mouse drags select a rectangle
    goColSizing = 0x020,      // the user may drag column borders in the header row
    goRowMoving = 0x040,      // the user may drag a row by its cell in the fixed column
    goEditing = 0x080,        // data cells can be edited in place
    goTabs = 0x100,           // Tab moves between cells instead of leaving the grid
};
using TGridOptions = QFlags<TGridOption>;
Q_DECLARE_OPERATORS_FOR_FLAGS(TGridOptions)

enum class TGridDrawStateFlag { gdSelected = 0x1, gdFocused = 0x2, gdFixed = 0x4 };
using TGridDrawState = QFlags<TGridDrawStateFlag>;
Q_DECLARE_OPERATORS_FOR_FLAGS(TGridDrawState)

// A cell in grid coordinates: row 0 is the header row, column 0 the fixed column; -1 = none.
struct TGridCoord {
    int X = -1;  // column
    int Y = -1;  // row
    bool operator==(const TGridCoord&) const = default;
};

// An inclusive rectangle of cells in grid coordinates.
struct TGridRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const TGridRect&) const = default;
};
