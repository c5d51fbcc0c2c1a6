// The three sort commands of the edit and popup menus: rows keep their files, new names, states and
// marks; the dates taken are read once per load; the sequential run numbers in the table's order
// and names the photos by the date they were taken.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <condition_variable>
#include <map>
#include <mutex>

#include "WindowFixture.h"
#include "app/BusyRunner.h"
#include "app/DatesTaken.h"
#include "core/platform/ImageDates.h"
#include "support/LocalTime.h"
#include "support/PhotoFiles.h"
#include "support/QtTestMain.h"

namespace {

using testsupport::ImageKind;

// Seconds since the epoch of a local time in May 2024.
std::int64_t May(int day, int hour) {
    return testsupport::LocalSeconds(2024, 5, day, hour);
}

// An Exif date on a day of May 2024.
std::string Taken(int day, int hour) {
    char text[32];
    std::snprintf(text, sizeof text, "2024:05:%02d %02d:00:00", day, hour);
    return text;
}

}  // namespace

class SortTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TWindowFixture> f;

    // A photo in folder f taken at the given time, modified at another.
    void Photo(const std::string& name, const std::string& taken, std::int64_t modified) {
        const std::string path = f->dir / ("f/" + name);
        testsupport::WritePhoto(path, ImageKind::kJpeg, {taken, "", ""});
        testsupport::TempDir::WriteFile(path, testsupport::TempDir::ReadFile(path), modified);
    }
    void Sort(const char* action) { f->Action(action)->trigger(); }

