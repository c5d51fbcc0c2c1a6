#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <memory>
#include <vector>

#include "components/GridTypes.h"

class TStringGridEx;
class TGridColumns;

// The settings of one grid column. A new item takes its defaults from the grid that owns the
// collection: its colour, and a copy of its font for both Font and FixCellFont.
class TGridColumn {
public:
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    bool CanEdit() const { return canEdit_; }
    void SetCanEdit(bool value) { canEdit_ = value; }
    // Shown in the header cell while that cell's own text is empty. Empty is stored as " ".
    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& value);
    const QColor& Color() const { return color_; }
    void SetColor(const QColor& value);
    TGridDataType DataType() const { return dataType_; }
    void SetDataType(TGridDataType value) { dataType_ = value; }
    const QString& DisplayMask() const { return displayMask_; }
    void SetDisplayMask(const QString& value) { displayMask_ = value; }
    const QFont& Font() const { return font_; }
    void SetFont(const QFont& value);
    const QFont& FixCellFont() const { return fixCellFont_; }
    void SetFixCellFont(const QFont& value);
    TImeMode ImeMode() const { return imeMode_; }
    void SetImeMode(TImeMode value) { imeMode_ = value; }
    bool Wordwrap() const { return wordwrap_; }
    void SetWordwrap(bool value);
    bool MultiLine() const { return multiLine_; }
    void SetMultiLine(bool value) { multiLine_ = value; }

    // Position in the collection, which is also the grid column it describes.
    int Index() const;
    TGridColumns* Collection() const { return collection_; }
    // Copies every setting of another item (repaints once).
    void Assign(const TGridColumn& other);

private:
    friend class TGridColumns;
    TGridColumn(TGridColumns* collection, const QColor& color, const QFont& font);
    void Changed();

    TGridColumns* collection_;
    TAlignment alignment_ = TAlignment::taLeftJustify;
    bool canEdit_ = true;
    QString caption_;
    QColor color_;
    TGridDataType dataType_ = TGridDataType::dtString;
    QString displayMask_;
    QFont font_;
    QFont fixCellFont_;
    TImeMode imeMode_ = TImeMode::imDisable;
    bool wordwrap_ = false;
    bool multiLine_ = false;
};

// The column settings of a grid, one item per column. Adding or removing items sets the grid's
// column count; the grid changing its column count appends or removes items here.
class TGridColumns {
public:
    explicit TGridColumns(TStringGridEx* grid);
    ~TGridColumns();
    TGridColumns(const TGridColumns&) = delete;
    TGridColumns& operator=(const TGridColumns&) = delete;

    TStringGridEx* Grid() const { return grid_; }
    int Count() const { return static_cast<int>(items_.size()); }
    // The item of a column; index must be in 0..Count()-1.
    TGridColumn* Items(int index) const;
    TGridColumn* operator[](int index) const { return Items(index); }
    // The item of a column, or nullptr when the column has none.
    TGridColumn* Find(int index) const;

    TGridColumn* Add();
    void Delete(int index);
    void Clear();
    // Makes this collection a copy of another (count and every setting); repaints.
    void Assign(const TGridColumns& other);

private:
    friend class TStringGridEx;
    friend class TGridColumn;
    // The grid's side of the column-count invariant: changes the items without touching the grid.
    void Resize(int count);
    void AppendDefault();
    void Changed();

    TStringGridEx* grid_;
    std::vector<std::unique_ptr<TGridColumn>> items_;
};
