// The Go button on the string page: the refusals that change nothing, the table narrowed to the
// files the replacement changes, collisions and refused renames marked and counted, and the state
// after a run.
#include <QCheckBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVariantMap>
#include <filesystem>

#include "WindowFixture.h"
#include "support/Mounts.h"
#include "support/QtTestMain.h"

namespace {

const QString kDone = QStringLiteral("処理は完了しました");
const QString kNothingToDo = QStringLiteral(
    "対象のファイルがないか、変換結果が不正になるため、変換できません\r\n\r\n"
    "対象文字が見つからないか、変換を行うと空白のファイル名ができる可能性があります。");

QString Collisions(int count) {
    return QStringLiteral(
               "処理により同名ファイルができたため、 %1個のファイルが未処理になりました\r\n"
               "未処理のものは\"*\"マークが付けられています。")
        .arg(count);
}
QString Reorder(int count) {
    return QString::number(count) +
           QStringLiteral(
               "個のファイルは、この一覧の他のファイルの現在の名前と重なります。\r\n"
               "順序を入れ替えて変更しますか？\r\n"
               "（「いいえ」の場合、これらのファイルは変更されず \"*\" マークが付けられます）");
}
QString Failures(int count) {
    return QStringLiteral(
               "名前を変更できなかったため、 %1個のファイルが未処理になりました\r\n"
               "未処理のものは\"*\"マークが付けられています。")
        .arg(count);
}

}  // namespace

class StringRunTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TWindowFixture> f;

    QString Content(const QString& name) const {
        return QString::fromStdString(testsupport::TempDir::ReadFile(f->dir / ("f/" + name.toStdString())));
    }
    void Go() {
        f->ShowPage("TabSheet2");
        f->window->btGoClick();
    }
    QStringList NewListed() const {
        QStringList names;
        for (const std::string& path : f->window->Pairs.NewPaths())
            names << QString::fromStdString(Cp932::ToUtf8(path).value()).section('/', -1);
        return names;
    }

