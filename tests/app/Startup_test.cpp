// Start-up: the program's arguments, parsed and handed to the real window.
#include <QDir>

#include "WindowFixture.h"
#include "app/CommandLine.h"
#include "support/QtTestMain.h"

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void ArgumentsAreParsed_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");  // -1: the window starts
        QTest::addColumn<QString>("output");
        QTest::addColumn<QStringList>("paths");  // relative to the current folder
        QTest::newRow("nothing") << QStringList{} << -1 << QString() << QStringList{};
        QTest::newRow("relative, trailing slash, dots")
            << QStringList{"a/", "./b/../c.txt", "/"} << -1 << QString() << QStringList{"a", "c.txt", "/"};
        QTest::newRow("a link kept, the parent of its target after it")
            << QStringList{"lnk/", "lnk/../x.txt", "./lnk/./../../y"} << -1 << QString()
            << QStringList{"lnk", "deep/x.txt", "y"};
        QTest::newRow("a missing folder before \"..\" taken as text")
            << QStringList{"gone/../z"} << -1 << QString() << QStringList{"z"};
        QTest::newRow("a name like an option after --")
            << QStringList{"--", "-v"} << -1 << QString() << QStringList{"-v"};
        QTest::newRow("help") << QStringList{"--help"} << 0 << "[FOLDER | FILE...]" << QStringList{};
        QTest::newRow("version") << QStringList{"-v"} << 0 << "quorbel 1." << QStringList{};
        QTest::newRow("unknown option") << QStringList{"--bogus", "a"} << 2 << "bogus" << QStringList{};
    }
    void ArgumentsAreParsed() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        QFETCH(QStringList, paths);
        testsupport::TempDir dir;
        dir.MakeDir("deep/inner");
        QVERIFY(QFile::link(QStringLiteral("deep/inner"), QString::fromStdString(dir / "lnk")));
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(QString::fromStdString(dir.Path())));
        const CommandLine::Request request = CommandLine::Parse(QStringList{"quorbel"} + arguments);
        QDir::setCurrent(previous);

        QCOMPARE(request.exitCode.value_or(-1), exitCode);
        if (output.isEmpty()) {
            QVERIFY(request.output.isEmpty());
        } else {
            QVERIFY2(request.output.contains(output), qPrintable(request.output));
        }
        QStringList expected;
        for (const QString& path : paths)
            expected << (path.startsWith('/') ? path : QString::fromStdString(dir / path.toStdString()));
        QCOMPARE(request.paths, expected);
    }

    // What the window does with the paths: one folder as chosen in the browse dialog (with the
    // subfolder option), files as dropped, a missing path refused with an empty table.
    void WindowOpensWhatWasGiven_data() {
        QTest::addColumn<QStringList>("given");
        QTest::addColumn<int>("expansion");
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QStringList>("history");
        QTest::addColumn<QString>("message");
        QTest::newRow("no argument") << QStringList{} << 1 << QStringList{} << QStringList{} << QString();
        QTest::newRow("a folder, files directly in it")
            << QStringList{"a"} << 1 << QStringList{"a/one.txt", "a/two.txt"} << QStringList{"a"}
            << QString();
        QTest::newRow("a folder with subfolders")
            << QStringList{"a"} << 0 << QStringList{"a/one.txt", "a/s/three.txt", "a/two.txt"}
            << QStringList{"a/s", "a"} << QString();
        QTest::newRow("three files") << QStringList{"b/x.txt", "a/two.txt", "a/s/three.txt"} << 1
                                     << QStringList{"a/s/three.txt", "a/two.txt", "b/x.txt"}
                                     << QStringList{"b", "a", "a/s"} << QString();
        QTest::newRow("a missing path") << QStringList{"gone"} << 1 << QStringList{} << QStringList{}
                                        << "フォルダ %1/gone を開けません。";
    }
    void WindowOpensWhatWasGiven() {
        QFETCH(QStringList, given);
        QFETCH(int, expansion);
        QFETCH(QStringList, listed);
        QFETCH(QStringList, history);
        QFETCH(QString, message);
        TWindowFixture f;
        f.dir.MakeFile("a/one.txt");
        f.dir.MakeFile("a/two.txt");
        f.dir.MakeFile("a/s/three.txt");
        f.dir.MakeFile("b/x.txt");
        f.Radio("RG1")->SetItemIndex(expansion);
        QStringList paths;
        for (const QString& relative : given)
            paths << f.QtPath(relative.toStdString());

        CommandLine::Open(*f.window, paths);

        QCOMPARE(f.Listed(), listed);
        QCOMPARE(f.Grid()->RowCount(), listed.isEmpty() ? 2 : static_cast<int>(listed.size()) + 1);
        QStringList recorded;
        for (const std::string& slot : f.window->FolderHistory) {
            if (!slot.empty()) recorded << QString::fromStdString(slot.substr(f.Path().size() + 1));
        }
        QCOMPARE(recorded, history);
        std::vector<QString> messages;
        if (!message.isEmpty()) messages.push_back(message.arg(f.QtPath()));
        QCOMPARE(f.dialogs->Messages(), messages);
        QCOMPARE(f.dialogs->calls.size(), messages.size());  // never the browse dialog
    }
};

QUORBEL_QTEST_MAIN(StartupTest)
#include "Startup_test.moc"
