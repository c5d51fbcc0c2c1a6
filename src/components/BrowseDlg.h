#pragma once

#include <QFlags>
#include <QObject>
#include <QRect>
#include <QString>
#include <QStringList>
#include <memory>
#include <stdexcept>
#include <string>

#include "components/ComponentText.h"

class QDialog;
class QModelIndex;

enum class TBrowseOption { boReturnOnlyDirectory = 0x1, boIncludeFiles = 0x2 };
using TBrowseOptions = QFlags<TBrowseOption>;
Q_DECLARE_OPERATORS_FOR_FLAGS(TBrowseOptions)

enum class TCustomBtnType { cbNone, cbButton, cbCheckBox };
enum class TCustomEditType { ceNone, ceEdit, ceComboBox };

// The numbers are the classic special-folder numbers, kept so stored values stay meaningful.
enum class TSpecialFolder {
    sfDesktop = 0,
    sfInternet = 1,
    sfPrograms = 2,
    sfControlPanel = 3,
    sfPrinters = 4,
    sfPersonal = 5,
    sfFavorites = 6,
    sfStartup = 7,
    sfRecent = 8,
    sfSendTo = 9,
    sfRecycleBin = 10,
    sfStartMenu = 11,
    sfDesktopDir = 16,
    sfMyComputer = 17,
    sfNetwork = 18,
    sfNetHood = 19,
    sfFonts = 20,
    sfTemplates = 21,
    sfCommonStartMenu = 22,
    sfCommonPrograms = 23,
    sfCommonStartup = 24,
    sfCommonDesktopDir = 25,
    sfAppData = 26,
    sfPrintHood = 27,
};

// What a handler of OnShow / OnChange wants done with the OK button.
enum class TBrowseOKState { okUnchanged, okEnabled, okDisabled };

class EBrowseDlgError : public std::runtime_error {
public:
    EBrowseDlgError() : std::runtime_error("TBrowseDlg: Execute is already running") {}
};

class EBrowseDlgPropertyError : public std::runtime_error {
public:
    explicit EBrowseDlgPropertyError(const std::string& propertyName)
        : std::runtime_error("TBrowseDlg: Execute の実行中には " + propertyName +
                             " プロパティの値を変更できません"),
          propertyName_(propertyName) {}
    const std::string& PropertyName() const { return propertyName_; }

private:
    std::string propertyName_;
};

namespace BrowseDlg {

// The frame allowance of the layout: a 3-pixel border on each side of the window.
inline constexpr int FrameAllowance = 6;

struct LayoutInput {
    int Width = 0, Height = 0;
    int L = 0;  // line height of the application font
    int C = 0;  // title-bar height of the style
    int TopMargin = 0, VertSpacing = 0, BottomMargin = 0;
    int TextHorzMargin = 0, CustomEditHorzMargin = 0, TreeHorzMargin = 0;
    int BtnHorzMargin = 0, BtnHorzSpacing = 0, BtnHeight = 0, OKBtnWidth = 0, CancelBtnWidth = 0;
    bool Text1Visible = false, Text2Visible = false;
    bool CustomEditShown = false;  // a custom edit exists and is visible
    int CustomEditHeight = 0;      // its current height
};

// Geometry of every part in the dialog's client coordinates.
struct LayoutResult {
    QRect Text1, Text2, CustomEdit, Tree, OKBtn, CancelBtn, CustomBtn;
};

LayoutResult ComputeLayout(const LayoutInput& in);

// The folder a special folder stands for on this platform (may not exist).
QString SpecialFolderPath(TSpecialFolder folder);
// The folder the tree starts at: Root when given, else the special folder; "/" when that is no folder.
QString ResolveRoot(const QString& root, TSpecialFolder specialRoot);
// The caption without its mnemonic markers ("キャンセル(&C)" → "キャンセル(C)", "&&" → "&").
QString StripMnemonic(const QString& caption);

}  // namespace BrowseDlg

