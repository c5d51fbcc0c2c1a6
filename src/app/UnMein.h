#pragma once

#include <QMainWindow>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "app/BusyRunner.h"
#include "app/Dialogs.h"
#include "app/PreviewController.h"
#include "app/UnMeinForm.h"
#include "app/WindowTexts.h"
#include "components/StringGridEx.h"
#include "core/journal/RunJournalStore.h"
#include "core/list/BackgroundRelease.h"
#include "core/list/FileList.h"
#include "core/list/PairList.h"
#include "core/list/RowOrder.h"
#include "core/names/SequentialNames.h"
#include "core/run/MovePlan.h"
#include "core/run/RenameExecutor.h"
#include "core/run/RenamePreview.h"
#include "core/settings/FolderHistory.h"
#include "core/settings/MoveDestinations.h"

// The controls' classes are declared with the form.
class TColumnLayout;
class TDatesTaken;
class TInputHistories;
class TJournalDlg;
class TWindowHost;
class TWindowSettings;

namespace Command {
struct RunContext;
}  // namespace Command

// The main window. Every control carries its designed name as objectName; the handlers carry
// the designed handler names and are public so that tests drive them as the controls do.
//
// Texts the window reasons about (paths, folder texts, the extension list) are code page 932
// byte strings; Qt strings appear only at the controls and the dialogs.
class TFmMein : public QMainWindow, protected TFmMeinForm {
    Q_OBJECT
    // The face the core's commands talk to: the busy runner, the dialogs, the table.
    friend class TWindowHost;
    // The settings file reads into the window and its parts.
    friend class TWindowSettings;

public:
    // Path of the settings file, the folder of the run journal (empty: commands are not journaled,
    // which only the benchmarks that measure the journal's cost want), and the dialogs every message
    // and question goes through.
    TFmMein(std::string iniPath, std::string journalFolder, std::unique_ptr<TDialogs> dialogs,
            QWidget* parent = nullptr);
    ~TFmMein() override;

    // --- Window (start-up, shut-down, placement) --------------------------------------------
    void FormCreate();
    void FormDestroy();
    void btEndClick();
    void cbFormStyleClick();
    // Enter (without Ctrl or Alt) in any control of the window: focus to the next control.
    bool FormKeyPress(QObject* receiver, int key, Qt::KeyboardModifiers modifiers);
    // Where every message and question box stands: a fifth into the window from its left, a
    // quarter from its top, of the outer window bounds.
    int MessageX() const;
    int MessageY() const;
    QPoint MessagePoint() const { return {MessageX(), MessageY()}; }

    // --- Column layout (ColumnLayout.cpp) -------------------------------------------------------
    TColumnLayout& Columns() { return *columns_; }
    // The client area: everything below the menu bar.
    QWidget* ClientArea() const { return clientArea_; }

    // --- File list ----------------------------------------------------------------------------
    // entries: full paths of folders and files, in the order to process. The table shows the new
    // list, or an empty table when nothing was found; a cancelled load leaves the old list as it was.
    // current: the folder the entries come from, made the current folder unless cancelled. False
    // when cancelled.
    bool LoadFileList(const std::vector<std::string>& entries, const std::string* current = nullptr);
    // The same for the entries of a folder the user chose (its files, and its subfolders when they
    // are to be expanded), listed as part of the load; the folder becomes the current one.
    bool LoadChosenFolder(const std::string& folder);
    // Runs long work with a progress dialog and cancel (also the tests' cancel point).
    TBusyRunner& Busy() { return *busy_; }
    std::vector<std::string> ReadExtFilter() const;
    enum : int { kLoadMode = 10, kNewNameMode = 20 };
    void ShowPathList(const std::vector<std::string>& list, int mode);
    // Each folder a load went through becomes the current one and enters the history, in order.
    void RecordFolders(const std::vector<std::string>& folders);
    void MakeCurrentFolder(const std::string& folder);
    void ShowFolderHistory();
    void RG1Click();
    void RG2Click();
    void Edit5Exit();

