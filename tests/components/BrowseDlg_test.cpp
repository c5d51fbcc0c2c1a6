#include "components/BrowseDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMetaProperty>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QTreeView>
#include <functional>

#include "support/QtTestMain.h"
#include "support/TempDir.h"

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// Runs `whileOpen` once the dialog's event loop runs, then returns what Execute returned. A dialog
// the test left open is closed without any event, so a failed check never hangs the run.
bool ExecuteWhile(TBrowseDlg& dlg, const std::function<void(QDialog*)>& whileOpen) {
    QTimer::singleShot(0, &dlg, [&dlg, whileOpen] {
        QDialog* window = dlg.DialogWindow();
        QVERIFY(window != nullptr);
        QVERIFY(window->isVisible());
        whileOpen(window);
        if (dlg.DialogWindow() && dlg.DialogWindow()->isVisible())
            dlg.DialogWindow()->done(QDialog::Rejected);
    });
    return dlg.Execute();
}

template <typename T>
T* Part(QDialog* window, const char* name) {
    T* part = window->findChild<T*>(QLatin1String(name));
    if (!part) qFatal("no part %s", name);
    return part;
}

void ClickOK(QDialog* window) {
    Part<QPushButton>(window, "OKButton")->click();
}
void ClickCancel(QDialog* window) {
    Part<QPushButton>(window, "CancelButton")->click();
}

int LineHeight() {
    return QFontMetrics(QApplication::font()).height();
}
int TitleBarHeight(QWidget* window) {
    return window->style()->pixelMetric(QStyle::PM_TitleBarHeight);
}

}  // namespace

