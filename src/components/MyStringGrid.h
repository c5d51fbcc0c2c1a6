#pragma once

#include <QFont>
#include <QPalette>
#include <QStringList>

#include "components/StringGridEx.h"

// The rename table's grid class; it adds nothing to TStringGridEx.
class TMyStringGrid : public TStringGridEx {
    Q_OBJECT
public:
    explicit TMyStringGrid(QWidget* parent = nullptr) : TStringGridEx(parent) {}
};

namespace MyStringGrid {

// The rename table as the form designs it: four columns, each left-aligned, editable, in the
// window colour, dtString, with "ＭＳ Ｐゴシック" 12 px for data and fixed cells and the input method
// off; striped style off; column widths 10, 132, 139, 222; default column width 10; default row
// height 17 (the header row too, until the window sets it); fixed and data grid lines, range
// selection, column sizing and row moving, no in-place editing.
inline void ApplyFormDesign(TStringGridEx& grid) {
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic")});
    font.setPixelSize(12);
    const QColor window = grid.palette().color(QPalette::Base);
    grid.setFont(font);
    grid.SetColor(window);
    grid.SetColCount(4);
    for (int col = 0; col < 4; ++col) {
        TGridColumn* item = grid.GridColumns()[col];
        item->SetAlignment(TAlignment::taLeftJustify);
        item->SetCanEdit(true);
        item->SetColor(window);
        item->SetDataType(TGridDataType::dtString);
        item->SetFont(font);
        item->SetFixCellFont(font);
        item->SetImeMode(TImeMode::imDisable);
    }
    grid.SetStripeColor(window);
    grid.SetGridStyle(TGridStyle::gsNormal);
    grid.SetDefaultColWidth(10);
    const int widths[4] = {10, 132, 139, 222};
    for (int col = 0; col < 4; ++col)
        grid.SetColWidths(col, widths[col]);
    grid.SetDefaultRowHeight(17);
    grid.SetOptions(TGridOption::goFixedVertLine | TGridOption::goFixedHorzLine | TGridOption::goVertLine |
                    TGridOption::goHorzLine | TGridOption::goRangeSelect | TGridOption::goColSizing |
                    TGridOption::goRowMoving);
}

}  // namespace MyStringGrid