    // --- Folder sources and history -------------------------------------------------------------
    // Browse for a folder (btOpen, N1) and list what it holds.
    void N1Click();
    // Lists a folder as if it had been chosen in the browse dialog (also the command line's folder).
    void OpenChosenFolder(const QString& chosen);
    // The browse dialog opens on the folder recorded last.
    void BrowseDlg1Show();
    void FileDrop1FileDrop(TFileDrop* sender, int num, const QStringList& files, int x, int y);
    // slot 1..5: a history slot; 0: the re-read folder (btNow, btNow2).
    void his1Click(int slot);
    void tbNextOpenClick();
    void N6Click();
    void mnHistCLRClick();
    void mnHistOnClick();
    void cbHistOnClick();

    // --- Rename run: the Go button and the sequential run (UnMein_Run.cpp) ---------------------
    void btGoClick();
    // The sequential run, then the move after it unless the user cancelled the run.
    void RunSequentialRename();
    // The string rename of TabSheet2 (UnMein_StringRun.cpp), with wildcards or, with CBRegex, a
    // regular expression.
    void RunStringRename();
    void CB1Click();
    void SelectDateFormat();
    void RGDateClick();
    // Offers the number after LastNumberText as the only entry of edit3's list.
    void ContinueNumbering();

    // --- The その他の処理 page: case and width conversion, digit alignment -----------------------
    // UnMein_OtherRun.cpp: the two runs.
    void RunCaseConversion();
    void RunDigitAlignment();
    // UnMein_OtherOptions.cpp: which run the options choose, and how they enable each other.
    void CB11Click();
    void CB7Click();
    void RGTrancClick();
    void CBExt1Click();
    void CBExt2Click();

    // --- Undo and revert (UnMein_Undo.cpp) -------------------------------------------------------
    // Undo1 and btret: every file the last command renamed goes back.
    void Undo1Click();
    // N3: the file of the current row goes back.
    void N3Click();
    // N22: the file of every row marked "V" goes back, top to bottom.
    void N22Click();

    // --- Row marks and list editing (UnMein_Rows.cpp) ------------------------------------------
    // N25 and Ctrl+Enter in the table: marks or unmarks the top row of the selection.
    void N25Click();
    // A shift-click marks or unmarks every row from LastSelectedRow to the row clicked.
    void MySGMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void MySGKeyDown(int key, Qt::KeyboardModifiers modifiers, bool& handled);
    void MySGSelectCell(int col, int row);
    // N23: every mark goes, "*" included.
    void N23Click();
    // N2: the file of the current row leaves the list.
    void N2Click();
    // N21: the files of the rows marked "V" leave the list.
    void N21Click();
    // A row dragged by the fixed column: its pair moves with it.
    void MySGRowMoved(int fromIndex, int toIndex);

    // --- Sorting the rows (UnMein_Sort.cpp) ------------------------------------------------------
    // SortByName, SortByModified, SortByTaken (in the edit menu and the table's popup menu): every
    // row keeps its file, new name, state and mark.
    void SortRows(RowOrder::Key key);

    // --- Dates taken (DatesTaken.cpp) -------------------------------------------------------------
    TDatesTaken& DatesTaken() { return *dates_; }

    // --- Input histories (InputHistories.cpp) ----------------------------------------------------
    TInputHistories& Histories() { return *histories_; }

    // --- Move after renaming (UnMein_Move.cpp) -------------------------------------------------
    // Switches the move on or off (mnMoveOn, btMoveOn).
    void mnMoveOnClick();
    // Chooses the destination with the browse dialog (mnMoveFolder, btMoveFolder).
    void mnMoveFolderClick();
    // Shared by bMHist1..3 and mMHist1..3: the sender tells the slot.
    void bMHist1Click(QObject* sender);
    void N15Click();
    void N16Click();
    void ShowMoveHistory();
    // Moves the files the sequential run renamed into MoveDestination.
    void MoveAfterRename();

