// Building the window's controls: menus, tool bar, option band, table, status bar, popup menu,
// and the components without a look of their own.
// Geometry is in client coordinates (the area below the menu bar).
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include "app/ElidedLabel.h"
#include "app/HistoryBox.h"
#include "app/ImageList.h"
#include "app/QtText.h"
#include "app/RadioGroup.h"
#include "app/UnMeinForm.h"
#include "app/WindowTexts.h"
#include "components/BrowseDlg.h"
#include "components/MyStringGrid.h"
#include "components/NewCtrls.h"
#include "components/SwMsg.h"

using QtText::Tr;

namespace {

QAction* AddItem(QMenu* menu, const char* name, const QString& caption, bool enabled = true) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    action->setEnabled(enabled);
    return action;
}

QMenu* AddSubmenu(QWidget* parent, const char* name, const QString& title) {
    auto* menu = new QMenu(title, parent);
    menu->setObjectName(QLatin1String(name));
    menu->setAccessibleName(title);
    return menu;
}

// Tool buttons are no tab stops; their accessible name is their hint unless they have a caption.
QToolButton* AddToolButton(QToolBar* bar, const char* name, const QString& hint, int image,
                           bool enabled = true) {
    auto* button = new QToolButton(bar);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(hint);
    button->setAccessibleName(hint);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setFixedSize(26, 24);
    button->setEnabled(enabled);
    button->setIcon(ImageList::Icon(image));
    button->setProperty("ImageIndex", image);
    bar->addWidget(button);
    return button;
}

// The "»" button Qt adds to a bar too narrow for its items, and the menu it opens.
void NameOverflowButton(QWidget* bar, const char* qtName, const QString& name) {
    auto* button = bar->findChild<QToolButton*>(QLatin1String(qtName));
    if (button == nullptr) return;
    button->setAccessibleName(name);
    // The menu bar's button keeps its menu as a child of the bar.
    if (QMenu* menu = button->menu()) menu->setAccessibleName(name);
    for (QMenu* menu : button->findChildren<QMenu*>())
        menu->setAccessibleName(name);
}

}  // namespace

void TFmMeinForm::BuildForm(QMainWindow* window) {
    ApplyWindowFont(window);
    clientArea_ = new QWidget(window);
    clientArea_->setObjectName(QStringLiteral("ClientArea"));
    window->setCentralWidget(clientArea_);
    // Creation order is the tab order.
    BuildMenus(window);
    BuildToolBar();
    BuildPages();
    BuildBand();
    BuildTable();
    BuildStatusBar();
    BuildPopupMenu(window);

    FileDrop1 = new TFileDrop(window);
    FileDrop1->setObjectName(QStringLiteral("FileDrop1"));
    BrowseDlg1 = new TBrowseDlg(window);
    BrowseDlg1->setObjectName(QStringLiteral("BrowseDlg1"));
    BrowseDlg1->SetSpecialRoot(TSpecialFolder::sfMyComputer);
    SwMsg1 = new TSwMsg(window);
    SwMsg1->setObjectName(QStringLiteral("SwMsg1"));
}

void TFmMeinForm::ApplyWindowFont(QMainWindow* window) {
    QFont font = window->font();
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                      QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Noto Sans JP"),
                      QStringLiteral("IPAPGothic")});
    font.setPointSize(9);
    window->setFont(font);
}

void TFmMeinForm::BuildMenus(QMainWindow* window) {
    MainMenu1 = window->menuBar();
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    BuildFileMenu();
    BuildEditMenu();
    mnHelp = AddSubmenu(MainMenu1, "mnHelp", Tr("ヘルプ"));
    MainMenu1->addMenu(mnHelp);
    mnGuide = AddItem(mnHelp, "mnGuide", Tr("使い方"));
    mnAbout = AddItem(mnHelp, "mnAbout", Tr("バージョン情報"));
}

