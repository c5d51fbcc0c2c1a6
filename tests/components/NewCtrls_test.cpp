#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>
#include <QVBoxLayout>

#include "components/NewCtrls.h"
#include "support/QtTestMain.h"
#include "support/TempDir.h"

namespace {

QMimeData* UrlMime(const QStringList& paths, const QList<QUrl>& extra = {}) {
    auto* mime = new QMimeData;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    urls << extra;
    mime->setUrls(urls);
    return mime;
}

struct DragResult {
    bool enterAccepted = false;
};

// A drag that enters `receiver` and is dropped there, as the platform delivers it.
DragResult DragAndDrop(QWidget* receiver, const QMimeData* mime, QPoint pos) {
    DragResult result;
    QDragEnterEvent enter(pos, Qt::CopyAction | Qt::LinkAction, mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(receiver, &enter);
    result.enterAccepted = enter.isAccepted();
    QDragMoveEvent move(pos, Qt::CopyAction | Qt::LinkAction, mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(receiver, &move);
    QDropEvent drop(QPointF(pos), Qt::CopyAction | Qt::LinkAction, mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(receiver, &drop);
    return result;
}

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

class NewCtrlsTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        window_ = std::make_unique<QWidget>();
        window_->resize(300, 200);
        auto* layout = new QVBoxLayout(window_.get());
        layout->setContentsMargins(40, 50, 40, 50);
        edit_ = new QLineEdit(window_.get());
        layout->addWidget(edit_);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }
    void cleanup() { window_.reset(); }

    void OneEventPerDropWithEveryPath() {
        testsupport::TempDir dir;
        const QStringList paths = {Q(dir.MakeFile("b.txt")), Q(dir.MakeFile("a.txt")), Q(dir.MakeDir("sub")),
                                   Q(dir.MakeFile("c.jpg"))};
        TFileDrop drop(window_.get());
        QCOMPARE(drop.AttachedWidget(), window_.get());
        QVERIFY(window_->acceptDrops());
        QSignalSpy spy(&drop, &TFileDrop::OnFileDrop);

        std::unique_ptr<QMimeData> mime(UrlMime(paths));
        QVERIFY(DragAndDrop(window_.get(), mime.get(), QPoint(12, 34)).enterAccepted);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy[0][0].value<TFileDrop*>(), &drop);
        QCOMPARE(spy[0][1].toInt(), 4);
        QCOMPARE(spy[0][2].toStringList(), paths);  // the drop's own order, full paths
        QCOMPARE(spy[0][3].toInt(), 12);
        QCOMPARE(spy[0][4].toInt(), 34);
    }

    void DropOverAChildCountsInTheTargetsCoordinates() {
        testsupport::TempDir dir;
        TFileDrop drop(window_.get());
        QSignalSpy spy(&drop, &TFileDrop::OnFileDrop);
        QVERIFY(edit_->acceptDrops());  // a line edit would take the text of the drop itself
        std::unique_ptr<QMimeData> mime(UrlMime({Q(dir.MakeFile("x"))}));
        mime->setText("plain text too");
        DragAndDrop(edit_, mime.get(), QPoint(5, 6));
        QCOMPARE(spy.count(), 1);
        const QPoint expected = edit_->mapTo(window_.get(), QPoint(5, 6));
        QCOMPARE(spy[0][3].toInt(), expected.x());
        QCOMPARE(spy[0][4].toInt(), expected.y());
        QVERIFY(edit_->text().isEmpty());
    }

    void LongPathsAreNotCut() {
        testsupport::TempDir dir;
        std::string deep;
        for (int i = 0; i < 6; ++i)
            deep += std::string(60, static_cast<char>('a' + i)) + "/";
        const QString path = Q(dir.MakeFile(deep + "file.txt"));
        QVERIFY(path.size() > 300);
        TFileDrop drop(window_.get());
        QSignalSpy spy(&drop, &TFileDrop::OnFileDrop);
        std::unique_ptr<QMimeData> mime(UrlMime({path}));
        DragAndDrop(window_.get(), mime.get(), QPoint(1, 1));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy[0][2].toStringList(), QStringList({path}));
    }

