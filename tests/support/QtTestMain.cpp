// The main of a folder's Qt test executable: runs the test object entered under the name given first.
#include "QtTestMain.h"

#include <QApplication>
#include <QStandardPaths>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <string>

namespace testsupport {
namespace {

std::map<std::string, QtTestRun>& Tests() {
    static std::map<std::string, QtTestRun> tests;
    return tests;
}
QString running;

}  // namespace

bool AddQtTest(const char* path, QtTestRun run) {
    std::string name = path;
    name.erase(0, name.find_last_of('/') + 1);
    name.erase(name.find_last_of('.'));
    if (!Tests().emplace(name, run).second) {
        std::fprintf(stderr, "two Qt tests are named %s\n", name.c_str());
        std::abort();
    }
    return true;
}

QString RunningQtTest() {
    return running;
}

}  // namespace testsupport

int main(int argc, char** argv) {
    const auto& tests = testsupport::Tests();
    const auto test = argc > 1 ? tests.find(argv[1]) : tests.end();
    if (test == tests.end()) {
        std::fprintf(stderr, "usage: %s TEST [Qt Test arguments], TEST one of:\n", argv[0]);
        for (const auto& [name, run] : tests)
            std::fprintf(stderr, "  %s\n", name.c_str());
        return 2;
    }
    testsupport::running = QString::fromLocal8Bit(argv[1]);
    // What follows the name is the test's own (function names, -o ...).
    argv[1] = argv[0];
    ++argv;
    --argc;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("TZ", "Asia/Tokyo", 1);
    tzset();
    setlocale(LC_ALL, "C.UTF-8");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    return test->second(argc, argv);
}
