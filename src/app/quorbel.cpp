#include <QApplication>

#include "app/UnMein.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    TFmMein window;
    window.show();
    return QApplication::exec();
}
