// Drives the real main window through the states the user guide shows and writes a PNG of each.
// Run it on an X server (scripts/screenshots.sh starts one with xvfb-run): menus, boxes and the
// progress dialog are windows of their own, drawn over the main window where the screen shows them.
//
// Usage: quorbel_screenshots SAMPLE OUTPUT
//   SAMPLE  the sample folder scripts/screenshots.sh makes (写真, 書類, ダウンロード, スキャン, 整理済み)
//   OUTPUT  where the PNGs go
// Exit code 0 when every state was reached and shot, 1 otherwise (the missing ones are named).
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QProgressDialog>
#include <QSet>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "app/AppSetup.h"
#include "app/JournalDlg.h"
#include "app/PreviewController.h"
#include "app/QtDialogs.h"
#include "app/RadioGroup.h"
#include "app/UnMein.h"
#include "core/settings/Settings.h"

namespace {

using namespace std::chrono_literals;

// Lets the window and its popups paint and the X server show them.
void Settle() {
    for (int i = 0; i < 5; ++i)
        QTest::qWait(20);
}

class TShooter {
public:
    TShooter(QString output, QWidget* window) : output_(std::move(output)), window_(window) {}

    // The main window with the given other windows (menus, boxes) over it where they stand on the
    // screen; around them the picture is transparent.
    void Shoot(const QString& name, const std::vector<QWidget*>& over = {}) {
        Settle();
        QRect area = window_->geometry();
        for (const QWidget* widget : over)
            area |= widget->geometry();
        QImage image(area.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.drawPixmap(window_->geometry().topLeft() - area.topLeft(), window_->grab());
            for (QWidget* widget : over)
                painter.drawPixmap(widget->geometry().topLeft() - area.topLeft(), widget->grab());
        }
        Save(name, image);
    }

    // A window of its own without the main window behind it.
    void ShootAlone(const QString& name, QWidget* widget) {
        Settle();
        Save(name, widget->grab().toImage());
    }

    // Shoots the next box the window shows, then closes it as its OK button would. Waits until
    // StopWaiting, so that a box that never came is not mistaken for a later one.
    void ShootNextBox(const QString& name) {
        boxTimer_.disconnect();
        QObject::connect(&boxTimer_, &QTimer::timeout, [this, name] { ShootBoxIfShown(name); });
        boxTimer_.start(10);
    }
    void StopWaiting() { boxTimer_.stop(); }

    // Opens a menu of the menu bar as a click on its title does.
    QMenu* OpenMenu(const char* name) const {
        auto* menu = window_->findChild<QMenu*>(QLatin1String(name));
        auto* bar = window_->findChild<QMenuBar*>(QStringLiteral("MainMenu1"));
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
        if (!QTest::qWaitForWindowExposed(menu)) std::fprintf(stderr, "menu %s not shown\n", name);
        return menu;
    }

    const QSet<QString>& Shot() const { return shot_; }

private:
    void Save(const QString& name, const QImage& image) {
        if (LooksBlank(image)) {
            std::fprintf(stderr, "%s: the screen showed nothing\n", qPrintable(name));
            return;
        }
        const QString path = QDir(output_).filePath(name + QStringLiteral(".png"));
        if (!image.save(path)) {
            std::fprintf(stderr, "%s: cannot write %s\n", qPrintable(name), qPrintable(path));
            return;
        }
        shot_ << name;
    }

    static bool LooksBlank(const QImage& image) {
        if (image.isNull()) return true;
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); y += 3) {
            for (int x = 0; x < image.width(); x += 3)
                colours.insert(image.pixel(x, y));
        }
        return colours.size() < 16;
    }

    void ShootBoxIfShown(const QString& name) {
        QWidget* box = QApplication::activeModalWidget();
        if (box == nullptr || !box->isVisible() || box->windowHandle() == nullptr ||
            !box->windowHandle()->isExposed())
            return;
        boxTimer_.stop();
        Shoot(name, {box});
        if (auto* dialog = qobject_cast<QDialog*>(box)) dialog->done(0);
    }

    QString output_;
    QWidget* window_;
    QSet<QString> shot_;
    QTimer boxTimer_;
};

// Real boxes where a state shows one; elsewhere messages are only kept, so that a run's completion
// message does not wait for a click. The folder chooser answers with a folder given beforehand.
class TShotDialogs : public TQtDialogs {
public:
    bool showBoxes = false;
    QString chosenFolder;

