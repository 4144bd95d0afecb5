#pragma once

#include <QMainWindow>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "grid/ScheduleGrid.h"
#include "schedule/BookingPlacement.h"
#include "schedule/WindowState.h"
#include "store/ProgramFolders.h"
#include "store/StoreChanges.h"
#include "ui/CommandTable.h"
#include "ui/Watched.h"

class AutoSave;
class CalDavSync;
class ClsDate;
class ClsDialog;
class ClsGlobal;
class ClsHelp;
class DlgAbout;
class DlgAppointment;
class DlgCalendarServer;
class DlgConfigure;
class DlgDelete;
class DlgExport;
class DlgImport;
class DlgPreview;
class DlgResource;
class DlgSearch;
class DropDownToolButton;
class EditHistory;
class FileSystem;
class GridBarPlacer;
class IWindowing;
class KeyedToolBar;
class QAction;
class QCalendarWidget;
class QDate;
class QDialog;
class QLabel;
class QSlider;
class RebuildCache;
class ScheduleGrid;
class ScheduleGridView;
class ScheduleView;
class WindowFrame;
struct Services;
struct SyncSettings;

// The planner's main and only non-modal window: the schedule grid with its menus,
// toolbar and status bar. It owns the program-wide objects (the store and its change
// interface, the date and dialog helpers, help) and hands them to its dialogs as services.
class DlgMain : public QMainWindow {
    Q_OBJECT

public:
    // Every command of the window, in menu order.
    enum class Command {
        FileConfigure,
        FileCalendarServer,
        FilePrint,
        FileImport,
        FileExport,
        FileExit,
        EditUndo,
        EditRedo,
        EditCut,
        EditCopy,
        EditPaste,
        EditDuplicate,
        ApptAdd,
        ApptEdit,
        ApptDelete,
        ApptEarlier,
        ApptLater,
        ApptShorten,
        ApptLengthen,
        ApptRowUp,
        ApptRowDown,
        ApptSearch,
        ResourceAdd,
        ResourceEdit,
        ResourceDelete,
        SchedDate,
        SchedToday,
        SchedView,
        SchedZoom,
        SchedZoomIn,
        SchedZoomOut,
        HelpContents,
        HelpMain,
        HelpNavigate,
        HelpAbout,
        Count
    };

    // Loads the store from the folders' Data/.
    DlgMain(IWindowing& windowing, const ProgramFolders& folders, FileSystem& files,
            QWidget* parent = nullptr);
    DlgMain(IWindowing& windowing, const ProgramFolders& folders, QWidget* parent = nullptr);
    ~DlgMain() override;

    const ClsGlobal& Global() const { return *global_; }
    StoreChanges& Changes() { return *changes_; }
    EditHistory& History() { return *history_; }
    AutoSave& Saving() { return *autoSave_; }
    // What the dialogs are given: the shared objects, and the schedule as they may see it.
    const Services& WindowServices() const { return *services_; }
    ScheduleView& View();
    QString HelpFile() const;
    // False when loading failed (the failure is in the error log): the program cannot run.
    bool Loaded() const { return loaded_; }

    ScheduleGrid* Sched() const { return sched_; }
    KeyedToolBar* ToolBar() const { return toolBar_; }
    QSlider* Zoom() const { return zoom_; }
    QCalendarWidget* SelMonth() const { return selMonth_; }
    QAction* Action(Command command) const { return commands_.Action(command); }
    // The toolbar button of a key ("Exit", "Resource", ...); null for any other key.
    DropDownToolButton* ToolButton(const QString& key) const;

    // Where the print preview was last left, for its next showing and the next run.
    const WindowState::Place& PreviewPlace() const { return previewPlace_; }
    void SetPreviewPlace(const WindowState::Place& place) { previewPlace_ = place; }

    int32_t FillDepth() const { return fillDepth_; }
    int32_t SelectedAppointment() const { return selectedAppointment_; }
    QString StatusPanel(const QString& key) const;
    // Why the last move of a booking by hand was refused, or what the drag collides with.
    QString StatusNote() const;
    // The status bar's word on saving: empty while every change is written.
    QString SaveStatus() const;
    // The calendar sync's state in the status bar, shown once a server is set; its tip holds
    // the last error.
    QLabel* SyncState() const { return syncState_; }
    // The sync with the calendar server; none until one is set and its password found.
    CalDavSync* Sync() const { return sync_.get(); }

