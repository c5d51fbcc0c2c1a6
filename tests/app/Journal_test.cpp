// The run journal through the window: every command is journaled and refused when its journal
// cannot be written; a command a killed program left unfinished is offered back at the next start;
// the history of changes lists the kept commands and undoes one after a restart.
#include <QPushButton>
#include <QTreeWidget>
#include <QVariantMap>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "WindowFixture.h"
#include "app/JournalDlg.h"
#include "core/journal/RunJournalRecord.h"
#include "core/journal/RunJournalStore.h"
#include "core/run/RenameExecutor.h"
#include "support/KillAtStep.h"
#include "support/Mounts.h"
#include "support/QtTestMain.h"

namespace {

using testsupport::Mount;
using testsupport::TempDir;

QString Refusal(const QString& reason) {
    return QStringLiteral("変更履歴を書き込めないため、処理を中止しました。（") + reason +
           QStringLiteral("）");
}

void RunPage(TWindowFixture& f, const char* page, const QVariantMap& settings) {
    f.ShowPage(page);
    f.Set(settings);
    f.window->btGoClick();
}

void RunSequential(TWindowFixture& f) {
    RunPage(f, "TabSheet1", {{"edit2", "R"}, {"edit3", "1"}});
}

// A command of the window over the files of folder f; afterRun: it follows a sequential run.
struct Command {
    RunJournal::Kind kind;
    QStringList files;
    bool afterRun;
    std::function<void(TWindowFixture& f)> run;
};

std::vector<std::pair<const char*, Command>> Commands() {
    const QStringList abc = {"a.txt", "b.txt", "c.txt"};
    return {
        {"sequential", {RunJournal::Kind::kSequential, abc, false, RunSequential}},
        {"string",
         {RunJournal::Kind::kString, abc, false,
          [](TWindowFixture& w) {
              RunPage(w, "TabSheet2", {{"Edit6", "a"}, {"Edit7", "x"}});
          }}},
        {"case",
         {RunJournal::Kind::kCaseWidth,
          {"B.TXT", "a.txt"},
          false,
          [](TWindowFixture& w) {
              RunPage(w, "TabSheet3", {{"CB11", true}});
          }}},
        {"digits",
         {RunJournal::Kind::kDigit,
          {"a1.txt", "a10.txt"},
          false,
          [](TWindowFixture& w) {
              RunPage(w, "TabSheet3", {{"CB7", true}});
          }}},
        {"undo", {RunJournal::Kind::kUndo, abc, true, [](TWindowFixture& w) { w.window->Undo1Click(); }}},
        {"revert one row",
         {RunJournal::Kind::kRevert, abc, true,
          [](TWindowFixture& w) {
              w.Grid()->SetRow(2);
              w.window->N3Click();
          }}},
        {"revert marked rows",
         {RunJournal::Kind::kRevert, abc, true,
          [](TWindowFixture& w) {
              w.Grid()->SetCells(0, 1, QStringLiteral("V"));
              w.Grid()->SetCells(0, 3, QStringLiteral("V"));
              w.window->N22Click();
          }}},
        {"move",
         {RunJournal::Kind::kMove, abc, true, [](TWindowFixture& w) { w.window->MoveAfterRename(); }}},
    };
}

}  // namespace

class JournalTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TWindowFixture> f;

    std::string Journals() const { return f->dir / "journal"; }
    QTreeWidget* HistoryList() const { return f->window->JournalDialog()->List(); }
    QStringList HistoryRow(int row) const {
        QStringList texts;
        for (int col = 0; col < HistoryList()->columnCount(); ++col)
            texts << HistoryList()->topLevelItem(row)->text(col);
        return texts;
    }
    // A fresh window on the same folders, as at the next start.
    void Restart() {
        auto recorder = std::make_unique<TRecordingDialogs>();
        f->dialogs = recorder.get();
        f->window = std::make_unique<TFmMein>(f->dir / "quorbel.ini", Journals(), std::move(recorder));
    }
    void LoadFiles(const QStringList& files) {
        f->MakeFiles("f", files);
        f->Load({"f"});
    }
    // count files of folder, "p<i>.jpg", renamed to "写真<i>.jpg" by a run killed after killAt.
    QStringList KilledRun(const std::string& folder, int count, std::size_t killAt) {
        QStringList names;
        std::vector<std::string> from;
        std::vector<std::string> to;
        for (int i = 0; i < count; ++i) {
            names << QStringLiteral("p%1.jpg").arg(i);
            from.push_back(f->Path(folder + "/" + names.back().toStdString()));
            to.push_back(f->Path(folder + "/写真" + std::to_string(i) + ".jpg"));
        }
        f->MakeFiles(folder, names);
        std::vector<Platform::EntryId> ids;
        for (const std::string& path : from)
            ids.push_back(Platform::LookAt(Cp932::ToUtf8(path).value())->id);
        const bool killed = testsupport::KilledInChild([&] {
            testsupport::KillBefore kill(killAt);
            RunJournal::Record record(Journals(), RunJournal::Kind::kSequential);
            RenameExecutor::ExecuteCheckedRenames(from, to, ids, RenameExecutor::Order::FirstToLast, &kill,
                                                  &record);
        });
        if (!killed) QTest::qFail("the run was not killed", __FILE__, __LINE__);
        return names;
    }
    static QString Question(int files, int done) {
        return QStringLiteral(
                   "前回の名前の変更は完了していません（%1個のうち%2個を変更済み）。\r\n"
                   "変更済みのファイルを元の名前に戻しますか？")
            .arg(files)
            .arg(done);
    }

