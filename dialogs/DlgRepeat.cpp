#include "dialogs/DlgRepeat.h"

#include <QAction>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

#include "datetime/ClsDate.h"
#include "platform/IWindowing.h"
#include "platform/Twips.h"
#include "store/ClsGlobal.h"
#include "store/ProgramFolders.h"
#include "store/StoreChanges.h"
#include "ui/BookingText.h"
#include "ui/ClsDialog.h"
#include "ui/Trap.h"
#include "widgets/MaskedDateField.h"
#include "widgets/MultiColumnList.h"

namespace {

constexpr const char* kForm = "DlgRepeat";
constexpr double kWidthTwips = 13800;
constexpr double kHeightTwips = 8400;
// Its topic is the appointment dialog's, where Repeat is found.
constexpr int kHelpContext = 11;
constexpr int kDefaultCount = 10;
constexpr int kMostCount = 9999;
constexpr int kMostInterval = 99;

const char* const kMonths[] = {"January",   "February", "March",    "April",
                               "May",       "June",     "July",     "August",
                               "September", "October",  "November", "December"};
const char* const kWeekdays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};
const char* const kPlaces[] = {"first", "second", "third", "fourth", "fifth"};
// The boxes run Monday to Sunday; the rule counts from Sunday.
// Access keys clear of every other in the window (After, Until, Book, Help, Repeats, Every).
const char* const kBoxes[] = {"&Mon", "&Tue", "&Wed", "Th&u", "&Fri", "&Sat", "Su&n"};

int WeekdayOfBox(int fromMonday) {
    return (fromMonday + 1) % 7;
}

QString Ordinal(int n) {
    const int tens = n % 100;
    const char* suffix = "th";
    if (tens < 11 || tens > 13) {
        suffix = n % 10 == 1 ? "st" : n % 10 == 2 ? "nd" : n % 10 == 3 ? "rd" : "th";
    }
    return QString::number(n) + QLatin1String(suffix);
}

// Counts as the summary and the button give them: "1,000".
QString Count(qsizetype n) {
    return QLocale(QLocale::English).toString(n);
}

// A column's text may not hold the list's separator.
QString Cell(QString text) {
    return text.replace(u';', QChar(0x037E));
}

} // namespace

