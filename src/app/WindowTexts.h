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

// The progress dialog's text while files are renamed or moved, and what a cancelled rename or
// move says.
namespace RunText {
inline const QString kRenaming = QStringLiteral("名前を変更しています…");
inline const QString kMoving = QStringLiteral("ファイルを移動しています…");
inline const QString kReadingDates = QStringLiteral("撮影日時を読み込んでいます…");
inline QString Cancelled(std::size_t renamed) {
    return QString::fromStdString(Command::Text::Cancelled(renamed));
}
inline QString MoveCancelled(std::size_t moved) {
    return QString::fromStdString(Command::Text::MoveCancelled(moved));
}
}  // namespace RunText

// The switch of the preview of the coming names: the check box's caption and the tool button's hint.
namespace PreviewText {
inline QString Hint() {
    return QtText::Tr("変更後の名前を事前に表示する");
}
}  // namespace PreviewText
