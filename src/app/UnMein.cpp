#include "app/UnMein.h"

TFmMein::TFmMein(QWidget* parent) : QMainWindow(parent) {
    setObjectName("FmMein");
    setWindowTitle("Quorbel v1.54");
    resize(513, 502);
}
