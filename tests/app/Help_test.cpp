// The help menu: where it stands, the About box and the user guide it opens.
#include <QDesktopServices>
#include <QFileInfo>
#include <QMenuBar>
#include <QUrl>

#include "WindowFixture.h"
#include "app/CommandLine.h"
#include "app/Guide.h"
#include "support/QtTestMain.h"

// Takes the URLs the desktop would open.
class TUrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
    Q_INVOKABLE void Open(const QUrl& url) { opened << url; }
};

class HelpTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TWindowFixture> f;

private slots:
    void init() { f = std::make_unique<TWindowFixture>(); }
    void cleanup() { f.reset(); }

    void menuFollowsEdit() {
        QStringList titles;
        for (QAction* action : f->window->menuBar()->actions())
            titles << action->text();
        QCOMPARE(titles, QStringList({"ファイル", "編集", "ヘルプ"}));
        QCOMPARE(f->Action("mnGuide")->text(), QStringLiteral("使い方"));
        QCOMPARE(f->Action("mnAbout")->text(), QStringLiteral("バージョン情報"));
    }

    // The About box names the version --version prints, the Qt the program runs on, the licence and
    // the project's address as a link.
    void aboutShowsWhatVersionPrints() {
        const CommandLine::Request version = CommandLine::Parse({"quorbel", "--version"});
        const QString firstLine = version.output.section(QLatin1Char('\n'), 0, 0);
        QVERIFY2(firstLine.startsWith(QStringLiteral("quorbel ")), qPrintable(firstLine));
        const QString number = firstLine.mid(8);

        f->Action("mnAbout")->trigger();

        QCOMPARE(f->dialogs->calls.size(), std::size_t{1});
        const TRecordingDialogs::TCall& call = f->dialogs->calls.front();
        QCOMPARE(call.kind, TRecordingDialogs::TKind::About);
        QCOMPARE(call.title, QStringLiteral("バージョン情報"));
        for (const QString& shown :
             {QStringLiteral("Quorbel（ファイル名一括変更）"), QStringLiteral("バージョン ") + number + "<",
              QStringLiteral("Qt ") + QLatin1String(qVersion()), QStringLiteral("GPL-3.0-or-later"),
              QStringLiteral("<a href=\"https://quorbel.org/\">")})
            QVERIFY2(call.text.contains(shown), qPrintable(shown + " not in " + call.text));
    }

    void guideIsFound_data() {
        QTest::addColumn<QStringList>("files");   // under the temporary folder
        QTest::addColumn<QString>("executable");  // the executable's folder
        QTest::addColumn<QString>("found");       // empty: none
        QTest::newRow("beside the build") << QStringList{"build/docs/guide.html"} << "build"
                                          << "build/docs/guide.html";
        QTest::newRow("installed") << QStringList{"usr/share/doc/quorbel/guide.html"} << "usr/bin"
                                   << "usr/share/doc/quorbel/guide.html";
        QTest::newRow("the build's own first")
            << QStringList{"p/bin/docs/guide.html", "p/share/doc/quorbel/guide.html"} << "p/bin"
            << "p/bin/docs/guide.html";
        QTest::newRow("only the Markdown")
            << QStringList{"usr/share/doc/quorbel/guide.md"} << "usr/bin" << QString();
        QTest::newRow("a folder of that name")
            << QStringList{"usr/share/doc/quorbel/guide.html/x"} << "usr/bin" << QString();
        QTest::newRow("nothing") << QStringList{} << "usr/bin" << QString();
    }
    void guideIsFound() {
        QFETCH(QStringList, files);
        QFETCH(QString, executable);
        QFETCH(QString, found);
        testsupport::TempDir dir;
        dir.MakeDir(executable.toStdString());
        for (const QString& file : files)
            dir.MakeFile(file.toStdString());
        const std::optional<QString> guide =
            Guide::Find(QString::fromStdString(dir / executable.toStdString()));
        QCOMPARE(guide.value_or(QString()),
                 found.isEmpty() ? QString() : QString::fromStdString(dir / found.toStdString()));
    }

    // The test programs stand at the top of the build folder, as the program does.
    void guideOpensInTheBrowser() {
        TUrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "Open");
        f->Action("mnGuide")->trigger();
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));

        QCOMPARE(f->Messages(), QStringList());
        QCOMPARE(catcher.opened.size(), 1);
        const QFileInfo guide(catcher.opened.front().toLocalFile());
        QCOMPARE(guide.fileName(), QStringLiteral("guide.html"));
        QVERIFY2(guide.isFile(), qPrintable(guide.filePath()));
    }
};

QUORBEL_QTEST_MAIN(HelpTest)
#include "Help_test.moc"
