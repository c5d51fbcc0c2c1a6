// The settings file: read once at start, written once when the window goes.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>

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

void TFmMein::ReadSettings() {
    const Settings::Bounds designed = BoundsOf(frameGeometry());
    const Settings::Values v = Settings::Read(TIniFile(iniPath_), designed);

    // A place no screen shows (a monitor since removed, no size) keeps the designed one; a size
    // larger than the screen (saved on a larger one) shrinks to it.
    const std::vector<Settings::Bounds> screens = Screens();
    if (v.window != designed && Settings::OnSomeScreen(v.window, screens)) {
        const Settings::Bounds window = Settings::FitToScreen(v.window, screens);
        // Most platforms tell the frame only once the window is shown: until then the saved
        // size stands for the inner one, and is corrected when the frame is known.
        move(window.left, window.top);
        savedOuterSize_ = QSize(window.width, window.height);
        resize(*savedOuterSize_);
        ApplySavedOuterSize(false);
    }
    FolderHistory = v.folderHistory;
    // Check boxes take their values as clicks would: their handlers run.
    mnHistOn->setChecked(v.historyOn);
    cbHistOn->setChecked(v.historyOn);
    MoveHistory = v.moveDestinations;
    cbDialog->setChecked(v.dialogOn);
    cbFormStyle->setChecked(v.formStyleOn);
    // Only the lists: the boxes' texts stay empty.
    ReplaceList(edit2, QtText::ToQtList(v.leadingHistory));
    ReplaceList(edit8, QtText::ToQtList(v.trailingHistory));
    ReplaceList(Edit5, QtText::ToQtList(v.extensionHistory));
    ReplaceList(Edit6, QtText::ToQtList(v.targetHistory));
    ReplaceList(Edit7, QtText::ToQtList(v.replacementHistory));
    for (std::size_t i = 0; i < v.columnWidths.size(); ++i)
        ColWidth[i + 1] = v.columnWidths[i];
    CheckBox1->setChecked(v.dateBar);
    CheckBox2->setChecked(v.dateEnd);
    RGDate->SetItemIndex(v.dateType);  // a number that is no item keeps the designed one
    RGDateSource->SetItemIndex(v.dateSource);
    cbLanguage->setCurrentIndex(static_cast<int>(Language::ChoiceFromNumber(v.language)));
    CBRegex->setChecked(v.regexOn);
    cbPreview->setChecked(v.previewOn);
}

void TFmMein::ApplySavedOuterSize(bool lastTry) {
    if (!savedOuterSize_) return;
    const QSize frame = frameGeometry().size() - size();
    if (!frame.isNull()) resize(*savedOuterSize_ - frame);
    if (!frame.isNull() || lastTry) savedOuterSize_.reset();
}

void TFmMein::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    ApplySavedOuterSize(false);
}

void TFmMein::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    // The window manager places a new window's frame with a move: by then the frame is known, or
    // there is none, and later moves are the user's.
    if (isVisible()) ApplySavedOuterSize(true);
}

bool TFmMein::WriteSettings() {
    Settings::Values v;
    v.window = BoundsOf(frameGeometry());
    v.folderHistory = FolderHistory;
    v.historyOn = mnHistOn->isChecked();
    v.moveDestinations = MoveHistory;
    v.dialogOn = cbDialog->isChecked();
    v.formStyleOn = cbFormStyle->isChecked();
    v.leadingHistory = HistoryOf(edit2);
    v.trailingHistory = HistoryOf(edit8);
    v.extensionHistory = HistoryOf(Edit5);
    v.targetHistory = HistoryOf(Edit6);
    v.replacementHistory = HistoryOf(Edit7);
    for (std::size_t i = 0; i < v.columnWidths.size(); ++i)
        v.columnWidths[i] = ColWidth[i + 1];
    v.dateBar = CheckBox1->isChecked();
    v.dateEnd = CheckBox2->isChecked();
    v.dateType = RGDate->ItemIndex();
    v.regexOn = CBRegex->isChecked();
    v.previewOn = cbPreview->isChecked();
    v.dateSource = RGDateSource->ItemIndex();
    v.language = cbLanguage->currentIndex();

    TIniFile ini(iniPath_);
    Settings::Write(ini, v);
    // The folder may not exist yet (a first start with the settings in the user's configuration
    // folder).
    if (ini.UpdateFile(AtomicFile::MissingFolders::kCreate)) return true;
    Message(Tr("設定ファイル %1 に書き込めませんでした。").arg(QString::fromStdString(iniPath_)));
    return false;
}
