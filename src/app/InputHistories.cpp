// The drop-down histories of the input fields and the commands that empty them.
#include <QAction>
#include <QComboBox>
#include <cassert>

#include "app/InputHistories.h"
#include "app/QtText.h"
#include "app/UnMeinForm.h"
#include "core/settings/InputHistory.h"
#include "core/settings/Settings.h"

TInputHistories::TInputHistories(TFmMeinForm& form, QObject* parent) : QObject(parent), form_(form) {
    connect(form_.FHistClear, &QAction::triggered, this, &TInputHistories::FHistClearClick);
    connect(form_.EHistClear, &QAction::triggered, this, &TInputHistories::EHistClearClick);
    connect(form_.ExtHistClear, &QAction::triggered, this, &TInputHistories::ExtHistClearClick);
    connect(form_.N14, &QAction::triggered, this, [this] { N14Click(form_.N14); });
    connect(form_.N20, &QAction::triggered, this, [this] { N14Click(form_.N20); });
    // AddToHistory(Edit5) runs from the window's Edit5Exit; the others after the Go button's runs.
}

void TInputHistories::AddToHistory(QComboBox* box) {
    QAction* clearItem = HistoryClearItem(box);
    assert(clearItem != nullptr && "only edit2, edit8 and Edit5 keep an unlimited history");
    const auto text = QtText::FromQt(box->currentText());
    if (!text || text->empty()) return;
    clearItem->setEnabled(true);
    std::vector<std::string> items = HistoryOf(box);
    InputHistory::AddToHistory(items, *text);
    ReplaceList(box, QtText::ToQtList(items));
}

void TInputHistories::AddToLimitedHistory(QComboBox* box, int limit) {
    assert(limit > 0);
    const auto text = QtText::FromQt(box->currentText());
    if (!text || text->empty()) return;
    std::vector<std::string> items = HistoryOf(box);
    InputHistory::AddToLimitedHistory(items, *text, static_cast<std::size_t>(limit));
    // The box keeps showing the text that was entered.
    ReplaceList(box, QtText::ToQtList(items));
}

void TInputHistories::FHistClearClick() const {
    ClearHistory(form_.edit2);
}

void TInputHistories::EHistClearClick() const {
    ClearHistory(form_.edit8);
}

void TInputHistories::ExtHistClearClick() const {
    ClearHistory(form_.Edit5);
}

void TInputHistories::ClearHistory(QComboBox* box) const {
    ReplaceList(box, {});
    HistoryClearItem(box)->setEnabled(false);
}

void TInputHistories::N14Click(QObject* sender) {
    // Neither item is ever disabled: the string page's lists may fill again at any Go.
    ReplaceList(sender == form_.N14 ? form_.Edit6 : form_.Edit7, {});
}

QAction* TInputHistories::HistoryClearItem(const QComboBox* box) const {
    if (box == form_.edit2) return form_.FHistClear;
    if (box == form_.edit8) return form_.EHistClear;
    if (box == form_.Edit5) return form_.ExtHistClear;
    return nullptr;
}

std::vector<std::string> TInputHistories::HistoryOf(const QComboBox* box) {
    std::vector<std::string> items;
    items.reserve(static_cast<std::size_t>(box->count()));
    for (int i = 0; i < box->count(); ++i) {
        // Entries came from code page 932 texts, so they always have a form there.
        if (auto item = QtText::FromQt(box->itemText(i))) items.push_back(std::move(*item));
    }
    return items;
}

void TInputHistories::ReplaceList(QComboBox* box, const QStringList& items) {
    const QString shown = box->currentText();
    box->clear();
    box->addItems(items);
    // Filling an empty list selects its first entry and shows it; the text is the user's, and no
    // entry is selected, so that picking any entry later puts it into the box.
    box->setCurrentIndex(-1);
    box->setEditText(shown);
}

void TInputHistories::Show(const Settings::Values& values) {
    ReplaceList(form_.edit2, QtText::ToQtList(values.leadingHistory));
    ReplaceList(form_.edit8, QtText::ToQtList(values.trailingHistory));
    ReplaceList(form_.Edit5, QtText::ToQtList(values.extensionHistory));
    ReplaceList(form_.Edit6, QtText::ToQtList(values.targetHistory));
    ReplaceList(form_.Edit7, QtText::ToQtList(values.replacementHistory));
    for (const QComboBox* box : {form_.edit2, form_.edit8, form_.Edit5})
        HistoryClearItem(box)->setEnabled(box->count() > 0);
}

void TInputHistories::Keep(Settings::Values& values) const {
    values.leadingHistory = HistoryOf(form_.edit2);
    values.trailingHistory = HistoryOf(form_.edit8);
    values.extensionHistory = HistoryOf(form_.Edit5);
    values.targetHistory = HistoryOf(form_.Edit6);
    values.replacementHistory = HistoryOf(form_.Edit7);
}
