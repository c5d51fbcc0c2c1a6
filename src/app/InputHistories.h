#pragma once

#include <QObject>
#include <QStringList>
#include <string>
#include <vector>

class QAction;
class QComboBox;
class TFmMeinForm;

namespace Settings {
struct Values;
}  // namespace Settings

// The drop-down histories of the input fields, and the edit menu's commands that empty them.
// Unlimited histories: edit2, edit8, Edit5. Limited ones: Edit6, Edit7.
class TInputHistories : public QObject {
public:
    // Wires the clear commands of form, which must outlive this part.
    TInputHistories(TFmMeinForm& form, QObject* parent);

    void AddToHistory(QComboBox* box);
    void AddToLimitedHistory(QComboBox* box, int limit);
    void FHistClearClick() const;
    void EHistClearClick() const;
    void ExtHistClearClick() const;
    // Shared by N14 (empties Edit6's list) and N20 (Edit7's).
    void N14Click(QObject* sender);

    // The lists from the settings file (the boxes' texts stay empty); the clear commands of empty
    // lists are off.
    void Show(const Settings::Values& values);
    void Keep(Settings::Values& values) const;

    // Replaces a box's drop-down list; the text shown in the box stays as it is.
    static void ReplaceList(QComboBox* box, const QStringList& items);

private:
    QAction* HistoryClearItem(const QComboBox* box) const;
    // Empties the list of one of the three boxes with a clear item, and disables the item.
    void ClearHistory(QComboBox* box) const;
    static std::vector<std::string> HistoryOf(const QComboBox* box);

    TFmMeinForm& form_;
};
