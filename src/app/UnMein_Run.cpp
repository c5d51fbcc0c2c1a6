// The Go button: dispatch by the page that is showing, and the sequential run from the checks of
// its inputs to the state after the renames.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <algorithm>
#include <utility>

#include "app/BusyRunner.h"
#include "app/QtText.h"
#include "app/RadioGroup.h"
#include "app/RunMessages.h"
#include "app/UnMein.h"
#include "components/MyStringGrid.h"
#include "components/SwMsg.h"
#include "core/journal/RunJournalRecord.h"
#include "core/names/SequentialNames.h"
#include "core/run/RenameExecutor.h"
#include "core/run/SourcesAhead.h"
#include "core/run/UndoRevert.h"

using QtText::ToQt;

namespace {

constexpr int kStringHistoryLimit = 10;
// What a journal made ready ahead is given for the files' identities, which it takes at Begin.
const std::vector<Platform::EntryId> kIdsLater;

const QString kSequentialReorder = QStringLiteral(
    "同名ファイルができるので、このままではリネームは実施できません。\r\n"
    "ただし、重なる名前はすべてこの一覧のファイルのものです。\r\n"
    "順序を入れ替えて変更しますか？");

const QString kBatchReorder = QStringLiteral(
    "個のファイルは、この一覧の他のファイルの現在の名前と重なります。\r\n"
    "順序を入れ替えて変更しますか？\r\n"
    "（「いいえ」の場合、これらのファイルは変更されず \"*\" マークが付けられます）");

}  // namespace

void TFmMein::btGoClick() {
    // A run refused before it renamed anything leaves 開始, and with it the preview, waiting.
    const PreviewAfterwards reschedule{this};
    QWidget* page = PageControl1->currentWidget();
    if (page == TabSheet4) {
        Message(RunMessages::SettingsPage());
        return;
    }
    CaseRunFlag = false;
    if (page == TabSheet2) {
        RunStringRename();  // the histories follow whatever its outcome
        AddToLimitedHistory(Edit6, kStringHistoryLimit);
        AddToLimitedHistory(Edit7, kStringHistoryLimit);
    } else if (page == TabSheet3) {
        // Digit alignment wins when both are checked; with neither, Go does nothing here.
        if (CB7->isChecked()) {
            RunDigitAlignment();
        } else if (CB11->isChecked()) {
            RunCaseConversion();
        }
    } else if (page == TabSheet1) {
        // A cancel stops the command: the files renamed so far stay, to be taken back.
        const bool cancelled = !RunSequentialRename();
        if (mnMoveOn->isChecked() && !cancelled) {
            MoveAfterRename();
            // Moved files cannot be renamed back where they were.
            Undo1->setEnabled(false);
            btret->setEnabled(false);
        }
        // Also after a refused run, so a refused text is there to pick and correct.
        AddToHistory(edit2);
        AddToHistory(edit8);
    }
}

