#pragma once

#include <cstdint>
#include <string>

// Day numbers (days since 1 Jan 1900), minutes since midnight, packed DtTm values
// (day * 2048 + minutes) and the texts shown for them. Stateless; every failure is
// logged under "ClsDate" and the function returns its result as it stood (0 or "").
//
// The platform date value is a double counting days since 30 Dec 1899, the time of
// day as the fraction; it appears only where dates cross into or out of the program.
class ClsDate {
public:
    int32_t FirstDayOfMonth(int32_t longVal) const;
    int32_t LastDayOfMonth(int32_t longVal) const;
    int32_t DaysInMonth(int32_t longVal) const;
    int32_t CurrentDateTime() const;
    int32_t DateToLong(double dateVal) const;
    double LongToDate(int32_t longVal) const;
    std::string MilitaryTime(int16_t minutes) const;
    int16_t MinutesSinceMidnight(const std::string& timeStr) const;
    int32_t SecondsSinceMidnight(const std::string& timeStr) const;
    std::string MinutesToTime(int32_t minsSinceMidnight) const;
    int32_t MinutesBetween(int32_t dtTm1, int32_t dtTm2) const;
    int32_t MinutesAdjust(int32_t dtTmVal, int32_t adjMins) const;
    std::string SecondsToTime(int32_t secsSinceMidnight) const;
    // A granularity below 1 is taken as 1, and the caller's variable is set to 1 as well.
    int32_t Granularise(int32_t minutes, int32_t& granularity) const;
    std::string DateAndTimeString(int32_t daysSince1900, int32_t minsSinceMidnight) const;
    // Inline: a rebuild of the schedule splits every appointment it looks at.
    int32_t SplitTimeVal(int32_t dtTmVal) const { return dtTmVal & 2047; }
    // Floor division (an arithmetic shift), so that days before 1 Jan 1900 come back whole.
    int32_t SplitDateVal(int32_t dtTmVal) const { return dtTmVal >> 11; }
    int32_t JoinDateTime(int32_t daysSince1900, int32_t timeVal) const;
    // Minutes since day 0, 00:00, of a packed value, and the packed value of such a minute,
    // days split floor-wise as the packed value holds them. Unchecked: for moments already
    // in range, and arithmetic between them.
    static int64_t MinuteOf(int32_t dtTm) { return int64_t{dtTm >> 11} * 1440 + (dtTm & 2047); }
    static int32_t DtTmOfMinute(int64_t minute) {
        const int64_t day = (minute >= 0 ? minute : minute - 1439) / 1440;
        return static_cast<int32_t>(day * 2048 + (minute - day * 1440));
    }
    int32_t TimeToMinutes(const std::string& tmStr) const;

    // A time of day as the program shows it, on the 24-hour clock ("09:30", as MinutesToTime)
    // or the 12-hour one ("9:30am"; noon is 12:00pm, midnight 12:00am). Short leaves out
    // ":00" on the 12-hour clock ("9am"); Hour gives the hour alone ("09", or "9").
    enum class TimeStyle { Full, Short, Hour };
    static std::string TimeText(int32_t minutes, bool twentyFourHour,
                                TimeStyle style = TimeStyle::Full);

    // Helpers for the boundary with the calendar: today, and a day number's civil date.
    int32_t Today() const;
    int32_t MinutesNow() const;
    // Weekday of a day number: 0 Sunday .. 6 Saturday.
    static int Weekday(int32_t dayNumber);
    static int32_t DayNumberFromCivil(int year, int month, int day);
    static void CivilFromDayNumber(int32_t dayNumber, int& year, int& month, int& day);
};
