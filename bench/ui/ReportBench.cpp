// The Gantt report of a big store: a month of 1,000 resources with 100,000 appointments in
// range out of 1,000,000; the floor it is measured against (one pass over the appointments
// in range); the whole report as PDF; and switching the previewed page at several zooms.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>

#include <memory>

#include "base/ModError.h"
#include "bench/common/BenchData.h"
#include "datetime/ClsDate.h"
#include "report/ClsGanttReport.h"
#include "report/ReportDocument.h"
#include "report/ReportView.h"
#include "store/ClsGlobal.h"
#include "ui/ScheduleRows.h"

namespace {

// 1,000 appointments a resource, one every 432 minutes from 1 January 2027 for 300 days:
// June 2027 holds 100 of each resource's.
BenchStore MonthShape() {
    BenchStore shape;
    shape.resources = 1000;
    shape.customers = 10000;
    shape.types = 20;
    shape.appointments = 1000000;
    shape.firstDay = ClsDate::DayNumberFromCivil(2027, 1, 1);
    shape.spanDays = 300;
    return shape;
}

const int32_t kJune = ClsDate::DayNumberFromCivil(2027, 6, 1);

struct Fixture {
    std::unique_ptr<ClsGlobal> store;
    ScheduleRows rows;
    ClsDate date;
};

Fixture& Data() {
    static Fixture fixture = [] {
        Fixture f;
        const std::string& folder = BenchFolder(MonthShape());
        ModError::SetLogFile(ProgramFolders{folder}.LogFile());
        f.store = std::make_unique<ClsGlobal>(ProgramFolders{folder}, FileSystem::Real(),
                                              StoreMode::ReadOnly);
        f.rows = ScheduleRows::FromStore(*f.store, QApplication::font());
        return f;
    }();
    return fixture;
}

// A month report on Letter landscape, as the preview makes it.
struct Report {
    ReportDocument document;
    ClsGanttReport report{document, *Data().store, Data().date};
    Report() {
        document.SetOrientation(1);
        report.SetSchedule(Data().rows);
        report.state.viewType = 2;
        report.state.startDay = kJune;
        report.state.nameWidth = 2400;
        report.onPageLabel = [](const QString& label) { benchmark::DoNotOptimize(label); };
    }
};

int64_t Bars(const ReportDocument& document) {
    int64_t bars = 0;
    for (int page = 1; page <= document.PageCount(); ++page) {
        for (const ReportDocument::Op& op : document.PageAt(page)->ops) {
            bars += op.kind == ReportDocument::Op::Kind::Rect && op.d < 400 ? 1 : 0;
        }
    }
    return bars;
}

void BM_ReportMonthBuild(benchmark::State& state) {
    Report r;
    for (auto _ : state) {
        r.report.ShowReport();
    }
    state.counters["bars"] = static_cast<double>(Bars(r.document));
    state.counters["pages"] = r.document.PageCount();
}

// The floor: every resource's appointments looked at once, and for those in range what a
// report must read to draw them: the record, its times, its customer's name and its type's
// colours, straight from the store.
void BM_PassOverAppointmentsInRange(benchmark::State& state) {
    const Fixture& f = Data();
    const int32_t first = kJune;
    const int32_t last = f.date.LastDayOfMonth(kJune);
    int64_t inRange = 0;
    for (auto _ : state) {
        int64_t sum = 0;
        inRange = 0;
        for (const ScheduleRows::Row& row : f.rows.rows) {
            for (const ResourceSlot& slot : f.store->AppointmentsOfResource(row.id)) {
                const int32_t sd = f.date.SplitDateVal(slot.startDtTm);
                const int32_t ed = f.date.SplitDateVal(slot.endDtTm);
                if ((sd >= first && sd <= last) || (ed >= first && ed <= last) ||
                    (sd < first && ed > last)) {
                    const ClsAppointment* a = f.store->Appointments().Get(slot.id);
                    const ClsCustomer* c = f.store->Customers().Get(a->CustomerId());
                    const ClsType* t = f.store->Types().Get(a->TypeId());
                    sum += static_cast<int64_t>(c->Name().size()) + t->BackColor() +
                           t->ForeColor() + f.date.SplitTimeVal(slot.endDtTm);
                    ++inRange;
                }
            }
        }
        benchmark::DoNotOptimize(sum);
    }
    state.counters["in_range"] = static_cast<double>(inRange);
}

void BM_ReportMonthPdf(benchmark::State& state) {
    Report r;
    r.report.ShowReport();
    const QString pdf = QDir::temp().filePath(QStringLiteral("tidemar-bench-report.pdf"));
    for (auto _ : state) {
        if (r.document.WritePdf(pdf, 1, r.document.PageCount())) {
            state.SkipWithError("the PDF was not written");
            return;
        }
    }
    state.counters["pages"] = r.document.PageCount();
    state.counters["MB"] = static_cast<double>(QFileInfo(pdf).size()) / 1e6;
    QFile::remove(pdf);
}

// Showing the next page in the preview, 1100 x 800, at a zoom (0: whole page) and a device
// pixel ratio.
void BM_PreviewPageSwitch(benchmark::State& state) {
    Report r;
    r.report.ShowReport();
    ReportView view;
    view.resize(1100, 800);
    view.SetDocument(&r.document);
    view.SetZoom(static_cast<int16_t>(state.range(0)));
    const double ratio = static_cast<double>(state.range(1));
    QImage image(view.viewport()->size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    int page = 1;
    for (auto _ : state) {
        page = page % r.document.PageCount() + 1;
        r.document.SetCurrentPage(static_cast<int16_t>(page));
        view.Refresh();
        QPainter painter(&image);
        view.viewport()->render(&painter);
    }
}

// Cutting 2,000 customer names to bars of many widths, on a fresh canvas each time so every
// measure is made: by halving (as the report does) and one character at a time.
void BM_CutText(benchmark::State& state) {
    const bool halving = state.range(0) == 1;
    std::vector<std::pair<QString, int32_t>> cases;
    for (int i = 0; i < 2000; ++i) {
        cases.emplace_back(QStringLiteral("Customer %1 & Partners Ltd").arg(i * 7919),
                           75 + (i * 37) % 1400);
    }
    int64_t kept = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto r = std::make_unique<Report>();
        r->document.SetFontSize(6);
        state.ResumeTiming();
        for (const auto& [text, width] : cases) {
            if (halving) {
                kept += r->report.FitText(text, width).size();
                continue;
            }
            QString cut = text;
            r->document.SetMeasureText(cut);
            while (!cut.isEmpty() && r->document.TextWidth() + 75 > width) {
                cut.chop(1);
                r->document.SetMeasureText(cut);
            }
            kept += cut.size();
        }
        state.PauseTiming();
        r.reset();
        state.ResumeTiming();
    }
    benchmark::DoNotOptimize(kept);
}

} // namespace

BENCHMARK(BM_CutText)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportMonthBuild)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PassOverAppointmentsInRange)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportMonthPdf)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PreviewPageSwitch)
    ->Args({0, 1})
    ->Args({10, 1})
    ->Args({40, 1})
    ->Args({0, 2})
    ->Args({40, 2})
    ->Unit(benchmark::kMillisecond);
