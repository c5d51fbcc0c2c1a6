#pragma once

#include <array>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QMenu;
class QMenuBar;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QToolBar;
class QToolButton;
class QWidget;
class TBrowseDlg;
class TFileDrop;
class TMyStringGrid;
class TRadioGroup;
class TSwMsg;

// The main window's form: its controls, each under its designed name, and how they are built and
// laid out at start (UnMein_Layout.cpp, UnMein_Tabs.cpp). The window derives from it, as from a
// designer's form, so that its handlers read and set the controls by name; what the controls do is
// the window's.
//
// The parts of the window (histories, column layout, settings) are given the form to reach the
// controls they look after.
class TFmMeinForm {
public:
    // Everything below the menu bar.
    QWidget* clientArea_ = nullptr;

    // Menus.
    QMenuBar* MainMenu1 = nullptr;
    QMenu* mnFile = nullptr;
    QAction* N1 = nullptr;
    QMenu* N4 = nullptr;
    std::array<QAction*, 5> his{};
    QAction* mnHistOn = nullptr;
    QAction* mnHistCLR = nullptr;
    QAction* N6 = nullptr;
    QAction* mnJournal = nullptr;
    QMenu* mnMoveMen = nullptr;
    QAction* mnMoveOn = nullptr;
    QAction* mnMoveFolder = nullptr;
    std::array<QAction*, 3> mMHist{};
    QAction* N15 = nullptr;
    QAction* N16 = nullptr;
    QAction* Exit1 = nullptr;
    QMenu* mnEdit = nullptr;
    QAction* Undo1 = nullptr;
    QAction* FHistClear = nullptr;
    QAction* EHistClear = nullptr;
    QAction* ExtHistClear = nullptr;
    QMenu* N12 = nullptr;
    QAction* N14 = nullptr;
    QAction* N20 = nullptr;
    // Also in the table's popup menu.
    QAction* SortByName = nullptr;
    QAction* SortByModified = nullptr;
    QAction* SortByTaken = nullptr;
    QMenu* mnHelp = nullptr;
    QAction* mnGuide = nullptr;
    QAction* mnAbout = nullptr;

    // Tool bar.
    QToolBar* ToolBar1 = nullptr;
    QToolButton* btOpen = nullptr;
    QToolButton* btNow = nullptr;
    QToolButton* tbNextOpen = nullptr;
    std::array<QToolButton*, 5> bthis{};
    QToolButton* btHistClr = nullptr;
    QToolButton* btret = nullptr;
    QToolButton* btPreview = nullptr;
    QToolButton* btMoveOn = nullptr;
    QToolButton* btMoveFolder = nullptr;
    std::array<QToolButton*, 3> bMHist{};
    QToolButton* btEnd = nullptr;

    // Pages.
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QWidget* TabSheet3 = nullptr;
    QWidget* TabSheet4 = nullptr;
    QComboBox* edit2 = nullptr;
    QComboBox* edit3 = nullptr;
    QComboBox* edit8 = nullptr;
    QLineEdit* Edit9 = nullptr;
    QCheckBox* CB1 = nullptr;
    QLineEdit* Edit4 = nullptr;
    QCheckBox* CB2 = nullptr;
    QCheckBox* CB4 = nullptr;
    QCheckBox* CB5 = nullptr;
    QCheckBox* CB12 = nullptr;
    QComboBox* Edit6 = nullptr;
    QComboBox* Edit7 = nullptr;
    QCheckBox* CB9 = nullptr;
    QCheckBox* CB10 = nullptr;
    QCheckBox* CBRegex = nullptr;
    QCheckBox* CB11 = nullptr;
    TRadioGroup* RGTranc = nullptr;
    QCheckBox* CBExt1 = nullptr;
    QCheckBox* CBExt2 = nullptr;
    QCheckBox* CB7 = nullptr;
    QCheckBox* cbFormStyle = nullptr;
    QCheckBox* cbDialog = nullptr;
    QCheckBox* cbHistOn = nullptr;
    QCheckBox* cbPreview = nullptr;
    TRadioGroup* RGDate = nullptr;
    TRadioGroup* RGDateSource = nullptr;
    QComboBox* cbLanguage = nullptr;  // 自動 / 日本語 / English, applied at the next start
    QCheckBox* CheckBox1 = nullptr;
    QCheckBox* CheckBox2 = nullptr;

    // The option band, the table and the status bar.
    TRadioGroup* RG1 = nullptr;
    TRadioGroup* RG2 = nullptr;
    QPushButton* btNow2 = nullptr;
    QLabel* Label3 = nullptr;
    QComboBox* Edit5 = nullptr;
    QPushButton* btGo = nullptr;
    TMyStringGrid* MySG = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    std::array<QLabel*, 3> StatusPanels{};
    QLabel* PreviewPanel = nullptr;

    // The table's popup menu.
    QMenu* PopupMenu1 = nullptr;
    QAction* N2 = nullptr;
    QAction* N3 = nullptr;
    QAction* N25 = nullptr;
    QAction* N21 = nullptr;
    QAction* N22 = nullptr;
    QAction* N23 = nullptr;

    // Components.
    TFileDrop* FileDrop1 = nullptr;
    TBrowseDlg* BrowseDlg1 = nullptr;
    TSwMsg* SwMsg1 = nullptr;

protected:
    // Builds every control into window, in the creation order that is the tab order.
    void BuildForm(QMainWindow* window);
    // The "»" buttons Qt adds to the menu bar and the tool bar when they are too narrow, and their
    // menus, which Qt makes only once the bars first get too narrow.
    void NameOverflowButtons() const;

private:
    void ApplyWindowFont(QMainWindow* window);
    void BuildMenus(QMainWindow* window);
    void BuildFileMenu();
    void BuildEditMenu();
    void BuildToolBar();
    void BuildPages();
    void BuildTabSheet1(QWidget* page);
    void BuildTabSheet2(QWidget* page);
    void BuildTabSheet3(QWidget* page);
    void BuildTabSheet4(QWidget* page);
    void BuildBand();
    void BuildTable();
    void BuildStatusBar();
    void BuildPopupMenu(QMainWindow* window);
};
