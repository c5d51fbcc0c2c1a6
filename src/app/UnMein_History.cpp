// The drop-down histories of the input fields and the commands that empty them.
#include <QAction>
#include <QComboBox>
#include <cassert>

#include "app/QtText.h"
#include "app/UnMein.h"
#include "core/settings/InputHistory.h"

void TFmMein::AddToHistory(QComboBox* box) {
    QAction* clearItem = HistoryClearItem(box);
    assert(clearItem != nullptr && "only edit2, edit8 and Edit5 keep an unlimited history");
    const auto text = QtText::FromQt(box->currentText());
    if (!text || text->empty()) return;
    clearItem->setEnabled(true);
    std::vector<std::string> items = HistoryOf(box);
    InputHistory::AddToHistory(items, *text);
    ReplaceList(box, QtText::ToQtList(items));
}

void TFmMein::AddToLimitedHistory(QComboBox* box, int limit) {
    assert(limit > 0);
    const auto text = QtText::FromQt(box->currentText());
    if (!text || text->empty()) return;
    std::vector<std::string> items = HistoryOf(box);
    InputHistory::AddToLimitedHistory(items, *text, static_cast<std::size_t>(limit));
    // The box keeps showing the text that was entered.
    ReplaceList(box, QtText::ToQtList(items));
}

void TFmMein::FHistClearClick() {
    ReplaceList(edit2, {});
    FHistClear->setEnabled(false);
}

void TFmMein::EHistClearClick() {
    ReplaceList(edit8, {});
    EHistClear->setEnabled(false);
}

void TFmMein::ExtHistClearClick() {
    ReplaceList(Edit5, {});
    ExtHistClear->setEnabled(false);
}

void TFmMein::N14Click(QObject* sender) {
    // Neither item is ever disabled: the string page's lists may fill again at any Go.
    ReplaceList(sender == N14 ? Edit6 : Edit7, {});
}

QAction* TFmMein::HistoryClearItem(const QComboBox* box) const {
    if (box == edit2) return FHistClear;
    if (box == edit8) return EHistClear;
    if (box == Edit5) return ExtHistClear;
    return nullptr;
}

std::vector<std::string> TFmMein::HistoryOf(const QComboBox* box) {
    std::vector<std::string> items;
    items.reserve(static_cast<std::size_t>(box->count()));
    for (int i = 0; i < box->count(); ++i) {
        // Entries came from code page 932 texts, so they always have a form there.
        if (auto item = QtText::FromQt(box->itemText(i))) items.push_back(std::move(*item));
    }
    return items;
}

void TFmMein::ReplaceList(QComboBox* box, const QStringList& items) {
    const QString shown = box->currentText();
    box->clear();
    box->addItems(items);
    // Filling an empty list selects its first entry and shows it; the text is the user's, and no
    // entry is selected, so that picking any entry later puts it into the box.
    box->setCurrentIndex(-1);
    box->setEditText(shown);
}
