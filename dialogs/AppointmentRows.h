#pragma once

#include <QString>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class ClsDate;
class ClsGlobal;
class MultiColumnList;

// The appointment lists of the search and bulk-delete windows: the matching appointments put
// in order of start, and the texts of their rows. Failures are logged under the window's name.
class AppointmentRows {
public:
    struct Match {
        int32_t startDtTm;
        int32_t id;
    };
    enum class Layout {
        FromToCustomerType,   // "From;To;Customer;Type"
        MarkDateCustomerType, // ";Date/Time;Customer;Type", the mark column empty
    };

    AppointmentRows(const ClsGlobal& store, const ClsDate& date, const char* form);

    // The date "dd/mm/yy " (or "mm/dd/yy " month first), then the time: "hh:nn", or "h:nnam"
    // when the settings choose the 12-hour clock.
    QString FormatDtTm(int32_t value, bool monthFirst) const;

    // Ascending by start; equal starts keep the order they came in (the store's order).
    static void SortByStart(std::vector<Match>& matches);

    // Sorts the matches, clears the list and adds one row per match, each carrying the
    // appointment id. Logs a failure under "ShowAppointments"; the rows added so far stay.
    void Fill(MultiColumnList& list, std::vector<Match>& matches, Layout layout, bool monthFirst);

    // A name as a column value: a ";" in it would start a new column, so it is shown as the
    // look-alike Greek question mark (U+037E), which no stored name can hold.
    static QString ColumnValue(const std::string& name);

private:
    const QString& CustomerName(int32_t id);
    const QString& TypeName(int32_t id);

    const ClsGlobal& store_;
    const ClsDate& date_;
    const char* form_;
    bool hours24_;
    // Names looked up in one fill; a search by type meets each customer many times.
    std::unordered_map<int32_t, QString> customers_;
    std::unordered_map<int32_t, QString> types_;
};
