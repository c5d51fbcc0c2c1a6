#pragma once

// Texts of the main window that its parts and their tests share: the marks of column 0, the
// progress dialog's texts and the preview switch's hint.

#include <QString>
#include <cstddef>

#include "app/QtText.h"
#include "core/commands/Common.h"

// The marks of column 0: a row the user selected, and a file the last command left unprocessed.
namespace RowMark {
inline const QString kSelected = QStringLiteral("V");
inline const QString kUnprocessed = QStringLiteral("*");
}  // namespace RowMark

// The progress dialog's text while files are renamed, moved or their dates read.
namespace RunText {
inline QString Working(Command::Work what) {
    return QString::fromStdString(Command::Text::Working(what));
}
}  // namespace RunText

// The switch of the preview of the coming names: the check box's caption and the tool button's hint.
namespace PreviewText {
inline QString Hint() {
    return QtText::Tr("変更後の名前を事前に表示する");
}
}  // namespace PreviewText
