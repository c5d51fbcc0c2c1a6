// The window as built: controls with their names, captions, hints and states, accessible names,
// the column layout, message placement, the Enter key, staying on top and closing.
#include <QAccessible>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>

#include "WindowFixture.h"
#include "app/ColumnLayout.h"
#include "app/ElidedLabel.h"
#include "components/NewCtrls.h"
#include "components/SwMsg.h"
#include "core/text/Translate.h"
#include "support/QtTestMain.h"

namespace {

constexpr int kAny = -1;  // state not checked (no check mark / item index)

struct TControlRow {
    const char* name;
    const char* caption;  // nullptr: not checked
    const char* hint;     // nullptr: not checked
    bool enabled;
    int checked;  // 0/1 check mark, item index of a radio group, or kAny
};

// The designed state after start-up.
const TControlRow kControls[] = {
    {"btOpen", nullptr, "フォルダ選択", true, kAny},
    {"btNow", nullptr, "同一フォルダの再読込", true, kAny},
    {"tbNextOpen", nullptr, "次のフォルダを開く", false, kAny},
    {"bthis1", "1", "", true, kAny},
    {"bthis5", "5", "", true, kAny},
    {"btHistClr", nullptr, "履歴の全消去", true, kAny},
    {"btret", nullptr, "変換を元に戻す", false, kAny},
    {"btPreview", nullptr, "変更後の名前を事前に表示する", true, 1},
    {"btMoveOn", nullptr, "ファイル移動機能切り替え", true, kAny},
    {"btMoveFolder", nullptr, "リネーム後の移動フォルダ指定", true, kAny},
    {"bMHist1", nullptr, "", true, kAny},
    {"bMHist3", nullptr, "", true, kAny},
    {"btEnd", nullptr, "プログラム終了", true, kAny},
    {"N1", "フォルダ選択", nullptr, true, kAny},
    {"N4", "フォルダ履歴", nullptr, true, kAny},
    {"his1", "1 : ", nullptr, true, kAny},
    {"his5", "5 : ", nullptr, true, kAny},
    {"mnHistOn", "履歴を記録", nullptr, true, 1},
    {"mnHistCLR", "指定履歴の消去", nullptr, true, kAny},
    {"N6", "履歴の全消去", nullptr, true, kAny},
    {"mnMoveMen", "データ移動", nullptr, true, kAny},
    {"mnMoveOn", "移動有効", nullptr, true, 0},
    {"mnMoveFolder", "移動先指定", nullptr, false, kAny},
    {"mMHist1", "1 : ", nullptr, true, kAny},  // the form's "1:" replaced at start
    {"mMHist3", "3 : ", nullptr, true, kAny},
    {"N15", "指定移動先の登録解除", nullptr, true, kAny},
    {"N16", "全移動先の登録解除", nullptr, true, kAny},
    {"Exit1", "終了", nullptr, true, kAny},
    {"Undo1", "元に戻す", nullptr, false, kAny},
    {"FHistClear", "先頭固定文字履歴の消去", nullptr, false, kAny},
    {"EHistClear", "末尾固定文字履歴の消去", nullptr, false, kAny},
    {"ExtHistClear", "指定拡張子履歴の消去", nullptr, false, kAny},
    {"N12", "文字列処理履歴消去", nullptr, true, kAny},
    {"N14", "「対象」の履歴消去", nullptr, true, kAny},
    {"N20", "「置換」の履歴消去", nullptr, true, kAny},
    {"SortByName", "名前順に並べ替え", nullptr, true, kAny},
    {"SortByModified", "更新日時順に並べ替え", nullptr, true, kAny},
    {"SortByTaken", "撮影日時順に並べ替え", nullptr, true, kAny},
    {"N2", "このファイルをリストより削除", nullptr, false, kAny},
    {"N3", "このファイルのみ戻す", nullptr, false, kAny},
    {"N25", "このファイルを選択（解除）", nullptr, false, kAny},
    {"N21", "選択ファイルを削除", nullptr, false, kAny},
    {"N22", "選択ファイルを戻す", nullptr, false, kAny},
    {"N23", "全選択解除", nullptr, false, kAny},
    {"TabSheet1", "通常のリネーム", nullptr, true, kAny},
    {"TabSheet2", "文字列として処理", nullptr, true, kAny},
    {"TabSheet3", "その他の処理", nullptr, true, kAny},
    {"TabSheet4", "動作設定", nullptr, true, kAny},
    {"Label2", "先頭\n固定文字", nullptr, true, kAny},
    {"edit2", "", nullptr, true, kAny},
    {"Label1", "連番\n初期値", nullptr, true, kAny},
    {"edit3", "", nullptr, true, kAny},
    {"Label6", "末尾\n固定文字", nullptr, true, kAny},
    {"edit8", "", nullptr, true, kAny},
    {"Label7", "数値の\n増加量", nullptr, true, kAny},
    {"Edit9", "1", nullptr, true, kAny},
    {"CB1", "拡張子変換", nullptr, true, 0},
    {"Edit4", "", nullptr, false, kAny},
    {"CB2", "元のファイル名を加工する", nullptr, true, 0},
    {"CB4", "フォルダ名を固定文字に", nullptr, true, 0},
    {"CB5", "フォルダ毎に初期値リセット", nullptr, true, 0},
    {"CB12", "ファイル更新日付を固定文字に", nullptr, true, 0},
    {"Edit6", "", nullptr, true, kAny},
    {"Edit7", "", nullptr, true, kAny},
    {"CB9", "拡張子も処理対象に含める", nullptr, true, 0},
    {"CB10", "対象の検索は大文字小文字を区別する", nullptr, true, 0},
    {"CBRegex", "正規表現を使う", nullptr, true, 0},
    {"CB11", "文字形式変換", nullptr, true, 0},
    {"RGTranc", "変換メニュー", nullptr, false, 0},
    {"RGTranc_2", "半角を全角に      ( ｶﾞ -> ガ )", nullptr, false, 0},
    {"CBExt1", "拡張子は対象外", nullptr, false, 0},
    {"CBExt2", "拡張子のみ変換", nullptr, false, 0},
    {"CB7", "ファイル名中の数字の自動桁揃え", nullptr, true, 0},
    {"cbFormStyle", "常に全面に表示", nullptr, true, 0},
    {"cbDialog", "処理完了ダイアログを表示", nullptr, true, 1},
    {"cbHistOn", "フォルダの履歴を記録", nullptr, true, 1},
    {"cbPreview", "変更後の名前を事前に表示する", nullptr, true, 1},
    {"RGDate", "リネームに使う更新日付の形式", nullptr, true, 0},
    {"RGDate_1", "0000_00_00(西暦４桁でアンダーバー使用)", nullptr, true, 0},
    {"RGDateSource", "日付の取得元", nullptr, true, 0},
    {"RGDateSource_0", "ファイルの更新日時", nullptr, true, 1},
    {"RGDateSource_1", "撮影日時（Exif）", nullptr, true, 0},
    {"CheckBox1", "日付の境界に \"_\" を入れる", nullptr, true, 1},
    {"CheckBox2", "日付を末尾に追加", nullptr, true, 0},
    {"RG1", "フォルダ展開方法", nullptr, true, 1},
    {"RG1_0", "サブフォルダ内も展開", nullptr, true, 0},
    {"RG1_1", "直下のファイルのみ", nullptr, true, 1},
    {"RG2", "拡張子フィルター", nullptr, true, 0},
    {"RG2_0", "拡張子フィルターなし", nullptr, true, 1},
    {"RG2_1", "指定拡張子のみ読み込み", nullptr, true, 0},
    {"RG2_2", "指定拡張子以外読み込み", nullptr, true, 0},
    {"btNow2", "再読込", "同一フォルダの再読込", false, kAny},
    {"Label3", "指定\n拡張子", nullptr, false, kAny},
    {"Edit5", "", nullptr, false, kAny},
    {"btGo", "開始", "リネームを開始します", false, kAny},
    {"StatusBar1Panel0", "現在のファイル総数 : ", nullptr, true, kAny},
    {"StatusBar1Panel1", "", nullptr, true, kAny},
    {"StatusBar1Panel2", "変換後移動機能は、現在無効です。", nullptr, true, kAny},
};

QString CaptionOf(QObject* object) {
    if (auto* action = qobject_cast<QAction*>(object)) return action->text();
    if (auto* menu = qobject_cast<QMenu*>(object)) return menu->title();
    if (auto* group = qobject_cast<QGroupBox*>(object)) return group->title();
    if (auto* button = qobject_cast<QAbstractButton*>(object)) return button->text();
    if (auto* label = qobject_cast<QLabel*>(object)) return label->text();
    if (auto* combo = qobject_cast<QComboBox*>(object)) return combo->currentText();
    if (auto* edit = qobject_cast<QLineEdit*>(object)) return edit->text();
    auto* widget = qobject_cast<QWidget*>(object);
    // A tab page: its tab's text.
    for (QWidget* p = widget ? widget->parentWidget() : nullptr; p != nullptr; p = p->parentWidget()) {
        if (auto* tabs = qobject_cast<QTabWidget*>(p)) return tabs->tabText(tabs->indexOf(widget));
    }
    return QStringLiteral("<no caption>");
}

int CheckedOf(QObject* object) {
    if (auto* action = qobject_cast<QAction*>(object)) return action->isChecked() ? 1 : 0;
    if (auto* group = qobject_cast<TRadioGroup*>(object)) return group->ItemIndex();
    if (auto* button = qobject_cast<QAbstractButton*>(object)) return button->isChecked() ? 1 : 0;
    return kAny;
}

// What a control shows: a check box or radio button its mark and caption, centred in its height.
QRect Occupied(const QWidget* widget) {
    if (qobject_cast<const QCheckBox*>(widget) == nullptr &&
        qobject_cast<const QRadioButton*>(widget) == nullptr)
        return widget->geometry();
    const int height = widget->fontMetrics().height();
    return {widget->x(), widget->y() + (widget->height() - height) / 2, widget->sizeHint().width(), height};
}

QString AccessibleName(QObject* object) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    return iface != nullptr ? iface->text(QAccessible::Name) : QString();
}

}  // namespace

class LayoutTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TWindowFixture> f;

    void Show() {
        f->window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f->window.get()));
    }
    // What the table's frame and a vertical scroll bar take from the width of the columns.
    int Bar() const {
        TMyStringGrid* grid = f->Grid();
        return 2 * grid->frameWidth() + grid->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid);
    }
    QList<int> Widths() const {
        QList<int> widths;
        for (int col = 0; col < 4; ++col)
            widths << f->Grid()->ColWidths(col);
        return widths;
    }

private slots:
    void init() { f = std::make_unique<TWindowFixture>(); }
    void cleanup() {
        f.reset();
        Translate::Use(Language::Spoken::Japanese, Translate::CatalogueFolder());
    }

    void controls_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<bool>("checkCaption");
        QTest::addColumn<bool>("checkHint");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("checked");
        for (const TControlRow& row : kControls) {
            QTest::newRow(row.name) << QString::fromUtf8(row.name) << QString::fromUtf8(row.caption)
                                    << QString::fromUtf8(row.hint) << (row.caption != nullptr)
                                    << (row.hint != nullptr) << row.enabled << row.checked;
        }
    }
    void controls() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, hint);
        QFETCH(bool, checkCaption);
        QFETCH(bool, checkHint);
        QFETCH(bool, enabled);
        QFETCH(int, checked);
        auto* object = f->window->findChild<QObject*>(name);
        QVERIFY2(object != nullptr, qPrintable(name));
        if (checkCaption) QCOMPARE(CaptionOf(object), caption);
        if (checkHint) QCOMPARE(qobject_cast<QWidget*>(object)->toolTip(), hint);
        if (auto* action = qobject_cast<QAction*>(object)) {
            QCOMPARE(action->isEnabled(), enabled);
        } else if (auto* menu = qobject_cast<QMenu*>(object)) {
            QCOMPARE(menu->menuAction()->isEnabled(), enabled);
        } else {
            QCOMPARE(qobject_cast<QWidget*>(object)->isEnabled(), enabled);
        }
        if (checked != kAny) QCOMPARE(CheckedOf(object), checked);
    }

    void designedPlacesAndTitle() {
        QCOMPARE(f->window->objectName(), QStringLiteral("FmMein"));
        QCOMPARE(f->window->windowTitle(), QStringLiteral("Quorbel v1.54"));
        QCOMPARE(f->Find<QTabWidget>(QStringLiteral("PageControl1"))->geometry(), QRect(8, 32, 497, 177));
        QCOMPARE(f->Find<QTabWidget>(QStringLiteral("PageControl1"))->currentWidget()->objectName(),
                 QStringLiteral("TabSheet1"));
        QCOMPARE(f->Radio("RG1")->geometry(), QRect(8, 216, 155, 77));
        QCOMPARE(f->Radio("RG2")->geometry(), QRect(168, 216, 169, 77));
        QCOMPARE(f->Find<QPushButton>(QStringLiteral("btNow2"))->geometry(), QRect(344, 216, 49, 41));
        QCOMPARE(f->Find<QPushButton>(QStringLiteral("btGo"))->geometry(), QRect(408, 216, 89, 41));
        QCOMPARE(f->Find<QLabel>(QStringLiteral("Label3"))->x(), 344);
        const QRect edit5 = f->Find<QComboBox>(QStringLiteral("Edit5"))->geometry();
        QCOMPARE(edit5.x(), 384);
        QCOMPARE(edit5.width(), 113);
        QCOMPARE(f->Grid()->pos(), QPoint(0, 296));
        QCOMPARE(f->Grid()->Cells(1, 0), QStringLiteral("元のファイル名"));
        QCOMPARE(f->Grid()->Cells(2, 0), QStringLiteral("変更後のファイル名"));
        QCOMPARE(f->Grid()->Cells(3, 0), QStringLiteral("パス"));
        QCOMPARE(f->Grid()->RowCount(), 2);
        QCOMPARE(f->Grid()->RowHeights(0), 20);
        QCOMPARE(f->window->font().families().first(), QStringLiteral("ＭＳ Ｐゴシック"));
        QCOMPARE(f->window->font().pointSize(), 9);
        QCOMPARE(f->window->ClientArea()->size(), QSize(513, 502));
    }

    void captionsAreNotClipped_data() {
        QTest::addColumn<bool>("english");
        QTest::addColumn<bool>("smallest");
        QTest::newRow("Japanese") << false << false;
        QTest::newRow("English") << true << false;
        QTest::newRow("Japanese, smallest") << false << true;
        QTest::newRow("English, smallest") << true << true;
    }
    void captionsAreNotClipped() {
        QFETCH(bool, english);
        QFETCH(bool, smallest);
        if (english) {
            Translate::Use(Language::Spoken::English, Translate::CatalogueFolder());
            f = std::make_unique<TWindowFixture>();
        }
        Show();
        if (smallest) {
            f->window->resize(300, 200);
            QCoreApplication::processEvents();
            QCOMPARE(f->window->ClientArea()->size(), QSize(513, 421));
        }
        // Every page is laid out once it has been shown.
        auto* pages = f->Find<QTabWidget>(QStringLiteral("PageControl1"));
        QCOMPARE(pages->tabText(3), english ? QStringLiteral("Settings") : QStringLiteral("動作設定"));
        for (int i = 0; i < pages->count(); ++i) {
            pages->setCurrentIndex(i);
            QCoreApplication::processEvents();
        }
        QStringList misplaced;
        for (QWidget* widget : f->window->findChildren<QWidget*>()) {
            const QString name = widget->objectName();
            if (name.isEmpty() || name.startsWith(QLatin1String("qt_"))) continue;
            const QFontMetrics fm = widget->fontMetrics();
            // Whole inside what holds it, and clear of the controls beside it.
            QWidget* parent = widget->parentWidget();
            if (!widget->isWindow() && widget->isVisibleTo(parent)) {
                if (!parent->rect().contains(widget->geometry())) misplaced << name;
                for (QWidget* other : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                    if (name < other->objectName() && other->isVisibleTo(parent) &&
                        Occupied(widget).intersects(Occupied(other)))
                        misplaced << name + QLatin1String(" over ") + other->objectName();
                }
            }
            // Status panels that end a long text in an ellipsis carry the whole text in their tip.
            if (dynamic_cast<TElidedLabel*>(widget) != nullptr) continue;
            if (auto* label = qobject_cast<QLabel*>(widget)) {
                const QStringList lines = label->text().split(QLatin1Char('\n'));
                for (const QString& line : lines) {
                    QVERIFY2(fm.horizontalAdvance(line) <= label->contentsRect().width(), qPrintable(name));
                }
                QVERIFY2(fm.lineSpacing() * lines.size() <= label->height() + fm.leading(), qPrintable(name));
            } else if (qobject_cast<QCheckBox*>(widget) != nullptr ||
                       qobject_cast<QRadioButton*>(widget) != nullptr) {
                QVERIFY2(widget->sizeHint().width() <= widget->width(), qPrintable(name));
                QVERIFY2(fm.height() <= widget->height(), qPrintable(name));
            } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
                QVERIFY2(fm.horizontalAdvance(button->text()) + 8 <= button->width(), qPrintable(name));
            } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
                QVERIFY2(fm.horizontalAdvance(group->title()) + 16 <= group->width(), qPrintable(name));
            }
        }
        QCOMPARE(misplaced.join(QLatin1Char('\n')), QString());
    }

    void accessibleNames() {
        const std::pair<const char*, const char*> named[] = {
            {"edit2", "先頭固定文字"},   {"edit3", "連番初期値"}, {"Edit9", "数値の増加量"},
            {"edit8", "末尾固定文字"},   {"Edit5", "指定拡張子"}, {"Edit6", "対象"},
            {"Edit7", "置換"},           {"Edit4", "拡張子"},     {"MySG", "ファイル一覧"},
            {"btOpen", "フォルダ選択"},  {"bthis2", "2"},         {"CB1", "拡張子変換"},
            {"RG1", "フォルダ展開方法"}, {"btGo", "開始"},
        };
        for (const auto& [name, accessible] : named) {
            QCOMPARE(AccessibleName(f->window->findChild<QWidget*>(QLatin1String(name))),
                     QString::fromUtf8(accessible));
        }
        // Every control of the window can be told by name, Qt's own parts of the controls too.
        Show();
        QStringList unnamed;
        for (QWidget* widget : f->window->findChildren<QWidget*>()) {
            const bool control = qobject_cast<QAbstractButton*>(widget) || qobject_cast<QComboBox*>(widget) ||
                                 qobject_cast<QLineEdit*>(widget) || qobject_cast<QGroupBox*>(widget) ||
                                 qobject_cast<QAbstractItemView*>(widget) ||
                                 qobject_cast<QTabWidget*>(widget) || qobject_cast<QMenu*>(widget);
            const QString what = widget->objectName() + QLatin1Char(' ') + widget->metaObject()->className() +
                                 QLatin1String(" in ") + widget->parentWidget()->objectName();
            if (control && AccessibleName(widget).isEmpty()) unnamed << what;
        }
        // Menu items are named by their texts.
        QList<QAction*> items = f->window->menuBar()->actions();
        for (QMenu* menu : f->window->findChildren<QMenu*>())
            items << menu->actions();
        for (QAction* action : items) {
            if (!action->isSeparator() && action->text().isEmpty()) unnamed << action->objectName();
        }
        QCOMPARE(unnamed.join(QLatin1String("\n")), QString());
    }

    void toolBarImages() {
        const std::pair<const char*, int> images[] = {
            {"btOpen", 0},    {"btNow", 11}, {"tbNextOpen", 1}, {"bthis1", 3},
            {"btHistClr", 4}, {"btret", 5},  {"btMoveOn", 3},   {"btMoveFolder", 6},
            {"bMHist2", 3},   {"btEnd", 12}, {"btPreview", 13},
        };
        for (const auto& [name, index] : images) {
            auto* button = f->Find<QToolButton>(QLatin1String(name));
            QCOMPARE(TFmMein::ImageIndexOf(button), index);
            QVERIFY2(!button->icon().pixmap(16, 16).isNull(), name);
            QCOMPARE(button->size(), QSize(26, 24));
        }
    }

    void columnsAtTheDesignedSize() {
        Show();
        QCOMPARE(f->window->ClientArea()->size(), QSize(513, 502));
        QCOMPARE(Widths(), QList<int>({16, 128, 128, 513 - (16 + 128 + 128) - Bar()}));
        QCOMPARE(f->Grid()->width(), 513);
        auto* status = f->Find<QWidget>(QStringLiteral("StatusBar1"));
        QCOMPARE(f->Grid()->geometry().bottom() + 1, status->y());
        QCOMPARE(status->geometry().bottom() + 1, 502);
    }

    void longListScrollsOnlyDownwards() {
        for (int i = 0; i < 30; ++i)
            f->dir.MakeFile("many/" + std::to_string(100 + i) + ".txt");
        f->Load({"many"});
        Show();
        for (const int extraWidth : {0, 87}) {
            f->window->resize(f->window->width() + extraWidth, f->window->height());
            QCoreApplication::processEvents();
            TMyStringGrid* grid = f->Grid();
            QVERIFY(grid->verticalScrollBar()->isVisible());
            QVERIFY(!grid->horizontalScrollBar()->isVisible());
            // The right border of the last column stands inside the visible part of the table.
            const QHeaderView* header = grid->horizontalHeader();
            QVERIFY(header->sectionViewportPosition(3) + header->sectionSize(3) <= grid->viewport()->width());
        }
    }

    void draggedBorderShrinksTheLastColumn() {
        Show();
        // As the user's drag of the border leaves it.
        f->Grid()->SetColWidths(1, 200);
        emit f->Grid()->ColumnResized(1, 128, 200);
        QCOMPARE(Widths(), QList<int>({16, 200, 128, 513 - (16 + 200 + 128) - Bar()}));
        // A wider window keeps the user's widths and gives the rest to column 3.
        f->window->resize(f->window->width() + 100, f->window->height());
        QCoreApplication::processEvents();
        QCOMPARE(f->window->ClientArea()->width(), 613);
        QCOMPARE(Widths(), QList<int>({16, 200, 128, 613 - (16 + 200 + 128) - Bar()}));
        // Drawing without a change does nothing.
        f->window->Columns().MySGDrawCell();
        QCOMPARE(Widths(), QList<int>({16, 200, 128, 613 - (16 + 200 + 128) - Bar()}));
    }

    void tooSmallSnapsBack() {
        Show();
        f->Grid()->SetColWidths(1, 200);
        f->window->Columns().MySGDrawCell();
        f->window->resize(300, 200);
        QCoreApplication::processEvents();
        QCOMPARE(f->window->ClientArea()->size(), QSize(513, 421));
        QCOMPARE(Widths(), QList<int>({16, 132, 132, 513 - (16 + 132 + 132) - Bar()}));
        auto* status = f->Find<QWidget>(QStringLiteral("StatusBar1"));
        QCOMPARE(f->Grid()->geometry().bottom() + 1, status->y());
    }

    void messagesFollowTheWindow() {
        Show();
        const QRect frame = f->window->frameGeometry();
        const QSize extra = frame.size() - f->window->size();
        f->window->move(144, 89);
        f->window->resize(QSize(521, 548) - extra);
        QCoreApplication::processEvents();
        QCOMPARE(f->window->frameGeometry(), QRect(144, 89, 521, 548));
        QCOMPARE(f->window->MessagePoint(), QPoint(248, 226));
        f->window->FolderHistory[0] = f->Path("vanished");
        f->window->ShowFolderHistory();
        f->Find<QToolButton>(QStringLiteral("bthis1"))->click();
        QCOMPARE(f->dialogs->calls.size(), std::size_t{1});
        QCOMPARE(f->dialogs->calls[0].point, QPoint(248, 226));
    }

    void swMsgShowsItsFixedLinesAtItsPlace() {
        auto* msg = f->Find<TSwMsg>(QStringLiteral("SwMsg1"));
        msg->Msg1 = QStringLiteral("対象ファイル /x が見つかりません。");
        msg->Left = 10;
        msg->Top = 20;
        msg->Execute();
        QCOMPARE(f->dialogs->calls.size(), std::size_t{1});
        QCOMPARE(f->dialogs->calls[0].text, QStringLiteral("対象ファイル /x が見つかりません。\r\n"
                                                           "既に移動または削除された可能性があります\r\n"
                                                           "再度リストを作成して下さい。"));
        QCOMPARE(f->dialogs->calls[0].point, QPoint(10, 20));
    }

    void enterMovesToTheNextControl() {
        Show();
        f->window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f->window.get()));
        auto* edit2 = f->Find<QComboBox>(QStringLiteral("edit2"));
        auto* edit3 = f->Find<QComboBox>(QStringLiteral("edit3"));
        auto* edit9 = f->Find<QLineEdit>(QStringLiteral("Edit9"));
        edit2->setFocus();
        QVERIFY(edit2->hasFocus());
        edit2->setEditText(QStringLiteral("abc"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(edit3->hasFocus());
        QCOMPARE(edit2->count(), 0);  // the combo box did not take the Enter
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
        QVERIFY(edit9->hasFocus());
        // Ctrl+Enter is left to the control.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return, Qt::ControlModifier);
        QVERIFY(edit9->hasFocus());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(f->Find<QComboBox>(QStringLiteral("edit8"))->hasFocus());
    }

    void stayOnTopReattachesTheDropTarget() {
        Show();
        auto* drop = f->Find<TFileDrop>(QStringLiteral("FileDrop1"));
        QCOMPARE(drop->AttachedWidget(), f->window.get());
        drop->SetAccept(false);
        f->Find<QCheckBox>(QStringLiteral("cbFormStyle"))->click();
        QVERIFY(f->window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(f->window->isVisible());
        QCOMPARE(drop->AttachedWidget(), f->window.get());
        QVERIFY(drop->Accept());
        f->Find<QCheckBox>(QStringLiteral("cbFormStyle"))->click();
        QVERIFY(!f->window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(f->window->isVisible());
    }

    void endClosesTheWindow() {
        Show();
        f->Find<QToolButton>(QStringLiteral("btEnd"))->click();
        QVERIFY(!f->window->isVisible());
        Show();
        f->Action("Exit1")->trigger();
        QVERIFY(!f->window->isVisible());
    }
};

QUORBEL_QTEST_MAIN(LayoutTest)
#include "Layout_test.moc"