bool TFmMein::RunSequentialRename() {
    // 1, 2. The inputs, and the texts that go into every name as they stand.
    const std::optional<SequentialNames::Options> options = ReadSequentialOptions();
    const SequentialNames::RunCheck check =
        options ? SequentialNames::CheckRun(*options)
                : SequentialNames::RunCheck{SequentialNames::RunCheck::Refusal::kInputs, {}};
    if (check.refusal != SequentialNames::RunCheck::Refusal::kNone) {
        Message(RunMessages::SequentialRefusal(check));
        return true;
    }

    // The dates taken, once per list, when they go into the names.
    const bool datesTaken = options->addDate && options->dateTaken;
    if (datesTaken && !ReadDatesTaken()) return false;

    // 3-5 on the busy runner's thread: the new names, refused as a whole when a file is missing or
    // a name is taken, then the renames. The composition has just seen every listed file, so they
    // are not looked at again; a name taken since is still refused by the rename itself.
    SequentialNames::Result composed;
    RenameExecutor::Outcome outcome;
    RenamePlanner::Plan plan;  // of a run whose names are held by files it moves on
    bool planned = false;
    ForgetDatesTaken();  // the files move
    const auto record = NewRecord(RunJournal::Kind::kSequential);
    RunBusy({RunText::kRenaming, Pairs.Size()}, [&](RunControl& control) {
        // The journal is made ready while the names are checked against the disk.
        const auto prepare = [&](const std::vector<std::string>& newPaths) {
            if (record) {
                record->Prepare(
                    {Pairs.OldPaths(), newPaths, kIdsLater, nullptr, RenameExecutor::Order::FirstToLast});
            }
        };
        composed = SequentialNames::BuildSequentialNames(Pairs.OldPaths(), *options,
                                                         datesTaken ? &Pairs.DatesTaken() : nullptr, prepare,
                                                         Pairs.TakeListings());
        if (composed.outcome == SequentialNames::Outcome::Collision && composed.composedAll)
            plan = RenameExecutor::PlanOnDisk(Pairs.OldPaths(), composed.newPaths, RenameExecutor::RunId());
        if (composed.outcome != SequentialNames::Outcome::Composed) return;
        if (AfterRunChecks) AfterRunChecks();
        outcome =
            RenameExecutor::ExecuteCheckedRenames(Pairs.OldPaths(), composed.newPaths, composed.ids,
                                                  RenameExecutor::Order::FirstToLast, &control, record.get());
    });
    using Outcome = SequentialNames::Outcome;
    switch (composed.outcome) {
        case Outcome::EmptyList:
            return true;
        case Outcome::MissingFile:
            ShowMissingFile(composed.detail);
            return true;
        case Outcome::Collision:
            // Names held only by files of the list that the run renames can be freed in turn,
            // when the user agrees.
            if (composed.composedAll && plan.blockedCount == 0 && AskReorder(kSequentialReorder)) {
                outcome = RunPlanned(composed.newPaths, plan, RenameExecutor::Look::kNone, nullptr,
                                     &composed.ids, record.get());
                planned = true;
                break;
            }
            Message(RunMessages::SequentialStop(composed.outcome, composed.detail));
            return true;
        case Outcome::NumberOutOfRange:
        case Outcome::BadDate:
            Message(RunMessages::SequentialStop(composed.outcome, composed.detail));
            return true;
        case Outcome::Composed:
            break;
    }
    if (RefuseUnrecorded(outcome.unrecorded)) return true;
    if (record) runJournal_ = record->Id();
    LastNumberText = std::move(composed.lastNumberText);
    Pairs.SetRun(std::move(composed.newPaths), std::move(composed.ids));
    Pairs.Record(outcome, RenameExecutor::Order::FirstToLast, planned);
    UndoRevert::Restamp(Pairs);
    if (!outcome.executed) {
        Message(QStringLiteral("リネームに失敗しました。"));
        return true;
    }

    // 6, 7. The new names, and what became of them. A rename the file system refused keeps its
    // row's new name but is marked, and its count replaces the completion message.
    ShowPathList(Pairs.NewPaths(), kNewNameMode);
    QString done = QStringLiteral("名前の変更が終了しました");
    if (composed.undatedPhotos > 0) {
        done += QStringLiteral("\r\n") + QString::number(composed.undatedPhotos) +
                QStringLiteral("個のファイルは撮影日時がないため、更新日時を使いました。");
    }
    ReportRunOutcome(outcome, QString(), done, composed.undatedPhotos > 0);

    // 8, 9. Also after failed renames: the numbers were given out, and the files that were
    // renamed must be undoable.
    ContinueNumbering();
    SetPostRunState();
    return outcome.untried.empty();
}

bool TFmMein::AskReorder(const QString& question) {
    return dialogs_->AskYesNo(this, question, MessagePoint());
}

RenameExecutor::Outcome TFmMein::RunPlanned(const std::vector<std::string>& newPaths,
                                            const RenamePlanner::Plan& plan, RenameExecutor::Look look,
                                            const std::vector<std::string>* oldPaths,
                                            const std::vector<Platform::EntryId>* ids,
                                            RenameExecutor::Recorder* record) {
    RenameExecutor::PlannedOutcome planned;
    RunBusy({RunText::kRenaming, newPaths.size()}, [&](RunControl& control) {
        planned = RenameExecutor::ExecutePlan(oldPaths != nullptr ? *oldPaths : Pairs.OldPaths(), newPaths,
                                              plan, look, &control, ids, record);
    });
    ReportStranded(planned.stranded);
    return std::move(planned.outcome);
}

void TFmMein::ReportStranded(const std::vector<RenameExecutor::Stranded>& stranded) {
    // Named with where it is, so it can be found; the journal keeps its temporary name.
    for (const RenameExecutor::Stranded& file : stranded) {
        Message(ToQt(file.from) + QStringLiteral(" は一時的な名前 ") + ToQt(file.path) +
                QStringLiteral(" のまま残っています"));
    }
}

