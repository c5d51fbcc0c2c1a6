#include "app/About.h"
#include "app/QtText.h"

#include <QtGlobal>

using QtText::Tr;

namespace About {

QString VersionLine() {
    return QStringLiteral("quorbel " QUORBEL_VERSION);
}

QString VersionText() {
    return VersionLine() + QStringLiteral(
                               "\nCopyright (C) 2026 Quorbel developers\n"
                               "License GPL-3.0-or-later: GNU GPL version 3 or later "
                               "<https://gnu.org/licenses/gpl.html>.\n"
                               "This is free software: you are free to change and redistribute it.\n"
                               "There is NO WARRANTY, to the extent permitted by law.\n");
}

QString Title() {
    return Tr("バージョン情報");
}

QString Text() {
    const QString home = QStringLiteral(QUORBEL_HOMEPAGE);
    return Tr("<p><b>Quorbel（ファイル名一括変更）</b></p>"
              "<p>バージョン %1"
              "<br>Qt %2</p>"
              "<p>ライセンス: GPL-3.0-or-later<br>"
              "GNU General Public License version 3 or later</p>"
              "<p><a href=\"%3\">%3</a></p>")
        .arg(QStringLiteral(QUORBEL_VERSION), QLatin1String(qVersion()), home.toHtmlEscaped());
}

}  // namespace About
