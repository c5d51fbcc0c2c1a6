#pragma once

class QComboBox;
class QString;

// Makes a combo box an input field with a history: editable, the list offered to pick from, and
// what the user types left exactly as typed. Qt's completer would complete a prefix from the list
// ("0" becoming "006") and, on leaving the field, swap the text for an entry that differs only in
// case; neither may happen to an input.
//
// Qt's own parts of the box (its edit field and its list) carry the box's accessible name too.
void MakeHistoryBox(QComboBox& box, const QString& accessibleName);