std::optional<SequentialNames::Options> TFmMein::ReadSequentialOptions() const {
    const auto leading = QtText::FromQt(edit2->currentText());
    const auto start = QtText::FromQt(edit3->currentText());
    const auto trailing = QtText::FromQt(edit8->currentText());
    const auto increment = QtText::FromQt(Edit9->text());
    const auto extension = QtText::FromQt(Edit4->text());
    if (!leading || !start || !trailing || !increment || !extension) return std::nullopt;
    SequentialNames::Options options;
    options.leadingText = *leading;
    options.startValue = *start;
    options.trailingText = *trailing;
    options.incrementText = *increment;
    options.changeExtension = CB1->isChecked();
    options.newExtension = *extension;
    options.keepName = CB2->isChecked();
    options.folderName = CB4->isChecked();
    options.resetPerFolder = CB5->isChecked();
    options.addDate = CB12->isChecked();
    options.dateFormat = DateFormat;
    options.dateSeparator = CheckBox1->isChecked();
    options.dateAtEnd = CheckBox2->isChecked();
    options.dateTaken = RGDateSource->ItemIndex() == 1;
    return options;
}

void TFmMein::ShowMissingFile(const std::string& path) {
    SwMsg1->Msg1 = RunMessages::MissingFile(path);
    SwMsg1->Top = MessageY();
    SwMsg1->Left = MessageX();
    SwMsg1->Execute();
}

void TFmMein::ContinueNumbering() {
    const auto incrementText = QtText::FromQt(Edit9->text());
    const auto next =
        SequentialNames::ContinueNumbering(LastNumberText, incrementText.value_or(std::string()));
    if (!next) return;
    ReplaceList(edit3, {ToQt(*next)});
}

void TFmMein::ReportRunOutcome(const RenameExecutor::Outcome& executed, const QString& collisionLead,
                               const QString& doneMessage, bool alwaysTell) {
    const auto markAndCount = [this](const std::vector<std::size_t>& rows, const QString& lead) {
        if (rows.empty()) return;
        MarkUnprocessed(rows);
        Message(UnprocessedMessage(lead, rows.size()));
    };
    markAndCount(executed.skipped, collisionLead);
    markAndCount(executed.failed, QStringLiteral("名前を変更できなかったため、 "));
    if (!executed.untried.empty()) {
        Message(RunText::Cancelled(Pairs.RenamedFileCount()));
        return;
    }
    if (executed.skipped.empty() && executed.failed.empty() && (cbDialog->isChecked() || alwaysTell))
        Message(doneMessage);
}

QString TFmMein::UnprocessedMessage(const QString& lead, std::size_t count) {
    return lead + QString::number(count) + QStringLiteral("個のファイルが未処理になりました") +
           QStringLiteral("\r\n") + QStringLiteral("未処理のものは\"*\"マークが付けられています。");
}

void TFmMein::KeepRunFiles(const std::vector<std::size_t>& kept, std::vector<std::string> oldPaths,
                           std::vector<std::string> newPaths, std::vector<Platform::EntryId> ids) {
    // Refilled, not edited: each "V" goes with its file, and no mark stays on a row that now shows
    // another file. Most runs start without any "V": then no list of marks is built.
    const std::vector<int> selected = MySG->RowsHolding(0, RowMark::kSelected);
    QStringList marks;
    bool anyMark = false;
    if (!selected.empty()) {
        marks.resize(static_cast<qsizetype>(kept.size()));
        for (std::size_t k = 0; k < kept.size(); ++k) {
            if (!std::binary_search(selected.begin(), selected.end(), static_cast<int>(kept[k]) + 1))
                continue;
            marks[static_cast<qsizetype>(k)] = RowMark::kSelected;
            anyMark = true;
        }
    }
    // A rename changes no file's date taken: the dates read stay with their files.
    std::vector<std::int64_t> taken;
    if (Pairs.HasDatesTaken()) {
        taken.reserve(kept.size());
        for (const std::size_t k : kept)
            taken.push_back(Pairs.DatesTaken()[k]);
    }
    // The lists the run replaces are freed off this thread: a million paths take tens of ms.
    released_.Drop(std::exchange(Pairs, PairList{}));
    Pairs.SetRun(std::move(oldPaths), std::move(newPaths), std::move(ids));
    if (!taken.empty()) Pairs.SetDatesTaken(std::move(taken));
    RefillTable();
    if (anyMark) MySG->SetColumnCells(0, 1, std::move(marks));
}