private slots:
    // a_b and b_a trade names, c_d takes a free name, and x_y → y_x is blocked by a file outside the
    // list: a question counting the two, and only yes swaps them; undo swaps them back.
    void namesHeldByFilesOfTheRunAreSwappedOnYes_data() {
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QStringList>("marks");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("onDisk");  // name=content
        QTest::newRow("yes") << true << QStringList{"", "", "", "*"} << QStringList{Collisions(1)}
                             << QStringList{"a_b.txt=b_a.txt", "b_a.txt=a_b.txt", "d_c.txt=c_d.txt",
                                            "x_y.txt=x_y.txt", "y_x.txt=y_x.txt"};
        QTest::newRow("no: skipped and marked as before")
            << false << QStringList{"*", "*", "", "*"} << QStringList{Collisions(3)}
            << QStringList{"a_b.txt=a_b.txt", "b_a.txt=b_a.txt", "d_c.txt=c_d.txt", "x_y.txt=x_y.txt",
                           "y_x.txt=y_x.txt"};
    }
    void namesHeldByFilesOfTheRunAreSwappedOnYes() {
        QFETCH(bool, yes);
        QFETCH(QStringList, marks);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, onDisk);
        f->MakeFiles("f", {"a_b.txt", "b_a.txt", "c_d.txt", "x_y.txt", "y_x.txt"});
        f->Load({"f/a_b.txt", "f/b_a.txt", "f/c_d.txt", "f/x_y.txt"});
        f->Set({{"Edit6", R"(^(\w)_(\w)$)"}, {"Edit7", "$2_$1"}, {"CBRegex", true}});
        f->dialogs->yesNoAnswers = {yes};
        Go();
        QStringList asked;
        for (const auto& call : f->dialogs->calls) {
            if (call.kind == TRecordingDialogs::TKind::YesNo) asked << call.text;
        }
        QCOMPARE(asked, QStringList{Reorder(2)});
        QCOMPARE(f->Messages(), messages);
        QCOMPARE(f->Column(0), marks);
        const auto contents = [this] {
            QStringList all;
            for (const QString& name : f->OnDisk("f"))
                all << name + "=" + Content(name);
            return all;
        };
        QCOMPARE(contents(), onDisk);
        if (!yes) return;
        // One row of the swap cannot go back alone: its old name is held by the other file.
        f->Grid()->SetRow(1);
        f->window->N3Click();
        QCOMPARE(f->Messages().last(), QStringLiteral("同じファイル名が存在するため、処理できません"));
        QCOMPARE(contents(), onDisk);
        f->window->Undo1Click();
        QCOMPARE(contents(), QStringList({"a_b.txt=a_b.txt", "b_a.txt=b_a.txt", "c_d.txt=c_d.txt",
                                          "x_y.txt=x_y.txt", "y_x.txt=y_x.txt"}));
    }

    void init() { f = std::make_unique<TWindowFixture>(); }
    void cleanup() { f.reset(); }

    void refusalsChangeNothing_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("message");
        QTest::newRow("no target") << ""
                                   << "x" << QStringLiteral("入力項目が不足しています");
        QTest::newRow("star alone") << "*"
                                    << "x" << QStringLiteral("アスタリスク \"*\" の単独使用はできません。");
        QTest::newRow("question mark alone")
            << "?"
            << "x" << QStringLiteral("クエスチョンマーク \"?\" の単独使用はできません。");
        QTest::newRow("both wildcards, before two stars")
            << "a*?*"
            << "x" << QStringLiteral("アスタリスク\"*\"とクエスチョンマーク\"?\"の混在指定はできません。");
        QTest::newRow("two stars") << "a*b*"
                                   << "x" << QStringLiteral("アスタリスク \"*\" の複数使用はできません。");
        QTest::newRow("forbidden character in the replacement")
            << "a"
            << "x>y:" << QStringLiteral("置換文字にファイル名として使用できない文字 : が使われています。");
        // The same checks with a regular expression (rows named "regex").
        QTest::newRow("regex: no target") << ""
                                          << "x" << QStringLiteral("入力項目が不足しています");
        QTest::newRow("regex: a pattern the engine refuses")
            << "旅行(a"
            << "x/" << QStringLiteral("正規表現が正しくありません： 括弧の対応が取れていません（5文字目）");
        QTest::newRow("regex: a group the pattern lacks")
            << "(a)"
            << "${1}$2:" << QStringLiteral("置換文字列に存在しないグループ $2 が使われています。");
        QTest::newRow("regex: a forbidden character of the replacement's own")
            << "(?<n>a)"
            << "$n?" << QStringLiteral("置換文字にファイル名として使用できない文字 ? が使われています。");
    }
    void refusalsChangeNothing() {
        QFETCH(QString, target);
        QFETCH(QString, replacement);
        QFETCH(QString, message);
        f->MakeAndLoad({"a.txt", "b.txt"});
        f->Set({{"Edit6", target}, {"Edit7", replacement}});
        f->Set({{"CBRegex", QString::fromUtf8(QTest::currentDataTag()).startsWith("regex")}});
        Go();
        QCOMPARE(f->Messages(), QStringList{message});
        QCOMPARE(f->dialogs->calls.front().point, f->window->MessagePoint());
        QCOMPARE(f->OnDisk("f"), QStringList({"a.txt", "b.txt"}));
        QCOMPARE(f->Column(1), QStringList({"a.txt", "b.txt"}));
        QCOMPARE(f->Listed(), QStringList({"f/a.txt", "f/b.txt"}));
        QCOMPARE(f->FileCount(), QStringLiteral("2"));
        QVERIFY(f->Enabled("btGo"));
        QVERIFY(!f->Enabled("Undo1"));
    }

    void runs_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QVariantMap>("settings");
        QTest::addColumn<QStringList>("marks");     // column 0 of the narrowed table
        QTest::addColumn<QStringList>("oldNames");  // column 1
        QTest::addColumn<QStringList>("newNames");  // column 2
        QTest::addColumn<QStringList>("onDisk");
        QTest::addColumn<QStringList>("messages");
        const QVariantMap quiet = {{"cbDialog", false}};
        QTest::newRow("only the changed files, ignoring case")
            << QStringList{"DSC_1.jpg", "IMG_1.jpg", "img_2.JPG"}
            << QVariantMap{{"Edit6", "IMG_"}, {"Edit7", "P"}} << QStringList{"", ""}
            << QStringList{"IMG_1.jpg", "img_2.JPG"} << QStringList{"P1.jpg", "P2.JPG"}
            << QStringList{"DSC_1.jpg", "P1.jpg", "P2.JPG"} << QStringList{kDone};
        QTest::newRow("two new names coincide: the first is renamed")
            << QStringList{"a1.txt", "a2.txt", "b.txt"} << QVariantMap{{"Edit6", "a?"}, {"Edit7", "c"}}
            << QStringList{"", "*"} << QStringList{"a1.txt", "a2.txt"} << QStringList{"c.txt", "c.txt"}
            << QStringList{"a2.txt", "b.txt", "c.txt"} << QStringList{Collisions(1)};
        QTest::newRow("a change of case goes through")
            << QStringList{"a.txt", "b.txt"} << QVariantMap{{"Edit6", "a"}, {"Edit7", "A"}} << QStringList{""}
            << QStringList{"a.txt"} << QStringList{"A.txt"} << QStringList{"A.txt", "b.txt"}
            << QStringList{kDone};
        QTest::newRow("another file spelled in the new case blocks it")
            << QStringList{"A.txt", "a.txt"} << QVariantMap{{"Edit6", "a"}, {"Edit7", "A"}, {"CB10", true}}
            << QStringList{"*"} << QStringList{"a.txt"} << QStringList{"A.txt"}
            << QStringList{"A.txt", "a.txt"} << QStringList{Collisions(1)};
        QTest::newRow("a name freed by an earlier row is taken by a later one")
            << QStringList{"aa.txt", "aaa.txt"} << QVariantMap{{"Edit6", "a?"}, {"Edit7", "a"}}
            << QStringList{"", ""} << QStringList{"aa.txt", "aaa.txt"} << QStringList{"a.txt", "aa.txt"}
            << QStringList{"a.txt", "aa.txt"} << QStringList{kDone};
        // K.txt and k.txt both become R.txt; kkk.txt would need a name longer than 255 bytes.
        const QString r(120, QLatin1Char('x'));
        QTest::newRow("collisions reported before refused renames, whatever cbDialog")
            << QStringList{"K.txt", "k.txt", "kkk.txt"}
            << QVariantMap{{"Edit6", "k"}, {"Edit7", r}, {"cbDialog", false}} << QStringList{"", "*", "*"}
            << QStringList{"K.txt", "k.txt", "kkk.txt"}
            << QStringList{r + ".txt", r + ".txt", r + r + r + ".txt"}
            << QStringList{"k.txt", "kkk.txt", r + ".txt"} << QStringList{Collisions(1), Failures(1)};
        QTest::newRow("'.' is no name")
            << QStringList{"ab", "b"} << QVariantMap{{"Edit6", "b"}, {"Edit7", "."}, {"CB9", true}}
            << QStringList{"", "*"} << QStringList{"ab", "b"} << QStringList{"a.", "."}
            << QStringList{"a.", "b"} << QStringList{Failures(1)};
        QTest::newRow("without cbDialog a clean run says nothing")
            << QStringList{"x.txt"} << QVariantMap{{"Edit6", "x"}, {"Edit7", "y"}, {"cbDialog", false}}
            << QStringList{""} << QStringList{"x.txt"} << QStringList{"y.txt"} << QStringList{"y.txt"}
            << QStringList{};
        QTest::newRow("regex off: the target is plain text")
            << QStringList{"x(a).txt"} << QVariantMap{{"Edit6", "(a)"}, {"Edit7", "b"}} << QStringList{""}
            << QStringList{"x(a).txt"} << QStringList{"xb.txt"} << QStringList{"xb.txt"}
            << QStringList{kDone};
        QTest::newRow("regex on: groups")
            << QStringList{"20240501_旅行.jpg", "20240502_海.JPG", "memo.txt", "x(a).txt"}
            << QVariantMap{{"Edit6", R"((\d{4})(\d{2})(\d{2})|(a))"},
                           {"Edit7", "$1-$2-$3$4b"},
                           {"CBRegex", true}}
            << QStringList{"", "", ""} << QStringList{"20240501_旅行.jpg", "20240502_海.JPG", "x(a).txt"}
            << QStringList{"2024-05-01b_旅行.jpg", "2024-05-02b_海.JPG", "x(--ab).txt"}
            << QStringList{"2024-05-01b_旅行.jpg", "2024-05-02b_海.JPG", "memo.txt", "x(--ab).txt"}
            << QStringList{kDone};
        QTest::newRow("regex: a name replaced by nothing is marked, not tried")
            << QStringList{"abc.txt", "abd.txt"}
            << QVariantMap{{"Edit6", "^abc$|D"}, {"Edit7", ""}, {"CBRegex", true}} << QStringList{"*", ""}
            << QStringList{"abc.txt", "abd.txt"} << QStringList{".txt", "ab.txt"}
            << QStringList{"ab.txt", "abc.txt"} << QStringList{Failures(1)};
    }
    void runs() {
        QFETCH(QStringList, files);
        QFETCH(QVariantMap, settings);
        QFETCH(QStringList, marks);
        QFETCH(QStringList, oldNames);
        QFETCH(QStringList, newNames);
        QFETCH(QStringList, onDisk);
        QFETCH(QStringList, messages);
        f->MakeAndLoad(files);
        f->Set({{"CB1", true}});
        f->Set(settings);
        f->window->CaseRunFlag = true;
        Go();
        QCOMPARE(f->Messages(), messages);
        QCOMPARE(f->Column(0), marks);
        QCOMPARE(f->Column(1), oldNames);
        QCOMPARE(f->Column(2), newNames);
        QCOMPARE(f->OnDisk("f"), onDisk);
        // The lists hold what the table shows, and the renamed files their own content.
        QStringList listed;
        for (const QString& name : oldNames)
            listed << "f/" + name;
        QCOMPARE(f->Listed(), listed);
        QCOMPARE(NewListed(), newNames);
        for (qsizetype i = 0; i < oldNames.size(); ++i) {
            if (marks[i].isEmpty()) QCOMPARE(Content(newNames[i]), oldNames[i]);
        }
        QCOMPARE(f->FileCount(), QString::number(oldNames.size()));
        // The window records as renamed exactly the rows left unmarked.
        for (qsizetype i = 0; i < oldNames.size(); ++i)
            QCOMPARE(f->window->Pairs.Renamed(static_cast<std::size_t>(i)), marks[i].isEmpty());
        // The state after a run.
        QVERIFY(!f->window->CaseRunFlag);
        QVERIFY(!f->Enabled("btGo"));
        QVERIFY(!f->Enabled("N2"));
        QVERIFY(!f->Find<QCheckBox>(QStringLiteral("CB1"))->isChecked());
        for (const char* name : {"Undo1", "btret", "N3", "N22"})
            QVERIFY2(f->Enabled(name), name);
    }

    void renamesRefusedByAReadOnlyFolder() {
        f->MakeAndLoad({"a.txt", "b.txt", "c.doc"});
        // A read-only mount refuses root too, where a folder's mode would not.
        const auto mount = testsupport::Mount::Make(testsupport::Mount::Kind::kBind, f->dir / "f");
        if (!mount) QSKIP(testsupport::Mount::Why().c_str());
        QVERIFY(mount->SetReadOnly(true));
        f->Set({{"Edit6", "txt"}, {"Edit7", "md"}, {"CB9", true}});
        Go();
        QVERIFY(mount->SetReadOnly(false));
        QCOMPARE(f->Messages(), QStringList{Failures(2)});
        QCOMPARE(f->Column(0), QStringList({"*", "*"}));
        QCOMPARE(f->Column(2), QStringList({"a.md", "b.md"}));
        QCOMPARE(f->OnDisk("f"), QStringList({"a.txt", "b.txt", "c.doc"}));
        QVERIFY(!f->Enabled("btGo"));
    }

    void aRegexThatRunsAwayRenamesNothing() {
        // The first name matches quickly; the engine gives up on the second.
        f->MakeAndLoad({"aaa.txt", std::string(40, 'a').append("b.txt").c_str()});
        f->Set({{"Edit6", "(a+)+$"}, {"Edit7", "x"}, {"CBRegex", true}, {"CB10", true}});
        Go();
        // The pattern is valid: the name it runs away on is named.
        QCOMPARE(f->Messages(), QStringList{QStringLiteral("正規表現は正しく書かれていますが、ファイル ") +
                                            QString(40, 'a') +
                                            QStringLiteral("b.txt の名前では照合に時間がかかりすぎます。")});
        QCOMPARE(f->OnDisk("f").size(), 2);
        QVERIFY(f->OnDisk("f").contains("aaa.txt"));
        QCOMPARE(f->FileCount(), QStringLiteral("2"));
        QVERIFY(f->Enabled("btGo"));
        QVERIFY(!f->Enabled("Undo1"));
    }

    void nothingToDoEmptiesTheTable() {
        f->MakeAndLoad({"a.txt", "abc.txt", ".cfg"});
        // 'abc' would become empty, 'cfg' is an extension only, 'a.txt' has no 'c' before its dot.
        f->Set({{"Edit6", "*c"}, {"Edit7", ""}});
        Go();
        QCOMPARE(f->Messages(), QStringList{kNothingToDo});
        QCOMPARE(f->Grid()->RowCount(), 2);
        QCOMPARE(f->Column(1), QStringList({""}));
        QVERIFY(f->window->Pairs.Empty());
        QVERIFY(f->window->Pairs.NewPaths().empty());
        QCOMPARE(f->FileCount(), QStringLiteral("0"));
        QCOMPARE(f->OnDisk("f"), QStringList({".cfg", "a.txt", "abc.txt"}));
        QVERIFY(!f->Enabled("Undo1"));
        // The histories take the texts all the same.
        QCOMPARE(f->Find<QComboBox>(QStringLiteral("Edit6"))->itemText(0), QStringLiteral("*c"));
    }
};

QUORBEL_QTEST_MAIN(StringRunTest)
#include "StringRun_test.moc"
