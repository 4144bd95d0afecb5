// The appointment dialog's Repeat: the booking on the fields, booked again on a rule's days.
#include <QAction>

#include "dialogs/DlgAppointment.h"
#include "dialogs/DlgRepeat.h"
#include "platform/IWindowing.h"
#include "store/ClsGlobal.h"
#include "store/SeriesPlan.h"
#include "ui/Trap.h"

namespace {
constexpr const char* kForm = "DlgAppointment";
} // namespace

DlgRepeat& DlgAppointment::RepeatDialog() {
    if (repeatDialog_ == nullptr) {
        repeatDialog_ = new DlgRepeat(services_, this);
    }
    return *repeatDialog_;
}

// A booking in a series is repeated as part of it, not made the first of another.
void DlgAppointment::EnableRepeat() {
    const ClsGlobal& store = services_.store;
    const bool inSeries =
        appointmentId_ != 0 && store.SeriesSize(store.SeriesOf(appointmentId_)) >= 2;
    Action(Command::FileRepeat)->setEnabled(!inSeries);
}

// The fields are held to what Save holds them to; the booking itself is checked against the
// others with the rest of the dates, in the Repeat dialog.
void DlgAppointment::mnuFileRepeat_Click() {
    Trap(kForm, "mnuFileRepeat_Click", [&] {
        if (!Action(Command::FileRepeat)->isEnabled()) {
            return;
        }
        const std::optional<PlannedBooking> first = CheckedFields();
        if (!first) {
            return;
        }
        DlgRepeat& dialog = RepeatDialog();
        dialog.SetFirst(*first);
        services_.windowing.ShowModal(&dialog);
        if (dialog.BookedId() != 0) {
            appointmentId_ = dialog.BookedId();
            accept();
        }
    });
}
