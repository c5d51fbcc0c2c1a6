// The Go button on the その他の処理 page: how its options enable each other, the case and width
// conversion and the digit alignment on real files, every file they could not rename marked and
// counted, and the state after a run.
#include <QCheckBox>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVariantMap>
#include <filesystem>

#include "WindowFixture.h"
#include "support/Mounts.h"
#include "support/QtTestMain.h"

namespace {

const QString kDone = QStringLiteral("処理は完了しました");
const QString kNothingToConvert = QStringLiteral("処理対象ファイルが見つかりませんでした。");
const QString kNothingToAlign = QStringLiteral("桁揃え可能なファイルはありません");

QString Unrenamed(const QString& lead, int count) {
    return lead + QString::number(count) + QStringLiteral("個のファイルが未処理になりました\r\n") +
           QStringLiteral("未処理のものは\"*\"マークが付けられています。");
}
const QString kCaseLead = QStringLiteral("処理により同名ファイルができたため、 ");
const QString kDigitLead = QStringLiteral("桁揃え処理により同名ファイルができたため、 ");
const QString kFailedLead = QStringLiteral("名前を変更できなかったため、 ");

}  // namespace

class OtherRunTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TWindowFixture> f;

    // Sets controls in the order given, as a user would click them: "CB11=1", "RGTranc=2".
    void Click(const QStringList& steps) {
        for (const QString& step : steps) {
            const QStringList parts = step.split(QLatin1Char('='));
            auto* control = f->Find<QObject>(parts[0]);
            QVERIFY2(control != nullptr, qPrintable(step));
            if (auto* check = qobject_cast<QCheckBox*>(control)) {
                check->setChecked(parts[1] == QLatin1String("1"));
            } else if (auto* radio = qobject_cast<TRadioGroup*>(control)) {
                radio->SetItemIndex(parts[1].toInt());
            } else {
                QFAIL(qPrintable(step));
            }
        }
    }
    // The options as "name=checked" with " off" for a disabled control.
    QString Options() const {
        QStringList states;
        for (const char* name : {"CB11", "CB7", "CBExt1", "CBExt2"}) {
            auto* box = f->Find<QCheckBox>(QLatin1String(name));
            states << QStringLiteral("%1=%2%3")
                          .arg(QLatin1String(name))
                          .arg(box->isChecked() ? 1 : 0)
                          .arg(box->isEnabled() ? QString() : QStringLiteral(" off"));
        }
        states << (f->Radio("RGTranc")->isEnabled() ? QStringLiteral("RGTranc")
                                                    : QStringLiteral("RGTranc off"));
        return states.join(QStringLiteral(", "));
    }
    QString Content(const std::string& relative) const {
        return QString::fromStdString(testsupport::TempDir::ReadFile(f->dir / relative));
    }
    // Loads the folder, sets the page's options and presses Go on the page.
    void Run(const QStringList& files, const QStringList& options) {
        f->MakeFiles("f", files);
        f->Load({"f"});
        f->ShowPage("TabSheet3");
        Click(options);
        f->window->btGoClick();
    }

