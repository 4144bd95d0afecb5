#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "datetime/ClsDate.h"
#include "store/ClsGlobal.h"
#include "store/StoreChanges.h"
#include "support/AddsRecords.h"
#include "support/StoreFixture.h"

// A store with names that need care in a calendar file (a comma, a semicolon, a backslash,
// Windows-1252 letters, names long enough to fold) and bookings in winter and summer.
class CalendarFixture : public StoreFixture, public AddsRecords<CalendarFixture> {
public:
    StoreChanges& changes() { return changes_; }
    ClsDate date;

protected:
    void SetUp() override {
        StoreFixture::SetUp();
        room = AddResource("Room €1, east");
        hall = AddResource("Hall");
        ann = AddCustomer("Müller; Ann \\ Café");
        bob = AddCustomer("Bob");
        longName = AddCustomer("€€€€€€€€€€€€€€€€€€€€€€€€");
        int32_t id = 0;
        cut = changes_.TypeSave(id, "Cut, wash", 0, 0, 15, 240, 15);
        id = 0;
        plain = changes_.TypeSave(id, "Free", 0, 0, 1, 0, 1);
    }

    // A booking from and to minutes counted from the civil date's midnight (past 1440 for
    // the days after).
    int32_t Book(int32_t resource, int32_t customer, int32_t type, int y, int m, int d, int from,
                 int to, const char* reference = "") {
        int32_t id = 0;
        const int64_t midnight = int64_t{Day(y, m, d)} * 1440;
        return changes_.AppointmentSave(id, customer, resource, type,
                                        ClsDate::DtTmOfMinute(midnight + from),
                                        ClsDate::DtTmOfMinute(midnight + to), reference);
    }

    // What a booking is, for comparing two stores by names.
    using Booking =
        std::tuple<std::string, std::string, std::string, int32_t, int32_t, std::string>;
    static std::vector<Booking> Bookings(const ClsGlobal& s) {
        std::vector<Booking> out;
        for (const ClsAppointment& a : s.Appointments()) {
            out.emplace_back(s.ResourceLoad(a.ResourceId())->Name(),
                             s.CustomerLoad(a.CustomerId())->Name(), s.TypeLoad(a.TypeId())->Name(),
                             a.StartDtTm(), a.EndDtTm(), a.Reference());
        }
        return out;
    }

    static void WriteText(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    static std::string ReadText(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    // Runs a command, giving its exit status and what it wrote to stdout.
    static int Run(const std::string& command, std::string& output) {
        output.clear();
        FILE* pipe = popen(command.c_str(), "r");
        if (pipe == nullptr) {
            return -1;
        }
        char buffer[4096];
        size_t n = 0;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
            output.append(buffer, n);
        }
        const int status = pclose(pipe);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    ClsGlobal store{ProgramFolders{dir.path()}};
    int32_t room = 0;
    int32_t hall = 0;
    int32_t ann = 0;
    int32_t bob = 0;
    int32_t longName = 0;
    int32_t cut = 0;
    int32_t plain = 0;

private:
    StoreChanges changes_{store};
};
