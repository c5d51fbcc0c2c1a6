// The drop-down histories of the input fields as the window keeps them: what enters them and
// when, their order, the limit of the string page, and the commands that empty them.
#include <QFocusEvent>
#include <QLineEdit>
#include <QTabWidget>

#include "WindowFixture.h"
#include "app/InputHistories.h"
#include "support/QtTestMain.h"

class InputHistoryTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TWindowFixture> f;

    QComboBox* Box(const char* name) const { return f->Find<QComboBox>(QLatin1String(name)); }
    QStringList Items(const char* name) const {
        QStringList items;
        for (int i = 0; i < Box(name)->count(); ++i)
            items << Box(name)->itemText(i);
        return items;
    }
    void Enter(const char* name, const QString& text) { Box(name)->setEditText(text); }
    void GoOn(const char* page) {
        f->ShowPage(page);
        f->window->btGoClick();
    }
    void LeaveEdit5() {
        QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(Box("Edit5"), &leave);
    }

private slots:
    void init() { f = std::make_unique<TWindowFixture>(); }
    void cleanup() { f.reset(); }

    void typedTextIsNeverCompleted_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("page");  // the tab page the box stands on (Edit5 is below the pages)
        QTest::newRow("start number, prefix of the last one") << "edit3"
                                                              << "006"
                                                              << "0" << 0;
        QTest::newRow("leading text, prefix of a refused one") << "edit2"
                                                               << "A:"
                                                               << "A" << 0;
        QTest::newRow("trailing text, other case") << "edit8"
                                                   << "END"
                                                   << "end" << 0;
        QTest::newRow("extensions, prefix") << "Edit5"
                                            << "jpg;png"
                                            << "jp" << 0;
        QTest::newRow("target, other case") << "Edit6"
                                            << "Abc"
                                            << "abc" << 1;
        QTest::newRow("replacement, prefix in other case") << "Edit7"
                                                           << "Xyz1"
                                                           << "xy" << 1;
    }
    void typedTextIsNeverCompleted() {
        QFETCH(QString, box);
        QFETCH(QString, entry);
        QFETCH(QString, typed);
        QFETCH(int, page);
        f->Radio("RG2")->SetItemIndex(1);  // Edit5 takes input only with a filter
        f->Find<QTabWidget>(QStringLiteral("PageControl1"))->setCurrentIndex(page);
        QComboBox* combo = Box(box.toLatin1().constData());
        f->window->show();
        f->window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f->window.get()));
        combo->addItem(entry);
        combo->setCurrentIndex(-1);
        combo->clearEditText();
        combo->setFocus();
        QVERIFY(combo->hasFocus());
        QTest::keyClicks(combo->lineEdit(), typed);
        QCOMPARE(combo->currentText(), typed);
        // Enter moves on to the next field; leaving the field keeps the text too.
        QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
        QVERIFY(!combo->hasFocus());
        QCOMPARE(combo->currentText(), typed);
        // The list is still there to pick from (Edit5 has recorded the typed text on leaving).
        QVERIFY(combo->findText(entry, Qt::MatchFixedString | Qt::MatchCaseSensitive) >= 0);
    }

    void clearItemsStartDisabledForEmptyLists() {
        for (const char* name : {"FHistClear", "EHistClear", "ExtHistClear"})
            QVERIFY2(!f->Action(name)->isEnabled(), name);
        for (const char* name : {"N14", "N20"})
            QVERIFY2(f->Action(name)->isEnabled(), name);
    }

    void recentFirstAndCaseCounts() {
        Box("edit2")->addItems({"x", "abc", "y"});
        Enter("edit2", "abc");
        f->window->Histories().AddToHistory(Box("edit2"));
        QCOMPARE(Items("edit2"), QStringList({"abc", "x", "y"}));
        Enter("edit2", "ABC");
        f->window->Histories().AddToHistory(Box("edit2"));
        QCOMPARE(Items("edit2"), QStringList({"ABC", "abc", "x", "y"}));
        QCOMPARE(Box("edit2")->currentText(), QStringLiteral("ABC"));
        // The top entry again changes nothing.
        f->window->Histories().AddToHistory(Box("edit2"));
        QCOMPARE(Items("edit2"), QStringList({"ABC", "abc", "x", "y"}));
        QVERIFY(f->Action("FHistClear")->isEnabled());
    }

    void goOnTheSequentialPageRecordsBothFixedTexts() {
        Enter("edit2", "");
        Enter("edit8", "末尾");
        GoOn("TabSheet1");
        QVERIFY(Items("edit2").isEmpty());
        QCOMPARE(Items("edit8"), QStringList({"末尾"}));
        QVERIFY(!f->Action("FHistClear")->isEnabled());
        QVERIFY(f->Action("EHistClear")->isEnabled());
        QCOMPARE(Box("edit8")->currentText(), QStringLiteral("末尾"));
    }

    void clearingKeepsTheTextAndDisablesUntilTheNextEntry() {
        Enter("edit2", "one");
        GoOn("TabSheet1");
        Enter("edit2", "two");
        GoOn("TabSheet1");
        QCOMPARE(Items("edit2"), QStringList({"two", "one"}));
        f->Action("FHistClear")->trigger();
        QVERIFY(Items("edit2").isEmpty());
        QCOMPARE(Box("edit2")->currentText(), QStringLiteral("two"));
        QVERIFY(!f->Action("FHistClear")->isEnabled());
        GoOn("TabSheet1");
        QCOMPARE(Items("edit2"), QStringList({"two"}));
        QVERIFY(f->Action("FHistClear")->isEnabled());

        Enter("edit8", "end");
        GoOn("TabSheet1");
        f->Action("EHistClear")->trigger();
        QVERIFY(Items("edit8").isEmpty());
        QCOMPARE(Box("edit8")->currentText(), QStringLiteral("end"));
        QVERIFY(!f->Action("EHistClear")->isEnabled());
        QCOMPARE(Items("edit2"), QStringList({"two"}));
    }

    void stringPageKeepsTenEntries() {
        for (int i = 1; i <= 11; ++i) {
            Enter("Edit6", QStringLiteral("t%1").arg(i));
            Enter("Edit7", QStringLiteral("r%1").arg(i));
            GoOn("TabSheet2");
        }
        QStringList targets;
        for (int i = 11; i >= 2; --i)
            targets << QStringLiteral("t%1").arg(i);
        QCOMPARE(Items("Edit6"), targets);
        QCOMPARE(Items("Edit7").size(), 10);
        QCOMPARE(Items("Edit7").front(), QStringLiteral("r11"));
        QCOMPARE(Box("Edit6")->currentText(), QStringLiteral("t11"));
        // A text already held moves up without pushing anything out.
        Enter("Edit6", "t5");
        GoOn("TabSheet2");
        QCOMPARE(Items("Edit6").size(), 10);
        QCOMPARE(Items("Edit6").mid(0, 3), QStringList({"t5", "t11", "t10"}));
        QVERIFY(Items("Edit6").contains("t2"));
        // The string page enables no clear item and records nothing of the sequential page.
        QVERIFY(!f->Action("FHistClear")->isEnabled());
        QVERIFY(Items("edit2").isEmpty());
    }

    void stringPageItemsEmptyTheirOwnList() {
        Enter("Edit6", "target");
        Enter("Edit7", "replacement");
        GoOn("TabSheet2");
        f->Action("N20")->trigger();
        QCOMPARE(Items("Edit6"), QStringList({"target"}));
        QVERIFY(Items("Edit7").isEmpty());
        QCOMPARE(Box("Edit7")->currentText(), QStringLiteral("replacement"));
        f->Action("N14")->trigger();
        QVERIFY(Items("Edit6").isEmpty());
        QCOMPARE(Box("Edit6")->currentText(), QStringLiteral("target"));
        QVERIFY(f->Action("N14")->isEnabled());
        QVERIFY(f->Action("N20")->isEnabled());
    }

    void leavingTheExtensionFieldRecordsIt() {
        f->Radio("RG2")->SetItemIndex(1);
        Enter("Edit5", "jpg;png");
        LeaveEdit5();
        QCOMPARE(Items("Edit5"), QStringList({"jpg;png"}));
        QVERIFY(f->Action("ExtHistClear")->isEnabled());
        f->Action("ExtHistClear")->trigger();
        QVERIFY(Items("Edit5").isEmpty());
        QVERIFY(!f->Action("ExtHistClear")->isEnabled());
        QCOMPARE(Box("Edit5")->currentText(), QStringLiteral("jpg;png"));
        LeaveEdit5();
        QVERIFY(f->Action("ExtHistClear")->isEnabled());
        // Opening the drop-down list is no leaving.
        Enter("Edit5", "gif");
        QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
        QApplication::sendEvent(Box("Edit5"), &popup);
        QCOMPARE(Items("Edit5"), QStringList({"jpg;png"}));
    }
};

QUORBEL_QTEST_MAIN(InputHistoryTest)
#include "InputHistory_test.moc"
