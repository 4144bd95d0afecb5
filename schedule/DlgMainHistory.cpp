// Undo and redo on the main window: the Edit menu's first two entries follow the history.
#include <QAction>

#include "platform/IWindowing.h"
#include "schedule/DlgMain.h"
#include "store/ClsGlobal.h"
#include "ui/EditHistory.h"
#include "ui/Trap.h"
#include "widgets/DropDownToolButton.h"
#include "widgets/KeyedToolBar.h"

namespace {
constexpr const char* kForm = "DlgMain";
} // namespace

void DlgMain::ShowHistory() {
    const auto offer = [this](Command command, const QString& verb, bool can, const QString& what) {
        const QString tip = can ? tr("%1 %2").arg(verb, what) : verb;
        QAction* action = commands_.Action(command);
        action->setEnabled(can);
        action->setText(can ? tr("&%1 %2").arg(verb, what) : tr("&%1").arg(verb));
        action->setToolTip(tip);
        if (DropDownToolButton* button = ToolButton(verb)) {
            button->setEnabled(can);
            toolBar_->SetTip(verb, tip);
        }
    };
    offer(Command::EditUndo, tr("Undo"), history_->CanUndo(), history_->UndoText());
    offer(Command::EditRedo, tr("Redo"), history_->CanRedo(), history_->RedoText());
}

void DlgMain::mnuEditUndo_Click() {
    TakeStep(true);
}

void DlgMain::mnuEditRedo_Click() {
    TakeStep(false);
}

void DlgMain::TakeStep(bool undo) {
    HideZoom();
    Trap(kForm, undo ? "mnuEditUndo_Click" : "mnuEditRedo_Click", [&] {
        const EditStep* step = undo ? history_->NextUndo() : history_->NextRedo();
        if (step == nullptr) {
            return;
        }
        const QString what = QString::fromStdString(step->What());
        // The booking to show afterwards: the one step's booking as it then stands.
        const auto& bookings = step->Of<ClsAppointment>();
        const auto& shown = undo ? bookings.before.records : bookings.after.records;
        const int32_t follow = shown.size() == 1 ? shown.front().Id() : 0;
        const auto refusal = undo ? history_->Undo() : history_->Redo();
        if (refusal) {
            windowing_.MessageBox(this, RefusalText(undo, what, *refusal),
                                  undo ? tr("Undo") : tr("Redo"), IWindowing::Icon::Exclamation,
                                  IWindowing::Buttons::Ok);
            return;
        }
        if (follow != 0) {
            SelectBooking(follow);
        }
        ShowNote(undo ? tr("Undone: %1").arg(what) : tr("Redone: %1").arg(what), true);
    });
}

QString DlgMain::RefusalText(bool undo, const QString& what,
                             const StoreChanges::Refusal& refusal) const {
    const QString head =
        undo ? tr("Cannot undo \"%1\"").arg(what) : tr("Cannot redo \"%1\"").arg(what);
    using Reason = StoreChanges::Refusal::Reason;
    switch (refusal.reason) {
    case Reason::Collides:
        return tr("%1: the time is taken.\n%2")
            .arg(head, placement_->CollisionText(refusal.otherId, global_->Option(4)));
    case Reason::Present:
        return tr("%1: a record with its number (%2) is stored already.").arg(head).arg(refusal.id);
    case Reason::Changed:
        break;
    }
    return tr("%1: the record numbered %2 has changed since.").arg(head).arg(refusal.id);
}