void TFmMeinForm::BuildFileMenu() {
    mnFile = AddSubmenu(MainMenu1, "mnFile", Tr("ファイル"));
    MainMenu1->addMenu(mnFile);
    N1 = AddItem(mnFile, "N1", Tr("フォルダ選択"));
    N4 = AddSubmenu(mnFile, "N4", Tr("フォルダ履歴"));
    mnFile->addMenu(N4);
    for (int n = 1; n <= 5; ++n) {
        const QByteArray name = "his" + QByteArray::number(n);
        his[n - 1] = AddItem(N4, name.constData(), QStringLiteral("%1 :").arg(n));
    }
    N4->addSeparator();
    mnHistOn = AddItem(N4, "mnHistOn", Tr("履歴を記録"));
    mnHistOn->setCheckable(true);
    mnHistOn->setChecked(true);
    N4->addSeparator();
    mnHistCLR = AddItem(N4, "mnHistCLR", Tr("指定履歴の消去"));
    N4->addSeparator();
    N6 = AddItem(N4, "N6", Tr("履歴の全消去"));
    mnFile->addSeparator();
    mnMoveMen = AddSubmenu(mnFile, "mnMoveMen", Tr("データ移動"));
    mnFile->addMenu(mnMoveMen);
    mnMoveOn = AddItem(mnMoveMen, "mnMoveOn", Tr("移動有効"));
    mnMoveOn->setCheckable(true);
    mnMoveMen->addSeparator();
    mnMoveFolder = AddItem(mnMoveMen, "mnMoveFolder", Tr("移動先指定"), false);
    mnMoveMen->addSeparator();
    for (int n = 1; n <= 3; ++n) {
        const QByteArray name = "mMHist" + QByteArray::number(n);
        mMHist[n - 1] = AddItem(mnMoveMen, name.constData(), QStringLiteral("%1:").arg(n));
    }
    mnMoveMen->addSeparator();
    N15 = AddItem(mnMoveMen, "N15", Tr("指定移動先の登録解除"));
    mnMoveMen->addSeparator();
    N16 = AddItem(mnMoveMen, "N16", Tr("全移動先の登録解除"));
    mnFile->addSeparator();
    mnJournal = AddItem(mnFile, "mnJournal", Tr("変更履歴..."));
    mnFile->addSeparator();
    Exit1 = AddItem(mnFile, "Exit1", Tr("終了"));
}

void TFmMeinForm::BuildEditMenu() {
    mnEdit = AddSubmenu(MainMenu1, "mnEdit", Tr("編集"));
    MainMenu1->addMenu(mnEdit);
    Undo1 = AddItem(mnEdit, "Undo1", Tr("元に戻す"), false);
    mnEdit->addSeparator();
    SortByName = AddItem(mnEdit, "SortByName", Tr("名前順に並べ替え"));
    SortByModified = AddItem(mnEdit, "SortByModified", Tr("更新日時順に並べ替え"));
    SortByTaken = AddItem(mnEdit, "SortByTaken", Tr("撮影日時順に並べ替え"));
    mnEdit->addSeparator();
    FHistClear = AddItem(mnEdit, "FHistClear", Tr("先頭固定文字履歴の消去"));
    EHistClear = AddItem(mnEdit, "EHistClear", Tr("末尾固定文字履歴の消去"));
    ExtHistClear = AddItem(mnEdit, "ExtHistClear", Tr("指定拡張子履歴の消去"));
    N12 = AddSubmenu(mnEdit, "N12", Tr("文字列処理履歴消去"));
    mnEdit->addMenu(N12);
    N14 = AddItem(N12, "N14", Tr("「対象」の履歴消去"));
    N20 = AddItem(N12, "N20", Tr("「置換」の履歴消去"));
}

