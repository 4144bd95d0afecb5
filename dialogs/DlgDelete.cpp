#include "dialogs/DlgDelete.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>
#include <new>
#include <vector>

#include "base/ModError.h"
#include "dialogs/AppointmentRows.h"
#include "grid/ScheduleGrid.h"
#include "platform/IWindowing.h"
#include "platform/Twips.h"
#include "schedule/DlgMain.h"
#include "store/ClsGlobal.h"
#include "ui/ClsDialog.h"
#include "ui/ClsHelp.h"
#include "ui/CommandTable.h"
#include "ui/Trap.h"
#include "widgets/KeyedToolBar.h"
#include "widgets/MultiColumnList.h"

namespace {
using Command = DlgDelete::Command;

constexpr const char* kForm = "DlgDelete";
constexpr double kWidthTwips = 5640;
constexpr double kHeightTwips = 4140;
// The widest date and time a row shows, on either clock.
const QString kDateSample = QStringLiteral("00/00/00 00:00pm");
constexpr int kHelpContext = 7;
// The "X" column.
constexpr int kMarkColumn = 1;

const CommandRow<DlgDelete> kCommands[] = {
    {Command::FileDelete, "&Delete marked appointments", &DlgDelete::mnuFileDelete_Click},
    {Command::FileCancel, "&Cancel", &DlgDelete::mnuFileCancel_Click},
    {Command::Help, "&Help", &DlgDelete::mnuHelp_Click},
};

const ToolButtonRow<Command> kToolButtons[] = {
    {"Cancel", "Cancel", false, Command::FileCancel},
    {"Delete", "Delete marked appointment(s)", false, Command::FileDelete},
    {"Help", "Help", true, Command::Help},
};
} // namespace

