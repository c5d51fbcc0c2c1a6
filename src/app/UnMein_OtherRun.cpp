// The two runs of the その他の処理 page: case and width conversion, and digit alignment. Both keep
// only the files whose names change, rename them without replacing anything, and mark and count
// every file they could not rename.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include "app/RadioGroup.h"
#include "app/UnMein.h"
#include "components/MyStringGrid.h"
#include "core/CaseConvert.h"
#include "core/DigitAlign.h"
#include "core/RenameExecutor.h"

void TFmMein::RunCaseConversion() {
    const int mode =
        CaseConvert::ConversionMode(RGTranc->ItemIndex(), CBExt1->isChecked(), CBExt2->isChecked());
    CaseConvert::Plan plan = CaseConvert::PlanConversion(OrgPathList, mode);
    OrgPathList = std::move(plan.oldPaths);
    NewPathList = std::move(plan.newPaths);
    LastRunOutcome = {};

    const bool undoWasEnabled = Undo1->isEnabled();
    const bool btretWasEnabled = btret->isEnabled();
    if (OrgPathList.empty()) {
        Message(QStringLiteral("処理対象ファイルが見つかりませんでした。"));
        MySG->ClearRows();
        if (cbDialog->isChecked()) Message(QStringLiteral("処理は完了しました"));
    } else {
        ShowRunPairs();
        // A change of letter case alone renames the file onto its own other spelling: not taken.
        // Last to first, so of two files converted to one name the later one gets it.
        LastRunOutcome = RenameExecutor::ExecuteSkippingCollisions(
            OrgPathList, NewPathList, RenameExecutor::Collision::TakenByAnotherFile,
            RenameExecutor::Order::LastToFirst);
        const RenameExecutor::Outcome& executed = LastRunOutcome;
        ReportRunOutcome(executed, QStringLiteral("処理により同名ファイルができたため、 "),
                         QStringLiteral("処理は完了しました"));
    }

    CaseRunFlag = true;
    SetPostRunState();
    const std::size_t unrenamed = LastRunOutcome.skipped.size() + LastRunOutcome.failed.size();
    if (OrgPathList.size() == unrenamed) {
        // Nothing was renamed, so there is nothing to undo: this run does not offer undo.
        Undo1->setEnabled(undoWasEnabled);
        btret->setEnabled(btretWasEnabled);
    }
    StatusPanels[1]->setText(QString::number(OrgPathList.size()));
}

void TFmMein::RunDigitAlignment() {
    DigitAlign::Plan plan = DigitAlign::Preview(OrgPathList);
    OrgPathList = std::move(plan.oldPaths);
    NewPathList = std::move(plan.newPaths);
    LastRunOutcome = {};
    StatusPanels[1]->setText(QString::number(OrgPathList.size()));
    if (OrgPathList.empty()) {
        MySG->ClearRows();
        Message(QStringLiteral("桁揃え可能なファイルはありません"));
        return;
    }
    ShowRunPairs();

    // Alignment never changes letter case alone, so a taken name is always another file's (a
    // second hard link of the file itself counts as a refused rename).
    LastRunOutcome = RenameExecutor::ExecuteSkippingCollisions(OrgPathList, NewPathList,
                                                               RenameExecutor::Collision::TakenByAnotherFile);
    const RenameExecutor::Outcome& executed = LastRunOutcome;
    ReportRunOutcome(executed, QStringLiteral("桁揃え処理により同名ファイルができたため、 "),
                     QStringLiteral("処理は完了しました"));
    SetPostRunState();
}