DlgRepeat::DlgRepeat(const Services& services, QWidget* parent)
    : QDialog(parent), services_(services),
      frame_(*this, {[this] { Form_Load(); }, [this] { Form_Activate(); }}, services_,
             kHelpContext) {
    frame_.ActivateInEvent();
    setWindowTitle(tr("Repeat"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setSizeGripEnabled(true);
    BuildFields();
}

void DlgRepeat::BuildFields() {
    lblFirst_ = new QLabel(this);
    lblFirst_->setWordWrap(true);
    cbRepeats_ = new QComboBox(this);
    cbRepeats_->addItems({tr("Daily"), tr("Every weekday (Monday to Friday)"), tr("Weekly"),
                          tr("Monthly on the same date"), tr("Monthly on the same weekday")});
    cbRepeats_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    spnInterval_ = new QSpinBox(this);
    spnInterval_->setRange(1, kMostInterval);
    lblUnit_ = new QLabel(this);
    lblUnit_->setMinimumWidth(std::max({lblUnit_->fontMetrics().horizontalAdvance(tr("days")),
                                        lblUnit_->fontMetrics().horizontalAdvance(tr("weeks")),
                                        lblUnit_->fontMetrics().horizontalAdvance(tr("months"))}));
    for (int d = 0; d < 7; ++d) {
        chkWeekday_[size_t(d)] = new QCheckBox(tr(kBoxes[d]), this);
    }
    optCount_ = new QRadioButton(tr("&After"), this);
    spnCount_ = new QSpinBox(this);
    spnCount_->setRange(1, kMostCount);
    optUntil_ = new QRadioButton(tr("Unt&il"), this);
    dateUntil_ = new MaskedDateField(this);
    // Each field follows its choice, which names it only on screen.
    spnCount_->setAccessibleName(tr("Number of dates"));
    dateUntil_->setAccessibleName(tr("Last date"));
    lbDates_ = new MultiColumnList(this);
    lbDates_->AddColumn(tr("Date"), 110);
    lbDates_->AddColumn(tr("Time"), 150);
    lbDates_->AddColumn(tr("State"), 150);
    lbDates_->AddColumn(tr("Details"), 300);
    lbDates_->setAccessibleName(tr("Dates of the rule"));
    // Dates and times in full on either clock.
    lbDates_->FitColumnTo(kDate, QStringLiteral("Wed 30 Sep 2099 "));
    lbDates_->FitColumnTo(kTime, QStringLiteral("12:00pm to 12:00pm next day "));
    lbDates_->FitColumnTo(kState, tr("Outside the type's rules") + u' ');
    lblSummary_ = new QLabel(this);
    lblSummary_->setWordWrap(true);
    // Room for both lines, so the list does not jump when the second comes and goes.
    lblSummary_->setMinimumHeight(2 * lblSummary_->fontMetrics().lineSpacing());
    lblSummary_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    cmdBook_ = new QPushButton(this);
    // The widest caption, so the buttons stay put as the count changes.
    cmdBook_->setText(tr("&Book %1 dates").arg(Count(Recurrence::kMostDays)));
    cmdBook_->setMinimumWidth(cmdBook_->sizeHint().width());
    cmdCancel_ = new QPushButton(tr("Cancel"), this);
    cmdHelp_ = new QPushButton(tr("&Help"), this);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);
    auto* repeats = new QLabel(tr("&Repeats:"), this);
    repeats->setBuddy(cbRepeats_);
    grid->addWidget(repeats, 0, 0);
    grid->addWidget(cbRepeats_, 0, 1, Qt::AlignLeft);
    lblEvery_ = new QLabel(tr("E&very"), this);
    lblEvery_->setBuddy(spnInterval_);
    auto* every = new QHBoxLayout;
    every->addWidget(spnInterval_);
    every->addWidget(lblUnit_);
    every->addStretch(1);
    grid->addWidget(lblEvery_, 1, 0);
    grid->addLayout(every, 1, 1);
    lblOn_ = new QLabel(tr("On:"), this);
    auto* days = new QHBoxLayout;
    for (QCheckBox* box : chkWeekday_) {
        days->addWidget(box);
    }
    days->addStretch(1);
    grid->addWidget(lblOn_, 2, 0);
    grid->addLayout(days, 2, 1);
    auto* ends = new QHBoxLayout;
    ends->addWidget(optCount_);
    ends->addWidget(spnCount_);
    ends->addSpacing(4);
    ends->addWidget(new QLabel(tr("times"), this));
    ends->addSpacing(24);
    ends->addWidget(optUntil_);
    ends->addWidget(dateUntil_);
    ends->addStretch(1);
    grid->addWidget(new QLabel(tr("End:"), this), 3, 0);
    grid->addLayout(ends, 3, 1);
    grid->setColumnStretch(1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdBook_);
    buttons->addWidget(cmdCancel_);
    buttons->addWidget(cmdHelp_);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(8);
    layout->addWidget(lblFirst_);
    layout->addLayout(grid);
    layout->addWidget(lbDates_, 1);
    layout->addWidget(lblSummary_);
    layout->addLayout(buttons);

    selMonth_ = new QCalendarWidget(this);
    selMonth_->setWindowFlags(Qt::Popup);
    selMonth_->setFirstDayOfWeek(Qt::Monday);
    selMonth_->setGridVisible(true);
    selMonth_->hide();

    auto* help = new QAction(this);
    help->setShortcut(QKeySequence::HelpContents);
    addAction(help);

    const auto refresh = [this] { ShowDates(); };
    connect(cbRepeats_, &QComboBox::currentIndexChanged, this, &DlgRepeat::CbRepeats_Click);
    connect(spnInterval_, &QSpinBox::valueChanged, this, refresh);
    connect(spnCount_, &QSpinBox::valueChanged, this, refresh);
    for (QCheckBox* box : chkWeekday_) {
        connect(box, &QCheckBox::toggled, this, refresh);
    }
    connect(optCount_, &QRadioButton::toggled, this, refresh);
    // Every keystroke that makes a whole date lists again; half a date leaves the list be.
    connect(dateUntil_->findChild<QLineEdit*>(), &QLineEdit::textChanged, this, refresh);
    connect(dateUntil_, &MaskedField::ClickSpin, this, &DlgRepeat::DateUntil_ClickSpin);
    connect(dateUntil_, &MaskedDateField::ClickDrop, this, &DlgRepeat::DateUntil_ClickDrop);
    connect(selMonth_, &QCalendarWidget::clicked, this, &DlgRepeat::SelMonth_DateClick);
    connect(selMonth_, &QCalendarWidget::activated, this, &DlgRepeat::SelMonth_DateClick);
    connect(cmdBook_, &QPushButton::clicked, this, &DlgRepeat::cmdBook_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &DlgRepeat::cmdCancel_Click);
    connect(cmdHelp_, &QPushButton::clicked, this, &DlgRepeat::cmdHelp_Click);
    connect(help, &QAction::triggered, this, &DlgRepeat::cmdHelp_Click);
}

bool DlgRepeat::event(QEvent* event) {
    frame_.Event(event);
    return QDialog::event(event);
}

void DlgRepeat::Form_Load() {
    Trap(kForm, "Form_Load", [&] {
        const QMargins margins = layout()->contentsMargins();
        const int width = std::max(TwipsToPixelsX(kWidthTwips, this),
                                   lbDates_->ColumnsWidth() + margins.left() + margins.right());
        resize(width, TwipsToPixelsY(kHeightTwips, this));
        ClsDialog::FormCenter(this, parentWidget());
    });
}

// Each showing starts from the booking handed in: weekly on its weekday, ten times.
void DlgRepeat::Form_Activate() {
    if (!frame_.FirstActivation()) {
        return;
    }
    Trap(kForm, "Form_Activate", [&] {
        const ClsDate& date = services_.date;
        const int32_t firstDay = date.SplitDateVal(first_.startDtTm);
        bookedId_ = 0;
        settingUp_ = true;
        dateUntil_->SetMonthFirst(services_.store.DateFormat() != 0);
        NameMonthlyEntries();
        cbRepeats_->setCurrentIndex(static_cast<int>(Repeats::Weekly));
        spnInterval_->setValue(1);
        for (int d = 0; d < 7; ++d) {
            chkWeekday_[size_t(d)]->setChecked(WeekdayOfBox(d) == ClsDate::Weekday(firstDay));
        }
        optCount_->setChecked(true);
        spnCount_->setValue(kDefaultCount);
        dateUntil_->SetValue(firstDay + 7 * (kDefaultCount - 1));
        const bool clock24 = services_.store.Option(4);
        const int32_t days = date.SplitDateVal(first_.endDtTm) - firstDay;
        lblFirst_->setText(tr("Repeats the booking of %1 from %2 to %3.")
                               .arg(BookingText::DayText(firstDay),
                                    QString::fromStdString(ClsDate::TimeText(
                                        date.SplitTimeVal(first_.startDtTm), clock24)),
                                    QString::fromStdString(ClsDate::TimeText(
                                        date.SplitTimeVal(first_.endDtTm), clock24)) +
                                        (days == 0 ? QString() : tr(" the next day"))));
        settingUp_ = false;
        CbRepeats_Click();
        cbRepeats_->setFocus();
    });
}

void DlgRepeat::NameMonthlyEntries() {
    int year = 0, month = 0, day = 0;
    const int32_t firstDay = services_.date.SplitDateVal(first_.startDtTm);
    ClsDate::CivilFromDayNumber(firstDay, year, month, day);
    cbRepeats_->setItemText(static_cast<int>(Repeats::MonthlyByDate),
                            tr("Monthly on the %1").arg(Ordinal(day)));
    cbRepeats_->setItemText(
        static_cast<int>(Repeats::MonthlyByWeekday),
        tr("Monthly on the %1 %2")
            .arg(tr(kPlaces[(day - 1) / 7]), tr(kWeekdays[ClsDate::Weekday(firstDay)])));
    cbRepeats_->adjustSize();
}

RecurrenceRule DlgRepeat::Rule() const {
    using F = RecurrenceRule::Frequency;
    static constexpr F kFrequencies[] = {F::Daily, F::Weekdays, F::Weekly, F::MonthlyByDate,
                                         F::MonthlyByWeekday};
    RecurrenceRule rule;
    rule.frequency = kFrequencies[std::clamp(cbRepeats_->currentIndex(), 0, 4)];
    rule.interval = spnInterval_->value();
    rule.weekdays = 0;
    for (int d = 0; d < 7; ++d) {
        if (chkWeekday_[size_t(d)]->isChecked()) {
            rule.weekdays = static_cast<uint8_t>(rule.weekdays | (1 << WeekdayOfBox(d)));
        }
    }
    rule.end = optUntil_->isChecked() ? RecurrenceRule::End::Until : RecurrenceRule::End::Count;
    rule.count = spnCount_->value();
    rule.until = dateUntil_->Value();
    return rule;
}

std::vector<PlannedBooking> DlgRepeat::Plan(const RecurrenceDays& days) const {
    const ClsDate& date = services_.date;
    const int32_t firstDay = date.SplitDateVal(first_.startDtTm);
    const int32_t startTime = date.SplitTimeVal(first_.startDtTm);
    const int32_t endTime = date.SplitTimeVal(first_.endDtTm);
    const int32_t endDays = date.SplitDateVal(first_.endDtTm) - firstDay;
    std::vector<PlannedBooking> plan;
    plan.reserve(days.days.size());
    for (int32_t day : days.days) {
        PlannedBooking b = first_;
        b.id = plan.empty() ? first_.id : 0;
        b.startDtTm = date.JoinDateTime(day, startTime);
        b.endDtTm = date.JoinDateTime(day + endDays, endTime);
        plan.push_back(std::move(b));
    }
    return plan;
}

QString DlgRepeat::RowText(const PlannedBooking& booking, const PlanCheck& check) const {
    const ClsDate& date = services_.date;
    const bool clock24 = services_.store.Option(4);
    const int32_t day = date.SplitDateVal(booking.startDtTm);
    const int32_t endDays = date.SplitDateVal(booking.endDtTm) - day;
    const auto time = [&](int32_t dtTm) {
        return QString::fromStdString(ClsDate::TimeText(date.SplitTimeVal(dtTm), clock24));
    };
    QString times = tr("%1 to %2").arg(time(booking.startDtTm), time(booking.endDtTm));
    if (endDays == 1) {
        times += tr(" next day");
    } else if (endDays > 1) {
        times += tr(" %1 days later").arg(endDays);
    }
    QString state;
    QString details;
    switch (check.state) {
    case PlanCheck::State::Free:
        state = tr("Free");
        break;
    case PlanCheck::State::Collides:
        state = tr("Collides");
        details = check.otherId != 0
                      ? BookingText::Describe(services_.store, check.otherId, clock24)
                      : tr("another date of this series");
        break;
    case PlanCheck::State::OutsideRules: {
        state = tr("Outside the type's rules");
        const auto type = services_.store.TypeLoad(booking.typeId);
        details = check.rule == PlanCheck::Rule::TooShort
                      ? tr("shorter than the type's minimum of %1 minutes").arg(type->MinTime())
                  : check.rule == PlanCheck::Rule::TooLong
                      ? tr("longer than its maximum of %1 minutes").arg(type->MaxTime())
                      : tr("ends before it starts");
        break;
    }
    }
    return BookingText::DayText(day) + u';' + times + u';' + state + u';' + Cell(details);
}

void DlgRepeat::ShowDates() {
    if (settingUp_) {
        return;
    }
    Trap(kForm, "ShowDates", [&] {
        lbDates_->Clear();
        freeCount_ = 0;
        QString summary;
        const RecurrenceRule rule = Rule();
        if (rule.end == RecurrenceRule::End::Until && !dateUntil_->TextValid()) {
            summary = tr("The end date %1 is not a valid date.").arg(dateUntil_->Text());
        } else {
            const RecurrenceDays days =
                Recurrence::Expand(rule, services_.date.SplitDateVal(first_.startDtTm));
            const std::vector<PlannedBooking> plan = Plan(days);
            const std::vector<PlanCheck> checks = SeriesPlan::Check(services_.store, plan);
            const int32_t firstDay = services_.date.SplitDateVal(first_.startDtTm);
            int year = 0, month = 0, day = 0;
            ClsDate::CivilFromDayNumber(firstDay, year, month, day);
            const QString skippedDay =
                rule.frequency == RecurrenceRule::Frequency::MonthlyByDate
                    ? Ordinal(day)
                    : tr("%1 %2").arg(tr(kPlaces[(day - 1) / 7]),
                                      tr(kWeekdays[ClsDate::Weekday(firstDay)]));
            // Each skipped month goes before the first date after it.
            size_t skipped = 0;
            const auto showSkippedBefore = [&](int beforeMonth) {
                for (; skipped < days.skipped.size(); ++skipped) {
                    const SkippedMonth& s = days.skipped[skipped];
                    if (s.year * 12 + s.month >= beforeMonth) {
                        return;
                    }
                    const QString monthYear =
                        tr(kMonths[s.month - 1]) + u' ' + QString::number(s.year);
                    const int row = lbDates_->AddItem(
                        monthYear.left(3) + u' ' + QString::number(s.year) + u';' + u';' +
                        tr("Skipped") + u';' + tr("No %1 in %2").arg(skippedDay, monthYear));
                    lbDates_->SetItemData(row, -1);
                }
            };
            for (size_t i = 0; i < plan.size(); ++i) {
                ClsDate::CivilFromDayNumber(days.days[i], year, month, day);
                showSkippedBefore(year * 12 + month);
                const int row = lbDates_->AddItem(RowText(plan[i], checks[i]));
                lbDates_->SetItemData(row, static_cast<int32_t>(i));
                freeCount_ += checks[i].state == PlanCheck::State::Free ? 1 : 0;
            }
            showSkippedBefore(INT32_MAX);
            summary = plan.size() == 1 ? tr("%1 of 1 date is free.").arg(freeCount_)
                                       : tr("%1 of %2 dates are free.")
                                             .arg(Count(freeCount_), Count(qsizetype(plan.size())));
            if (days.more) {
                summary += u'\n' + tr("The rule gives more than %1 dates; only the first %1 "
                                      "are listed.")
                                       .arg(Count(Recurrence::kMostDays));
            }
        }
        lblSummary_->setText(summary);
        cmdBook_->setText(freeCount_ == 1 ? tr("&Book 1 date")
                                          : tr("&Book %1 dates").arg(Count(freeCount_)));
        cmdBook_->setEnabled(freeCount_ > 0);
    });
}

void DlgRepeat::CbRepeats_Click() {
    const auto repeats = static_cast<Repeats>(cbRepeats_->currentIndex());
    const bool interval = repeats != Repeats::Weekdays;
    lblEvery_->setEnabled(interval);
    spnInterval_->setEnabled(interval);
    lblUnit_->setEnabled(interval);
    lblUnit_->setText(repeats == Repeats::Daily    ? tr("days")
                      : repeats == Repeats::Weekly ? tr("weeks")
                      : interval                   ? tr("months")
                                                   : QString());
    lblOn_->setEnabled(repeats == Repeats::Weekly);
    for (QCheckBox* box : chkWeekday_) {
        box->setEnabled(repeats == Repeats::Weekly);
    }
    ShowDates();
}

void DlgRepeat::DateUntil_ClickSpin(int direction) {
    Trap(kForm, "DateUntil_ClickSpin", [&] {
        if (dateUntil_->TextValid()) {
            dateUntil_->SetValue(dateUntil_->Value() + (direction == 0 ? 1 : -1));
        }
    });
}

void DlgRepeat::DateUntil_ClickDrop() {
    Trap(kForm, "DateUntil_ClickDrop", [&] {
        dateUntil_->Commit();
        selMonth_->adjustSize();
        selMonth_->move(dateUntil_->mapToGlobal(QPoint(0, dateUntil_->height() + 2)));
        int year = 0, month = 0, day = 0;
        ClsDate::CivilFromDayNumber(dateUntil_->Value(), year, month, day);
        selMonth_->setSelectedDate(QDate(year, month, day));
        selMonth_->show();
        selMonth_->raise();
        selMonth_->setFocus();
    });
}

void DlgRepeat::SelMonth_DateClick(const QDate& picked) {
    selMonth_->hide();
    if (picked.isValid()) {
        dateUntil_->SetValue(
            ClsDate::DayNumberFromCivil(picked.year(), picked.month(), picked.day()));
        optUntil_->setChecked(true);
    }
}

// The plan is made again from the fields rather than from the list: the store may have
// changed behind the list, and Book checks every date once more in any case.
void DlgRepeat::cmdBook_Click() {
    Trap(kForm, "cmdBook_Click", [&] {
        const RecurrenceDays days =
            Recurrence::Expand(Rule(), services_.date.SplitDateVal(first_.startDtTm));
        const std::vector<PlannedBooking> plan = Plan(days);
        const std::vector<PlanCheck> checks = SeriesPlan::Check(services_.store, plan);
        const auto free = std::count_if(checks.begin(), checks.end(), [](const PlanCheck& c) {
            return c.state == PlanCheck::State::Free;
        });
        if (free == 0) {
            ShowDates();
            return;
        }
        const QString step =
            free == 1 ? tr("Book 1 appointment") : tr("Book %1 appointments in a series").arg(free);
        const SeriesPlan::Booked booked =
            SeriesPlan::Book(services_.changes, plan, step.toStdString(), SeriesPlan::kNewSeries);
        const auto made =
            std::find_if(booked.ids.begin(), booked.ids.end(), [](int32_t id) { return id != 0; });
        if (made == booked.ids.end()) {
            services_.windowing.MessageBox(
                this, tr("Unable to book the dates!"), tr("Error!"), IWindowing::Icon::Exclamation,
                IWindowing::Buttons::Ok,
                tr("An error kept them from being stored; the details are in %1.")
                    .arg(QString::fromStdString(services_.folders.LogFile())));
            ShowDates();
            return;
        }
        bookedId_ = *made;
        accept();
    });
}

void DlgRepeat::cmdCancel_Click() {
    reject();
}

void DlgRepeat::cmdHelp_Click() {
    frame_.ShowHelp();
}
