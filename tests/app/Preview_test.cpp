// The preview of the coming names in the window: column 2 and its looks before 開始, what 開始 then
// does, the refusals told in the panel with the run's own text, the switch and its setting, and the
// preview resting after a run.
#include <QCheckBox>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QToolButton>
#include <QVariantMap>
#include <atomic>
#include <condition_variable>
#include <mutex>

#include "WindowFixture.h"
#include "app/WindowSettings.h"
#include "core/run/RunControl.h"
#include "core/settings/IniFile.h"
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

        // Names no file can have are counted as the failures 開始 then reports.
        Preview({{"CBRegex", true}, {"Edit6", "^.*$"}, {"Edit7", ""}});
        QCOMPARE(PanelText(), QStringLiteral("変更 0件 ／ 重複 0件 ／ 失敗 3件"));
    }

    // While a newer preview is on its way, the names shown are grey and say nothing of collisions,
    // and the panel says it computes.
    void MarksAnOutOfDateResult() {
        f->MakeAndLoad({"a1.txt", "b1.txt"});
        f->ShowPage("TabSheet2");
        Preview({{"Edit6", "a"}, {"Edit7", "b"}});
        QVERIFY(Look(1).background.isValid());
        f->window->Preview().pause = std::chrono::hours(1);
        f->Set({{"Edit7", "c"}});
        QCOMPARE(Look(1).text, f->window->palette().color(QPalette::Disabled, QPalette::Text));
        QVERIFY(!Look(1).background.isValid() && Tip(1).isEmpty());
        QCOMPARE(PanelText(), QStringLiteral("計算中…"));
        f->window->Preview().pause = std::chrono::milliseconds(0);
        Preview({{"Edit7", "d"}});
        QCOMPARE(Look(1).text, Link());
        QCOMPARE(PanelText(), QStringLiteral("変更 1件 ／ 重複 0件"));
    }

    // A new list with its inputs still empty is greeted by no refusal, until an input changes.
    void NoRefusalBeforeTheFirstInput() {
        f->MakeAndLoad({"a.txt"});
        QTRY_VERIFY(f->window->Preview().Finished() > 0);
        QVERIFY(PanelText().isEmpty());
        Preview({{"edit2", "x"}});
        QCOMPARE(PanelText(), QStringLiteral("入力項目が不足しているか、または不正値が入力されています"));
    }

    // A step of the computation apart from the lists (a match that runs up to the engine's limit)
    // holds up neither the preview switched off or a run (both halt it) nor the window closing.
    void NoOneWaitsForAStepApart() {
        struct Gate {
            std::mutex mutex;
            std::condition_variable opened;
            bool open = false;
            std::atomic<bool> inside{false};
            std::atomic<bool> done{false};
        };
        auto gate = std::make_shared<Gate>();
        const auto compute = [gate](const std::vector<std::string>&, const RenamePreview::Inputs&,
                                    const std::vector<std::int64_t>*, RunControl* control,
                                    const MyFileOperation::FolderListings*) {
            RenamePreview::Result result;
            result.stopped = !Apart(control, [&gate] {
                gate->inside = true;
                std::unique_lock lock(gate->mutex);
                gate->opened.wait_for(lock, std::chrono::seconds(10), [&gate] { return gate->open; });
            });
            gate->done = true;
            return result;
        };
        const std::vector<std::string> paths = {"a"};
        auto preview = std::make_unique<PreviewController>(
            [&paths] {
                return std::optional(PreviewController::Job{&paths, RenamePreview::NoRun{}});
            },
            nullptr, compute);
        preview->pause = std::chrono::milliseconds(0);
        preview->Schedule();
        QTRY_VERIFY(gate->inside);
        preview->Halt();
        QVERIFY(!gate->done);
        preview->Schedule();
        preview.reset();
        QVERIFY(!gate->done);
        {
            const std::lock_guard lock(gate->mutex);
            gate->open = true;
        }
        gate->opened.notify_all();
        QTRY_VERIFY(gate->done);
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
        QTest::newRow("pattern") << "TabSheet2" << QVariantMap{{"CBRegex", true}, {"Edit6", "a("}}
                                 << QStringLiteral(
                                        "正規表現が正しくありません： 括弧の対応が取れていません（3文字目）");
        const QString nothing = QStringLiteral(
            "対象のファイルがないか、変換結果が不正になるため、変換できません\r\n\r\n"
            "対象文字が見つからないか、変換を行うと空白のファイル名ができる可能性があります。");
        QTest::newRow("no match") << "TabSheet2" << QVariantMap{{"Edit6", "zzz"}} << nothing;
        QTest::newRow("no name left")
            << "TabSheet2" << QVariantMap{{"Edit6", "a*"}, {"Edit7", ""}} << nothing;
        QTest::newRow("no digits to align") << "TabSheet3" << QVariantMap{{"CB7", true}}
                                            << QStringLiteral("桁揃え可能なファイルはありません");
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
        // The panel holds the first line, its tip the whole message.
        QTRY_COMPARE(PanelText(), message.section(QLatin1Char('\r'), 0, 0));
        QCOMPARE(Panel()->toolTip(), QString(message).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
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
        QVERIFY(f->window->SettingsFile().Write());
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
