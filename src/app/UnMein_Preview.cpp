// The preview of the coming names: column 2 shows, before 開始, the name each row would get with the
// inputs of the page showing, in the link colour; a row whose name is taken or cannot be had is red
// with a tip saying why, one renamed only in the order the run asks about amber; a panel beside the
// file count counts the renames, the collisions and the failures, or tells why 開始 would refuse.
// While a newer preview is computed the names shown grey and the panel says so. It rests, as 開始
// does, from a run to the next load; a new list is greeted by no refusal until an input changes.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>

#include <algorithm>

#include "app/DatesTaken.h"
#include "app/PreviewController.h"
#include "app/QtText.h"
#include "app/RadioGroup.h"
#include "app/UnMein.h"
#include "components/MyStringGrid.h"
#include "core/commands/RunTexts.h"
#include "core/names/CaseConvert.h"

using QtText::Tr;

namespace {

const QColor kUnusableBackground(255, 176, 176);
const QColor kReorderedBackground(255, 214, 140);  // amber

QString TipOf(RenamePreview::State state) {
    return QString::fromStdString(RunTexts::PreviewReason(state));
}

}  // namespace

void TFmMein::WirePreview() {
    preview_ = new PreviewController([this] { return PreviewJob(); }, this);
    connect(preview_, &PreviewController::Changed, this, &TFmMein::ShowPreview);
    connect(cbPreview, &QCheckBox::toggled, this, &TFmMein::cbPreviewClick);
    connect(btPreview, &QToolButton::clicked, cbPreview, &QCheckBox::setChecked);
    // What the user changes: from then on the panel also tells a refusal.
    const auto schedule = [this] {
        previewQuiet_ = false;
        SchedulePreview();
    };
    for (QComboBox* box : {edit2, edit3, edit8, Edit6, Edit7})
        connect(box, &QComboBox::editTextChanged, this, schedule);
    for (QLineEdit* field : {Edit9, Edit4})
        connect(field, &QLineEdit::textChanged, this, schedule);
    for (QCheckBox* box :
         {CB1, CB2, CB4, CB5, CB12, CB9, CB10, CBRegex, CB11, CB7, CBExt1, CBExt2, CheckBox1, CheckBox2})
        connect(box, &QCheckBox::toggled, this, schedule);
    for (TRadioGroup* group : {RGTranc, RGDate, RGDateSource})
        connect(group, &TRadioGroup::Click, this, schedule);
    connect(PageControl1, &QTabWidget::currentChanged, this, schedule);
}

void TFmMein::SchedulePreview() {
    if (cbPreview->isChecked()) preview_->Schedule();
}

void TFmMein::HaltPreview() {
    preview_->Halt();
}

void TFmMein::PreviewNewList() {
    previewQuiet_ = true;
    SchedulePreview();
}

std::optional<PreviewController::Job> TFmMein::PreviewJob() {
    if (!cbPreview->isChecked() || !btGo->isEnabled() || Pairs.Empty()) return std::nullopt;
    PreviewController::Job job{&Pairs.OldPaths(), ReadPreviewInputs()};
    job.listings = &Pairs.Listings();
    if (Pairs.HasDatesTaken()) {
        job.datesTaken = &Pairs.DatesTaken();
    } else if (RenamePreview::NeedsDatesTaken(job.inputs)) {
        // The preview follows once they are read (TDatesTaken::Arrived).
        dates_->Start();
        job.waiting = true;
    }
    return job;
}