private slots:
    void init() { f = std::make_unique<TWindowFixture>(); }
    void cleanup() { f.reset(); }

    // Each command leaves its journal, closed; with the journal folder full or read-only it is
    // refused with the reason before anything is renamed or moved.
    void everyCommandIsJournaledOrRefused() {
        for (const auto& [name, command] : Commands()) {
            for (const char* state : {"writable", "full", "read-only"}) {
                const std::string what = std::string(name) + ", " + state;
                f = std::make_unique<TWindowFixture>();
                LoadFiles(command.files);
                const std::string journals = f->dir.MakeDir("journal");
                const std::string destination = f->dir.MakeDir("dest");
                if (command.kind == RunJournal::Kind::kMove) {
                    f->window->mnMoveOnClick();
                    f->dialogs->folderAnswers.emplace_back(f->QtPath("dest"));
                    f->window->mnMoveFolderClick();
                    f->window->mnMoveOnClick();  // off for the run: the move is the command
                }
                if (command.afterRun) RunSequential(*f);
                const bool full = std::string(state) == "full";
                std::unique_ptr<Mount> mount;
                if (std::string(state) != "writable") {
                    mount = Mount::Make(full ? Mount::Kind::kTmpfs : Mount::Kind::kBind, journals, 64 << 10);
                    if (!mount) QSKIP(Mount::Why().c_str());
                    QVERIFY2(full ? mount->Fill() : mount->SetReadOnly(true), what.c_str());
                }
                const QStringList before = f->OnDisk("f");
                f->dialogs->calls.clear();

                command.run(*f);
                if (mount) {
                    const QString reason = full ? QStringLiteral("ディスクの空き容量が不足しています")
                                                : QStringLiteral("書き込み禁止のドライブです");
                    QVERIFY2(f->Messages() == QStringList{Refusal(reason)}, what.c_str());
                    QVERIFY2(f->OnDisk("f") == before, what.c_str());
                    QVERIFY2(TempDir::Names(destination).empty(), what.c_str());
                } else {
                    QVERIFY2(f->OnDisk("f") != before || !TempDir::Names(destination).empty(), what.c_str());
                    const RunJournal::Listing listing = RunJournal::Store(journals).List();
                    QVERIFY2(!listing.commands.empty(), what.c_str());
                    QVERIFY2(listing.commands.front().header.kind == command.kind, what.c_str());
                    QVERIFY2(listing.commands.front().state == RunJournal::State::kCompleted, what.c_str());
                    if (command.afterRun && command.kind != RunJournal::Kind::kMove) {
                        // An undo and a revert name the run they take back.
                        QVERIFY2(listing.commands.front().header.target == listing.commands[1].header.id,
                                 what.c_str());
                    }
                }
            }
        }
    }

    // A run killed after its third file: at the next start the question counts the files on disk;
    // yes puts every file back, no keeps the run in the history as interrupted.
    void aKilledRunIsOfferedBackAtTheNextStart() {
        for (const bool yes : {true, false}) {
            f = std::make_unique<TWindowFixture>();
            const QStringList names = KilledRun("f", 5, 3);

            Restart();
            f->dialogs->yesNoAnswers = {yes};
            f->window->RecoverInterrupted();
            QCOMPARE(f->dialogs->calls[0].kind, TRecordingDialogs::TKind::YesNo);
            QCOMPARE(f->Messages(), yes ? QStringList{QStringLiteral("処理が終了しました")} : QStringList{});
            QCOMPARE(f->dialogs->calls[0].text, Question(5, 3));
            if (yes) {
                QCOMPARE(f->OnDisk("f"), names);
                for (const QString& name : names)
                    QCOMPARE(QString::fromStdString(TempDir::ReadFile(f->dir / ("f/" + name.toStdString()))),
                             name);
            } else {
                QCOMPARE(f->OnDisk("f").size(), 5);
                QVERIFY(!f->OnDisk("f").contains(QStringLiteral("p0.jpg")));
                f->window->mnJournalClick();
                QCOMPARE(HistoryList()->topLevelItemCount(), 1);
                QCOMPARE(HistoryRow(0).mid(1), (QStringList{"連番", f->QtPath("f"), "5", "中断"}));
            }
            // Asked once: the command is closed either way.
            f->dialogs->calls.clear();
            f->window->RecoverInterrupted();
            QVERIFY(f->dialogs->calls.empty());
        }
    }

    // Two runs killed in two folders, then a hundred commands completed: both are kept and offered,
    // the newer first.
    void everyKilledRunIsOfferedNewestFirst() {
        const QStringList older = KilledRun("f", 5, 3);
        const QStringList newer = KilledRun("g", 3, 1);
        for (std::size_t i = 0; i < RunJournal::kKeptCommands; ++i) {
            RunJournal::Writer writer(Journals());
            QVERIFY(!writer.Begin(RunJournal::Kind::kDigit, "/w", {{"/w/a", "/w/b", {}}}));
            QVERIFY(!writer.Close({RunJournal::Outcome::kDone}));
        }
        Restart();
        f->dialogs->yesNoAnswers = {true, true};
        f->window->RecoverInterrupted();
        QCOMPARE(f->dialogs->calls.size(), 4);  // each question and its end
        QCOMPARE(f->dialogs->calls[0].text, Question(3, 1));
        QCOMPARE(f->dialogs->calls[2].text, Question(5, 3));
        QCOMPARE(f->OnDisk("f"), older);
        QCOMPARE(f->OnDisk("g"), newer);
    }

    // A planned run killed while a file of its ring stands under its temporary name: the question
    // counts the files at their new names, and yes brings every file home.
    void aPlannedRunKilledInsideACycleIsOfferedBack() {
        const QStringList names = {"p.jpg", "q.jpg", "r.jpg"};
        f->MakeFiles("f", names);
        std::vector<std::string> from;
        std::vector<std::string> to;
        std::vector<Platform::EntryId> ids;
        for (qsizetype i = 0; i < names.size(); ++i) {
            from.push_back(f->Path("f/" + names[i].toStdString()));
            to.push_back(f->Path("f/" + names[(i + 1) % names.size()].toStdString()));
            ids.push_back(Platform::LookAt(f->dir / ("f/" + names[i].toStdString()))->id);
        }
        const RenamePlanner::Plan plan = RenameExecutor::PlanOnDisk(from, to, RenameExecutor::RunId());
        QCOMPARE(plan.steps.size(), 4u);  // one aside, two renames, one home
        QVERIFY(testsupport::KilledInChild([&] {
            testsupport::KillBeforePlanStep(3);
            RunJournal::Record record(Journals(), RunJournal::Kind::kSequential);
            RenameExecutor::ExecutePlan(from, to, plan, RenameExecutor::Look::kNone, nullptr, &ids, &record);
        }));
        QVERIFY(f->OnDisk("f").front().startsWith(QStringLiteral(".quorbel-")));

        Restart();
        f->dialogs->yesNoAnswers = {true};
        f->window->RecoverInterrupted();
        QCOMPARE(f->dialogs->calls[0].text, Question(3, 2));
        QCOMPARE(f->Messages(), QStringList{QStringLiteral("処理が終了しました")});
        QCOMPARE(f->OnDisk("f"), names);
        for (const QString& name : names)
            QCOMPARE(QString::fromStdString(TempDir::ReadFile(f->dir / ("f/" + name.toStdString()))), name);
    }

    // After a restart the history undoes a run, each file checked by identity: a file saved under a
    // new name since is someone else's and stays; the undo is journaled, and undoing twice is refused.
    void theHistoryUndoesARunAfterARestart() {
        LoadFiles({"a.txt", "b.txt", "c.txt"});
        RunSequential(*f);
        QCOMPARE(f->OnDisk("f"), (QStringList{"R1.txt", "R2.txt", "R3.txt"}));
        std::filesystem::rename(f->dir / "f/R2.txt", f->dir / "b-elsewhere.txt");
        f->dir.MakeFile("f/R2.txt", "someone else's");

        Restart();
        f->window->mnJournalClick();
        TJournalDlg* dialog = f->window->JournalDialog();
        QVERIFY(dialog->isVisible());
        QCOMPARE(HistoryList()->topLevelItemCount(), 1);
        QCOMPARE(HistoryRow(0).mid(1), (QStringList{"連番", f->QtPath("f"), "3", "完了"}));
        QVERIFY(!dialog->UndoButton()->isEnabled());
        HistoryList()->setCurrentItem(HistoryList()->topLevelItem(0));
        QVERIFY(dialog->UndoButton()->isEnabled());

        f->dialogs->yesNoAnswers = {true};
        dialog->UndoButton()->click();
        QCOMPARE(f->dialogs->calls.front().text,
                 QStringLiteral("移動または削除による不足ファイルがありますが、\r\n\r\n"
                                "残っているファイルを元に戻しますか？"));
        QCOMPARE(f->OnDisk("f"), (QStringList{"R2.txt", "a.txt", "c.txt"}));
        QCOMPARE(QString::fromStdString(TempDir::ReadFile(f->dir / "f/R2.txt")),
                 QStringLiteral("someone else's"));
        QCOMPARE(QString::fromStdString(TempDir::ReadFile(f->dir / "f/a.txt")), QStringLiteral("a.txt"));

        // The undo is listed above the run, which is undone now.
        QCOMPARE(HistoryList()->topLevelItemCount(), 2);
        QCOMPARE(HistoryRow(0).mid(1), (QStringList{"元に戻す", f->QtPath("f"), "2", "完了"}));
        QCOMPARE(HistoryRow(1).mid(1), (QStringList{"連番", f->QtPath("f"), "3", "元に戻し済み"}));
        HistoryList()->setCurrentItem(HistoryList()->topLevelItem(1));
        QVERIFY(!dialog->UndoButton()->isEnabled());
        f->dialogs->calls.clear();
        f->window->UndoJournaled(RunJournal::Store(Journals()).List().commands[1].header.id);
        QCOMPARE(f->Messages(), QStringList{QStringLiteral("この処理は既に元に戻されています。")});
        QCOMPARE(f->OnDisk("f"), (QStringList{"R2.txt", "a.txt", "c.txt"}));
    }

    // The command line keeps its history where the window does: the history lists its run and
    // undoes it, and the command line undoes the window's.
    void theCommandLineAndTheWindowUndoEachOthersRuns() {
        const std::string state = f->dir / "state";
        auto recorder = std::make_unique<TRecordingDialogs>();
        f->dialogs = recorder.get();
        f->window = std::make_unique<TFmMein>(f->dir / "quorbel.ini", state + "/quorbel/journal",
                                              std::move(recorder));
        const auto cli = [&](const std::string& args) {
            const std::string line =
                "XDG_STATE_HOME='" + state + "' '" QUORBEL_CLI "' " + args + " >/dev/null";
            return std::system(line.c_str());
        };
        f->MakeFiles("f", {"a.txt", "b.txt"});
        QCOMPARE(cli("seq --lead R --start 1 --apply '" + std::string(f->dir / "f") + "'"), 0);
        QCOMPARE(f->OnDisk("f"), (QStringList{"R1.txt", "R2.txt"}));
        f->window->mnJournalClick();
        QCOMPARE(HistoryList()->topLevelItemCount(), 1);
        QCOMPARE(HistoryRow(0).mid(1), (QStringList{"連番", f->QtPath("f"), "2", "完了"}));
        HistoryList()->setCurrentItem(HistoryList()->topLevelItem(0));
        f->window->JournalDialog()->UndoButton()->click();
        QCOMPARE(f->OnDisk("f"), (QStringList{"a.txt", "b.txt"}));

        f->Load({"f"});
        RunSequential(*f);
        QCOMPARE(f->OnDisk("f"), (QStringList{"R1.txt", "R2.txt"}));
        QCOMPARE(cli("undo --apply"), 0);
        QCOMPARE(f->OnDisk("f"), (QStringList{"a.txt", "b.txt"}));
    }

    // Undo after a run keeps its ways and marks the run undone in the history.
    void undoAfterARunMarksItUndone() {
        LoadFiles({"a.txt", "b.txt"});
        RunSequential(*f);
        f->window->Undo1Click();
        QCOMPARE(f->OnDisk("f"), (QStringList{"a.txt", "b.txt"}));
        f->window->mnJournalClick();
        QCOMPARE(HistoryRow(0)[1], QStringLiteral("元に戻す"));
        QCOMPARE(HistoryRow(1)[4], QStringLiteral("元に戻し済み"));
    }
};

QUORBEL_QTEST_MAIN(JournalTest)
#include "Journal_test.moc"