    // The schedule view.
    void SetScheduleDates(int32_t& start);
    void ShowResources();
    void ShowAppointments(int row);
    // Brings a found appointment into view: its range, its row selected, its start shown.
    // When no row holds its resource, no row is selected; an id the store does not hold
    // changes nothing.
    void ShowFoundAppointment(int32_t id);

    // Lifecycle.
    void Form_Activate();
    void Form_Resize();
    // Closes help and writes what is not yet saved; on a failed write the user may retry.
    // Runs once.
    void Form_Unload();

    // Commands.
    void mnuFileConfigure_Click();
    void mnuFileCalendarServer_Click();
    void mnuFilePrint_Click();
    void mnuFileImport_Click();
    void mnuFileExport_Click();
    void mnuFileExit_Click();
    void mnuApptAdd_Click();
    void mnuEditUndo_Click();
    void mnuEditRedo_Click();
    void mnuApptEdit_Click();
    void mnuApptDelete_Click();
    void mnuApptSearch_Click();
    void mnuApptEarlier_Click();
    void mnuApptLater_Click();
    void mnuApptShorten_Click();
    void mnuApptLengthen_Click();
    void mnuApptRowUp_Click();
    void mnuApptRowDown_Click();
    void mnuResourceAdd_Click();
    void mnuResourceEdit_Click();
    void mnuResourceDelete_Click();
    void mnuSchedDate_Click();
    void mnuSchedToday_Click();
    void mnuSchedView_Click();
    void mnuSchedZoom_Click();
    // A step of resolution by key, without the slider: a quarter more, a fifth less.
    void mnuSchedZoomIn_Click();
    void mnuSchedZoomOut_Click();
    void mnuHelpContents_Click();
    void mnuHelpMain_Click();
    void mnuHelpNavigate_Click();
    void mnuHelpAbout_Click();
    void ToolBar_ButtonClick(const QString& key, bool flag);

    // The Edit menu. Copy keeps the selected booking's customer, type, reference and length;
    // Paste puts a copy where the grid was last clicked, Duplicate right after the original or
    // at the next free time of its length on its row.
    void mnuEditCut_Click();
    void mnuEditCopy_Click();
    void mnuEditPaste_Click();
    void mnuEditDuplicate_Click();

    // Grid events.
    void Sched_BarAdded(int row, int bar, int value1, int value2);
    void Sched_BarLeftClick(int row, int bar);
    void Sched_BarDblClick(int row, int bar);
    void Sched_BarRightClick(int row, int bar);
    void Sched_ItemMove(int row, int bar);
    // The grid raises the next three only for bars dragged or resized, which ours never
    // are; the window answers them all the same.
    void Sched_BarPreSelect(int value, int flag);
    void Sched_BarPreDrop(int value1, int value2, int value3, int value4, int value5, int value6,
                          int value7, int flag);
    void Sched_BarChanged(int value1, int value2, int value3, int value4, int value5, int value6,
                          int value7);
    void Sched_ScrollTrack(int value1, int value2, int value3);
    void Sched_GotFocus();
    // The keys on the grid's selected bar: Tab selects, Enter edits, Delete deletes.
    void Sched_BarKeySelect(int row, int bar);
    void Sched_BarKeyEdit(int row, int bar);
    void Sched_BarKeyDelete(int row, int bar);
    // A bar dragged and dropped: the booking moved, resized or copied there, when it fits.
    void Sched_BarDropped(const ScheduleGrid::Drop& drop);
    void Sched_BarDragNote(const QString& note);
    void SelMonth_DblClick(const QDate& date);
    void Zoom_Change(int value);
    // Server changes the sync did not apply: told once no dialog of the window is up.
    void Sync_Refused(const QStringList& messages);

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load(FileSystem& files);
    void BuildStatusBar();
    // A status panel's text; a screen reader hears what the panel shows with it.
    void SetStatusPanel(size_t index, const QString& text);
    // The warning colour of the save state, from the palette in use.
    void ShowAlertInk();
    void HideZoom();
    // The dialogs, made on first use and kept.
    DlgAppointment& AppointmentDialog();
    DlgResource& ResourceDialog();
    // Export, on the schedule's range; from the search window on its results.
    void ExportBookings(bool searchResults);
    void ShowSaveState();
    // The sync as the settings on disk have it, once the secret store gives the password.
    void StartSync();
    void RunSync(const SyncSettings& settings, const QString& password);
    // Off, with the reason as the tip, when no sync runs.
    void ShowSyncState(const QString& whyOff = QString());
    void TellRefusals();
    void ReportLoadProblems();
    // Shows one of the window's modal dialogs. What it changes is shown by the rebuild the
    // command makes when it closes, not change by change while it is open.
    void ShowModal(QDialog* dialog);
    // A change told by the store's change interface outside the window's dialogs.
    void StoreChanged(const ChangeSet& set);
    // Moves the selected booking by steps of its type's increment (start and end, then the
    // end alone) and by rows.
    void NudgeBooking(int shift, int stretch, int rows);
    // Saves the booking (a copy of it) placed by the booking rules, as one named change;
    // refused with the reason in the status bar when it collides. True when saved.
    // With takeOut the moved booking also leaves its series, in the same change.
    bool PlaceBooking(const ClsAppointment& booking, int32_t resourceId, int64_t start, int64_t end,
                      BookingPlacement::Edge edge, bool copy, bool takeOut = false);
    // A date of a series deleted, dragged elsewhere or by an end: asks how far it goes and
    // deletes or moves those dates (with this date's new length when an end was dragged).
    // False, having done nothing, for a booking in no series.
    bool DeleteSeriesDates(int32_t id);
    bool MoveSeriesDates(const ClsAppointment& booking, int32_t resourceId, int64_t start,
                         int64_t end, BookingPlacement::Edge edge);
    // Selects the booking's bar and brings it into view, the range too when it lies outside.
    void SelectBooking(int32_t id);
    // The Edit menu's Undo and Redo as the history stands.
    void ShowHistory();
    void TakeStep(bool undo);
    QString RefusalText(bool undo, const QString& what, const StoreChanges::Refusal& refusal) const;
    void ShowNote(const QString& note, bool lasting);