    void ShowMessage(QWidget* owner, const QString& text, QPoint topLeft) override {
        if (showBoxes) TQtDialogs::ShowMessage(owner, text, topLeft);
    }
    std::optional<QString> ChooseFolder(QWidget* /*owner*/, TBrowseDlg& /*dialog*/) override {
        return chosenFolder;
    }
};

class TTour {
public:
    TTour(QString sample, TShooter& shooter, TFmMein& window, TShotDialogs& dialogs)
        : sample_(std::move(sample)), shooter_(shooter), window_(window), dialogs_(dialogs) {}

    void Run() {
        Load(QStringLiteral("写真"), "TabSheet1");
        ShootPreview(QStringLiteral("main-window"));

        Sequential();
        Progress();
        Wildcard();
        Regex();
        Collision();
        CaseConversion();
        DigitAlignment();
        History();
        Move();
        Settings();
        AboutBox();
    }

private:
    // The pages show the preview of their inputs before 開始; after a run, undo puts the files back
    // for the next state.
    void Sequential() {
        LoadPhotosToNumber();
        ShootPreview(QStringLiteral("sequential"));
        window_.btGoClick();
        QMenu* edit = shooter_.OpenMenu("mnEdit");
        shooter_.Shoot(QStringLiteral("undo"), {edit});
        edit->close();
        window_.Undo1Click();
    }

    // The sequential run held at its fifth file while the progress dialog is shot.
    void Progress() {
        LoadPhotosToNumber();
        std::atomic<bool> shot{false};
        window_.Busy().delay = 0ms;
        window_.Busy().cancelAt = [&shot](std::size_t done) {
            const auto until = std::chrono::steady_clock::now() + 10s;
            while (done == 5 && !shot && std::chrono::steady_clock::now() < until)
                std::this_thread::sleep_for(5ms);
            return false;
        };
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* dialog = window_.findChild<QProgressDialog*>(QStringLiteral("BusyDialog"));
            if (dialog == nullptr || !dialog->isVisible() ||
                !dialog->labelText().contains(QStringLiteral("5 /")))
                return;
            poll.stop();
            shooter_.Shoot(QStringLiteral("progress"), {dialog});
            shot = true;
        });
        poll.start(10);
        window_.btGoClick();
        poll.stop();
        shot = true;
        window_.Busy().cancelAt = nullptr;
        window_.Busy().delay = 500ms;
        window_.Undo1Click();
    }

    void Wildcard() {
        Load(QStringLiteral("書類"), "TabSheet2");
        SetText("Edit6", QStringLiteral(" (*)"));
        SetText("Edit7", QString());
        ShootPreview(QStringLiteral("string-wildcard"));
    }

    void Regex() {
        Load(QStringLiteral("写真"), "TabSheet2");
        SetText("Edit6", QStringLiteral(R"(IMG_(\d+))"));
        SetText("Edit7", QStringLiteral("沖縄_$1"));
        Check("CBRegex", true);
        ShootPreview(QStringLiteral("string-regex"));
        Check("CBRegex", false);
    }

    // Two downloads of the same file: the preview shows them taken, and the run leaves them under
    // their names, marked "*", and says so.
    void Collision() {
        Load(QStringLiteral("ダウンロード"), "TabSheet2");
        SetText("Edit6", QStringLiteral(" (*)"));
        SetText("Edit7", QString());
        ShootPreview(QStringLiteral("preview-collision"));
        dialogs_.showBoxes = true;
        shooter_.ShootNextBox(QStringLiteral("collision"));
        window_.btGoClick();
        shooter_.StopWaiting();
        dialogs_.showBoxes = false;
        window_.Undo1Click();
    }

    void CaseConversion() {
        Load(QStringLiteral("写真"), "TabSheet3");
        Check("CB11", true);
        window_.findChild<TRadioGroup*>(QStringLiteral("RGTranc"))->SetItemIndex(1);
        Check("CBExt2", true);
        ShootPreview(QStringLiteral("case-width"));
        Check("CB11", false);
    }

    void DigitAlignment() {
        Load(QStringLiteral("スキャン"), "TabSheet3");
        Check("CB7", true);
        ShootPreview(QStringLiteral("digits"));
        Check("CB7", false);
    }

    // The commands of the tour so far, newest first, in the history of changes.
    void History() {
        window_.findChild<QAction*>(QStringLiteral("mnJournal"))->trigger();
        TJournalDlg* history = window_.JournalDialog();
        if (history == nullptr || !QTest::qWaitForWindowExposed(history) ||
            history->List()->topLevelItemCount() == 0) {
            std::fputs("history: the dialog was not shown, or it listed nothing\n", stderr);
            return;
        }
        history->List()->setCurrentItem(history->List()->topLevelItem(0));
        shooter_.ShootAlone(QStringLiteral("history"), history);
        history->close();
    }

    // The move switched on with a destination, and the menu it lives in.
    void Move() {
        Load(QStringLiteral("写真"), "TabSheet1");
        window_.mnMoveOnClick();
        dialogs_.chosenFolder = QDir(sample_).filePath(QStringLiteral("整理済み"));
        window_.mnMoveFolderClick();
        QMenu* file = shooter_.OpenMenu("mnFile");
        auto* move = window_.findChild<QMenu*>(QStringLiteral("mnMoveMen"));
        file->setActiveAction(move->menuAction());
        QTest::keyClick(file, Qt::Key_Right);
        if (!QTest::qWaitForWindowExposed(move)) std::fputs("the move menu was not shown\n", stderr);
        shooter_.Shoot(QStringLiteral("move"), {file, move});
        move->close();
        file->close();
        window_.mnMoveOnClick();
    }

    void Settings() {
        Load(QStringLiteral("写真"), "TabSheet4");
        shooter_.Shoot(QStringLiteral("settings"));
        ShowPage("TabSheet1");
    }

    void AboutBox() {
        shooter_.ShootNextBox(QStringLiteral("about"));
        window_.mnAboutClick();
        shooter_.StopWaiting();
    }

    // The photos with a leading text and a start number for sequential names.
    void LoadPhotosToNumber() {
        Load(QStringLiteral("写真"), "TabSheet1");
        SetText("edit2", QStringLiteral("沖縄旅行_"));
        SetText("edit3", QStringLiteral("001"));
    }
    // A folder of the sample listed, and a page shown.
    void Load(const QString& folder, const char* page) {
        window_.OpenChosenFolder(QDir(sample_).filePath(folder));
        ShowPage(page);
        previewsBefore_ = window_.Preview().Finished();
    }
    // The preview of the inputs set since the last load, once the window shows it.
    void ShootPreview(const QString& name) {
        PreviewController& preview = window_.Preview();
        if (!QTest::qWaitFor([&] { return preview.Finished() > previewsBefore_; }, 10000)) {
            std::fprintf(stderr, "%s: no preview came\n", qPrintable(name));
            return;
        }
        shooter_.Shoot(name);
    }
    void ShowPage(const char* name) {
        window_.findChild<QTabWidget*>(QStringLiteral("PageControl1"))
            ->setCurrentWidget(window_.findChild<QWidget*>(QLatin1String(name)));
    }
    void SetText(const char* name, const QString& text) {
        window_.findChild<QComboBox*>(QLatin1String(name))->setEditText(text);
    }
    void Check(const char* name, bool on) {
        window_.findChild<QCheckBox*>(QLatin1String(name))->setChecked(on);
    }

    QString sample_;
    std::uint64_t previewsBefore_ = 0;
    TShooter& shooter_;
    TFmMein& window_;
    TShotDialogs& dialogs_;
};