DlgDelete::DlgDelete(DlgMain& main) : ShowingDialog(&main), main_(main) {
    setWindowTitle(tr("Delete Appointment"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setSizeGripEnabled(true);

    BuildActions();
    menuBar_ = new QMenuBar(this);
    BuildMenus();
    toolBar_ = new KeyedToolBar(this);
    BuildToolBar();

    cbResource_ = new QComboBox(this);
    cbResource_->setMaxVisibleItems(20);
    cbResource_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cbResource_->setMinimumContentsLength(24);
    lbAppointments_ = new MultiColumnList(this);
    lbAppointments_->AddColumn(tr("X"), 30, true);
    lbAppointments_->AddColumn(tr("Date/Time"), 100);
    lbAppointments_->AddColumn(tr("Customer"), 120);
    lbAppointments_->AddColumn(tr("Type"), 120);
    lbAppointments_->setAccessibleName(tr("Appointments of the resource"));
    marked_ = new QLabel(this);

    auto* resource = new QLabel(this);
    resource->setBuddy(cbResource_);
    resource->setText(tr("&Resource:"));
    auto* criterion = new QHBoxLayout;
    criterion->addWidget(resource);
    criterion->addWidget(cbResource_, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar_);
    layout->setContentsMargins(6, 0, 6, 6);
    layout->setSpacing(6);
    layout->addWidget(toolBar_);
    layout->addLayout(criterion);
    layout->addWidget(lbAppointments_, 1);
    layout->addWidget(marked_);

    connect(cbResource_, &QComboBox::currentIndexChanged, this, &DlgDelete::ShowAppointments);
    connect(lbAppointments_, &MultiColumnList::MarksChanged, this, &DlgDelete::ShowMarked);
    connect(toolBar_, &KeyedToolBar::ButtonClick, this, &DlgDelete::ToolBar_ButtonClick);
}

void DlgDelete::BuildActions() {
    MakeActions(this, kCommands, actions_);
    Action(Command::FileDelete)->setShortcut(QKeySequence::Delete);
    Action(Command::Help)->setShortcut(QKeySequence(Qt::Key_F1));
}

void DlgDelete::BuildMenus() {
    QMenu* file = menuBar_->addMenu(tr("&File"));
    file->addAction(Action(Command::FileDelete));
    file->addSeparator();
    file->addAction(Action(Command::FileCancel));
    menuBar_->addAction(Action(Command::Help));
    // The shortcuts work wherever the focus is in the dialog.
    addAction(Action(Command::FileDelete));
    addAction(Action(Command::Help));
}

void DlgDelete::BuildToolBar() {
    AddToolButtons(toolBar_, kToolButtons);
}

void DlgDelete::Form_Load() {
    Trap(kForm, "Form_Load", [&] {
        activated_ = false;
        // Dates in full and no horizontal scroll bar to begin with, whatever the font.
        lbAppointments_->FitColumnTo(2, kDateSample);
        const QMargins margins = layout()->contentsMargins();
        const int width =
            std::max(TwipsToPixelsX(kWidthTwips, this),
                     lbAppointments_->ColumnsWidth() + margins.left() + margins.right());
        resize(width, TwipsToPixelsY(kHeightTwips, this));
        ClsDialog::FormCenter(this, &main_);
    });
}

void DlgDelete::Form_Activate() {
    if (activated_) {
        return;
    }
    Trap(kForm, "Form_Activate", [&] {
        activated_ = true;
        monthFirst_ = main_.Global().DateFormat() != 0;
        const ScheduleGrid& grid = *main_.Sched();
        {
            const QSignalBlocker blocker(cbResource_);
            cbResource_->clear();
        }
        for (int r = 1; r <= grid.RowCount(); ++r) {
            ClsDialog::ComboAddItem(cbResource_, grid.RowText(r), grid.RowData(r));
        }
        // The schedule's current row, or the first; an empty list still clears the
        // appointments an earlier showing left.
        const int current = grid.CurrentRow() >= 1 ? grid.CurrentRow() : 1;
        if (ClsDialog::ComboSelectItem(cbResource_, grid.RowData(current)) < 0) {
            ShowAppointments();
        }
        lbAppointments_->setFocus();
    });
}

void DlgDelete::ShowAppointments() {
    std::vector<AppointmentRows::Match> matches;
    Trap(kForm, "ShowAppointments", [&] {
        const int32_t id = ClsDialog::ComboGetCurrentId(cbResource_);
        // The resource's own index holds its appointments in collection order.
        for (const ResourceSlot& slot : main_.Global().AppointmentsOfResource(id)) {
            matches.push_back({slot.startDtTm, slot.id});
        }
    });
    AppointmentRows rows(main_.Global(), main_.Date(), kForm);
    rows.Fill(*lbAppointments_, matches, AppointmentRows::Layout::MarkDateCustomerType,
              monthFirst_);
    ShowMarked();
}

QString DlgDelete::FormatDtTm(int32_t value) const {
    return AppointmentRows(main_.Global(), main_.Date(), kForm).FormatDtTm(value, monthFirst_);
}

QString DlgDelete::MarkedText() const {
    return marked_->text();
}

void DlgDelete::ShowMarked() {
    marked_->setText(tr("%1 of %2 marked")
                         .arg(lbAppointments_->MarkedCount())
                         .arg(lbAppointments_->ListCount()));
}

void DlgDelete::mnuFileDelete_Click() {
    const IWindowing::Answer answer = main_.Windowing().MessageBox(
        this, tr("Confirm delete marked appointments?"), tr("Confirm!"), IWindowing::Icon::Question,
        IWindowing::Buttons::YesNo);
    if (answer == IWindowing::Answer::Yes) {
        DeleteMarked();
    }
    accept();
}

void DlgDelete::DeleteMarked() {
    std::vector<int32_t> marked;
    bool failed = false;
    try {
        for (int row = 0; row < lbAppointments_->ListCount(); ++row) {
            if (lbAppointments_->ItemMark(row, kMarkColumn) > 0) {
                marked.push_back(lbAppointments_->ItemData(row));
            }
        }
        main_.Global().AppointmentsDelete(marked);
    } catch (const std::bad_alloc&) {
        ModError::LogError(kForm, "mnuFileDelete_Click", MakeError(ErrorNumber::OutOfMemory));
        failed = true;
    } catch (const std::exception& e) {
        ModError::LogError(kForm, "mnuFileDelete_Click", 0, ErrorNumber::InvalidCall, e.what());
        failed = true;
    }
    if (!failed) {
        return;
    }
    // Counted from the store, so the figure is true wherever the failure struck.
    const ClsGlobal& store = main_.Global();
    const auto deleted = std::count_if(
        marked.begin(), marked.end(), [&](int32_t id) { return !store.Appointments().Exists(id); });
    main_.Windowing().MessageBox(
        this,
        tr("An error stopped the delete: %1 of the %2 marked appointments were deleted, the "
           "others are kept. The details are in %3.")
            .arg(deleted)
            .arg(marked.size())
            .arg(QString::fromStdString(main_.Folders().LogFile())),
        tr("Error!"), IWindowing::Icon::Exclamation, IWindowing::Buttons::Ok);
}

void DlgDelete::mnuFileCancel_Click() {
    reject();
}

void DlgDelete::mnuHelp_Click() {
    main_.Help().ShowHelpTopic(&main_, main_.HelpFile(), kHelpContext);
}

void DlgDelete::ToolBar_ButtonClick(const QString& key, bool /*flag*/) {
    Trap(kForm, "ToolBar_ButtonClick", [&] {
        if (const auto* row = ToolButtonOf(kToolButtons, key)) {
            Action(row->command)->trigger();
        }
    });
}
