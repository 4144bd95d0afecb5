#include "calendar/ExportSelection.h"

#include <cstdlib>
#include <memory>

#include "store/ClsGlobal.h"
#include "store/FileIo.h"

namespace {

std::string RealPath(const std::string& path) {
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                         &std::free);
    return resolved ? std::string(resolved.get()) : std::string();
}

// A booking touches the range when it starts before the range ends and ends after it begins.
bool Touches(const ExportSelection& s, int32_t startDtTm, int32_t endDtTm) {
    return (startDtTm >> 11) <= s.toDay && (endDtTm >> 11) >= s.fromDay;
}

} // namespace

std::vector<int32_t> SelectAppointments(const ClsGlobal& store, const ExportSelection& selection) {
    std::vector<int32_t> chosen;
    switch (selection.kind) {
    case ExportSelection::Kind::Resource:
        for (const ResourceSlot& slot : store.AppointmentsOfResource(selection.id)) {
            if (Touches(selection, slot.startDtTm, slot.endDtTm)) {
                chosen.push_back(slot.id);
            }
        }
        break;
    case ExportSelection::Kind::Ids:
        for (int32_t id : selection.ids) {
            const ClsAppointment* a = store.Appointments().Get(id);
            if (a != nullptr && Touches(selection, a->StartDtTm(), a->EndDtTm())) {
                chosen.push_back(id);
            }
        }
        break;
    case ExportSelection::Kind::All:
    case ExportSelection::Kind::Customer:
        chosen.reserve(selection.kind == ExportSelection::Kind::All ? store.Appointments().Count()
                                                                    : 0);
        for (const ClsAppointment& a : store.Appointments()) {
            if ((selection.kind == ExportSelection::Kind::All || a.CustomerId() == selection.id) &&
                Touches(selection, a.StartDtTm(), a.EndDtTm())) {
                chosen.push_back(a.Id());
            }
        }
        break;
    }
    return chosen;
}

bool InDataFolder(const std::string& dataFolder, const std::string& file) {
    const std::string data = RealPath(dataFolder);
    const std::string folder = RealPath(FileIo::FolderOf(file));
    return !data.empty() && !folder.empty() &&
           (folder == data || folder.compare(0, data.size() + 1, data + "/") == 0);
}
