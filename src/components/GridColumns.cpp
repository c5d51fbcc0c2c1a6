#include "components/GridColumns.h"

#include <algorithm>
#include <cassert>

#include "components/StringGridEx.h"

TGridColumn::TGridColumn(TGridColumns* collection, const QColor& color, const QFont& font)
    : collection_(collection), color_(color), font_(font), fixCellFont_(font) {}

void TGridColumn::Changed() {
    if (collection_) collection_->Changed();
}

void TGridColumn::SetAlignment(TAlignment value) {
    alignment_ = value;
    Changed();
}

void TGridColumn::SetCaption(const QString& value) {
    caption_ = value.isEmpty() ? QStringLiteral(" ") : value;
    Changed();
}

void TGridColumn::SetColor(const QColor& value) {
    color_ = value;
    Changed();
}

void TGridColumn::SetFont(const QFont& value) {
    font_ = value;
    Changed();
}

void TGridColumn::SetFixCellFont(const QFont& value) {
    fixCellFont_ = value;
    Changed();
}

void TGridColumn::SetWordwrap(bool value) {
    wordwrap_ = value;
    Changed();
}

int TGridColumn::Index() const {
    if (!collection_) return -1;
    for (int i = 0; i < collection_->Count(); ++i)
        if (collection_->Items(i) == this) return i;
    return -1;
}

void TGridColumn::Assign(const TGridColumn& other) {
    alignment_ = other.alignment_;
    canEdit_ = other.canEdit_;
    caption_ = other.caption_;
    color_ = other.color_;
    dataType_ = other.dataType_;
    displayMask_ = other.displayMask_;
    font_ = other.font_;
    fixCellFont_ = other.fixCellFont_;
    imeMode_ = other.imeMode_;
    wordwrap_ = other.wordwrap_;
    multiLine_ = other.multiLine_;
    Changed();
}

TGridColumns::TGridColumns(TStringGridEx* grid) : grid_(grid) {}

TGridColumns::~TGridColumns() = default;

TGridColumn* TGridColumns::Items(int index) const {
    assert(index >= 0 && index < Count());
    return items_[static_cast<size_t>(index)].get();
}

TGridColumn* TGridColumns::Find(int index) const {
    return index >= 0 && index < Count() ? items_[static_cast<size_t>(index)].get() : nullptr;
}

void TGridColumns::AppendDefault() {
    const QColor color = grid_ ? grid_->Color() : QColor(Qt::white);
    const QFont font = grid_ ? grid_->font() : QFont();
    items_.push_back(std::unique_ptr<TGridColumn>(new TGridColumn(this, color, font)));
}

void TGridColumns::Resize(int count) {
    count = std::max(count, 0);
    while (Count() > count)
        items_.pop_back();
    while (Count() < count)
        AppendDefault();
}

TGridColumn* TGridColumns::Add() {
    AppendDefault();
    if (grid_) grid_->ColumnsCountChanged(Count());
    return items_.back().get();
}

void TGridColumns::Delete(int index) {
    assert(index >= 0 && index < Count());
    items_.erase(items_.begin() + index);
    if (grid_) grid_->ColumnsCountChanged(Count());
    Changed();
}

void TGridColumns::Clear() {
    items_.clear();
    if (grid_) grid_->ColumnsCountChanged(0);
    Changed();
}

void TGridColumns::Assign(const TGridColumns& other) {
    if (&other == this) return;
    Resize(other.Count());
    if (grid_) grid_->ColumnsCountChanged(Count());
    for (int i = 0; i < Count(); ++i) {
        TGridColumn* item = items_[static_cast<size_t>(i)].get();
        TGridColumns* keep = item->collection_;
        item->collection_ = nullptr;  // one repaint for the whole copy
        item->Assign(*other.Items(i));
        item->collection_ = keep;
    }
    Changed();
}

void TGridColumns::Changed() {
    if (grid_) grid_->ColumnSettingsChanged();
}
