// Every dialog for a screen reader and a keyboard alone: each control named, each field
// reachable by an access key of its label, no key used twice, Tab round the whole window
// and Escape out of it.
#include <QApplication>
#include <QComboBox>
#include <QTest>

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

#include "dialogs/DlgAppointment.h"
#include "dialogs/DlgCalendarServer.h"
#include "dialogs/DlgConfigure.h"
#include "dialogs/DlgCustomer.h"
#include "dialogs/DlgDelete.h"
#include "dialogs/DlgExport.h"
#include "dialogs/DlgImport.h"
#include "dialogs/DlgRepeat.h"
#include "dialogs/DlgResource.h"
#include "dialogs/DlgSearch.h"
#include "dialogs/DlgSeriesScope.h"
#include "dialogs/DlgType.h"
#include "store/FileSystem.h"
#include "store/SeriesPlan.h"
#include "support/AccessibleWalk.h"
#include "tests/dialogs/DialogFixture.h"

namespace {

class AccessibleDialogs;

struct DialogCase {
    const char* name;
    std::function<std::unique_ptr<QDialog>(AccessibleDialogs&)> make;
    // Brings the shown dialog to the state with the most controls.
    std::function<void(QDialog&)> prime = nullptr;
};
void PrintTo(const DialogCase& c, std::ostream* os) {
    *os << c.name;
}

// One booking of Ann's in Room 1, so that every list has a row to read.
class AccessibleDialogs : public DialogFixture, public ::testing::WithParamInterface<DialogCase> {
public:
    void SetUp() override {
        DialogFixture::SetUp();
        room = AddResource("Room 1");
        ann = AddCustomer("Ann");
        type = AddType("Massage", 30, 120, 15);
        const int32_t day = Day(2021, 6, 2);
        booking = AddAppointment(ann, room, type, At(day, 540), At(day, 600));
        ShowResources();
    }

    int32_t room = 0, ann = 0, type = 0, booking = 0;
};

std::string Lines(const QStringList& problems) {
    return problems.join(u'\n').toStdString();
}

TEST_P(AccessibleDialogs, NamedKeyedAndLeftByKeys) {
    std::unique_ptr<QDialog> dialog = GetParam().make(*this);
    Show<QDialog>(*dialog, [](QDialog& d) {
        if (GetParam().prime) {
            GetParam().prime(d);
        }
        EXPECT_EQ(Lines(AccessibleWalk::UnnamedControls(&d)), "");
        EXPECT_EQ(Lines(AccessibleWalk::KeyClashes(&d)), "");
        EXPECT_EQ(Lines(AccessibleWalk::Unreachable(&d)), "");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        EXPECT_FALSE(d.isVisible()) << "Escape leaves the window";
    });
}

PlannedBooking AnnsBooking(AccessibleDialogs& f) {
    PlannedBooking b;
    b.customerId = f.ann;
    b.resourceId = f.room;
    b.typeId = f.type;
    b.startDtTm = DialogFixture::At(DialogFixture::Day(2021, 6, 7), 540);
    b.endDtTm = DialogFixture::At(DialogFixture::Day(2021, 6, 7), 600);
    return b;
}

// clang-format off
const DialogCase kDialogs[] = {
    {"Appointment", [](AccessibleDialogs& f) {
        auto d = std::make_unique<DlgAppointment>(f.services(), f.schedule());
        d->SetAppointmentId(f.booking);
        return std::unique_ptr<QDialog>(std::move(d)); }},
    {"CalendarServer", [](AccessibleDialogs& f) {
        return std::unique_ptr<QDialog>(new DlgCalendarServer(f.services(), f.window.get())); }},
    {"Configure", [](AccessibleDialogs& f) {
        return std::unique_ptr<QDialog>(new DlgConfigure(f.services(), f.schedule())); }},
    {"Customer", [](AccessibleDialogs& f) {
        return std::unique_ptr<QDialog>(new DlgCustomer(f.services(), f.window.get())); }},
    {"Delete", [](AccessibleDialogs& f) {
        return std::unique_ptr<QDialog>(new DlgDelete(f.services(), f.schedule())); }},
    {"Export", [](AccessibleDialogs& f) {
        return std::unique_ptr<QDialog>(new DlgExport(f.services(), FileSystem::Real(),
            [&f] { return std::vector<int32_t>{f.booking}; })); }},
    {"Import", [](AccessibleDialogs& f) {
        return std::unique_ptr<QDialog>(new DlgImport(f.services(), FileSystem::Real())); }},
    {"Repeat", [](AccessibleDialogs& f) {
        auto d = std::make_unique<DlgRepeat>(f.services(), f.window.get());
        d->SetFirst(AnnsBooking(f));
        return std::unique_ptr<QDialog>(std::move(d)); },
     [](QDialog& d) { // weekly shows the day boxes
        static_cast<DlgRepeat&>(d).CbRepeats()->setCurrentIndex(
            static_cast<int>(DlgRepeat::Repeats::Weekly)); }},
    {"Resource", [](AccessibleDialogs& f) {
        return std::unique_ptr<QDialog>(new DlgResource(f.services())); }},
    {"Search", [](AccessibleDialogs& f) {
        return std::unique_ptr<QDialog>(new DlgSearch(f.services(), [] {})); }},
    {"SeriesScope", [](AccessibleDialogs& f) {
        auto d = std::make_unique<DlgSeriesScope>(f.window.get());
        d->Prepare("Ann, Massage", {.seriesId = 1, .position = 2, .count = 5},
                   DlgSeriesScope::Purpose::Change);
        return std::unique_ptr<QDialog>(std::move(d)); }},
    {"Type", [](AccessibleDialogs& f) {
        auto d = std::make_unique<DlgType>(f.services(), f.window.get());
        d->SetTypeId(f.type);
        return std::unique_ptr<QDialog>(std::move(d)); }},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(EveryDialog, AccessibleDialogs, ::testing::ValuesIn(kDialogs),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
