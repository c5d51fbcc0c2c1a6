// Building the four tab pages of PageControl1. Positions are inside each page.
#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/HistoryBox.h"
#include "app/QtText.h"
#include "app/RadioGroup.h"
#include "app/UnMeinForm.h"
#include "app/WindowTexts.h"

using QtText::Tr;

namespace {

// A panel filling its page in the page's colour; the controls of the page sit on it.
QWidget* AddColouredPanel(QWidget* page, const char* name, const QColor& colour, const QColor& text) {
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* panel = new QWidget(page);
    panel->setObjectName(QLatin1String(name));
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::WindowText, text);
    panel->setPalette(palette);
    panel->setAutoFillBackground(true);
    layout->addWidget(panel);
    return panel;
}

QLabel* AddLabel(QWidget* parent, const char* name, const QString& text, QRect geometry) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    // Two-line labels name their field as one line.
    label->setAccessibleName(QString(text).remove(QLatin1Char('\n')));
    label->setGeometry(geometry);
    return label;
}

QComboBox* AddCombo(QWidget* parent, const char* name, QLabel* label, QRect geometry) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QLatin1String(name));
    MakeHistoryBox(*combo, label->accessibleName());
    combo->setGeometry(geometry);
    label->setBuddy(combo);
    return combo;
}

QLineEdit* AddEdit(QWidget* parent, const char* name, const QString& accessibleName, QRect geometry) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setAccessibleName(accessibleName);
    edit->setGeometry(geometry);
    return edit;
}

QCheckBox* AddCheck(QWidget* parent, const char* name, const QString& caption, QPoint at,
                    bool checked = false) {
    auto* check = new QCheckBox(caption, parent);
    check->setObjectName(QLatin1String(name));
    check->setAccessibleName(caption);
    check->setChecked(checked);
    check->adjustSize();
    check->move(at);
    return check;
}

QWidget* AddPage(QTabWidget* pages, const char* name, const QString& caption) {
    auto* page = new QWidget(pages);
    page->setObjectName(QLatin1String(name));
    page->setAccessibleName(caption);
    pages->addTab(page, caption);
    return page;
}

}  // namespace

void TFmMeinForm::BuildPages() {
    PageControl1 = new QTabWidget(clientArea_);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setAccessibleName(Tr("処理の種類"));
    PageControl1->setGeometry(8, 32, 497, 177);
    TabSheet1 = AddPage(PageControl1, "TabSheet1", Tr("通常のリネーム"));
    TabSheet2 = AddPage(PageControl1, "TabSheet2", Tr("文字列として処理"));
    TabSheet3 = AddPage(PageControl1, "TabSheet3", Tr("その他の処理"));
    TabSheet4 = AddPage(PageControl1, "TabSheet4", Tr("動作設定"));
    BuildTabSheet1(AddColouredPanel(TabSheet1, "Panel1", QColor(0x80, 0x80, 0x00), Qt::black));
    BuildTabSheet2(AddColouredPanel(TabSheet2, "Panel2", QColor(0x00, 0x00, 0x80), Qt::white));
    BuildTabSheet3(AddColouredPanel(TabSheet3, "Panel3", QColor(0x80, 0x80, 0x80), Qt::black));
    BuildTabSheet4(TabSheet4);
}

// Sequential naming: leading text, start value, increment, trailing text, extension, parts.
void TFmMeinForm::BuildTabSheet1(QWidget* page) {
    QLabel* label2 = AddLabel(page, "Label2", Tr("先頭\n固定文字"), {8, 4, 52, 36});
    edit2 = AddCombo(page, "edit2", label2, {60, 11, 150, 22});
    QLabel* label1 = AddLabel(page, "Label1", Tr("連番\n初期値"), {222, 4, 44, 36});
    edit3 = AddCombo(page, "edit3", label1, {266, 11, 80, 22});
    QLabel* label7 = AddLabel(page, "Label7", Tr("数値の\n増加量"), {358, 4, 44, 36});
    Edit9 = AddEdit(page, "Edit9", label7->accessibleName(), {402, 11, 60, 22});
    Edit9->setText(QStringLiteral("1"));
    label7->setBuddy(Edit9);

    QLabel* label6 = AddLabel(page, "Label6", Tr("末尾\n固定文字"), {8, 42, 52, 36});
    edit8 = AddCombo(page, "edit8", label6, {60, 49, 150, 22});
    CB1 = AddCheck(page, "CB1", Tr("拡張子変換"), {222, 51});
    Edit4 = AddEdit(page, "Edit4", Tr("拡張子"), {322, 49, 80, 22});
    Edit4->setEnabled(false);

    CB2 = AddCheck(page, "CB2", Tr("元のファイル名を加工する"), {8, 86});
    CB4 = AddCheck(page, "CB4", Tr("フォルダ名を固定文字に"), {242, 86});
    CB5 = AddCheck(page, "CB5", Tr("フォルダ毎に初期値リセット"), {8, 112});
    CB12 = AddCheck(page, "CB12", Tr("ファイル更新日付を固定文字に"), {242, 112});
}