private slots:
    void init() {
        f = std::make_unique<TWindowFixture>();
        f->dir.MakeDir("f");
    }
    void cleanup() { f.reset(); }

    void eachOrderKeepsTheMarksWithTheirFiles() {
        Photo("a.jpg", Taken(1, 8), May(5, 0));
        f->dir.MakeFile("f/b.txt", "b", May(1, 10));  // no date taken: its modification time counts
        Photo("c.jpg", Taken(1, 12), May(3, 0));
        Photo("d.jpg", Taken(1, 10), May(2, 0));  // taken when b.txt was modified: by name after it
        f->Load({"f"});
        f->Grid()->SetCells(0, 3, RowMark::kSelected);  // c.jpg
        struct Step {
            const char* action;
            QStringList names;
            QStringList marks;
        };
        const Step steps[] = {
            {"SortByModified", {"b.txt", "d.jpg", "c.jpg", "a.jpg"}, {"", "", "V", ""}},
            {"SortByTaken", {"a.jpg", "b.txt", "d.jpg", "c.jpg"}, {"", "", "", "V"}},
            {"SortByName", {"a.jpg", "b.txt", "c.jpg", "d.jpg"}, {"", "", "V", ""}},
        };
        for (const Step& step : steps) {
            Sort(step.action);
            QCOMPARE(f->Column(1), step.names);
            QCOMPARE(f->Column(0), step.marks);
            QStringList listed;
            for (const QString& name : step.names)
                listed << "f/" + name;
            QCOMPARE(f->Listed(), listed);
        }
        QVERIFY(f->Messages().isEmpty());
        // Both menus carry the commands.
        QVERIFY(f->Find<QMenu>(QStringLiteral("PopupMenu1"))->actions().contains(f->Action("SortByTaken")));
        QVERIFY(f->Find<QMenu>(QStringLiteral("mnEdit"))->actions().contains(f->Action("SortByTaken")));
    }

    void datesTakenAreReadOncePerLoad() {
        Photo("a.jpg", Taken(1, 8), May(1, 0));
        Photo("b.jpg", Taken(1, 9), May(1, 0));
        f->Load({"f"});
        Sort("SortByTaken");
        // A date changed after the reading counts only from the next load on.
        Photo("a.jpg", Taken(1, 10), May(1, 0));
        Sort("SortByTaken");
        QCOMPARE(f->Column(1), QStringList({"a.jpg", "b.jpg"}));
        f->Load({"f"});
        Sort("SortByTaken");
        QCOMPARE(f->Column(1), QStringList({"b.jpg", "a.jpg"}));
    }

    // A sort cancelled while the dates are read leaves the order; the reading goes on for the list.
    void aCancelledReadingLeavesTheOrder() {
        Photo("a.jpg", Taken(1, 9), May(1, 0));
        Photo("b.jpg", Taken(1, 8), May(1, 0));
        f->Load({"f"});
        f->window->Busy().cancelAt = [](std::size_t) { return true; };
        Sort("SortByTaken");
        f->window->Busy().cancelAt = nullptr;
        QCOMPARE(f->Column(1), QStringList({"a.jpg", "b.jpg"}));
        QTRY_VERIFY(f->window->Pairs.HasDatesTaken());
    }

    // A photo the library is slow on holds up neither the preview, nor 開始, nor closing, and is
    // read once per load; given up after the bound, it is named by its modification date.
    void aSlowPhotoHoldsUpNoOne() {
        struct Library {
            std::mutex mutex;
            std::condition_variable changed;
            bool open = false;
            int inside = 0;
            std::map<std::string, int> reads;
        };
        const auto library = std::make_shared<Library>();
        const auto setUp = [&](std::chrono::milliseconds bound) {
            f->window->DatesTaken().Setup = {[library](const std::string& path) {
                                                 std::unique_lock lock(library->mutex);
                                                 const std::string name = path.substr(path.rfind('/') + 1);
                                                 ++library->reads[name];
                                                 ++library->inside;
                                                 if (name == "slow.jpg") {
                                                     library->changed.wait_for(lock, std::chrono::seconds(10),
                                                                               [&] { return library->open; });
                                                 }
                                                 lock.unlock();
                                                 auto tags = Platform::ReadImageDateTags(path);
                                                 lock.lock();
                                                 --library->inside;
                                                 library->changed.notify_all();
                                                 return tags;
                                             },
                                             bound};
        };
        Photo("a.jpg", Taken(1, 9), May(20, 0));
        Photo("slow.jpg", Taken(2, 9), May(21, 0));
        const QVariantMap inputs{
            {"edit2", "P"}, {"edit3", "01"}, {"CB12", true}, {"RGDateSource", 1}, {"cbDialog", false}};
        setUp(std::chrono::hours(1));
        f->window->Preview().pause = std::chrono::milliseconds(0);
        f->Load({"f"});
        f->Set(inputs);
        QTRY_COMPARE(f->Find<QLabel>(QStringLiteral("StatusBar1Preview"))->text(),
                     QStringLiteral("撮影日時を読み込み中…"));
        f->Set({{"cbPreview", false}});
        f->window->Busy().cancelAt = [](std::size_t) { return true; };
        f->window->btGoClick();
        QCOMPARE(f->OnDisk("f"), QStringList({"a.jpg", "slow.jpg"}));
        // The reading threads may not have reached the slow photo yet; once they have, 開始 has
        // not read it a second time.
        const auto slowReads = [&library] {
            const std::lock_guard lock(library->mutex);
            return library->reads["slow.jpg"];
        };
        QTRY_COMPARE(slowReads(), 1);
        f->window.reset();

        auto recorder = std::make_unique<TRecordingDialogs>();
        f->dialogs = recorder.get();
        f->window =
            std::make_unique<TFmMein>(f->dir / "quorbel.ini", f->dir / "journal", std::move(recorder));
        setUp(std::chrono::milliseconds(300));
        f->Load({"f"});
        f->Set(inputs);
        f->window->btGoClick();
        QCOMPARE(f->OnDisk("f"), QStringList({"P_2024050101.jpg", "P_2024052102.jpg"}));
        QCOMPARE(f->Messages(),
                 QStringList{QStringLiteral("名前の変更が終了しました\r\n"
                                            "1個のファイルは撮影日時がないため、更新日時を使いました。")});
        QCOMPARE(slowReads(), 2);
        // The library ends its reads before the program does.
        std::unique_lock lock(library->mutex);
        library->open = true;
        library->changed.notify_all();
        library->changed.wait(lock, [&] { return library->inside == 0; });
    }

    void afterARunTheNewNamesAndStatesMoveAndUndoStillWorks() {
        f->dir.MakeFile("f/a1.txt", "a1.txt", May(3, 0));
        f->dir.MakeFile("f/a2.txt", "a2.txt", May(1, 0));
        f->Load({"f"});
        // a1.txt becomes c.txt; a2.txt would too and is left, marked.
        f->ShowPage("TabSheet2");
        f->Set({{"Edit6", "a?"}, {"Edit7", "c"}, {"cbDialog", false}});
        f->window->btGoClick();
        f->dialogs->calls.clear();
        Sort("SortByModified");  // a renamed file is looked at under its new name
        QCOMPARE(f->Column(0), QStringList({"*", ""}));
        QCOMPARE(f->Column(1), QStringList({"a2.txt", "a1.txt"}));
        QCOMPARE(f->Column(2), QStringList({"c.txt", "c.txt"}));
        QVERIFY(!f->window->Pairs.Renamed(0));
        QVERIFY(f->window->Pairs.Renamed(1));
        f->window->Undo1Click();
        QCOMPARE(f->OnDisk("f"), QStringList({"a1.txt", "a2.txt"}));
    }

    // A camera folder numbered in the order its photos were taken, each name with its date taken.
    void sequentialNamesFollowTheDatesTaken() {
        Photo("IMG_0001.jpg", Taken(3, 9), May(20, 0));
        Photo("IMG_0002.jpg", Taken(2, 9), May(20, 0));
        Photo("IMG_0003.jpg", Taken(1, 9), May(20, 0));
        f->dir.MakeFile("f/IMG_0004.jpg", "no exif", May(31, 12));
        f->Load({"f"});
        Sort("SortByTaken");
        f->ShowPage("TabSheet1");
        f->Set({{"edit2", "P"}, {"edit3", "01"}, {"CB12", true}, {"RGDateSource", 1}, {"cbDialog", false}});
        f->window->btGoClick();
        QCOMPARE(f->Column(1), QStringList({"IMG_0003.jpg", "IMG_0002.jpg", "IMG_0001.jpg", "IMG_0004.jpg"}));
        QCOMPARE(f->Column(2), QStringList({"P_2024050101.jpg", "P_2024050202.jpg", "P_2024050303.jpg",
                                            "P_2024053104.jpg"}));
        QCOMPARE(f->OnDisk("f"), QStringList({"P_2024050101.jpg", "P_2024050202.jpg", "P_2024050303.jpg",
                                              "P_2024053104.jpg"}));
        // Told whatever cbDialog says.
        QCOMPARE(f->Messages(),
                 QStringList{QStringLiteral("名前の変更が終了しました\r\n"
                                            "1個のファイルは撮影日時がないため、更新日時を使いました。")});
    }
};

QUORBEL_QTEST_MAIN(SortTest)
#include "Sort_test.moc"