    // --- Help menu (UnMein_Help.cpp) ---------------------------------------------------------------
    // mnGuide: the user guide in the desktop's browser.
    void mnGuideClick();
    // mnAbout: the About box.
    void mnAboutClick();

    // --- Preview of the coming names (UnMein_Preview.cpp) ---------------------------------------
    // cbPreview and btPreview: the preview on or off.
    void cbPreviewClick();
    PreviewController& Preview() { return *preview_; }

    // --- Run journal, recovery and the history of changes (UnMein_Journal.cpp) -------------------
    // After the window opened: offers to take back each command that a killed program left
    // unfinished, newest first.
    void RecoverInterrupted();
    // mnJournal: the history of changes.
    void mnJournalClick();
    // The history's 元に戻す: undoes the kept command id, journaled itself.
    void UndoJournaled(std::uint64_t id);
    TJournalDlg* JournalDialog() const { return JournalDlg1; }
    // Another journal folder from the next command on (empty: none); for the benchmarks that set a
    // run with its journal against one without.
    void SetJournalFolder(std::string folder) { journal_ = RunJournal::Store(std::move(folder)); }
    // Returns once the lists a load or a command let go of are freed; for the benchmarks, which
    // click within milliseconds of a load where a person takes far longer.
    void WaitForReleases() { released_.Wait(); }

    // --- Settings file (WindowSettings.cpp) ------------------------------------------------------
    TWindowSettings& SettingsFile() { return *settings_; }

    // --- State the window owns for its whole life ---------------------------------------------
    // The files of the table, entry i = row i + 1: old and new paths and what the last command
    // did to each.
    PairList Pairs;
    bool CaseRunFlag = false;
    int LastSelectedRow = 0;        // the row that last became current; 0 before any
    std::string CurrentFolder;      // without trailing "/", except the root "/"
    std::string ReloadFolder;       // target of the re-read buttons
    std::string BrowseStartFolder;  // where the folder chooser opens
    ::FolderHistory::Slots FolderHistory;
    std::string DateFormat = "yyyymmdd";  // from RGDate
    std::string LastNumberText;           // number of the last file of the last composed run
    std::string MoveDestination;          // with a trailing "/", or empty
    MoveDestinations::History MoveHistory;
    // Called by the sequential run between its checks and its renames; for tests, which change
    // the disk at that moment.
    std::function<void()> AfterRunChecks;

    // The image a tool button shows (index into the window's image list).
    static int ImageIndexOf(const QToolButton* button);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    // Wiring (UnMein_Wiring.cpp): one function per concern.
    void Wire();
    void WireWindow();
    void WireFileList();
    void WireFolders();
    void WireRun();
    void WireOtherRun();
    void WireMove();
    void WireRows();
    void WireSort();
    void WireHelp();
    void WirePreview();

    // The preview (UnMein_Preview.cpp). The inputs changed: a new preview after the pause.
    void SchedulePreview();
    // Before the list changes: the preview stops reading it and shows nothing.
    void HaltPreview();
    // A list was loaded: a new preview, which tells no refusal until the user changes an input.
    void PreviewNewList();
    bool previewQuiet_ = true;
    // What the preview is to compute now: nullopt while it is off or 開始 rests.
    std::optional<PreviewController::Job> PreviewJob();
    // The inputs of the page 開始 would run, as the run reads them.
    RenamePreview::Inputs ReadPreviewInputs() const;
    // The preview shown in the table; null while real results or nothing stand there.
    const RenamePreview::Result* PreviewShown() const;
    // Column 2 of a row while the preview shows: its coming name, its colours and tip.
    QString PreviewName(int row) const;
    TStringGridEx::TCellLook PreviewLook(int row) const;
    // A new preview (or none): column 2 and the panel show it.
    void ShowPreview();
    PreviewController* preview_ = nullptr;
    // Schedules the preview when it goes, however the command ends.
    struct PreviewAfterwards {
        TFmMein* window;
        ~PreviewAfterwards() { window->SchedulePreview(); }
    };