RenamePreview::Inputs TFmMein::ReadPreviewInputs() const {
    // As btGoClick chooses the run.
    const QWidget* page = PageControl1->currentWidget();
    if (page == TabSheet4) return RenamePreview::SettingsPage{};
    if (page == TabSheet2) {
        return RenamePreview::StringPage{.target = QtText::FromQt(Edit6->currentText()),
                                         .replacement = QtText::FromQt(Edit7->currentText()),
                                         .regex = CBRegex->isChecked(),
                                         .includeExtension = CB9->isChecked(),
                                         .caseSensitive = CB10->isChecked()};
    }
    if (page == TabSheet3) {
        if (CB7->isChecked()) return RenamePreview::DigitAlignment{};
        if (CB11->isChecked()) {
            return RenamePreview::CaseConversion{
                CaseConvert::ConversionMode(RGTranc->ItemIndex(), CBExt1->isChecked(), CBExt2->isChecked())};
        }
        return RenamePreview::NoRun{};
    }
    return RenamePreview::Sequential{ReadSequentialOptions()};
}

const RenamePreview::Result* TFmMein::PreviewShown() const {
    // Real results, once there are any, are never covered by a preview.
    return shownNew_ == nullptr ? preview_->Shown() : nullptr;
}

QString TFmMein::PreviewName(int row) const {
    const RenamePreview::Result* shown = PreviewShown();
    if (shown == nullptr || row < 1 || static_cast<std::size_t>(row) > shown->rows.Size()) return {};
    const auto index = static_cast<std::size_t>(row) - 1;
    if (shown->rows.StateOf(index) == RenamePreview::State::kUnchanged) return {};
    return QtText::ToQt(shown->rows.NameOf(index));
}

TStringGridEx::TCellLook TFmMein::PreviewLook(int row) const {
    const RenamePreview::Result* shown = PreviewShown();
    if (shown == nullptr || row < 1 || static_cast<std::size_t>(row) > shown->rows.Size()) return {};
    const RenamePreview::State state = shown->rows.StateOf(static_cast<std::size_t>(row) - 1);
    if (state == RenamePreview::State::kUnchanged) return {};
    // Names of earlier inputs: grey, and nothing said about them.
    if (preview_->Stale()) return {palette().color(QPalette::Disabled, QPalette::Text), {}, {}};
    if (state == RenamePreview::State::kRenamed) return {palette().color(QPalette::Link), {}, {}};
    if (state == RenamePreview::State::kReordered)
        return {palette().color(QPalette::Text), kReorderedBackground, TipOf(state)};
    return {palette().color(QPalette::Text), kUnusableBackground, TipOf(state)};
}

void TFmMein::ShowPreview() {
    const RenamePreview::Result* shown = PreviewShown();
    QString text;
    if (shownNew_ != nullptr) {
        // Real results stand in column 2: the preview rests.
    } else if (preview_->Stale()) {
        if (!previewQuiet_) text = preview_->Waiting() ? Tr("撮影日時を読み込み中…") : Tr("計算中…");
    } else if (shown != nullptr && !shown->noRun) {
        text = QString::fromStdString(RunTexts::PreviewRefusal(shown->refusal));
        if (text.isEmpty()) {
            text = QString::fromStdString(RunTexts::PreviewCounts(shown->rows));
        } else if (previewQuiet_) {
            text.clear();
        }
    }
    // The panel holds the first line; the counts always show whole, a refusal longer than half the
    // bar ends in "…", whole in the tip.
    const QString line = text.section(QLatin1Char('\r'), 0, 0).section(QLatin1Char('\n'), 0, 0);
    const int padding = 2 * PreviewPanel->frameWidth() + 6;
    PreviewPanel->setText(line);
    PreviewPanel->setFixedWidth(
        std::min(PreviewPanel->fontMetrics().horizontalAdvance(line) + padding, StatusBar1->width() / 2));
    PreviewPanel->setToolTip(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    PreviewPanel->setVisible(!text.isEmpty());
    if (shownNew_ == nullptr) MySG->RefreshRows(1, static_cast<int>(Pairs.Size()));
}

void TFmMein::cbPreviewClick() {
    btPreview->setChecked(cbPreview->isChecked());
    if (cbPreview->isChecked()) {
        preview_->Schedule();
    } else {
        preview_->Halt();
    }
}
