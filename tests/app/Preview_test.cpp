// The preview of the coming names in the window: column 2 and its looks before 開始, what 開始 then
// does, the refusals told in the panel with the run's own text, the switch and its setting, and the
// preview resting after a run.
#include <QCheckBox>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QToolButton>
#include <QVariantMap>

#include "WindowFixture.h"
#include "core/IniFile.h"
#include "support/QtTestMain.h"

namespace {

const QString kTaken = QStringLiteral("同じ名前のファイルがあるため、変更されません");

}  // namespace

class PreviewTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TWindowFixture> f;

    // Sets the controls and waits until the preview of the settings is shown.
    void Preview(const QVariantMap& settings) {
        const std::uint64_t before = f->window->Preview().Finished();
        f->Set(settings);
        QTRY_VERIFY(f->window->Preview().Finished() > before);
    }
    QLabel* Panel() const { return f->Find<QLabel>(QStringLiteral("StatusBar1Preview")); }
    QString PanelText() const { return Panel()->isVisible() ? Panel()->text() : QString(); }
    TStringGridEx::TCellLook Look(int row) const { return f->Grid()->CellLook(2, row); }
    QString Tip(int row) const {
        QAbstractItemModel* model = f->Grid()->model();
        return model->data(model->index(row - 1, 1), Qt::ToolTipRole).toString();
    }
    QColor Link() const { return f->window->palette().color(QPalette::Link); }

