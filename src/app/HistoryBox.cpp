#include "app/HistoryBox.h"

#include <QComboBox>

void MakeHistoryBox(QComboBox& box) {
    box.setEditable(true);
    // Entering a text never adds it to the list by itself; the input histories decide that.
    box.setInsertPolicy(QComboBox::NoInsert);
    // Without a completer the box also matches a typed text against its list only exactly.
    box.setCompleter(nullptr);
}