const QStringList kStates = {
    QStringLiteral("main-window"), QStringLiteral("sequential"),      QStringLiteral("undo"),
    QStringLiteral("progress"),    QStringLiteral("string-wildcard"), QStringLiteral("string-regex"),
    QStringLiteral("collision"),   QStringLiteral("case-width"),      QStringLiteral("digits"),
    QStringLiteral("move"),        QStringLiteral("settings"),        QStringLiteral("about")};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir settings;
    // The language the environment asks for: LANG=en_US.UTF-8 shows the English window.
    Settings::UseLanguage(QDir(settings.path()).filePath(QStringLiteral("quorbel.ini")).toStdString());
    SetUpApplication(app);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 3) {
        std::fputs("usage: quorbel_screenshots SAMPLE OUTPUT\n", stderr);
        return 2;
    }
    auto dialogs = std::make_unique<TShotDialogs>();
    TShotDialogs& dialogsRef = *dialogs;
    // Settings and the run journal in a folder of their own, never the user's.
    const QDir state(settings.path());
    TFmMein window(state.filePath(QStringLiteral("quorbel.ini")).toStdString(),
                   state.filePath(QStringLiteral("journal")).toStdString(), std::move(dialogs));
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fputs("the window was never shown\n", stderr);
        return 1;
    }
    TShooter shooter(arguments[2], &window);
    TTour(arguments[1], shooter, window, dialogsRef).Run();

    int missing = 0;
    for (const QString& state : kStates) {
        if (shooter.Shot().contains(state)) continue;
        std::fprintf(stderr, "state not reached: %s\n", qPrintable(state));
        ++missing;
    }
    return missing == 0 ? 0 : 1;
}
