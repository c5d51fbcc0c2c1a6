#pragma once

// The Qt tests of a folder share one executable (one link instead of one per file). Each test file
// ends with QUORBEL_QTEST_MAIN(TestObject), which enters its test object under the file's name
// ("Undo_test" for Undo_test.cpp); `app_tests Undo_test [Qt Test arguments]` runs it in a process of
// its own, with the offscreen platform, a fixed locale and time zone, and Qt's test mode so that
// nothing reaches the user's folders or settings (QtTestMain.cpp).
#include <QTest>

namespace testsupport {

using QtTestRun = int (*)(int argc, char** argv);
// Enters run under the name of the file `path` (its stem); a name entered twice aborts the program.
bool AddQtTest(const char* path, QtTestRun run);
// The name the running test was entered under: the program runs it again with
// `QCoreApplication::applicationFilePath() RunningQtTest() [arguments]`.
QString RunningQtTest();

}  // namespace testsupport

#define QUORBEL_QTEST_MAIN(TestObject)                               \
    namespace {                                                      \
    [[maybe_unused]] const bool quorbelQtTestAdded =                 \
        testsupport::AddQtTest(__FILE__, [](int argc, char** argv) { \
            TestObject tc;                                           \
            return QTest::qExec(&tc, argc, argv);                    \
        });                                                          \
    }
