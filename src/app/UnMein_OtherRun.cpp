// The two runs of the その他の処理 page: case and width conversion, and digit alignment. Both keep
// only the files whose names change, rename them without replacing anything, and mark and count
// every file they could not rename.
#include <QAction>
#include <QCheckBox>
#include <QToolButton>

#include "app/RadioGroup.h"
#include "app/RunMessages.h"
#include "app/UnMein.h"
#include "core/names/CaseConvert.h"
#include "core/names/DigitAlign.h"
#include "core/run/RenameExecutor.h"

void TFmMein::RunCaseConversion() {
    const int mode =
        CaseConvert::ConversionMode(RGTranc->ItemIndex(), CBExt1->isChecked(), CBExt2->isChecked());
    const auto plan = [mode](const std::vector<std::string>& listed) {
        return KeptFrom(CaseConvert::PlanConversion(listed, mode));
    };
    // Last to first, so of two files converted to one name the later one gets it.
    const KeptRun ran = RunKeptFiles(plan, QStringLiteral("処理により同名ファイルができたため、 "),
                                     RunJournal::Kind::kCaseWidth, RenameExecutor::Order::LastToFirst);
    if (ran == KeptRun::kRefused) return;
    if (ran == KeptRun::kNoFile) {
        Message(RunMessages::NothingToRename(RenamePreview::NothingToRename::Run::kCase));
        if (cbDialog->isChecked()) Message(QStringLiteral("処理は完了しました"));
    }
    CaseRunFlag = true;
    // Undo is offered only when a file was renamed.
    SetPostRunState(Pairs.Unrenamed().size() < Pairs.Size());
}

void TFmMein::RunDigitAlignment() {
    const auto plan = [](const std::vector<std::string>& listed) {
        return KeptFrom(DigitAlign::Preview(listed));
    };
    const KeptRun ran = RunKeptFiles(plan, QStringLiteral("桁揃え処理により同名ファイルができたため、 "),
                                     RunJournal::Kind::kDigit, RenameExecutor::Order::FirstToLast, true);
    if (ran == KeptRun::kRefused) return;
    if (ran == KeptRun::kNoFile) {
        Message(RunMessages::NothingToRename(RenamePreview::NothingToRename::Run::kDigit));
        return;
    }
    SetPostRunState();
}
