#include "app/HistoryBox.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>

void MakeHistoryBox(QComboBox& box, const QString& accessibleName) {
    box.setEditable(true);
    // Entering a text never adds it to the list by itself; the input histories decide that.
    box.setInsertPolicy(QComboBox::NoInsert);
    // Without a completer the box also matches a typed text against its list only exactly.
    box.setCompleter(nullptr);
    box.setAccessibleName(accessibleName);
    box.lineEdit()->setAccessibleName(accessibleName);
    box.view()->setAccessibleName(accessibleName);
}
