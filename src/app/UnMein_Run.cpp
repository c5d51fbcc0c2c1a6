// The Go button: dispatch by the page that is showing, and the sequential run from the inputs read
// to the state after the renames, which the core's command carries out.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <utility>

#include "app/DatesTaken.h"
#include "app/InputHistories.h"
#include "app/QtText.h"
#include "app/RadioGroup.h"
#include "app/UnMein.h"
#include "app/WindowHost.h"
#include "core/commands/RunSteps.h"
#include "core/commands/RunTexts.h"
#include "core/commands/SequentialRun.h"
#include "core/names/SequentialNames.h"

using QtText::ToQt;

namespace {

constexpr int kStringHistoryLimit = 10;

}  // namespace

void TFmMein::btGoClick() {
    // A run refused before it renamed anything leaves 開始, and with it the preview, waiting.
    const PreviewAfterwards reschedule{this};
    QWidget* page = PageControl1->currentWidget();
    if (page == TabSheet4) {
        Message(QString::fromStdString(RunTexts::SettingsPage()));
        return;
    }
    CaseRunFlag = false;
    if (page == TabSheet2) {
        RunStringRename();  // the histories follow whatever its outcome
        histories_->AddToLimitedHistory(Edit6, kStringHistoryLimit);
        histories_->AddToLimitedHistory(Edit7, kStringHistoryLimit);
    } else if (page == TabSheet3) {
        // Digit alignment wins when both are checked; with neither, Go does nothing here.
        if (CB7->isChecked()) {
            RunDigitAlignment();
        } else if (CB11->isChecked()) {
            RunCaseConversion();
        }
    } else if (page == TabSheet1) {
        RunSequentialRename();
        // Also after a refused run, so a refused text is there to pick and correct.
        histories_->AddToHistory(edit2);
        histories_->AddToHistory(edit8);
    }
}

void TFmMein::RunSequentialRename() {
    const std::optional<SequentialNames::Options> options = ReadSequentialOptions();
    Command::SequentialOutcome ran;
    if (options) {
        ran = Command::RunSequential(RunFiles(),
                                     {*options, [this] { return dates_->Read(); }, AfterRunChecks}, *host_);
    } else {
        Message(QString::fromStdString(
            RunTexts::SequentialRefusal({SequentialNames::RunCheck::Refusal::kInputs, {}})));
    }
    if (ran.journal != 0) runJournal_ = ran.journal;
    if (ran.lastNumberText) LastNumberText = std::move(*ran.lastNumberText);
    // Also after failed renames: the numbers were given out, and the files that were renamed must
    // be undoable.
    if (ran.ran) {
        ContinueNumbering();
        SetPostRunState();
    }
    // Also after a refused run; a cancel stops the command: the files renamed so far stay, to be
    // taken back.
    if (!mnMoveOn->isChecked() || ran.cancelled) return;
    MoveAfterRename();
    // Moved files cannot be renamed back where they were.
    Undo1->setEnabled(false);
    btret->setEnabled(false);
}

Command::RunContext TFmMein::RunFiles() {
    return {.pairs = Pairs,
            .journalFolder = journal_.Folder(),
            .release = &released_,
            .filesMove = [this] { dates_->Forget(); },
            .tellDone = cbDialog->isChecked()};
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

void TFmMein::ContinueNumbering() {
    const auto incrementText = QtText::FromQt(Edit9->text());
    const auto next =
        SequentialNames::ContinueNumbering(LastNumberText, incrementText.value_or(std::string()));
    if (!next) return;
    TInputHistories::ReplaceList(edit3, {ToQt(*next)});
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
