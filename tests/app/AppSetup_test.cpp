// The application as the program entry sets it up: its display name, Qt's own texts in Japanese,
// its desktop entry name and window icon.
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QIcon>
#include <QInputDialog>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <memory>

#include "app/AppSetup.h"
#include "support/QtTestMain.h"

namespace {

// The texts of a menu's items without their shortcut keys.
QStringList ItemTexts(const QMenu& menu) {
    QStringList texts;
    for (const QAction* action : menu.actions()) {
        if (!action->isSeparator()) texts << action->text().section(QLatin1Char('\t'), 0, 0);
    }
    return texts;
}

QStringList ButtonTexts(const QWidget& box) {
    QStringList texts;
    for (const QPushButton* button : box.findChildren<QPushButton*>())
        texts << button->text();
    texts.sort();
    return texts;
}

}  // namespace

class AppSetupTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { SetUpApplication(*qApp); }

    void messageBoxesCarryTheProgramsName() {
        QCOMPARE(QApplication::applicationDisplayName(), QStringLiteral("Quorbel"));
    }

    void standardTextsAreJapanese() {
        const QString file =
            QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_ja.qm");
        if (!QFileInfo::exists(file)) QSKIP("Qt's Japanese translation is not installed");
        QMessageBox question(QMessageBox::Question, QString(), QStringLiteral("?"),
                             QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(question.button(QMessageBox::Yes)->text(), QStringLiteral("はい(&Y)"));
        QCOMPARE(question.button(QMessageBox::No)->text(), QStringLiteral("いいえ(&N)"));
        QCOMPARE(question.button(QMessageBox::Cancel)->text(), QStringLiteral("キャンセル"));

        QInputDialog input;
        input.setLabelText(QStringLiteral("削除したい履歴の番号は"));
        input.show();  // builds its buttons
        QCOMPARE(ButtonTexts(input), QStringList({"OK", "キャンセル"}));
        input.hide();

        QLineEdit edit(QStringLiteral("text"));
        const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        QCOMPARE(ItemTexts(*menu), QStringList({"元に戻す(&U)", "やり直す(&R)", "切り取り(&T)", "コピー(&C)",
                                                "貼り付け(&P)", "削除", "すべてを選択"}));
    }

    // The icon is built in, so windows show it without an installed icon theme.
    void windowsCarryTheProgramsIcon() {
        QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral("org.quorbel.Quorbel"));
        const QList<QSize> sizes = QApplication::windowIcon().availableSizes();
        for (int size : {16, 32, 48, 64, 128})
            QVERIFY2(sizes.contains(QSize(size, size)), qPrintable(QString::number(size)));
    }
};

QUORBEL_QTEST_MAIN(AppSetupTest)
#include "AppSetup_test.moc"