TFmMein::KeptRun TFmMein::RunKeptFiles(const KeptPlan& plan, const QString& collisionLead,
                                       RunJournal::Kind kind, RenameExecutor::Order order, bool offerOrder) {
    KeptFiles kept;
    RenameExecutor::Outcome outcome;
    RenamePlanner::Plan ordered;  // when some new names are held by files the run moves on
    RenameExecutor::Order walk = order;
    ForgetDatesTaken();  // the files move
    const auto record = NewRecord(kind);
    // The count of files is known only once planned: the dialog counts the renames.
    RunBusy({RunText::kRenaming, 0}, [&](RunControl& control) {
        // The kept files are listed ones: they are looked at while the plan is made.
        RenameExecutor::SourcesAhead ahead(Pairs.OldPaths(), Pairs.TakeListings());
        kept = plan(Pairs.OldPaths());
        // The journal is made ready while the pairs are checked and the files looked at, all only
        // reading the lists, in the order of pairs that cannot meet: mostly right, else it is made
        // again when the run begins.
        if (record && !kept.oldPaths.empty()) {
            record->PrepareMeanwhile({kept.oldPaths, kept.newPaths, kIdsLater, nullptr,
                                      RenameExecutor::WalkOrder(RenameExecutor::Pairing::kApart, order)});
        }
        // Pairs that cannot meet need no order, nor a look at each source as they go.
        const RenameExecutor::Pairing pairing = RenameExecutor::PairingOf(kept.oldPaths, kept.newPaths);
        const bool independent = pairing != RenameExecutor::Pairing::kMeeting;
        walk = RenameExecutor::WalkOrder(pairing, order);
        if (offerOrder && !independent && RenameExecutor::NeedsOrder(kept.oldPaths, kept.newPaths)) {
            ordered = RenameExecutor::PlanOnDisk(kept.oldPaths, kept.newPaths, RenameExecutor::RunId());
            if (ordered.reorderedCount > 0) return;
        }
        outcome = RenameExecutor::ExecuteSkippingCollisions(kept.oldPaths, kept.newPaths, walk, &control,
                                                            kept.unusable, record.get(), ahead, kept.indices,
                                                            independent);
    });
    bool planned = false;
    if (ordered.reorderedCount > 0) {
        planned = AskReorder(QString::number(ordered.reorderedCount) + kBatchReorder);
        if (planned) {
            outcome = RunPlanned(kept.newPaths, ordered, RenameExecutor::Look::kSources, &kept.oldPaths,
                                 nullptr, record.get());
        } else {
            RunBusy({RunText::kRenaming, kept.oldPaths.size()}, [&](RunControl& control) {
                outcome = RenameExecutor::ExecuteSkippingCollisions(kept.oldPaths, kept.newPaths, walk,
                                                                    &control, kept.unusable, record.get());
            });
        }
    }
    if (RefuseUnrecorded(outcome.unrecorded)) return KeptRun::kRefused;
    // The executor found who the files are before its first rename.
    KeepRunFiles(kept.indices, std::move(kept.oldPaths), std::move(kept.newPaths), std::move(outcome.ids));
    if (Pairs.Empty()) return KeptRun::kNoFile;
    if (record) runJournal_ = record->Id();
    Pairs.Record(outcome, walk, planned);
    UndoRevert::Restamp(Pairs);
    ReportRunOutcome(outcome, collisionLead, QStringLiteral("処理は完了しました"));
    return KeptRun::kRan;
}

void TFmMein::SetPostRunState(bool offerUndo) {
    btGo->setEnabled(false);
    N2->setEnabled(false);
    CB1->setChecked(false);
    if (offerUndo) {
        Undo1->setEnabled(true);
        btret->setEnabled(true);
    }
    N3->setEnabled(true);
    N22->setEnabled(true);
}

void TFmMein::CB1Click() {
    Edit4->setEnabled(CB1->isChecked());
    SetFieldColour(Edit4, CB1->isChecked());
}

void TFmMein::SelectDateFormat() {
    if (const auto format = SequentialNames::DateFormatFor(RGDate->ItemIndex())) DateFormat = *format;
}

void TFmMein::RGDateClick() {
    SelectDateFormat();
}
