#pragma once

// The main of every Qt test: offscreen platform, a fixed locale and time zone, and Qt's test mode
// so that nothing reaches the user's folders or settings.
#include <QApplication>
#include <QStandardPaths>
#include <QTest>
#include <clocale>
#include <cstdlib>
#include <ctime>

#define QUORBEL_QTEST_MAIN(TestObject)             \
    int main(int argc, char** argv) {              \
        setenv("QT_QPA_PLATFORM", "offscreen", 1); \
        setenv("TZ", "Asia/Tokyo", 1);             \
        tzset();                                   \
        setlocale(LC_ALL, "C.UTF-8");              \
        QStandardPaths::setTestModeEnabled(true);  \
        QApplication app(argc, argv);              \
        TestObject tc;                             \
        return QTest::qExec(&tc, argc, argv);      \
    }
