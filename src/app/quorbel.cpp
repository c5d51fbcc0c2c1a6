#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/AppSetup.h"
#include "app/CommandLine.h"
#include "app/QtDialogs.h"
#include "app/UnMein.h"
#include "core/journal/RunJournalStore.h"
#include "core/names/DateReading.h"
#include "core/platform/Heap.h"
#include "core/settings/Settings.h"
#include "core/settings/SettingsLocation.h"

int main(int argc, char** argv) {
    Platform::SetUpHeap();
    if (CommandLine::AsksOnlyForText(argc, argv)) {
        const QCoreApplication textOnly(argc, argv);
        Settings::UseLanguage(SettingsLocation::Find().path);
        return CommandLine::Finish(CommandLine::Parse(QCoreApplication::arguments()));
    }
    QApplication app(argc, argv);
    const std::string settingsPath = SettingsLocation::Find().path;
    Settings::UseLanguage(settingsPath);
    SetUpApplication(app);
    const CommandLine::Request request = CommandLine::Parse(QApplication::arguments());
    if (request.exitCode) return CommandLine::Finish(request);
    int code = 0;
    {
        TFmMein window(settingsPath, RunJournal::DefaultFolder(), std::make_unique<TQtDialogs>());
        window.show();
        // Asked once the window stands, as its first event.
        QMetaObject::invokeMethod(&window, &TFmMein::RecoverInterrupted, Qt::QueuedConnection);
        CommandLine::Open(window, request.paths);
        code = QApplication::exec();
    }
    // The image library may still read a photo on a thread the window let go of: it cannot be
    // interrupted, and its static data must not be destroyed under it.
    if (PhotoDate::ReadsUnderWay() > 0) {
        std::fflush(nullptr);
        std::_Exit(code);
    }
    return code;
}
