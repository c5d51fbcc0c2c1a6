// The display forms of data cells and the normalisation of integer cells.
#include <QTest>
#include <optional>

#include "components/GridFormat.h"
#include "support/QtTestMain.h"

class GridFormatTest : public QObject {
    Q_OBJECT

private slots:
    void FormatSubset_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("shown");
        QTest::newRow("thousands") << "1234567.891"
                                   << "#,##0.00"
                                   << "1,234,567.89";
        QTest::newRow("optional digits") << "0.5"
                                         << "#.##"
                                         << ".5";
        QTest::newRow("no fraction, no point") << "3"
                                               << "#.##"
                                               << "3";
        QTest::newRow("padding") << "7"
                                 << "000"
                                 << "007";
        QTest::newRow("rounds half away") << "2.5"
                                          << "0"
                                          << "3";
        QTest::newRow("negative section") << "-3"
                                          << "0;(0)"
                                          << "(3)";
        QTest::newRow("minus without section") << "-3.25"
                                               << "0.0"
                                               << "-3.3";
        QTest::newRow("zero section") << "0"
                                      << "0;-0;'zero'"
                                      << "zero";
        QTest::newRow("literals") << "12"
                                  << "\"No.\"000"
                                  << "No.012";
        QTest::newRow("surplus digits") << "12345"
                                        << "00"
                                        << "12345";
        QTest::newRow("edit mask") << "abc123"
                                   << ">LLL-000"
                                   << "ABC-123";
        QTest::newRow("saved literal") << "ab-cd"
                                       << "LL-LL"
                                       << "ab-cd";
        QTest::newRow("no literals in text") << "abcd"
                                             << "LL-LL;0"
                                             << "ab-cd";
        QTest::newRow("blank char") << "ab"
                                    << "LLLL;1;*"
                                    << "ab**";
        QTest::newRow("escaped literal") << "xy"
                                         << "L\\0L"
                                         << "x0y";
    }
    void FormatSubset() {
        QFETCH(QString, text);
        QFETCH(QString, mask);
        QFETCH(QString, shown);
        QCOMPARE(GridFormat::DisplayForm(text, mask), shown);
    }

    void NormalizeInteger_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("stored");  // "!" = refused
        QTest::newRow("minus") << "-"
                               << "-0";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("plus zeros") << "+007"
                                    << "7";
        QTest::newRow("negative") << "-12"
                                  << "-12";
        QTest::newRow("leading blank") << " 5"
                                       << "5";
        QTest::newRow("trailing blank") << "5 "
                                        << "!";
        QTest::newRow("point") << "1."
                               << "!";
        QTest::newRow("plus alone") << "+"
                                    << "!";
        QTest::newRow("max") << "2147483647"
                             << "2147483647";
        QTest::newRow("min") << "-2147483648"
                             << "-2147483648";
        QTest::newRow("overflow") << "2147483648"
                                  << "!";
        QTest::newRow("long overflow") << "99999999999999999999999"
                                       << "!";
    }
    void NormalizeInteger() {
        QFETCH(QString, text);
        QFETCH(QString, stored);
        const std::optional<QString> result = GridFormat::NormalizeInteger(text);
        if (stored == "!") {
            QVERIFY(!result);
        } else {
            QVERIFY(result);
            QCOMPARE(*result, stored);
        }
    }
};

QUORBEL_QTEST_MAIN(GridFormatTest)
#include "GridFormat_test.moc"