class BrowseDlgTest : public QObject {
    Q_OBJECT

private slots:
    void Defaults() {
        TBrowseDlg dlg;
        QStringList published;
        const QMetaObject* meta = dlg.metaObject();
        for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
            published << QString::fromLatin1(meta->property(i).name()) + "=" +
                             meta->property(i).read(&dlg).toString();
        }
        QCOMPARE(published.join(' '),
                 QStringLiteral(
                     "BottomMargin=8 BtnHeight=24 BtnHorzMargin=12 BtnHorzSpacing=8 "
                     "CancelBtnCaption=キャンセル(&C) CancelBtnWidth=88 Caption=フォルダの参照 "
                     "CustomBtnCaption=カスタム(&U) CustomBtnChecked=false CustomBtnEnabled=true "
                     "CustomBtnVisible=true CustomEditHorzMargin=8 CustomEditItems= CustomEditVisible=true "
                     "Height=300 OKBtnCaption=&OK OKBtnWidth=88 Root= ScreenCenter=true Text1= "
                     "Text1Visible=true Text2= Text2Visible=false TextHorzMargin=12 TopMargin=8 "
                     "TreeHorzMargin=8 VertSpacing=4 Width=378 X=64 Y=64"));
        QVERIFY(dlg.CustomBtnType() == TCustomBtnType::cbNone);
        QVERIFY(dlg.CustomEditType() == TCustomEditType::ceEdit);
        QVERIFY(dlg.Options() == TBrowseOptions(TBrowseOption::boReturnOnlyDirectory));
        QVERIFY(dlg.SpecialRoot() == TSpecialFolder::sfDesktop);
        QVERIFY(dlg.SelectedPath().isEmpty());
        QVERIFY(dlg.DialogWindow() == nullptr);
        QCOMPARE(static_cast<int>(TSpecialFolder::sfMyComputer), 17);
    }

    void LayoutWithBothTextLinesAndCustomButton() {
        testsupport::TempDir tmp;
        TBrowseDlg dlg;
        dlg.SetRoot(Q(tmp.Path()));
        dlg.SetText1(QStringLiteral("フォルダを選んでください"));
        dlg.SetText2Visible(true);
        dlg.SetCustomBtnType(TCustomBtnType::cbButton);
        ExecuteWhile(dlg, [](QDialog* w) {
            const int L = LineHeight();
            const int C = TitleBarHeight(w);
            QCOMPARE(w->size(), QSize(378 - 6, 300 - C - 6));
            QCOMPARE(Part<QLabel>(w, "Text1")->geometry(), QRect(12, 8, 348, L));
            QCOMPARE(Part<QLabel>(w, "Text2")->geometry(), QRect(12, 8 + L + 6, 348, L));
            QVERIFY(Part<QLabel>(w, "Text2")->isVisible());
            auto* edit = Part<QLineEdit>(w, "CustomEdit");
            const int top = 8 + 2 * (L + 6);
            const int E = edit->height();
            QVERIFY(E > 0);
            QCOMPARE(edit->geometry(), QRect(8, top, 356, E));
            const int B = 300 - (C + 24 + 8 + 6);
            const int treeTop = top + E + 4;
            QCOMPARE(Part<QTreeView>(w, "FolderTree")->geometry(), QRect(8, treeTop, 356, B - treeTop - 4));
            QCOMPARE(Part<QPushButton>(w, "CancelButton")->geometry(), QRect(272, B, 88, 24));
            QCOMPARE(Part<QPushButton>(w, "CancelButton")->accessibleName(), QStringLiteral("キャンセル(C)"));
            QCOMPARE(Part<QPushButton>(w, "OKButton")->geometry(), QRect(176, B, 88, 24));
            QCOMPARE(Part<QPushButton>(w, "CustomButton")->geometry(), QRect(12, B, 156, 24));
        });
    }

    void LayoutWithoutTextLinesStartsAtTopMargin() {
        testsupport::TempDir tmp;
        TBrowseDlg dlg;
        dlg.SetRoot(Q(tmp.Path()));
        dlg.SetText1Visible(false);
        ExecuteWhile(dlg, [](QDialog* w) {
            QVERIFY(Part<QLabel>(w, "Text1")->isHidden());
            QVERIFY(Part<QLabel>(w, "Text2")->isHidden());
            auto* edit = Part<QLineEdit>(w, "CustomEdit");
            QCOMPARE(edit->pos(), QPoint(8, 8));
            QCOMPARE(Part<QTreeView>(w, "FolderTree")->pos(), QPoint(8, 8 + edit->height() + 4));
        });
        // Without a custom edit the tree itself starts at the top margin.
        dlg.SetCustomEditType(TCustomEditType::ceNone);
        ExecuteWhile(dlg, [](QDialog* w) {
            QVERIFY(w->findChild<QWidget*>(QStringLiteral("CustomEdit")) == nullptr);
            QCOMPARE(Part<QTreeView>(w, "FolderTree")->pos(), QPoint(8, 8));
        });
    }

    void LayoutWithComboBoxAndHiddenEdit() {
        testsupport::TempDir tmp;
        TBrowseDlg dlg;
        dlg.SetRoot(Q(tmp.Path()));
        dlg.SetCustomEditType(TCustomEditType::ceComboBox);
        dlg.SetCustomEditItems({QStringLiteral("/a"), QStringLiteral("/b")});
        ExecuteWhile(dlg, [&dlg](QDialog* w) {
            const int L = LineHeight();
            auto* combo = Part<QComboBox>(w, "CustomEdit");
            QCOMPARE(combo->count(), 2);
            const int top = 8 + L + 6;
            const int E = combo->height();
            QCOMPARE(combo->geometry(), QRect(8, top, 356, E));
            auto* tree = Part<QTreeView>(w, "FolderTree");
            QCOMPARE(tree->y(), top + E + 4);
            // Hiding the edit gives its room to the tree at once.
            dlg.SetCustomEditVisible(false);
            QVERIFY(combo->isHidden());
            QCOMPARE(tree->y(), top);
            // New entries replace the old ones without touching the shown text.
            const QString shown = combo->currentText();
            dlg.SetCustomEditItems({QStringLiteral("/c")});
            QCOMPARE(combo->count(), 1);
            QCOMPARE(combo->currentText(), shown);
        });
    }

    void SettersActWhileOpen() {
        testsupport::TempDir tmp;
        TBrowseDlg dlg;
        dlg.SetRoot(Q(tmp.Path()));
        dlg.SetCustomBtnType(TCustomBtnType::cbButton);
        ExecuteWhile(dlg, [&dlg](QDialog* w) {
            const int C = TitleBarHeight(w);
            dlg.SetWidth(500);
            QCOMPARE(w->size(), QSize(494, 300 - C - 6));
            QCOMPARE(Part<QLabel>(w, "Text1")->width(), 470);
            QCOMPARE(Part<QLineEdit>(w, "CustomEdit")->width(), 478);
            QCOMPARE(Part<QTreeView>(w, "FolderTree")->width(), 478);
            QCOMPARE(Part<QPushButton>(w, "CancelButton")->x(), 394);
            QCOMPARE(Part<QPushButton>(w, "OKButton")->x(), 298);
            QCOMPARE(Part<QPushButton>(w, "CustomButton")->width(), 278);
            dlg.SetHeight(400);
            dlg.SetBottomMargin(20);
            QCOMPARE(w->height(), 400 - C - 6);
            QCOMPARE(Part<QPushButton>(w, "OKButton")->y(), 400 - (C + 24 + 20 + 6));

            dlg.SetCaption(QStringLiteral("移動先"));
            QCOMPARE(w->windowTitle(), QStringLiteral("移動先"));
            dlg.SetOKBtnCaption(QStringLiteral("決定(&D)"));
            QCOMPARE(Part<QPushButton>(w, "OKButton")->text(), QStringLiteral("決定(&D)"));
            QCOMPARE(Part<QPushButton>(w, "OKButton")->accessibleName(), QStringLiteral("決定(D)"));
            QCOMPARE(BrowseDlg::StripMnemonic(QStringLiteral("&&A&")), QStringLiteral("&A"));
            dlg.SetText2(QStringLiteral("状態"));
            QCOMPARE(Part<QLabel>(w, "Text2")->text(), QStringLiteral("状態"));
            dlg.SetCustomBtnEnabled(false);
            QVERIFY(!Part<QPushButton>(w, "CustomButton")->isEnabled());
            dlg.SetCustomBtnVisible(false);
            QVERIFY(Part<QPushButton>(w, "CustomButton")->isHidden());
        });
    }

    void Placement() {
        testsupport::TempDir tmp;
        TBrowseDlg dlg;
        dlg.SetRoot(Q(tmp.Path()));
        ExecuteWhile(dlg, [&dlg](QDialog* w) {
            const QRect screen = QGuiApplication::primaryScreen()->geometry();
            const QPoint centred(screen.x() + (screen.width() - 378) / 2,
                                 screen.y() + (screen.height() - 300) / 2);
            QCOMPARE(w->pos(), centred);
            dlg.SetX(10);  // no effect while centred
            QCOMPARE(w->pos(), centred);
            dlg.SetScreenCenter(false);
            QCOMPARE(w->pos(), QPoint(10, 64));
            dlg.SetY(20);
            QCOMPARE(w->pos(), QPoint(10, 20));
        });
    }

    void StructuralPropertiesCannotChangeWhileOpen() {
        testsupport::TempDir tmp;
        TBrowseDlg dlg;
        dlg.SetRoot(Q(tmp.Path()));
        QStringList refused;
        auto expectRefusal = [&refused](const char* name, const std::function<void()>& set) {
            try {
                set();
            } catch (const EBrowseDlgPropertyError& e) {
                refused << QString::fromUtf8(e.what());
                if (e.PropertyName() != name) refused << QStringLiteral("wrong name");
            }
        };
        ExecuteWhile(dlg, [&](QDialog* w) {
            expectRefusal("Root", [&] { dlg.SetRoot(QStringLiteral("/")); });
            expectRefusal("SpecialRoot", [&] { dlg.SetSpecialRoot(TSpecialFolder::sfFonts); });
            expectRefusal("Options", [&] { dlg.SetOptions(TBrowseOption::boIncludeFiles); });
            expectRefusal("CustomBtnType", [&] { dlg.SetCustomBtnType(TCustomBtnType::cbCheckBox); });
            expectRefusal("CustomEditType", [&] { dlg.SetCustomEditType(TCustomEditType::ceNone); });
            QVERIFY(w->isVisible());
        });
        const QString pattern =
            QStringLiteral("TBrowseDlg: Execute の実行中には %1 プロパティの値を変更できません");
        QCOMPARE(refused,
                 QStringList({pattern.arg("Root"), pattern.arg("SpecialRoot"), pattern.arg("Options"),
                              pattern.arg("CustomBtnType"), pattern.arg("CustomEditType")}));
        QCOMPARE(dlg.Root(), Q(tmp.Path()));
        QVERIFY(dlg.SpecialRoot() == TSpecialFolder::sfDesktop);
        QVERIFY(dlg.Options() == TBrowseOptions(TBrowseOption::boReturnOnlyDirectory));
        QVERIFY(dlg.CustomBtnType() == TCustomBtnType::cbNone);
        QVERIFY(dlg.CustomEditType() == TCustomEditType::ceEdit);
        // Closed again, the same setters work.
        dlg.SetCustomEditType(TCustomEditType::ceNone);
        QVERIFY(dlg.CustomEditType() == TCustomEditType::ceNone);
    }

    void SecondExecuteIsRefused() {
        testsupport::TempDir tmp;
        TBrowseDlg dlg;
        dlg.SetRoot(Q(tmp.Path()));
        QString message;
        const bool result = ExecuteWhile(dlg, [&](QDialog* w) {
            try {
                dlg.Execute();
            } catch (const EBrowseDlgError& e) {
                message = QString::fromUtf8(e.what());
            }
            QCOMPARE(dlg.DialogWindow(), w);
            QVERIFY(w->isVisible());
            ClickOK(w);
        });
        QCOMPARE(message, QStringLiteral("TBrowseDlg: Execute is already running"));
        QVERIFY(result);
        QVERIFY(!dlg.IsRunning());
        QVERIFY(dlg.DialogWindow() == nullptr);
    }

    void HandlerExceptionLeavesDialogClosed() {
        testsupport::TempDir tmp;
        TBrowseDlg dlg;
        dlg.SetRoot(Q(tmp.Path()));
        auto connection =
            connect(&dlg, &TBrowseDlg::OnShow, [&dlg](TBrowseOKState&) { dlg.SetRoot(QStringLiteral("/")); });
        QVERIFY_THROWS_EXCEPTION(EBrowseDlgPropertyError, dlg.Execute());
        QVERIFY(!dlg.IsRunning());
        QVERIFY(dlg.DialogWindow() == nullptr);
        disconnect(connection);
        QVERIFY(!ExecuteWhile(dlg, [](QDialog* w) { ClickCancel(w); }));
    }

    void SetSelectionPathTrimsTrailingSlash() {
        testsupport::TempDir tmp;
        tmp.MakeDir("data/sub");
        tmp.MakeDir(".hidden");
        TBrowseDlg dlg;
        dlg.SetSpecialRoot(TSpecialFolder::sfMyComputer);
        dlg.SetSelectionPath(Q(tmp / "data"));  // closed: nothing to do
        QVERIFY(dlg.SelectedPath().isEmpty());
        ExecuteWhile(dlg, [&](QDialog* w) {
            QCOMPARE(dlg.SelectedPath(), QStringLiteral("/"));  // the root is selected first
            dlg.SetSelectionPath(Q(tmp / "data/"));
            QCOMPARE(dlg.SelectedPath(), Q(tmp / "data"));
            QCOMPARE(dlg.DisplayName(), QStringLiteral("data"));
            QCOMPARE(Part<QLineEdit>(w, "CustomEdit")->text(), Q(tmp / "data"));
            dlg.SetSelectionPath(QStringLiteral("/"));
            QCOMPARE(dlg.SelectedPath(), QStringLiteral("/"));
            dlg.SetSelectionPath(Q(tmp / ".hidden"));
            QCOMPARE(dlg.SelectedPath(), Q(tmp / ".hidden"));
            // Missing folders, files (without boIncludeFiles) and relative paths select nothing new.
            tmp.MakeFile("data/x.txt");
            dlg.SetSelectionPath(Q(tmp / "missing"));
            dlg.SetSelectionPath(Q(tmp / "data/x.txt"));
            dlg.SetSelectionPath(QStringLiteral("data"));
            QCOMPARE(dlg.SelectedPath(), Q(tmp / ".hidden"));
            ClickCancel(w);
        });
        // The last selection stays readable after the dialog has gone.
        QCOMPARE(dlg.SelectedPath(), Q(tmp / ".hidden"));
    }

    void SelectionStaysUnderRoot() {
        testsupport::TempDir tmp;
        tmp.MakeDir("root/in");
        tmp.MakeDir("outside");
        TBrowseDlg dlg;
        dlg.SetRoot(Q(tmp / "root/"));
        ExecuteWhile(dlg, [&](QDialog* w) {
            QCOMPARE(dlg.SelectedPath(), Q(tmp / "root"));
            auto* tree = Part<QTreeView>(w, "FolderTree");
            QCOMPARE(tree->model()->rowCount(tree->rootIndex()), 1);  // the root is the only top item
            dlg.SetSelectionPath(Q(tmp / "outside"));
            QCOMPARE(dlg.SelectedPath(), Q(tmp / "root"));
            dlg.SetSelectionPath(Q(tmp / "root/in"));
            QCOMPARE(dlg.SelectedPath(), Q(tmp / "root/in"));
        });
    }

    void RootResolution() {
        testsupport::TempDir tmp;
        tmp.MakeFile("file.txt");
        tmp.MakeDir("Templates");
        // A root that is no folder falls back to the file-system root.
        QCOMPARE(BrowseDlg::ResolveRoot(Q(tmp / "missing"), TSpecialFolder::sfDesktop), QStringLiteral("/"));
        QCOMPARE(BrowseDlg::ResolveRoot(Q(tmp / "file.txt"), TSpecialFolder::sfDesktop), QStringLiteral("/"));
        QCOMPARE(BrowseDlg::ResolveRoot(QStringLiteral("relative"), TSpecialFolder::sfDesktop),
                 QStringLiteral("/"));
        QCOMPARE(BrowseDlg::ResolveRoot(Q(tmp.Path() + "/"), TSpecialFolder::sfDesktop), Q(tmp.Path()));

        const QByteArray oldHome = qgetenv("HOME");
        qputenv("HOME", QByteArray::fromStdString(tmp.Path()));
        qunsetenv("XDG_TEMPLATES_DIR");
        QCOMPARE(BrowseDlg::ResolveRoot({}, TSpecialFolder::sfPersonal), Q(tmp.Path()));
        QCOMPARE(BrowseDlg::ResolveRoot({}, TSpecialFolder::sfRecycleBin), Q(tmp.Path()));
        QCOMPARE(BrowseDlg::ResolveRoot({}, TSpecialFolder::sfMyComputer), QStringLiteral("/"));
        QCOMPARE(BrowseDlg::ResolveRoot({}, TSpecialFolder::sfTemplates), Q(tmp / "Templates"));
        qputenv("XDG_TEMPLATES_DIR", QByteArray::fromStdString(tmp / "missing"));
        QCOMPARE(BrowseDlg::ResolveRoot({}, TSpecialFolder::sfTemplates), QStringLiteral("/"));
        qunsetenv("XDG_TEMPLATES_DIR");
        qputenv("HOME", oldHome);

        TBrowseDlg dlg;
        dlg.SetRoot(Q(tmp / "missing"));
        ExecuteWhile(dlg, [&](QDialog*) { QCOMPARE(dlg.SelectedPath(), QStringLiteral("/")); });
    }

    void ChoosingAFolderAndOK() {
        testsupport::TempDir tmp;
        tmp.MakeDir("a/b");
        TBrowseDlg dlg;
        dlg.SetRoot(Q(tmp.Path()));
        QStringList events;
        connect(&dlg, &TBrowseDlg::OnChange,
                [&](TBrowseOKState&) { events << "change:" + dlg.SelectedPath(); });
        connect(&dlg, &TBrowseDlg::OnOKBtnClick, [&] { events << QStringLiteral("ok"); });
        connect(&dlg, &TBrowseDlg::OnCancelBtnClick, [&] { events << QStringLiteral("cancel"); });
        const bool result = ExecuteWhile(dlg, [&](QDialog* w) {
            dlg.SetSelectionPath(Q(tmp / "a/b"));
            ClickOK(w);
        });
        QVERIFY(result);
        QCOMPARE(dlg.SelectedPath(), Q(tmp / "a/b"));
        QCOMPARE(dlg.DisplayName(), QStringLiteral("b"));
        // The root's own selection happens before the dialog is shown and is not reported.
        QCOMPARE(events, QStringList({"change:" + Q(tmp / "a/b"), QStringLiteral("ok")}));
    }

    void CancelAndEscapeReturnFalse() {
        testsupport::TempDir tmp;
        tmp.MakeDir("a");
        TBrowseDlg dlg;
        dlg.SetRoot(Q(tmp.Path()));
        int cancels = 0;
        int oks = 0;
        connect(&dlg, &TBrowseDlg::OnCancelBtnClick, [&] { ++cancels; });
        connect(&dlg, &TBrowseDlg::OnOKBtnClick, [&] { ++oks; });
        QVERIFY(!ExecuteWhile(dlg, [&](QDialog* w) {
            dlg.SetSelectionPath(Q(tmp / "a"));
            ClickCancel(w);
        }));
        QVERIFY(!ExecuteWhile(dlg, [](QDialog* w) { QTest::keyClick(w, Qt::Key_Escape); }));
        QVERIFY(!ExecuteWhile(dlg, [](QDialog* w) { w->close(); }));
        QCOMPARE(cancels, 3);
        QCOMPARE(oks, 0);
    }

    void OKButtonStateFromHandlers() {
        testsupport::TempDir tmp;
        tmp.MakeDir("locked");
        tmp.MakeDir("open");
        TBrowseDlg dlg;
        dlg.SetRoot(Q(tmp.Path()));
        connect(&dlg, &TBrowseDlg::OnShow, [](TBrowseOKState& state) { state = TBrowseOKState::okDisabled; });
        connect(&dlg, &TBrowseDlg::OnChange, [&dlg](TBrowseOKState& state) {
            if (dlg.SelectedPath().endsWith(QStringLiteral("/locked"))) state = TBrowseOKState::okDisabled;
            if (dlg.SelectedPath().isEmpty()) state = TBrowseOKState::okEnabled;
        });
        QVERIFY(!ExecuteWhile(dlg, [&](QDialog* w) {
            auto* ok = Part<QPushButton>(w, "OKButton");
            QVERIFY(!ok->isEnabled());
            dlg.SetSelectionPath(Q(tmp / "open"));
            QVERIFY(ok->isEnabled());
            dlg.SetSelectionPath(Q(tmp / "locked"));
            QVERIFY(!ok->isEnabled());
            // Nothing selected has no path; even a handler that insists on OK gets no folder.
            Part<QTreeView>(w, "FolderTree")->selectionModel()->clearSelection();
            QVERIFY(dlg.SelectedPath().isEmpty() && dlg.DisplayName().isEmpty());
            QVERIFY(Part<QLineEdit>(w, "CustomEdit")->text().isEmpty());
            QVERIFY(ok->isEnabled());
            ClickOK(w);
        }));
    }

    void TypedFolderIsTakenOnOK() {
        testsupport::TempDir tmp;
        tmp.MakeDir("typed");
        TBrowseDlg dlg;
        dlg.SetRoot(Q(tmp.Path()));
        QVERIFY(ExecuteWhile(dlg, [&](QDialog* w) {
            Part<QLineEdit>(w, "CustomEdit")->setText(Q(tmp / "typed/"));
            ClickOK(w);
        }));
        QCOMPARE(dlg.SelectedPath(), Q(tmp / "typed"));

        // A folder that is not there keeps the dialog open rather than returning another one.
        int oks = 0;
        connect(&dlg, &TBrowseDlg::OnOKBtnClick, [&] { ++oks; });
        QVERIFY(!ExecuteWhile(dlg, [&](QDialog* w) {
            Part<QLineEdit>(w, "CustomEdit")->setText(Q(tmp / "nothere"));
            ClickOK(w);
            QVERIFY(w->isVisible());
            QCOMPARE(dlg.SelectedPath(), Q(tmp.Path()));
            ClickCancel(w);
        }));
        QCOMPARE(oks, 0);
    }

    void OnlyTheUsersOwnChoicesReachThePathField() {
        testsupport::TempDir tmp;
        tmp.MakeDir("start");
        tmp.MakeDir("typed");
        tmp.MakeDir("clicked");
        TBrowseDlg dlg;
        dlg.SetRoot(Q(tmp.Path()));
        QVERIFY(ExecuteWhile(dlg, [&](QDialog* w) {
            auto* edit = Part<QLineEdit>(w, "CustomEdit");
            auto* tree = Part<QTreeView>(w, "FolderTree");
            edit->clear();
            QTest::keyClicks(edit, Q(tmp / "typed"));
            // Selections the dialog makes by itself (a late start folder, a selection the tree
            // loses) leave the typed path alone.
            dlg.SetSelectionPath(Q(tmp / "start"));
            QCOMPARE(dlg.SelectedPath(), Q(tmp / "start"));
            tree->selectionModel()->clearSelection();
            QCOMPARE(edit->text(), Q(tmp / "typed"));
            // A folder the user clicks is the user's choice again, and stays so.
            dlg.SetSelectionPath(Q(tmp / "clicked"));
            const QRect clicked = tree->visualRect(tree->currentIndex());
            dlg.SetSelectionPath(Q(tmp / "start"));
            QCOMPARE(edit->text(), Q(tmp / "typed"));
            QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, clicked.center());
            QCOMPARE(edit->text(), Q(tmp / "clicked"));
            dlg.SetSelectionPath(Q(tmp / "start"));
            QCOMPARE(edit->text(), Q(tmp / "clicked"));
            ClickOK(w);
        }));
        QCOMPARE(dlg.SelectedPath(), Q(tmp / "clicked"));
    }

    void DeepFolderKeepsTheRootInSight() {
        testsupport::TempDir tmp;
        std::string deep = "level";
        for (const char* level : {"one", "two", "three", "four", "five", "six"})
            deep += std::string("/a folder with a rather long name, level ") + level;
        tmp.MakeDir(deep);
        TBrowseDlg dlg;
        dlg.SetRoot(Q(tmp.Path()));
        ExecuteWhile(dlg, [&](QDialog* w) {
            auto* tree = Part<QTreeView>(w, "FolderTree");
            dlg.SetSelectionPath(Q(tmp / deep));
            tree->resizeColumnToContents(0);
            QCoreApplication::processEvents();
            // The names are wider than the tree, yet going to the deepest folder does not scroll
            // it sideways.
            QTRY_VERIFY(tree->horizontalScrollBar()->maximum() > 0);
            dlg.SetSelectionPath(Q(tmp / deep));
            QCOMPARE(dlg.SelectedPath(), Q(tmp / deep));
            QCOMPARE(tree->horizontalScrollBar()->value(), 0);
            // Nor does anything else that brings a folder into view.
            tree->scrollTo(tree->currentIndex(), QAbstractItemView::PositionAtCenter);
            QCOMPARE(tree->horizontalScrollBar()->value(), 0);
            // Only the folder names are there to be read out.
            QCOMPARE(tree->model()->columnCount(tree->currentIndex().parent()), 1);
        });
    }

    void ComboBoxPickSelectsFolder() {
        testsupport::TempDir tmp;
        tmp.MakeDir("one");
        tmp.MakeDir("two");
        TBrowseDlg dlg;
        dlg.SetRoot(Q(tmp.Path()));
        dlg.SetCustomEditType(TCustomEditType::ceComboBox);
        dlg.SetCustomEditItems({Q(tmp / "one"), Q(tmp / "two")});
        int picks = 0;
        connect(&dlg, &TBrowseDlg::OnCustomEditChange, [&] { ++picks; });
        ExecuteWhile(dlg, [&](QDialog* w) {
            auto* combo = Part<QComboBox>(w, "CustomEdit");
            QCOMPARE(combo->currentText(), Q(tmp.Path()));
            combo->setCurrentIndex(1);
            emit combo->activated(1);
            QCOMPARE(dlg.SelectedPath(), Q(tmp / "two"));
            QCOMPARE(combo->currentText(), Q(tmp / "two"));
        });
        QCOMPARE(picks, 1);
    }

    void CustomCheckBoxIsStoredOnOKOnly() {
        testsupport::TempDir tmp;
        TBrowseDlg dlg;
        dlg.SetRoot(Q(tmp.Path()));
        dlg.SetCustomBtnType(TCustomBtnType::cbCheckBox);
        int clicks = 0;
        connect(&dlg, &TBrowseDlg::OnCustomBtnClick, [&] { ++clicks; });
        ExecuteWhile(dlg, [&](QDialog* w) {
            auto* box = Part<QCheckBox>(w, "CustomButton");
            QCOMPARE(box->text(), QStringLiteral("カスタム(&U)"));
            box->click();
            QVERIFY(dlg.CustomBtnChecked());  // live while open
            ClickCancel(w);
        });
        QVERIFY(!dlg.CustomBtnChecked());
        ExecuteWhile(dlg, [&](QDialog* w) {
            QVERIFY(!Part<QCheckBox>(w, "CustomButton")->isChecked());
            Part<QCheckBox>(w, "CustomButton")->click();
            ClickOK(w);
        });
        QVERIFY(dlg.CustomBtnChecked());
        QCOMPARE(clicks, 2);
    }

    void FilesOnlyWithIncludeFiles() {
        testsupport::TempDir tmp;
        tmp.MakeFile("f.txt");
        TBrowseDlg dlg;
        dlg.SetRoot(Q(tmp.Path()));
        dlg.SetOptions(TBrowseOption::boReturnOnlyDirectory | TBrowseOption::boIncludeFiles);
        ExecuteWhile(dlg, [&](QDialog* w) {
            dlg.SetSelectionPath(Q(tmp / "f.txt"));
            QCOMPARE(dlg.SelectedPath(), Q(tmp / "f.txt"));
            QVERIFY(!Part<QPushButton>(w, "OKButton")->isEnabled());  // only folders may be returned
        });
        dlg.SetOptions(TBrowseOption::boIncludeFiles);
        QVERIFY(ExecuteWhile(dlg, [&](QDialog* w) {
            dlg.SetSelectionPath(Q(tmp / "f.txt"));
            ClickOK(w);
        }));
        QCOMPARE(dlg.SelectedPath(), Q(tmp / "f.txt"));
    }
};

QUORBEL_QTEST_MAIN(BrowseDlgTest)
#include "BrowseDlg_test.moc"
