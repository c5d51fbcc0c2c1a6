#include "app/WindowSettings.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>
#include <utility>

#include "app/ColumnLayout.h"
#include "app/InputHistories.h"
#include "app/QtText.h"
#include "app/RadioGroup.h"
#include "app/UnMein.h"
#include "core/settings/IniFile.h"
#include "core/settings/Settings.h"
#include "core/text/Language.h"

using QtText::Tr;

namespace {

Settings::Bounds BoundsOf(const QRect& rect) {
    return {rect.left(), rect.top(), rect.width(), rect.height()};
}

// The screens' areas that windows may take (without panels and docks).
std::vector<Settings::Bounds> Screens() {
    std::vector<Settings::Bounds> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens.push_back(BoundsOf(screen->availableGeometry()));
    return screens;
}

}  // namespace

TWindowSettings::TWindowSettings(TFmMein& window, std::string iniPath)
    : window_(window), iniPath_(std::move(iniPath)) {}

void TWindowSettings::Read() {
    const Settings::Values v = Settings::Read(TIniFile(iniPath_), BoundsOf(window_.frameGeometry()));
    Place(v);
    TFmMein& w = window_;
    w.FolderHistory = v.folderHistory;
    // Check boxes take their values as clicks would: their handlers run.
    w.mnHistOn->setChecked(v.historyOn);
    w.cbHistOn->setChecked(v.historyOn);
    w.MoveHistory = v.moveDestinations;
    w.cbDialog->setChecked(v.dialogOn);
    w.cbFormStyle->setChecked(v.formStyleOn);
    w.histories_->Show(v);
    for (std::size_t i = 0; i < v.columnWidths.size(); ++i)
        w.columns_->ColWidth[i + 1] = v.columnWidths[i];
    w.CheckBox1->setChecked(v.dateBar);
    w.CheckBox2->setChecked(v.dateEnd);
    w.RGDate->SetItemIndex(v.dateType);  // a number that is no item keeps the designed one
    w.RGDateSource->SetItemIndex(v.dateSource);
    w.cbLanguage->setCurrentIndex(static_cast<int>(Language::ChoiceFromNumber(v.language)));
    w.CBRegex->setChecked(v.regexOn);
    w.cbPreview->setChecked(v.previewOn);
}

void TWindowSettings::Place(const Settings::Values& v) {
    // A place no screen shows (a monitor since removed, no size) keeps the designed one; a size
    // larger than the screen (saved on a larger one) shrinks to it.
    const std::vector<Settings::Bounds> screens = Screens();
    if (v.window == BoundsOf(window_.frameGeometry()) || !Settings::OnSomeScreen(v.window, screens)) return;
    const Settings::Bounds window = Settings::FitToScreen(v.window, screens);
    // Most platforms tell the frame only once the window is shown: until then the saved size stands
    // for the inner one, and is corrected when the frame is known.
    window_.move(window.left, window.top);
    savedOuterSize_ = QSize(window.width, window.height);
    window_.resize(*savedOuterSize_);
    ApplySavedOuterSize(false);
}

void TWindowSettings::ApplySavedOuterSize(bool lastTry) {
    if (!savedOuterSize_) return;
    const QSize frame = window_.frameGeometry().size() - window_.size();
    if (!frame.isNull()) window_.resize(*savedOuterSize_ - frame);
    if (!frame.isNull() || lastTry) savedOuterSize_.reset();
}

bool TWindowSettings::Write() {
    const TFmMein& w = window_;
    Settings::Values v;
    v.window = BoundsOf(w.frameGeometry());
    v.folderHistory = w.FolderHistory;
    v.historyOn = w.mnHistOn->isChecked();
    v.moveDestinations = w.MoveHistory;
    v.dialogOn = w.cbDialog->isChecked();
    v.formStyleOn = w.cbFormStyle->isChecked();
    w.histories_->Keep(v);
    for (std::size_t i = 0; i < v.columnWidths.size(); ++i)
        v.columnWidths[i] = w.columns_->ColWidth[i + 1];
    v.dateBar = w.CheckBox1->isChecked();
    v.dateEnd = w.CheckBox2->isChecked();
    v.dateType = w.RGDate->ItemIndex();
    v.regexOn = w.CBRegex->isChecked();
    v.previewOn = w.cbPreview->isChecked();
    v.dateSource = w.RGDateSource->ItemIndex();
    v.language = w.cbLanguage->currentIndex();

    TIniFile ini(iniPath_);
    Settings::Write(ini, v);
    // The folder may not exist yet (a first start with the settings in the user's configuration
    // folder).
    if (ini.UpdateFile(AtomicFile::MissingFolders::kCreate)) return true;
    window_.Message(Tr("設定ファイル %1 に書き込めませんでした。").arg(QString::fromStdString(iniPath_)));
    return false;
}
