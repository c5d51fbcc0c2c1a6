#include <QApplication>
#include <memory>

#include "app/QtDialogs.h"
#include "app/UnMein.h"
#include "core/SettingsLocation.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    TFmMein window(SettingsLocation::Find().path, std::make_unique<TQtDialogs>());
    window.show();
    return QApplication::exec();
}
