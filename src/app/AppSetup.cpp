#include "app/AppSetup.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "core/text/Translate.h"

// Q_INIT_RESOURCE declares a function of the global namespace, so it cannot be used in a namespace.
static void InitAppIcon() {
    Q_INIT_RESOURCE(AppIcon);
}

namespace {

// Qt's own texts follow the language in use; English is their source.
void FollowLanguageInQtTexts(QApplication& app) {
    static QTranslator* installed = nullptr;
    if (installed != nullptr) {
        QApplication::removeTranslator(installed);
        delete installed;
        installed = nullptr;
    }
    if (Translate::InUse() != Language::Spoken::Japanese) return;
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(translator);
        installed = translator;
    } else {
        delete translator;
    }
}

}  // namespace

void SetUpApplication(QApplication& app) {
    // The name, not the display name: Qt appends a display name that is set to every window's
    // caption ("Quorbel v1.54 — Quorbel"). Unset, it is the name, which the boxes take as title.
    QApplication::setApplicationName(QStringLiteral("Quorbel"));
    FollowLanguageInQtTexts(app);

    // The resource lives in a static library: nothing else would pull it into the program.
    InitAppIcon();
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quorbel.Quorbel"));
    QIcon icon;
    for (const char* size : {"16", "32", "48", "64", "128"})
        icon.addFile(QStringLiteral(":/appicon/%1.png").arg(QLatin1String(size)));
    QApplication::setWindowIcon(icon);
}
