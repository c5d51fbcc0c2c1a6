#include <QApplication>
#include <memory>

#include "app/AppSetup.h"
#include "app/CommandLine.h"
#include "app/QtDialogs.h"
#include "app/UnMein.h"
#include "core/RunJournalStore.h"
#include "core/SettingsLocation.h"
#include "core/platform/Heap.h"

int main(int argc, char** argv) {
    Platform::SetUpHeap();
    if (CommandLine::AsksOnlyForText(argc, argv)) {
        const QCoreApplication textOnly(argc, argv);
        return CommandLine::Finish(CommandLine::Parse(QCoreApplication::arguments()));
    }
    QApplication app(argc, argv);
    SetUpApplication(app);
    const CommandLine::Request request = CommandLine::Parse(QApplication::arguments());
    if (request.exitCode) return CommandLine::Finish(request);
    TFmMein window(SettingsLocation::Find().path, RunJournal::DefaultFolder(),
                   std::make_unique<TQtDialogs>());
    window.show();
    // Asked once the window stands, as its first event.
    QMetaObject::invokeMethod(&window, &TFmMein::RecoverInterrupted, Qt::QueuedConnection);
    CommandLine::Open(window, request.paths);
    return QApplication::exec();
}
