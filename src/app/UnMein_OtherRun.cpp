// The two runs of the その他の処理 page, case and width conversion and digit alignment: the options
// read, the core's command run, and the state after it.
#include <QAction>
#include <QCheckBox>
#include <QToolButton>

#include "app/RadioGroup.h"
#include "app/UnMein.h"
#include "app/WindowHost.h"
#include "core/commands/OtherRun.h"
#include "core/names/CaseConvert.h"

void TFmMein::RunCaseConversion() {
    const int mode =
        CaseConvert::ConversionMode(RGTranc->ItemIndex(), CBExt1->isChecked(), CBExt2->isChecked());
    const Command::RunOutcome ran = Command::RunCaseConversion(RunFiles(), mode, *host_);
    if (ran.end == Command::RunOutcome::End::kRefused) return;
    if (ran.journal != 0) runJournal_ = ran.journal;
    CaseRunFlag = true;
    // Undo is offered only when a file was renamed.
    SetPostRunState(Pairs.Unrenamed().size() < Pairs.Size());
}

void TFmMein::RunDigitAlignment() {
    const Command::RunOutcome ran = Command::RunDigitAlignment(RunFiles(), *host_);
    if (ran.end != Command::RunOutcome::End::kRan) return;
    if (ran.journal != 0) runJournal_ = ran.journal;
    SetPostRunState();
}