void TFmMeinForm::BuildToolBar() {
    ToolBar1 = new QToolBar(clientArea_);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setAccessibleName(Tr("ツールバー"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setGeometry(0, 0, 513, 29);

    btOpen = AddToolButton(ToolBar1, "btOpen", Tr("フォルダ選択"), ImageList::kOpenFolder);
    btNow = AddToolButton(ToolBar1, "btNow", Tr("同一フォルダの再読込"), ImageList::kReloadNone);
    tbNextOpen =
        AddToolButton(ToolBar1, "tbNextOpen", Tr("次のフォルダを開く"), ImageList::kNextFolder, false);
    ToolBar1->addSeparator();
    for (int n = 1; n <= 5; ++n) {
        const QByteArray name = "bthis" + QByteArray::number(n);
        QToolButton* button = AddToolButton(ToolBar1, name.constData(), QString(), ImageList::kEmptySlot);
        button->setText(QString::number(n));
        button->setAccessibleName(QString::number(n));
        bthis[n - 1] = button;
    }
    btHistClr = AddToolButton(ToolBar1, "btHistClr", Tr("履歴の全消去"), ImageList::kClearHistory);
    ToolBar1->addSeparator();
    btret = AddToolButton(ToolBar1, "btret", Tr("変換を元に戻す"), ImageList::kUndo, false);
    btPreview = AddToolButton(ToolBar1, "btPreview", PreviewText::Hint(), ImageList::kPreview);
    btPreview->setCheckable(true);
    btPreview->setChecked(true);
    ToolBar1->addSeparator();
    btMoveOn = AddToolButton(ToolBar1, "btMoveOn", Tr("ファイル移動機能切り替え"), ImageList::kEmptySlot);
    btMoveFolder =
        AddToolButton(ToolBar1, "btMoveFolder", Tr("リネーム後の移動フォルダ指定"), ImageList::kMoveFolder);
    for (int n = 1; n <= 3; ++n) {
        const QByteArray name = "bMHist" + QByteArray::number(n);
        QToolButton* button = AddToolButton(ToolBar1, name.constData(), QString(), ImageList::kEmptySlot);
        // The hint is the destination, empty at first; the name says which slot it is.
        button->setAccessibleName(Tr("移動先 %1").arg(n));
        bMHist[n - 1] = button;
    }
    ToolBar1->addSeparator();
    btEnd = AddToolButton(ToolBar1, "btEnd", Tr("プログラム終了"), ImageList::kExit);
    NameOverflowButtons();
}

void TFmMeinForm::NameOverflowButtons() const {
    NameOverflowButton(MainMenu1, "qt_menubar_ext_button", Tr("その他のメニュー"));
    NameOverflowButton(ToolBar1, "qt_toolbar_ext_button", Tr("その他のボタン"));
}

void TFmMeinForm::BuildBand() {
    RG1 = new TRadioGroup(Tr("フォルダ展開方法"), {Tr("サブフォルダ内も展開"), Tr("直下のファイルのみ")},
                          clientArea_);
    RG1->SetName(QStringLiteral("RG1"));
    RG1->setGeometry(8, 216, 155, 77);
    RG1->SetItemIndex(1);

    RG2 = new TRadioGroup(
        Tr("拡張子フィルター"),
        {Tr("拡張子フィルターなし"), Tr("指定拡張子のみ読み込み"), Tr("指定拡張子以外読み込み")},
        clientArea_);
    RG2->SetName(QStringLiteral("RG2"));
    RG2->setGeometry(168, 216, 169, 77);
    RG2->SetItemIndex(0);

    btNow2 = new QPushButton(Tr("再読込"), clientArea_);
    btNow2->setObjectName(QStringLiteral("btNow2"));
    btNow2->setToolTip(Tr("同一フォルダの再読込"));
    btNow2->setAccessibleName(btNow2->text());
    btNow2->setGeometry(344, 216, 49, 41);
    btNow2->setEnabled(false);

    Edit5 = new QComboBox(clientArea_);
    Edit5->setObjectName(QStringLiteral("Edit5"));
    MakeHistoryBox(*Edit5, Tr("指定拡張子"));
    Edit5->setGeometry(384, 266, 113, 22);
    Edit5->setEnabled(false);

    Label3 = new QLabel(Tr("指定\n拡張子"), clientArea_);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setAccessibleName(Tr("指定拡張子"));
    Label3->setBuddy(Edit5);
    Label3->setGeometry(344, 258, 40, 36);
    Label3->setEnabled(false);

    btGo = new QPushButton(Tr("開始"), clientArea_);
    btGo->setObjectName(QStringLiteral("btGo"));
    btGo->setToolTip(Tr("リネームを開始します"));
    btGo->setAccessibleName(btGo->text());
    btGo->setGeometry(408, 216, 89, 41);
    btGo->setEnabled(false);
}

void TFmMeinForm::BuildTable() {
    MySG = new TMyStringGrid(clientArea_);
    MySG->setObjectName(QStringLiteral("MySG"));
    MySG->setAccessibleName(Tr("ファイル一覧"));
    MyStringGrid::ApplyFormDesign(*MySG);
    MySG->setGeometry(0, 296, 513, 184);
    MySG->setContextMenuPolicy(Qt::CustomContextMenu);
    // The header row; the rows below show the window's lists.
    MySG->SetColWidths(0, 16);
    MySG->SetRowHeights(0, 20);
    MySG->SetCells(1, 0, Tr("元のファイル名"));
    MySG->SetCells(2, 0, Tr("変更後のファイル名"));
    MySG->SetCells(3, 0, Tr("パス"));
}

void TFmMeinForm::BuildStatusBar() {
    StatusBar1 = new QStatusBar(clientArea_);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setAccessibleName(Tr("ステータスバー"));
    const QString texts[3] = {Tr("現在のファイル総数 : "), QString(), Tr("変換後移動機能は、現在無効です。")};
    const int widths[3] = {120, 50, 0};
    for (int i = 0; i < 3; ++i) {
        QLabel* panel =
            widths[i] > 0 ? new QLabel(texts[i], StatusBar1) : new TElidedLabel(texts[i], StatusBar1);
        panel->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i));
        panel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        if (widths[i] > 0) panel->setFixedWidth(widths[i]);
        StatusBar1->addWidget(panel, widths[i] > 0 ? 0 : 1);
        StatusPanels[static_cast<std::size_t>(i)] = panel;
    }
    // The preview's counts or the refusal it foresees, beside the file count; hidden while empty.
    PreviewPanel = new TElidedLabel(StatusBar1);
    PreviewPanel->setObjectName(QStringLiteral("StatusBar1Preview"));
    PreviewPanel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    StatusBar1->insertWidget(2, PreviewPanel);
    PreviewPanel->hide();
    const int height = StatusBar1->sizeHint().height();
    StatusBar1->setGeometry(0, 502 - height, 513, height);
}

void TFmMeinForm::BuildPopupMenu(QMainWindow* window) {
    PopupMenu1 = new QMenu(window);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->setAccessibleName(Tr("ファイル一覧のメニュー"));
    N2 = AddItem(PopupMenu1, "N2", Tr("このファイルをリストより削除"), false);
    N3 = AddItem(PopupMenu1, "N3", Tr("このファイルのみ戻す"), false);
    PopupMenu1->addSeparator();
    N25 = AddItem(PopupMenu1, "N25", Tr("このファイルを選択（解除）"), false);
    PopupMenu1->addSeparator();
    N21 = AddItem(PopupMenu1, "N21", Tr("選択ファイルを削除"), false);
    N22 = AddItem(PopupMenu1, "N22", Tr("選択ファイルを戻す"), false);
    N23 = AddItem(PopupMenu1, "N23", Tr("全選択解除"), false);
    // The edit menu's sort commands, the same actions.
    PopupMenu1->addSeparator();
    PopupMenu1->addActions({SortByName, SortByModified, SortByTaken});
}