    // What Copy took, as values: the original may go afterwards.
    struct CopiedBooking {
        int32_t customerId = 0;
        int32_t typeId = 0;
        int32_t minutes = 0;
        std::string reference;
    };
    // The Edit commands are greyed when they have nothing to work on.
    void ShowEditState();
    bool CopySelected();
    // Saves a copy of the booking from start on the resource as one named change and selects
    // it; a copy that would overlap a booking is refused, naming it. Returns the new id or 0.
    int32_t PlaceCopy(const char* what, const CopiedBooking& copy, int32_t resourceId,
                      int32_t start);
    // "Ann, 02 Jun 2021 10:00 to 11:00"
    QString DescribeAppointment(int32_t id) const;

    IWindowing& windowing_;
    ProgramFolders folders_;
    std::unique_ptr<ClsGlobal> global_;
    std::unique_ptr<StoreChanges> changes_;
    std::unique_ptr<EditHistory> history_;
    std::unique_ptr<ClsDialog> dialog_;
    std::unique_ptr<ClsDate> date_;
    std::unique_ptr<ClsHelp> help_;
    std::unique_ptr<Services> services_;
    std::unique_ptr<ScheduleGridView> view_;
    std::unique_ptr<WindowFrame> frame_;
    std::unique_ptr<AutoSave> autoSave_;
    std::unique_ptr<RebuildCache> rebuild_;
    std::unique_ptr<BookingPlacement> placement_;
    std::unique_ptr<GridBarPlacer> barPlacer_;
    DlgAbout* about_ = nullptr;
    DlgConfigure* configure_ = nullptr;
    DlgSearch* search_ = nullptr;
    DlgDelete* delete_ = nullptr;
    DlgExport* export_ = nullptr;
    DlgImport* import_ = nullptr;
    DlgAppointment* appointment_ = nullptr;
    DlgResource* resource_ = nullptr;
    DlgPreview* preview_ = nullptr;
    DlgCalendarServer* calendarServer_ = nullptr;
    std::unique_ptr<CalDavSync> sync_;
    QStringList refusals_;

    ScheduleGrid* sched_ = nullptr;
    KeyedToolBar* toolBar_ = nullptr;
    QSlider* zoom_ = nullptr;
    QCalendarWidget* selMonth_ = nullptr;
    QLabel* saveState_ = nullptr;
    QLabel* syncState_ = nullptr;
    CommandTable commands_;
    std::array<QLabel*, 4> statusPanels_{};
    WindowState::Place previewPlace_;

    bool loaded_ = false;
    bool unloaded_ = false;
    bool scrollToNow_ = false; // the next rebuild shows a new range or view
    int32_t fillDepth_ = 0;
    int32_t modalDepth_ = 0;
    StoreChanges::Subscription shownChanges_;
    Watched<int32_t> selectedAppointment_{0, [this] { ShowEditState(); }};
    std::optional<CopiedBooking> copied_;
};
