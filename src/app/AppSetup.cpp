#include "app/AppSetup.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

void SetUpApplication(QApplication& app) {
    QApplication::setApplicationDisplayName(QStringLiteral("Quorbel"));
    // The window speaks Japanese whatever the user's locale, so Qt's own texts must too.
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(translator);
    } else {
        delete translator;
    }
}
