#include "calendar/CsvWriter.h"

#include <string>

#include "calendar/RecordNames.h"
#include "datetime/ClsDate.h"
#include "store/ClsGlobal.h"

namespace {

constexpr size_t kFlushAt = size_t{1} << 20;

void AppendDigits(std::string& out, int value, int width) {
    char digits[12];
    int n = 0;
    for (unsigned v = value < 0 ? 0u : unsigned(value); n < width || v != 0; v /= 10) {
        digits[n++] = char('0' + v % 10);
    }
    while (n > 0) {
        out.push_back(digits[--n]);
    }
}

// A field as RFC 4180 wants it: quoted, with quotes doubled, when it holds a separator.
std::string Field(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(text);
    }
    std::string out = "\"";
    for (char c : text) {
        out.push_back(c);
        if (c == '"') {
            out.push_back('"');
        }
    }
    out.push_back('"');
    return out;
}

class RowWriter {
public:
    explicit RowWriter(const ClsGlobal& store) : store_(store) {}

    void Row(std::string& out, const ClsAppointment& a) {
        Moment(out, a.StartDtTm());
        out.push_back(',');
        Moment(out, a.EndDtTm());
        out.push_back(',');
        out += resources_(a.ResourceId());
        out.push_back(',');
        out += customers_(a.CustomerId());
        out.push_back(',');
        out += types_(a.TypeId());
        out.push_back(',');
        out += Field(a.Reference());
        out += "\r\n";
    }

private:
    // "YYYY-MM-DD,HH:MM"
    void Moment(std::string& out, int32_t dtTm) {
        const int32_t day = dtTm >> 11;
        if (day != lastDay_) {
            int y = 0;
            int m = 0;
            int d = 0;
            ClsDate::CivilFromDayNumber(day, y, m, d);
            lastDate_.clear();
            AppendDigits(lastDate_, y, 4);
            lastDate_.push_back('-');
            AppendDigits(lastDate_, m, 2);
            lastDate_.push_back('-');
            AppendDigits(lastDate_, d, 2);
            lastDay_ = day;
        }
        out += lastDate_;
        out.push_back(',');
        const int minutes = dtTm & 2047;
        AppendDigits(out, minutes / 60, 2);
        out.push_back(':');
        AppendDigits(out, minutes % 60, 2);
    }

    const ClsGlobal& store_;
    std::string lastDate_;
    int32_t lastDay_ = INT32_MIN;
    using Form = std::string (*)(std::string_view);
    RecordNames<ClsCustomer, Form> customers_{store_.Customers(), &Field};
    RecordNames<ClsResource, Form> resources_{store_.Resources(), &Field};
    RecordNames<ClsType, Form> types_{store_.Types(), &Field};
};

} // namespace

bool WriteCsv(const ClsGlobal& store, std::span<const int32_t> ids, std::ostream& out) {
    RowWriter writer(store);
    std::string buffer = "Start date,Start time,End date,End time,Resource,Customer,Type,"
                         "Reference\r\n";
    buffer.reserve(kFlushAt + 4096);
    for (int32_t id : ids) {
        if (const ClsAppointment* a = store.Appointments().Get(id)) {
            writer.Row(buffer, *a);
        }
        if (buffer.size() >= kFlushAt) {
            out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
            buffer.clear();
        }
    }
    out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    out.flush();
    return static_cast<bool>(out);
}