    // Rename run helpers (UnMein_Run.cpp). nullopt when an input has no code page 932 form.
    std::optional<SequentialNames::Options> ReadSequentialOptions() const;
    // What a command works on: Pairs, the journal, and the window's ways with them.
    Command::RunContext RunFiles();
    // offerUndo false leaves Undo1 and btret as they are (a run that renamed nothing).
    void SetPostRunState(bool offerUndo = true);
    void ShowFileCount();
    // A table of the header and one row counts as empty for marking and removing.
    bool TableLooksEmpty() const;
    // "*" on the rows of the given entries.
    void MarkUnprocessed(const std::vector<std::size_t>& indices);
    // N21 and N23 are always switched together.
    void EnableMarkCommands(bool enabled);
    // Deletes the rows of the given entries (ascending) from the table and from Pairs.
    void RemoveEntries(const std::vector<std::size_t>& indices);
    // The move switch's look and the controls it enables, after the check mark changed.
    void ShowMoveSwitch();
    // Makes folder the destination (as a folder text) and remembers which folder stands there now.
    void SetMoveDestination(const std::string& folder);
    // The folder MoveDestination named when it was chosen; nullopt when it named none.
    std::optional<MovePlan::FolderId> moveDestinationId_;
    // An input field in the window colour while usable, in the button face while not.
    static void SetFieldColour(QWidget* field, bool usable);
    // Messages through the dialog interface, at the message placement.
    void Message(const QString& text);
    // Empties the table and Pairs before a load.
    void ClearFileList();
    // The table's name and folder columns (UnMein_Table.cpp) hold no texts: they read the lists
    // that ShowPathList last showed, for the rows painted or asked for. Null shows nothing.
    void ConnectTableColumns();
    // The empty table: the header and one blank row, no list shown.
    void ClearTable();
    // The table emptied, then showing Pairs' old and new paths, unmarked; the file count with it.
    void RefillTable();
    const std::vector<std::string>* shownOld_ = nullptr;  // names (column 1) and folders (column 3)
    const std::vector<std::string>* shownNew_ = nullptr;  // names (column 2)
    // A list that is not one of Pairs' is kept here while shown.
    std::vector<std::string> keptOld_;
    std::vector<std::string> keptNew_;
    void SetImageIndex(QToolButton* button, int index);

    // The load: the plan is made on the busy runner's thread, then shown.
    bool RunLoad(const std::function<FileList::LoadPlan(RunControl&)>& plan, const std::string* current);
    bool ShowLoadPlan(FileList::LoadPlan plan, const std::string* current);
    // A loaded list in the table, with the commands it offers.
    void ShowNewList();
    FileList::LoadOptions ReadLoadOptions() const;

    std::unique_ptr<TBusyRunner> busy_;
    // Long lists the window lets go of are freed here rather than between two paints.
    BackgroundRelease released_;
    // Runs work on the busy runner once released_ has freed what it holds.
    bool RunBusy(const TBusyRunner::Task& task, const std::function<void(RunControl&)>& work);
    std::unique_ptr<TDialogs> dialogs_;
    std::unique_ptr<TWindowHost> host_;
    // The run journal (UnMein_Journal.cpp): the kept commands, and the journal of the last run,
    // which its undo and reverts name (0 for none).
    RunJournal::Store journal_;
    std::uint64_t runJournal_ = 0;
    // Parts of the window: the column layout and the settings file, and two children.
    TInputHistories* histories_ = nullptr;
    TDatesTaken* dates_ = nullptr;
    std::unique_ptr<TColumnLayout> columns_;
    std::unique_ptr<TWindowSettings> settings_;

    TJournalDlg* JournalDlg1 = nullptr;  // made when first opened
};
