#include "app/DesktopIdentity.h"

#include <QApplication>
#include <QIcon>

// Q_INIT_RESOURCE declares a function of the global namespace, so it cannot be used in a namespace.
static void InitAppIcon() {
    Q_INIT_RESOURCE(AppIcon);
}

namespace DesktopIdentity {

void Apply() {
    // The resource lives in a static library: nothing else would pull it into the program.
    InitAppIcon();
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quorbel.Quorbel"));
    QIcon icon;
    for (const char* size : {"16", "32", "48", "64", "128"})
        icon.addFile(QStringLiteral(":/appicon/%1.png").arg(QLatin1String(size)));
    QApplication::setWindowIcon(icon);
}

}  // namespace DesktopIdentity
