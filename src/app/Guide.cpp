#include "app/Guide.h"

#include <QDir>
#include <QFileInfo>

namespace Guide {

std::optional<QString> Find(const QString& executableFolder) {
    const QDir folder(executableFolder);
    for (const QString& relative :
         {QStringLiteral("docs/guide.html"), QStringLiteral("../share/doc/quorbel/guide.html")}) {
        const QFileInfo file(folder.filePath(relative));
        if (file.isFile()) return QDir::cleanPath(file.absoluteFilePath());
    }
    return std::nullopt;
}

}  // namespace Guide