// A modal folder chooser: a title line, a status line, an optional edit or combo box showing the
// selected path, the folder tree, OK and Cancel and an optional extra button, laid out from the
// margins below. Width × Height is the window's outer size; the client area is
// (Width − 6) × (Height − C − 6), C being the style's title-bar height, so that the frame the window
// manager adds brings it close to Width × Height.
class TBrowseDlg : public QObject {
    Q_OBJECT
    Q_PROPERTY(int BottomMargin READ BottomMargin WRITE SetBottomMargin)
    Q_PROPERTY(int BtnHeight READ BtnHeight WRITE SetBtnHeight)
    Q_PROPERTY(int BtnHorzMargin READ BtnHorzMargin WRITE SetBtnHorzMargin)
    Q_PROPERTY(int BtnHorzSpacing READ BtnHorzSpacing WRITE SetBtnHorzSpacing)
    Q_PROPERTY(QString CancelBtnCaption READ CancelBtnCaption WRITE SetCancelBtnCaption)
    Q_PROPERTY(int CancelBtnWidth READ CancelBtnWidth WRITE SetCancelBtnWidth)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString CustomBtnCaption READ CustomBtnCaption WRITE SetCustomBtnCaption)
    Q_PROPERTY(bool CustomBtnChecked READ CustomBtnChecked WRITE SetCustomBtnChecked)
    Q_PROPERTY(bool CustomBtnEnabled READ CustomBtnEnabled WRITE SetCustomBtnEnabled)
    Q_PROPERTY(bool CustomBtnVisible READ CustomBtnVisible WRITE SetCustomBtnVisible)
    Q_PROPERTY(int CustomEditHorzMargin READ CustomEditHorzMargin WRITE SetCustomEditHorzMargin)
    Q_PROPERTY(QStringList CustomEditItems READ CustomEditItems WRITE SetCustomEditItems)
    Q_PROPERTY(bool CustomEditVisible READ CustomEditVisible WRITE SetCustomEditVisible)
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_PROPERTY(QString OKBtnCaption READ OKBtnCaption WRITE SetOKBtnCaption)
    Q_PROPERTY(int OKBtnWidth READ OKBtnWidth WRITE SetOKBtnWidth)
    Q_PROPERTY(QString Root READ Root WRITE SetRoot)
    Q_PROPERTY(bool ScreenCenter READ ScreenCenter WRITE SetScreenCenter)
    Q_PROPERTY(QString Text1 READ Text1 WRITE SetText1)
    Q_PROPERTY(bool Text1Visible READ Text1Visible WRITE SetText1Visible)
    Q_PROPERTY(QString Text2 READ Text2 WRITE SetText2)
    Q_PROPERTY(bool Text2Visible READ Text2Visible WRITE SetText2Visible)
    Q_PROPERTY(int TextHorzMargin READ TextHorzMargin WRITE SetTextHorzMargin)
    Q_PROPERTY(int TopMargin READ TopMargin WRITE SetTopMargin)
    Q_PROPERTY(int TreeHorzMargin READ TreeHorzMargin WRITE SetTreeHorzMargin)
    Q_PROPERTY(int VertSpacing READ VertSpacing WRITE SetVertSpacing)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_PROPERTY(int X READ X WRITE SetX)
    Q_PROPERTY(int Y READ Y WRITE SetY)