private slots:
    void init() {
        f = std::make_unique<TWindowFixture>();
        f->window->Preview().pause = std::chrono::milliseconds(0);
        f->window->show();
    }
    void cleanup() { f.reset(); }

    // A string rename: the coming name in the link colour, a name another file holds in red with
    // its tip, an unchanged row blank; the panel counts them; 開始 then does exactly that.
    void ShowsWhatTheRunDoes() {
        f->MakeAndLoad({"a1.txt", "a2.txt", "b1.txt"});
        f->ShowPage("TabSheet2");
        Preview({{"Edit6", "a"}, {"Edit7", "b"}});
        // The taken name shows too, on red.
        QCOMPARE(f->Column(2), QStringList({"b1.txt", "b2.txt", ""}));
        QCOMPARE(f->Column(1), QStringList({"a1.txt", "a2.txt", "b1.txt"}));
        QCOMPARE(Look(2).text, Link());
        QVERIFY(Look(1).background.isValid());
        QCOMPARE(Tip(1), kTaken);
        QVERIFY(Tip(2).isEmpty() && Tip(3).isEmpty());
        QCOMPARE(PanelText(), QStringLiteral("変更 1件 ／ 重複 1件"));

        f->window->btGoClick();
        QCOMPARE(f->Column(0), QStringList({"*", ""}));  // the table keeps the two planned files
        QCOMPARE(f->OnDisk("f"), QStringList({"a1.txt", "b1.txt", "b2.txt"}));

        // Real results now: not in the link colour, and the preview rests.
        QCOMPARE(f->Column(2), QStringList({"b1.txt", "b2.txt"}));
        QVERIFY(!Look(2).text.isValid());
        QVERIFY(PanelText().isEmpty());
        f->Set({{"Edit7", "c"}});
        QTest::qWait(50);
        QCOMPARE(f->Column(2), QStringList({"b1.txt", "b2.txt"}));
        QVERIFY(f->window->Preview().Shown() == nullptr);

        // Until the next load.
        f->Load({"f"});
        QTRY_COMPARE(f->Column(2), QStringList({"c1.txt", "", ""}));
        QCOMPARE(PanelText(), QStringLiteral("変更 1件 ／ 重複 0件"));
    }

    // The panel tells each refusal with the text the run's message box then shows, and no row
    // shows a name, except the rows whose taken names refuse a sequential run.
    void RefusalsAsTheRunTellsThem_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QVariantMap>("settings");
        QTest::addColumn<QString>("message");
        QTest::newRow("sequential inputs")
            << "TabSheet1" << QVariantMap{{"edit3", "x"}}
            << QStringLiteral("入力項目が不足しているか、または不正値が入力されています");
        QTest::newRow("forbidden fixed text")
            << "TabSheet1" << QVariantMap{{"edit2", "a:"}, {"edit3", "1"}}
            << QStringLiteral("固定文字にファイル名として使用できない文字 : が使われています。");
        // b1.txt's new name is held by b2.txt, outside the list: no order frees a.txt's.
        QTest::newRow("taken") << "TabSheet1"
                               << QVariantMap{{"edit2", "b"}, {"CB2", false}, {"edit3", "1"}, {"edit8", ""}}
                               << QStringLiteral("同名ファイルができるので、リネームは実施できません。");
        QTest::newRow("empty target")
            << "TabSheet2" << QVariantMap{{"Edit6", ""}} << QStringLiteral("入力項目が不足しています");
        QTest::newRow("star alone") << "TabSheet2" << QVariantMap{{"Edit6", "*"}}
                                    << QStringLiteral("アスタリスク \"*\" の単独使用はできません。");
        QTest::newRow("forbidden replacement")
            << "TabSheet2" << QVariantMap{{"Edit6", "a"}, {"Edit7", "|"}}
            << QStringLiteral("置換文字にファイル名として使用できない文字 | が使われています。");
        QTest::newRow("missing group")
            << "TabSheet2" << QVariantMap{{"CBRegex", true}, {"Edit6", "a"}, {"Edit7", "$3"}}
            << QStringLiteral("置換文字列に存在しないグループ $3 が使われています。");
        QTest::newRow("settings page") << "TabSheet4" << QVariantMap{}
                                       << QStringLiteral("「動作設定」ページからのリネームは行えません。");
    }
    void RefusalsAsTheRunTellsThem() {
        QFETCH(QString, page);
        QFETCH(QVariantMap, settings);
        QFETCH(QString, message);
        f->MakeAndLoad({"a.txt", "b1.txt"});
        if (QTest::currentDataTag() == QByteArray("taken")) f->MakeFiles("f", {"b2.txt"});
        f->ShowPage(page.toLatin1().constData());
        // The settings page has no inputs: its preview comes with the page.
        const std::uint64_t before = f->window->Preview().Finished();
        f->Set(settings);
        QTRY_VERIFY(f->window->Preview().Finished() > before);
        QTRY_COMPARE(PanelText(), message);
        if (QTest::currentDataTag() == QByteArray("taken")) {
            QCOMPARE(f->Column(2), QStringList({"b1.txt", "b2.txt"}));
            QCOMPARE(Tip(1), kTaken);
            QCOMPARE(Tip(2), kTaken);
        } else {
            QCOMPARE(f->Column(2), QStringList({"", ""}));
        }
        f->window->btGoClick();
        QVERIFY(!f->Messages().isEmpty());
        QCOMPARE(f->Messages().front(), message);
        QCOMPARE(f->OnDisk("f").mid(0, 2), QStringList({"a.txt", "b1.txt"}));
    }

    // cbPreview and the tool button go together; off, column 2 and the panel stay as they were
    // without a preview; the setting is kept in the settings file.
    void Switch() {
        auto* box = f->Find<QCheckBox>(QStringLiteral("cbPreview"));
        auto* button = f->Find<QToolButton>(QStringLiteral("btPreview"));
        QVERIFY(box->isChecked() && button->isChecked());
        f->MakeAndLoad({"a1.txt"});
        f->ShowPage("TabSheet2");
        Preview({{"Edit6", "a"}, {"Edit7", "b"}});
        QCOMPARE(f->Column(2), QStringList({"b1.txt"}));

        button->click();
        QVERIFY(!box->isChecked() && !button->isChecked());
        QCOMPARE(f->Column(2), QStringList({""}));
        QVERIFY(PanelText().isEmpty());
        f->Set({{"Edit7", "c"}});
        QTest::qWait(50);
        QCOMPARE(f->Column(2), QStringList({""}));

        box->setChecked(true);
        QVERIFY(button->isChecked());
        QTRY_COMPARE(f->Column(2), QStringList({"c1.txt"}));
        box->setChecked(false);
        QVERIFY(f->window->WriteSettings());
        QVERIFY(!TIniFile(f->dir / "quorbel.ini").ReadBool("Preview", "On", true));

        // Read back at the next start.
        f->window.reset();
        auto recorder = std::make_unique<TRecordingDialogs>();
        f->dialogs = recorder.get();
        f->window =
            std::make_unique<TFmMein>(f->dir / "quorbel.ini", f->dir / "journal", std::move(recorder));
        QVERIFY(!f->Find<QCheckBox>(QStringLiteral("cbPreview"))->isChecked());
        QVERIFY(!f->Find<QToolButton>(QStringLiteral("btPreview"))->isChecked());
    }
};

QUORBEL_QTEST_MAIN(PreviewTest)
#include "Preview_test.moc"