// String replacement: target, replacement, two options and the note on wildcards.
void TFmMeinForm::BuildTabSheet2(QWidget* page) {
    QLabel* label4 = AddLabel(page, "Label4", Tr("対象"), {8, 9, 34, 20});
    Edit6 = AddCombo(page, "Edit6", label4, {44, 8, 184, 22});
    QLabel* label5 = AddLabel(page, "Label5", Tr("置換"), {8, 41, 34, 20});
    Edit7 = AddCombo(page, "Edit7", label5, {44, 40, 184, 22});
    CB9 = AddCheck(page, "CB9", Tr("拡張子も処理対象に含める"), {244, 10});
    CB10 = AddCheck(page, "CB10", Tr("対象の検索は大文字小文字を区別する"), {244, 42});
    CBRegex = AddCheck(page, "CBRegex", Tr("正規表現を使う"), {244, 70});
    AddLabel(page, "Label8",
             Tr("「対象」はワイルドカード　（\"*\"　または　\"?\"）　を使った指定が行えます。"),
             {8, 96, 476, 20});
    AddLabel(page, "Label9", Tr("ただし、２種類のワイルドカード\"*\",\"?\"の混在はできません。"),
             {8, 118, 476, 20});
}

// Case and width conversion, digit alignment.
void TFmMeinForm::BuildTabSheet3(QWidget* page) {
    CB11 = AddCheck(page, "CB11", Tr("文字形式変換"), {8, 6});
    RGTranc = new TRadioGroup(Tr("変換メニュー"),
                              {Tr("小文字を大文字に ( a -> A )"), Tr("大文字を小文字に ( A -> a )"),
                               Tr("半角を全角に      ( ｶﾞ -> ガ )"), Tr("全角を半角に      ( ガ -> ｶﾞ )")},
                              page);
    RGTranc->SetName(QStringLiteral("RGTranc"));
    RGTranc->setGeometry(8, 28, 236, 114);
    RGTranc->SetItemIndex(0);
    RGTranc->setEnabled(false);
    CBExt1 = AddCheck(page, "CBExt1", Tr("拡張子は対象外"), {256, 42});
    CBExt1->setEnabled(false);
    CBExt2 = AddCheck(page, "CBExt2", Tr("拡張子のみ変換"), {256, 66});
    CBExt2->setEnabled(false);
    CB7 = AddCheck(page, "CB7", Tr("ファイル名中の数字の自動桁揃え"), {256, 118});
}

// Behaviour settings: the window's switches and the language in two rows across the page, the
// date options below them, the format on the left and the rest in a column on the right. Both rows
// end before the right column's x, so that English captions fit beside the Japanese.
constexpr int kRightColumn = 284;
constexpr int kSecondRow = 22;
constexpr int kDatesTop = 50;
constexpr QRect kLanguageLabel(8, kSecondRow + 1, 56, 20);
constexpr QRect kLanguageBox(66, kSecondRow, 90, 22);
constexpr QRect kLanguageNote(160, kSecondRow + 4, 122, 16);

void TFmMeinForm::BuildTabSheet4(QWidget* page) {
    cbFormStyle = AddCheck(page, "cbFormStyle", Tr("常に全面に表示"), {8, 1});
    cbHistOn = AddCheck(page, "cbHistOn", Tr("フォルダの履歴を記録"), {130, 1}, true);
    cbDialog = AddCheck(page, "cbDialog", Tr("処理完了ダイアログを表示"), {kRightColumn, 1}, true);
    // Texts are built once, at start: a new language shows after a restart, as the note says.
    QLabel* languageLabel = AddLabel(page, "Label10", Tr("表示言語"), kLanguageLabel);
    cbLanguage = new QComboBox(page);
    cbLanguage->setObjectName(QStringLiteral("cbLanguage"));
    cbLanguage->setAccessibleName(languageLabel->accessibleName());
    cbLanguage->setGeometry(kLanguageBox);
    languageLabel->setBuddy(cbLanguage);
    // The language names are not translated: each is read by those who speak it.
    cbLanguage->addItems({Tr("自動"), QStringLiteral("日本語"), QStringLiteral("English")});
    cbLanguage->setCurrentIndex(0);
    QLabel* note = AddLabel(page, "Label11", Tr("再起動後に反映されます"), kLanguageNote);
    QFont small = note->font();
    small.setPointSizeF(small.pointSizeF() - 1);
    note->setFont(small);
    cbPreview = AddCheck(page, "cbPreview", PreviewText::Hint(), {kRightColumn, kSecondRow - 1}, true);

    RGDate = new TRadioGroup(
        Tr("リネームに使う更新日付の形式"),
        {Tr("00000000  (西暦４桁で区切り記号なし）"), Tr("0000_00_00(西暦４桁でアンダーバー使用)"),
         Tr("000000     (西暦２桁で区切り記号なし）"), Tr("00_00_00   (西暦２桁でアンダーバー使用)")},
        page);
    RGDate->SetName(QStringLiteral("RGDate"));
    RGDate->setGeometry(8, kDatesTop, 270, 95);
    RGDate->SetItemIndex(0);
    CheckBox1 =
        AddCheck(page, "CheckBox1", Tr("日付の境界に \"_\" を入れる"), {kRightColumn, kDatesTop - 3}, true);
    CheckBox2 = AddCheck(page, "CheckBox2", Tr("日付を末尾に追加"), {kRightColumn, kDatesTop + 16});
    RGDateSource =
        new TRadioGroup(Tr("日付の取得元"), {Tr("ファイルの更新日時"), Tr("撮影日時（Exif）")}, page);
    RGDateSource->SetName(QStringLiteral("RGDateSource"));
    RGDateSource->setGeometry(kRightColumn, kDatesTop + 36, 201, 60);
    RGDateSource->SetItemIndex(0);
}
