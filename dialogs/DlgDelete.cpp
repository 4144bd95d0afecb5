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
#include "platform/IWindowing.h"
#include "platform/Twips.h"
#include "store/ClsGlobal.h"
#include "store/StoreChanges.h"
#include "ui/ClsDialog.h"
#include "ui/CommandTable.h"
#include "ui/ScheduleView.h"
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

// clang-format off
const CommandRow<DlgDelete> kCommands[] = {
    {Command::FileDelete, "&File", "&Delete marked appointments", QKeySequence::Delete, Cmd::Plain,
     "Delete", "Delete marked appointment(s)", &DlgDelete::mnuFileDelete_Click},
    {Command::FileCancel, "&File", "&Cancel", {}, Cmd::SeparatorBefore,
     "Cancel", "Cancel", &DlgDelete::mnuFileCancel_Click},
    {Command::Help, "", "&Help", Qt::Key_F1, Cmd::Plain, "Help", "Help", &DlgDelete::mnuHelp_Click},
};
// clang-format on
} // namespace

DlgDelete::DlgDelete(const Services& services, const ScheduleView& schedule)
    : QDialog(services.owner), services_(services), schedule_(schedule),
      commands_(*this, services.windowing, kCommands),
      frame_(*this, {[this] { Form_Load(); }, [this] { Form_Activate(); }}, services_,
             kHelpContext) {
    frame_.ActivateInEvent();
    setWindowTitle(tr("Delete Appointment"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setSizeGripEnabled(true);

    menuBar_ = new QMenuBar(this);
    commands_.BuildMenus(menuBar_);
    toolBar_ = new KeyedToolBar(this);
    commands_.BuildToolBar(toolBar_, "Cancel Delete | Help", *this,
                           &DlgDelete::ToolBar_ButtonClick);

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
}

bool DlgDelete::event(QEvent* event) {
    frame_.Event(event);
    return QDialog::event(event);
}

void DlgDelete::Form_Load() {
    Trap(kForm, "Form_Load", [&] {
        // Dates in full and no horizontal scroll bar to begin with, whatever the font.
        lbAppointments_->FitColumnTo(2, kDateSample);
        const QMargins margins = layout()->contentsMargins();
        const int width =
            std::max(TwipsToPixelsX(kWidthTwips, this),
                     lbAppointments_->ColumnsWidth() + margins.left() + margins.right());
        resize(width, TwipsToPixelsY(kHeightTwips, this));
        ClsDialog::FormCenter(this, parentWidget());
    });
}

void DlgDelete::Form_Activate() {
    if (!frame_.FirstActivation()) {
        return;
    }
    Trap(kForm, "Form_Activate", [&] {
        monthFirst_ = services_.store.DateFormat() != 0;
        const ScheduleView& grid = schedule_;
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
        for (const ResourceSlot& slot : services_.store.AppointmentsOfResource(id)) {
            matches.push_back({slot.startDtTm, slot.id});
        }
    });
    AppointmentRows rows(services_.store, services_.date, kForm);
    rows.Fill(*lbAppointments_, matches, AppointmentRows::Layout::MarkDateCustomerType,
              monthFirst_);
    ShowMarked();
}

QString DlgDelete::FormatDtTm(int32_t value) const {
    return AppointmentRows(services_.store, services_.date, kForm).FormatDtTm(value, monthFirst_);
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
    const IWindowing::Answer answer = services_.windowing.MessageBox(
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
        services_.changes.AppointmentsDelete(marked);
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
    const ClsGlobal& store = services_.store;
    const auto deleted = std::count_if(
        marked.begin(), marked.end(), [&](int32_t id) { return !store.Appointments().Exists(id); });
    services_.windowing.MessageBox(
        this,
        tr("An error stopped the delete: %1 of the %2 marked appointments were deleted, the "
           "others are kept. The details are in %3.")
            .arg(deleted)
            .arg(marked.size())
            .arg(QString::fromStdString(services_.folders.LogFile())),
        tr("Error!"), IWindowing::Icon::Exclamation, IWindowing::Buttons::Ok);
}

void DlgDelete::mnuFileCancel_Click() {
    reject();
}

void DlgDelete::mnuHelp_Click() {
    frame_.ShowHelp();
}

void DlgDelete::ToolBar_ButtonClick(const QString& key, bool flag) {
    Trap(kForm, "ToolBar_ButtonClick", [&] { commands_.ToolBarClick(key, flag); });
}
