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
    int32_t FirstDayOfMonth(int32_t LongVal) const;
    int32_t LastDayOfMonth(int32_t LongVal) const;
    int32_t DaysInMonth(int32_t LongVal) const;
    int32_t CurrentDateTime() const;
    int32_t DateToLong(double DateVal) const;
    double LongToDate(int32_t LongVal) const;
    std::string MilitaryTime(int16_t Minutes) const;
    int16_t MinutesSinceMidnight(const std::string& TimeStr) const;
    int32_t SecondsSinceMidnight(const std::string& TimeStr) const;
    std::string MinutesToTime(int32_t MinsSinceMidnight) const;
    int32_t MinutesBetween(int32_t DtTm1, int32_t DtTm2) const;
    int32_t MinutesAdjust(int32_t DtTmVal, int32_t AdjMins) const;
    std::string SecondsToTime(int32_t SecsSinceMidnight) const;
    // Granularity below 1 is taken as 1, and the caller's variable is set to 1 as well.
    int32_t Granularise(int32_t Minutes, int32_t& Granularity) const;
    std::string DateAndTimeString(int32_t DaysSince1900, int32_t MinsSinceMidnight) const;
    // Inline: a rebuild of the schedule splits every appointment it looks at.
    int32_t SplitTimeVal(int32_t DtTmVal) const { return DtTmVal & 2047; }
    // Floor division (an arithmetic shift), so that days before 1 Jan 1900 come back whole.
    int32_t SplitDateVal(int32_t DtTmVal) const { return DtTmVal >> 11; }
    int32_t JoinDateTime(int32_t DaysSince1900, int32_t TimeVal) const;
    int32_t TimeToMinutes(const std::string& TmStr) const;

    // Helpers for the boundary with the calendar: today, and a day number's civil date.
    int32_t Today() const;
    int32_t MinutesNow() const;
    // Weekday of a day number: 0 Sunday .. 6 Saturday.
    static int Weekday(int32_t dayNumber);
    static int32_t DayNumberFromCivil(int year, int month, int day);
    static void CivilFromDayNumber(int32_t dayNumber, int& year, int& month, int& day);
};