public:
    explicit TBrowseDlg(QObject* parent = nullptr);
    ~TBrowseDlg() override;

    // Shows the dialog modally; true when the user confirmed a selection. Throws EBrowseDlgError
    // when called while the dialog is already open.
    bool Execute();
    // Selects a folder in the open dialog; does nothing while it is closed or for a path the tree
    // cannot show.
    void SetSelectionPath(const QString& path);

    // Results of the last run (kept after the dialog has closed).
    QString SelectedPath() const { return selectedPath_; }
    QString DisplayName() const { return displayName_; }

    // The open dialog window, for the owner and for tests; nullptr while closed.
    QDialog* DialogWindow() const;
    bool IsRunning() const { return running_; }

    int BottomMargin() const { return bottomMargin_; }
    void SetBottomMargin(int value) { SetLayoutValue(bottomMargin_, value); }
    int BtnHeight() const { return btnHeight_; }
    void SetBtnHeight(int value) { SetLayoutValue(btnHeight_, value); }
    int BtnHorzMargin() const { return btnHorzMargin_; }
    void SetBtnHorzMargin(int value) { SetLayoutValue(btnHorzMargin_, value); }
    int BtnHorzSpacing() const { return btnHorzSpacing_; }
    void SetBtnHorzSpacing(int value) { SetLayoutValue(btnHorzSpacing_, value); }
    int CancelBtnWidth() const { return cancelBtnWidth_; }
    void SetCancelBtnWidth(int value) { SetLayoutValue(cancelBtnWidth_, value); }
    int CustomEditHorzMargin() const { return customEditHorzMargin_; }
    void SetCustomEditHorzMargin(int value) { SetLayoutValue(customEditHorzMargin_, value); }
    int OKBtnWidth() const { return okBtnWidth_; }
    void SetOKBtnWidth(int value) { SetLayoutValue(okBtnWidth_, value); }
    int TextHorzMargin() const { return textHorzMargin_; }
    void SetTextHorzMargin(int value) { SetLayoutValue(textHorzMargin_, value); }
    int TopMargin() const { return topMargin_; }
    void SetTopMargin(int value) { SetLayoutValue(topMargin_, value); }
    int TreeHorzMargin() const { return treeHorzMargin_; }
    void SetTreeHorzMargin(int value) { SetLayoutValue(treeHorzMargin_, value); }
    int VertSpacing() const { return vertSpacing_; }
    void SetVertSpacing(int value) { SetLayoutValue(vertSpacing_, value); }
    int Width() const { return width_; }
    void SetWidth(int value) { SetLayoutValue(width_, value); }
    int Height() const { return height_; }
    void SetHeight(int value) { SetLayoutValue(height_, value); }
    bool Text1Visible() const { return text1Visible_; }
    void SetText1Visible(bool value) { SetLayoutValue(text1Visible_, value); }
    bool Text2Visible() const { return text2Visible_; }
    void SetText2Visible(bool value) { SetLayoutValue(text2Visible_, value); }
    bool CustomEditVisible() const { return customEditVisible_; }
    void SetCustomEditVisible(bool value) { SetLayoutValue(customEditVisible_, value); }

    QString Caption() const { return caption_; }
    void SetCaption(const QString& value);
    QString OKBtnCaption() const { return okBtnCaption_; }
    void SetOKBtnCaption(const QString& value);
    QString CancelBtnCaption() const { return cancelBtnCaption_; }
    void SetCancelBtnCaption(const QString& value);
    QString CustomBtnCaption() const { return customBtnCaption_; }
    void SetCustomBtnCaption(const QString& value);
    QString Text1() const { return text1_; }
    void SetText1(const QString& value);
    QString Text2() const { return text2_; }
    void SetText2(const QString& value);

    // Read live from the check box while the dialog is open.
    bool CustomBtnChecked() const;
    void SetCustomBtnChecked(bool value);
    bool CustomBtnEnabled() const { return customBtnEnabled_; }
    void SetCustomBtnEnabled(bool value);
    bool CustomBtnVisible() const { return customBtnVisible_; }
    void SetCustomBtnVisible(bool value);
    QStringList CustomEditItems() const { return customEditItems_; }
    void SetCustomEditItems(const QStringList& value);

    bool ScreenCenter() const { return screenCenter_; }
    void SetScreenCenter(bool value);
    int X() const { return x_; }
    void SetX(int value);
    int Y() const { return y_; }
    void SetY(int value);

    // These shape the dialog as it is built; changing them while it is open throws
    // EBrowseDlgPropertyError and keeps the value.
    TCustomBtnType CustomBtnType() const { return customBtnType_; }
    void SetCustomBtnType(TCustomBtnType value);
    TCustomEditType CustomEditType() const { return customEditType_; }
    void SetCustomEditType(TCustomEditType value);
    TBrowseOptions Options() const { return options_; }
    void SetOptions(TBrowseOptions value);
    QString Root() const { return root_; }
    void SetRoot(const QString& value);
    TSpecialFolder SpecialRoot() const { return specialRoot_; }
    void SetSpecialRoot(TSpecialFolder value);

