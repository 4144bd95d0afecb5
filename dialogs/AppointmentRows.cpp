#include "dialogs/AppointmentRows.h"

#include <algorithm>
#include <array>

#include "datetime/ClsDate.h"
#include "store/ClsGlobal.h"
#include "ui/Trap.h"
#include "widgets/MultiColumnList.h"

namespace {

void PutTwoDigits(char16_t* at, int value) {
    at[0] = static_cast<char16_t>(u'0' + value / 10);
    at[1] = static_cast<char16_t>(u'0' + value % 10);
}

} // namespace

AppointmentRows::AppointmentRows(const ClsGlobal& store, const ClsDate& date, const char* form)
    : store_(store), date_(date), form_(form), hours24_(store.Option(4)) {}

QString AppointmentRows::FormatDtTm(int32_t value, bool monthFirst) const {
    QString result;
    Trap(form_, "FormatDtTm", [&] {
        int year = 0;
        int month = 0;
        int day = 0;
        ClsDate::CivilFromDayNumber(date_.SplitDateVal(value), year, month, day);
        // The minutes of a DtTm run to 2047, so the hours of MinutesToTime take two digits.
        const int minutes = date_.SplitTimeVal(value);
        std::array<char16_t, 14> text{u'0', u'0', u'/', u'0', u'0', u'/', u'0',
                                      u'0', u' ', u'0', u'0', u':', u'0', u'0'};
        PutTwoDigits(&text[0], monthFirst ? month : day);
        PutTwoDigits(&text[3], monthFirst ? day : month);
        PutTwoDigits(&text[6], (year % 100 + 100) % 100);
        if (!hours24_) {
            result = QString::fromUtf16(text.data(), 9) +
                     QString::fromStdString(ClsDate::TimeText(minutes, false));
            return;
        }
        PutTwoDigits(&text[9], minutes / 60);
        PutTwoDigits(&text[12], minutes % 60);
        result = QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
    });
    return result;
}

void AppointmentRows::SortByStart(std::vector<Match>& matches) {
    std::stable_sort(matches.begin(), matches.end(),
                     [](const Match& a, const Match& b) { return a.startDtTm < b.startDtTm; });
}

QString AppointmentRows::ColumnValue(const std::string& name) {
    QString value = QString::fromStdString(name);
    value.replace(u';', QChar(0x037E));
    return value;
}

const QString& AppointmentRows::CustomerName(int32_t id) {
    auto [it, added] = customers_.try_emplace(id);
    if (added) {
        it->second = ColumnValue(store_.CustomerLoad(id)->Name());
    }
    return it->second;
}

const QString& AppointmentRows::TypeName(int32_t id) {
    auto [it, added] = types_.try_emplace(id);
    if (added) {
        it->second = ColumnValue(store_.TypeLoad(id)->Name());
    }
    return it->second;
}

void AppointmentRows::Fill(MultiColumnList& list, std::vector<Match>& matches, Layout layout,
                           bool monthFirst) {
    customers_.clear();
    types_.clear();
    Trap(form_, "ShowAppointments", [&] {
        SortByStart(matches);
        list.Clear();
        const QChar separator(u';');
        for (const Match& m : matches) {
            auto a = store_.AppointmentLoad(m.id);
            QString text;
            text.reserve(80);
            if (layout == Layout::FromToCustomerType) {
                text += FormatDtTm(a->StartDtTm(), monthFirst);
                text += separator;
                text += FormatDtTm(a->EndDtTm(), monthFirst);
            } else {
                text += separator;
                text += FormatDtTm(a->StartDtTm(), monthFirst);
            }
            text += separator;
            text += CustomerName(a->CustomerId());
            text += separator;
            text += TypeName(a->TypeId());
            const int row = list.AddItem(text);
            list.SetItemData(row, m.id);
        }
    });
}
