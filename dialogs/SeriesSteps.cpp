#include "dialogs/SeriesSteps.h"

#include <QCoreApplication>

#include <memory>

#include "platform/IWindowing.h"
#include "store/ClsGlobal.h"
#include "store/StoreChanges.h"
#include "ui/BookingText.h"
#include "ui/Services.h"

namespace {

QString Tr(const char* text) {
    return QCoreApplication::translate("SeriesSteps", text);
}

} // namespace

SeriesSteps::SeriesSteps(const Services& services, QWidget* parent)
    : services_(services), parent_(parent) {}

std::optional<SeriesSteps::Answer> SeriesSteps::Ask(int32_t appointmentId,
                                                    DlgSeriesScope::Purpose purpose) {
    const ClsGlobal& store = services_.store;
    const SeriesScope::Place place = SeriesScope::PlaceOf(store, appointmentId);
    if (!place.InSeries()) {
        return Answer{};
    }
    // Made for each question: it holds nothing between them.
    const auto dialog = std::make_unique<DlgSeriesScope>(parent_);
    dialog->Prepare(BookingText::Describe(store, appointmentId, store.Option(4)), place, purpose);
    if (services_.windowing.ShowModal(dialog.get()) != QDialog::Accepted) {
        return std::nullopt;
    }
    return Answer{dialog->Reach(), dialog->TakeOut()};
}

bool SeriesSteps::Move(std::span<const PlannedBooking> plan, int32_t seriesId,
                       const QString& verb) {
    const ClsGlobal& store = services_.store;
    const std::vector<PlanCheck> checks = SeriesPlan::Check(store, plan);
    qsizetype free = 0;
    for (const PlanCheck& c : checks) {
        free += c.state == PlanCheck::State::Free ? 1 : 0;
    }
    const qsizetype blocked = static_cast<qsizetype>(plan.size()) - free;
    const QString title = Tr("%1 appointments of a series").arg(verb);
    if (blocked > 0) {
        const QString detail =
            BookingText::Problems(store, plan, checks, store.Option(4)).join(u'\n');
        if (free == 0) {
            services_.windowing.MessageBox(
                parent_, Tr("None of the %1 dates can be moved there.").arg(plan.size()), title,
                IWindowing::Icon::Exclamation, IWindowing::Buttons::Ok, detail);
            return false;
        }
        const QString moved =
            free == 1 ? Tr("Move the free date") : Tr("Move the %1 free dates").arg(free);
        const QString left =
            blocked == 1 ? Tr("leave 1 as it is") : Tr("leave %1 as they are").arg(blocked);
        const QString question = Tr("%1 and %2?").arg(moved, left);
        if (services_.windowing.MessageBox(parent_, question, title, IWindowing::Icon::Question,
                                           IWindowing::Buttons::YesNo,
                                           detail) != IWindowing::Answer::Yes) {
            return false;
        }
    }
    const std::string what = (free == 1 ? Tr("%1 appointment").arg(verb)
                                        : Tr("%1 %2 appointments of a series").arg(verb).arg(free))
                                 .toStdString();
    SeriesPlan::Book(services_.changes, plan, what, seriesId);
    return true;
}

void SeriesSteps::Delete(std::span<const int32_t> ids) {
    const std::string what =
        ids.size() == 1 ? std::string("Delete appointment")
                        : Tr("Delete %1 appointments of a series").arg(ids.size()).toStdString();
    services_.changes.Batch(what, [&] { services_.changes.AppointmentsDelete(ids); });
}