    void OnlyLocalEntriesCount() {
        TFileDrop drop(window_.get());
        QSignalSpy spy(&drop, &TFileDrop::OnFileDrop);
        std::unique_ptr<QMimeData> web(UrlMime({}, {QUrl("https://example.org/a.txt")}));
        QVERIFY(!DragAndDrop(window_.get(), web.get(), QPoint(1, 1)).enterAccepted);
        QCOMPARE(spy.count(), 0);

        std::unique_ptr<QMimeData> mixed(UrlMime({"/tmp/x/"}, {QUrl("https://example.org/")}));
        DragAndDrop(window_.get(), mixed.get(), QPoint(1, 1));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy[0][2].toStringList(), QStringList({"/tmp/x"}));
        std::unique_ptr<QMimeData> root(UrlMime({"/"}));
        QCOMPARE(TFileDrop::LocalPaths(root.get()), QStringList({"/"}));
    }

    void AcceptFalseRefusesUntilSetAgain() {
        TFileDrop drop(window_.get());
        QSignalSpy spy(&drop, &TFileDrop::OnFileDrop);
        std::unique_ptr<QMimeData> mime(UrlMime({"/tmp"}));
        drop.SetAccept(false);
        QVERIFY(!window_->acceptDrops());
        QVERIFY(!DragAndDrop(window_.get(), mime.get(), QPoint(1, 1)).enterAccepted);
        QCOMPARE(spy.count(), 0);

        drop.SetAccept(true);
        QVERIFY(window_->acceptDrops());
        QVERIFY(DragAndDrop(window_.get(), mime.get(), QPoint(1, 1)).enterAccepted);
        QCOMPARE(spy.count(), 1);
    }

    void ReattachingAndSwitchingTargets() {
        TFileDrop drop(window_.get());
        QSignalSpy spy(&drop, &TFileDrop::OnFileDrop);
        std::unique_ptr<QMimeData> mime(UrlMime({"/tmp"}));

        // Re-setting none (as after switching stay-on-top) keeps drops coming, once each.
        window_->setWindowFlag(Qt::WindowStaysOnTopHint, true);
        window_->show();
        drop.SetControl(nullptr);
        drop.SetAccept(true);
        drop.SetControl(nullptr);
        DragAndDrop(window_.get(), mime.get(), QPoint(1, 1));
        QCOMPARE(spy.count(), 1);

        // Another target: the old one gets its own drop setting back and is no longer watched.
        QWidget other;
        other.resize(100, 100);
        drop.SetControl(&other);
        QCOMPARE(drop.AttachedWidget(), &other);
        QVERIFY(other.acceptDrops());
        QVERIFY(!window_->acceptDrops());
        DragAndDrop(window_.get(), mime.get(), QPoint(1, 1));
        QCOMPARE(spy.count(), 1);
        DragAndDrop(&other, mime.get(), QPoint(7, 8));
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy[1][3].toInt(), 7);
    }

    void DestroyedControlIsForgotten() {
        TFileDrop drop(window_.get());
        QSignalSpy spy(&drop, &TFileDrop::OnFileDrop);
        auto other = std::make_unique<QWidget>();
        drop.SetControl(other.get());
        other.reset();
        QCOMPARE(drop.Control(), nullptr);
        QCOMPARE(drop.AttachedWidget(), nullptr);
        QVERIFY(!drop.Accept());
        std::unique_ptr<QMimeData> mime(UrlMime({"/tmp"}));
        DragAndDrop(window_.get(), mime.get(), QPoint(1, 1));
        QCOMPARE(spy.count(), 0);
        // A new Control starts over; Accept stays as the owner last set it.
        drop.SetControl(nullptr);
        drop.SetAccept(true);
        DragAndDrop(window_.get(), mime.get(), QPoint(1, 1));
        QCOMPARE(spy.count(), 1);
    }

    void NoTargetIsAnError() {
        QObject owner;
        TFileDrop drop(&owner);
        QCOMPARE(drop.AttachedWidget(), nullptr);
        try {
            drop.SetControl(nullptr);
            QFAIL("no exception");
        } catch (const EFileDropError& e) {
            QCOMPARE(QString(e.what()), QString("Invalidate Window Handle in FileDrop"));
        }
        QCOMPARE(drop.AttachedWidget(), nullptr);
        // A child widget as owner is no window either.
        TFileDrop childOwned(edit_);
        QCOMPARE(childOwned.AttachedWidget(), nullptr);
    }

    void HandlerFailureDoesNotStopTheWindow() {
        TFileDrop drop(window_.get());
        int calls = 0;
        connect(&drop, &TFileDrop::OnFileDrop, this, [&] {
            ++calls;
            throw std::runtime_error("handler failed");
        });
        QSignalSpy errors(&drop, &TFileDrop::OnDropError);
        std::unique_ptr<QMimeData> mime(UrlMime({"/tmp"}));
        DragAndDrop(window_.get(), mime.get(), QPoint(1, 1));
        DragAndDrop(window_.get(), mime.get(), QPoint(1, 1));
        QCOMPARE(calls, 2);
        QCOMPARE(errors.size(), 2);
        QCOMPARE(errors.at(1).at(0).toString(), QStringLiteral("handler failed"));
    }

private:
    std::unique_ptr<QWidget> window_;
    QLineEdit* edit_ = nullptr;
};

QUORBEL_QTEST_MAIN(NewCtrlsTest)
#include "NewCtrls_test.moc"
