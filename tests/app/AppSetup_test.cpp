// The application as the program entry sets it up: the name its boxes carry, the captions the
// desktop shows, Qt's own texts in Japanese, its desktop entry name and window icon.
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QIcon>
#include <QInputDialog>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QWindow>
#include <functional>
#include <memory>

#include "app/AppSetup.h"
#include "app/QtDialogs.h"
#include "app/UnMein.h"
#include "core/text/Translate.h"
#include "support/QtTestMain.h"
#include "support/TempDir.h"

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

// The caption the X server holds for a window: what the platform made of its title.
QString CaptionOnX(const QWidget& window) {
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window.winId()),
                                          QStringLiteral("-notype"), QStringLiteral("_NET_WM_NAME")});
    if (!xprop.waitForFinished(10000)) return QStringLiteral("<xprop did not finish>");
    // _NET_WM_NAME = "caption"
    const QString out = QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
    const qsizetype open = out.indexOf(QLatin1Char('"'));
    return open < 0 ? out : out.mid(open + 1, out.size() - open - 2);
}

// The caption of the modal box that open shows, which is then closed.
QString CaptionOfBox(const std::function<void()>& open) {
    QString caption = QStringLiteral("<no box>");
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (box == nullptr || box->windowHandle() == nullptr || !box->windowHandle()->isExposed()) return;
        poll.stop();
        caption = CaptionOnX(*box);
        box->reject();
    });
    poll.start(10);
    open();
    return caption;
}

}  // namespace

class AppSetupTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { SetUpApplication(*qApp); }

    void messageBoxesCarryTheProgramsName() {
        QCOMPARE(QApplication::applicationDisplayName(), QStringLiteral("Quorbel"));
    }

    // The captions as the desktop shows them, not only as windowTitle() tells: the platform may
    // add to a title. Checked on an X server, where this test runs itself again.
    void captionsOnTheDesktopAreExact() {
        if (QGuiApplication::platformName() != QLatin1String("xcb")) {
            const QString xvfbRun = QStandardPaths::findExecutable(QStringLiteral("xvfb-run"));
            if (xvfbRun.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("xprop")).isEmpty())
                QSKIP("needs xvfb-run and xprop (packages xvfb, x11-utils)");
            QProcess onX;
            onX.setProcessChannelMode(QProcess::MergedChannels);
            onX.start(xvfbRun, {QStringLiteral("-a"), QCoreApplication::applicationFilePath(),
                                testsupport::RunningQtTest(), QStringLiteral("-platform"),
                                QStringLiteral("xcb"), QString::fromLatin1(QTest::currentTestFunction())});
            QVERIFY(onX.waitForFinished(60000));
            QVERIFY2(onX.exitCode() == 0, onX.readAll().constData());
            return;
        }
        const testsupport::TempDir dir;
        TFmMein window(dir / "quorbel.ini", dir / "journal", std::make_unique<TQtDialogs>());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(CaptionOnX(window), QStringLiteral("Quorbel v1.54"));
        TQtDialogs dialogs;
        QCOMPARE(
            CaptionOfBox([&] { dialogs.ShowMessage(&window, QStringLiteral("テスト"), QPoint(10, 10)); }),
            QStringLiteral("Quorbel"));
        QCOMPARE(CaptionOfBox([&] {
                     dialogs.InputBox(&window, QStringLiteral("削除したい履歴の番号は"),
                                      QStringLiteral("1-5"), {});
                 }),
                 QStringLiteral("削除したい履歴の番号は"));
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

    // Qt's own texts follow the language the program speaks.
    void standardTextsFollowTheLanguage() {
        const QString file =
            QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_ja.qm");
        if (!QFileInfo::exists(file)) QSKIP("Qt's Japanese translation is not installed");
        struct Case {
            Language::Spoken language;
            const char* yes;
        };
        for (const Case c :
             {Case{Language::Spoken::English, "&Yes"}, Case{Language::Spoken::Japanese, "はい(&Y)"}}) {
            Translate::Use(c.language, Translate::CatalogueFolder());
            SetUpApplication(*qApp);
            QMessageBox question(QMessageBox::Question, QString(), QStringLiteral("?"), QMessageBox::Yes);
            QCOMPARE(question.button(QMessageBox::Yes)->text(), QString::fromUtf8(c.yes));
        }
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