signals:
    // Direct connections only: handlers set OKButtonState, which is applied when they return.
    void OnShow(TBrowseOKState& OKButtonState);
    void OnChange(TBrowseOKState& OKButtonState);
    void OnCustomBtnClick();
    void OnCustomEditChange();
    void OnOKBtnClick();
    void OnCancelBtnClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Parts;  // the widgets of the open dialog

    template <typename T>
    void SetLayoutValue(T& field, T value) {
        field = value;
        Relayout();
    }
    void CheckClosed(const char* propertyName) const;

    // Building and tearing down (BrowseDlg_Window.cpp).
    void BuildWindow();
    void BuildTree();
    void BuildCustomEdit();
    void BuildCustomButton();
    void DestroyWindow();

    // Geometry (BrowseDlg_Layout.cpp).
    void Relayout();
    void Place();
    BrowseDlg::LayoutInput CurrentLayoutInput() const;

    // Tree and commands (BrowseDlg.cpp).
    QModelIndex ProxyIndexOf(const QString& path) const;
    void SelectionChanged();
    void UpdateOwnOKState();
    void ApplyOKState(TBrowseOKState state);
    void OKClicked();
    void Cancelled();
    void CustomEditActivated(int index);
    QString LiveCustomEditText() const;
    void SetCustomEditText(const QString& text);

    int bottomMargin_ = 8;
    int btnHeight_ = 24;
    int btnHorzMargin_ = 12;
    int btnHorzSpacing_ = 8;
    QString cancelBtnCaption_ = ComponentText::Tr("キャンセル(&C)");
    int cancelBtnWidth_ = 88;
    QString caption_ = ComponentText::Tr("フォルダの参照");
    QString customBtnCaption_ = ComponentText::Tr("カスタム(&U)");
    bool customBtnChecked_ = false;
    bool customBtnEnabled_ = true;
    TCustomBtnType customBtnType_ = TCustomBtnType::cbNone;
    bool customBtnVisible_ = true;
    int customEditHorzMargin_ = 8;
    QStringList customEditItems_;
    TCustomEditType customEditType_ = TCustomEditType::ceEdit;
    bool customEditVisible_ = true;
    int height_ = 300;
    QString okBtnCaption_ = QStringLiteral("&OK");
    int okBtnWidth_ = 88;
    TBrowseOptions options_ = TBrowseOption::boReturnOnlyDirectory;
    QString root_;
    bool screenCenter_ = true;
    TSpecialFolder specialRoot_ = TSpecialFolder::sfDesktop;
    QString text1_;
    bool text1Visible_ = true;
    QString text2_;
    bool text2Visible_ = false;
    int textHorzMargin_ = 12;
    int topMargin_ = 8;
    int treeHorzMargin_ = 8;
    int vertSpacing_ = 4;
    int width_ = 378;
    int x_ = 64;
    int y_ = 64;

    QString selectedPath_;
    QString displayName_;
    QString customEditText_;
    bool selectionChoosable_ = false;  // OK may take the current selection
    QString rootPath_;                 // the resolved root of the open dialog
    bool running_ = false;             // from the start of Execute until it returns
    bool shown_ = false;               // the dialog has been built and OnShow may be told of changes
    std::unique_ptr<Parts> parts_;
};