private slots:
    void init() { f = std::make_unique<TWindowFixture>(); }
    void cleanup() { f.reset(); }

    void optionsEnableEachOther_data() {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QString>("options");
        QTest::newRow("as designed") << QStringList{}
                                     << "CB11=0, CB7=0, CBExt1=0 off, CBExt2=0 off, RGTranc off";
        QTest::newRow("conversion on")
            << QStringList{"CB11=1"} << "CB11=1, CB7=0 off, CBExt1=0, CBExt2=0, RGTranc";
        QTest::newRow("conversion on unchecks alignment")
            << QStringList{"CB7=1", "CB11=1"} << "CB11=1, CB7=0 off, CBExt1=0, CBExt2=0, RGTranc";
        QTest::newRow("conversion off again") << QStringList{"CB11=1", "CBExt1=1", "CB11=0"}
                                              << "CB11=0, CB7=0, CBExt1=1 off, CBExt2=0 off, RGTranc off";
        QTest::newRow("alignment on")
            << QStringList{"CB7=1"} << "CB11=0 off, CB7=1, CBExt1=0 off, CBExt2=0 off, RGTranc off";
        QTest::newRow("alignment off again")
            << QStringList{"CB7=1", "CB7=0"} << "CB11=0, CB7=0, CBExt1=0 off, CBExt2=0 off, RGTranc off";
        QTest::newRow("extension options exclude each other")
            << QStringList{"CB11=1", "CBExt1=1", "CBExt2=1"}
            << "CB11=1, CB7=0 off, CBExt1=0, CBExt2=1, RGTranc";
        QTest::newRow("and the other way round") << QStringList{"CB11=1", "CBExt2=1", "CBExt1=1"}
                                                 << "CB11=1, CB7=0 off, CBExt1=1, CBExt2=0, RGTranc";
        QTest::newRow("a width item unchecks both") << QStringList{"CB11=1", "CBExt2=1", "RGTranc=3"}
                                                    << "CB11=1, CB7=0 off, CBExt1=0, CBExt2=0, RGTranc";
        QTest::newRow("on a width item CBExt1 will not stay checked")
            << QStringList{"CB11=1", "RGTranc=2", "CBExt1=1"}
            << "CB11=1, CB7=0 off, CBExt1=0, CBExt2=0, RGTranc";
        QTest::newRow("on a width item CBExt2 will not stay checked")
            << QStringList{"CB11=1", "RGTranc=3", "CBExt2=1"}
            << "CB11=1, CB7=0 off, CBExt1=0, CBExt2=0, RGTranc";
        QTest::newRow("back on a case item") << QStringList{"CB11=1", "RGTranc=2", "RGTranc=1", "CBExt2=1"}
                                             << "CB11=1, CB7=0 off, CBExt1=0, CBExt2=1, RGTranc";
    }
    void optionsEnableEachOther() {
        QFETCH(QStringList, clicks);
        QFETCH(QString, options);
        Click(clicks);
        QCOMPARE(Options(), options);
    }

    void conversionRenamesTheFilesThatChange_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QStringList>("from");  // column 1 after the run
        QTest::addColumn<QStringList>("to");    // column 2
        QTest::addColumn<QStringList>("onDisk");
        QTest::newRow("upper case") << QStringList{"b.txt", "NOTE.TXT", "readme.TXT"} << QStringList{"CB11=1"}
                                    << QStringList{"b.txt", "readme.TXT"}
                                    << QStringList{"B.TXT", "README.TXT"}
                                    << QStringList{"B.TXT", "NOTE.TXT", "README.TXT"};
        QTest::newRow("lower case of the extension only")
            << QStringList{"A.JPG", "b.jpg"} << QStringList{"CB11=1", "RGTranc=1", "CBExt2=1"}
            << QStringList{"A.JPG"} << QStringList{"A.jpg"} << QStringList{"A.jpg", "b.jpg"};
        QTest::newRow("full width, the extension stays")
            << QStringList{"ｶﾞｲﾄﾞ.txt", "漢字.txt"} << QStringList{"CB11=1", "RGTranc=2"}
            << QStringList{"ｶﾞｲﾄﾞ.txt"} << QStringList{"ガイド.txt"} << QStringList{"ガイド.txt", "漢字.txt"};
        QTest::newRow("half width never makes a path")
            << QStringList{"２０２４／０５.txt"} << QStringList{"CB11=1", "RGTranc=3"}
            << QStringList{"２０２４／０５.txt"} << QStringList{"2024／05.txt"}
            << QStringList{"2024／05.txt"};
        QTest::newRow("alignment wins over a checked conversion")
            << QStringList{"a1.txt", "a10.txt"} << QStringList{"CB11=1", "CB7=1"} << QStringList{"a1.txt"}
            << QStringList{"a01.txt"} << QStringList{"a01.txt", "a10.txt"};
    }
    void conversionRenamesTheFilesThatChange() {
        QFETCH(QStringList, files);
        QFETCH(QStringList, options);
        QFETCH(QStringList, from);
        QFETCH(QStringList, to);
        QFETCH(QStringList, onDisk);
        Run(files, options);
        QCOMPARE(f->Messages(), QStringList{kDone});
        QCOMPARE(f->Column(1), from);
        QCOMPARE(f->Column(2), to);
        QCOMPARE(f->Column(3), QStringList(from.size(), f->QtPath("f") + "/"));
        QCOMPARE(f->FileCount(), QString::number(from.size()));
        QCOMPARE(f->OnDisk("f"), onDisk);
        for (qsizetype i = 0; i < from.size(); ++i)
            QCOMPARE(Content("f/" + to[i].toStdString()), from[i]);
        std::vector<std::string> oldPaths;
        std::vector<std::string> newPaths;
        for (qsizetype i = 0; i < from.size(); ++i) {
            oldPaths.push_back(f->Path("f/" + from[i].toStdString()));
            newPaths.push_back(f->Path("f/" + to[i].toStdString()));
        }
        QCOMPARE(f->window->Pairs.OldPaths(), oldPaths);
        QCOMPARE(f->window->Pairs.NewPaths(), newPaths);
    }

    void nothingToConvert_data() {
        QTest::addColumn<bool>("completion");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("with completion messages") << true << QStringList{kNothingToConvert, kDone};
        QTest::newRow("without") << false << QStringList{kNothingToConvert};
    }
    void nothingToConvert() {
        QFETCH(bool, completion);
        QFETCH(QStringList, messages);
        f->Find<QCheckBox>(QStringLiteral("cbDialog"))->setChecked(completion);
        Run({"a.txt", "b"}, {"CB11=1", "RGTranc=1"});
        QCOMPARE(f->Messages(), messages);
        QCOMPARE(f->Grid()->RowCount(), 2);
        QCOMPARE(f->Column(1), QStringList{QString()});
        QVERIFY(f->window->Pairs.Empty());
        QVERIFY(f->window->Pairs.NewPaths().empty());
        QCOMPARE(f->FileCount(), QStringLiteral("0"));
        QCOMPARE(f->OnDisk("f"), QStringList({"a.txt", "b"}));
        QVERIFY(f->window->CaseRunFlag);
        QVERIFY(!f->Enabled("btGo"));
        QVERIFY(!f->Enabled("Undo1"));  // nothing to undo
        QVERIFY(!f->Enabled("btret"));
    }

    void nothingToAlign() {
        Run({"a1.txt", "b2.txt", "c.txt"}, {"CB7=1"});
        QCOMPARE(f->Messages(), QStringList{kNothingToAlign});
        QCOMPARE(f->Grid()->RowCount(), 2);
        QCOMPARE(f->FileCount(), QStringLiteral("0"));
        QVERIFY(f->window->Pairs.Empty());
        QCOMPARE(f->OnDisk("f"), QStringList({"a1.txt", "b2.txt", "c.txt"}));
        QVERIFY(f->Enabled("btGo"));
        QVERIFY(!f->Enabled("Undo1"));
    }

    void unrenamedFilesAreMarkedAndCounted_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<bool>("readOnlyFolder");
        QTest::addColumn<QStringList>("marks");
        QTest::addColumn<QStringList>("to");
        QTest::addColumn<QStringList>("onDisk");
        QTest::addColumn<QString>("message");
        QTest::newRow("alignment onto a file that stays")
            << QStringList{"a01.txt", "a1.txt", "b5.txt"} << QStringList{"CB7=1"} << false
            << QStringList{"*", ""} << QStringList{"a01.txt", "b05.txt"}
            << QStringList{"a01.txt", "a1.txt", "b05.txt"} << Unrenamed(kDigitLead, 1);
        QTest::newRow("conversion onto another file")
            << QStringList{"A.TXT", "a.txt", "c.txt"} << QStringList{"CB11=1"} << false
            << QStringList{"*", ""} << QStringList{"A.TXT", "C.TXT"} << QStringList{"A.TXT", "C.TXT", "a.txt"}
            << Unrenamed(kCaseLead, 1);
        QTest::newRow("conversion of two files to one name: the later one gets it")
            << QStringList{"が.txt", "ガ.txt"} << QStringList{"CB11=1", "RGTranc=3"} << false
            << QStringList{"*", ""} << QStringList{"ｶﾞ.txt", "ｶﾞ.txt"} << QStringList{"が.txt", "ｶﾞ.txt"}
            << Unrenamed(kCaseLead, 1);
        QTest::newRow("conversion with every file left unrenamed")
            << QStringList{"A.TXT", "a.txt"} << QStringList{"CB11=1"} << false << QStringList{"*"}
            << QStringList{"A.TXT"} << QStringList{"A.TXT", "a.txt"} << Unrenamed(kCaseLead, 1);
        const QString longName = QString(100, QLatin1Char('a')) + ".txt";  // 300 bytes in full width
        QTest::newRow("conversion to a name too long")
            << QStringList{longName, "b.txt"} << QStringList{"CB11=1", "RGTranc=2"} << false
            << QStringList{"*", ""} << QStringList{QString(100, QChar(0xFF41)) + ".txt", "ｂ.txt"}
            << QStringList{longName, "ｂ.txt"} << Unrenamed(kFailedLead, 1);
        const QString longBase = QString(240, QLatin1Char('x'));
        QTest::newRow("alignment to a name too long")
            << QStringList{longBase + "1.txt", "12345678901234567890.txt", "y3.txt"} << QStringList{"CB7=1"}
            << false << QStringList{"*", ""}
            << QStringList{longBase + "0000000000000000000" + "1.txt", "y00000000000000000003.txt"}
            << QStringList{"12345678901234567890.txt", longBase + "1.txt", "y00000000000000000003.txt"}
            << Unrenamed(kFailedLead, 1);
        QTest::newRow("conversion in a read-only folder")
            << QStringList{"a.txt", "b.txt"} << QStringList{"CB11=1"} << true << QStringList{"*", "*"}
            << QStringList{"A.TXT", "B.TXT"} << QStringList{"a.txt", "b.txt"} << Unrenamed(kFailedLead, 2);
    }
    void unrenamedFilesAreMarkedAndCounted() {
        QFETCH(QStringList, files);
        QFETCH(QStringList, options);
        QFETCH(bool, readOnlyFolder);
        QFETCH(QStringList, marks);
        QFETCH(QStringList, to);
        QFETCH(QStringList, onDisk);
        QFETCH(QString, message);
        f->MakeFiles("f", files);
        // A read-only mount refuses root too, where a folder's mode would not.
        std::unique_ptr<testsupport::Mount> mount;
        if (readOnlyFolder) {
            mount = testsupport::Mount::Make(testsupport::Mount::Kind::kBind, f->dir / "f");
            if (!mount) QSKIP(testsupport::Mount::Why().c_str());
        }
        f->Load({"f"});
        f->ShowPage("TabSheet3");
        Click(options);
        if (mount) QVERIFY(mount->SetReadOnly(true));
        f->window->btGoClick();
        if (mount) QVERIFY(mount->SetReadOnly(false));
        // Shown instead of the completion message, which is on.
        QCOMPARE(f->Messages(), QStringList{message});
        QCOMPARE(f->Column(0), marks);
        QCOMPARE(f->Column(2), to);  // the rows keep the names they were meant to get
        // The window records as renamed exactly the rows left unmarked.
        for (qsizetype i = 0; i < marks.size(); ++i)
            QCOMPARE(f->window->Pairs.Renamed(static_cast<std::size_t>(i)), marks[i].isEmpty());
        QCOMPARE(f->OnDisk("f"), onDisk);
        for (const QString& name : files) {
            if (onDisk.contains(name)) QCOMPARE(Content("f/" + name.toStdString()), name);
        }
        QVERIFY(!f->Enabled("btGo"));
        // Undo is offered when the run renamed a file.
        QCOMPARE(f->Enabled("Undo1"), marks.contains(QString()));
        QCOMPARE(f->Enabled("btret"), marks.contains(QString()));
    }

    void postRunStateAndCaseRunFlag() {
        f->window->CaseRunFlag = false;
        Run({"a.txt", "b1.txt", "b10.txt"}, {"CB11=1", "RGTranc=0", "cbDialog=0"});
        QVERIFY(f->Messages().isEmpty());
        QVERIFY(f->window->CaseRunFlag);
        QVERIFY(!f->Enabled("btGo"));
        QVERIFY(!f->Enabled("N2"));
        QVERIFY(!f->Find<QCheckBox>(QStringLiteral("CB1"))->isChecked());
        for (const char* name : {"Undo1", "btret", "N3", "N22"})
            QVERIFY2(f->Enabled(name), name);
        QCOMPARE(f->window->Pairs.OldPaths(),
                 std::vector<std::string>({f->Path("f/a.txt"), f->Path("f/b1.txt"), f->Path("f/b10.txt")}));
        QCOMPARE(f->window->Pairs.NewPaths(),
                 std::vector<std::string>({f->Path("f/A.TXT"), f->Path("f/B1.TXT"), f->Path("f/B10.TXT")}));

        // Any other run clears the flag.
        f->Load({"f"});
        QVERIFY(!f->window->CaseRunFlag);
        f->window->CaseRunFlag = true;
        Click({"CB11=0", "CB7=1", "cbDialog=1"});
        f->window->btGoClick();
        QCOMPARE(f->Messages(), QStringList{kDone});
        QVERIFY(!f->window->CaseRunFlag);
        QCOMPARE(f->OnDisk("f"), QStringList({"A.TXT", "B01.TXT", "B10.TXT"}));
        QVERIFY(!f->Enabled("btGo"));
        QVERIFY(!f->Enabled("N2"));
        for (const char* name : {"Undo1", "btret", "N3", "N22"})
            QVERIFY2(f->Enabled(name), name);
        QCOMPARE(f->FileCount(), QStringLiteral("1"));
    }
};

QUORBEL_QTEST_MAIN(OtherRunTest)
#include "OtherRun_test.moc"
