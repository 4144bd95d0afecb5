#include "controls/ScheduleGrid.h"
#include "controls/ColorRef.h"

#include "controls/ScheduleGridPainter.h"

#include <QEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QResizeEvent>
#include <QScrollBar>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int kMinBarWidth = 3;
constexpr int kHitSlack = 3;

} // namespace

ScheduleGrid::ScheduleGrid(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { EmitScrollTrack(); });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { EmitScrollTrack(); });
    AxisChanged();
}

// --- properties -------------------------------------------------------------------

void ScheduleGrid::SetTimeType(int value) {
    timeType_ = std::clamp(value, 0, 2);
}

void ScheduleGrid::SetDateFirst(int32_t day) {
    if (day == dateFirst_) {
        return;
    }
    dateFirst_ = day;
    AxisChanged();
    // A new range starts at its beginning; ScrollToTime may follow.
    horizontalScrollBar()->setValue(0);
}

void ScheduleGrid::SetDateLast(int32_t day) {
    dateLast_ = day;
    AxisChanged();
}

void ScheduleGrid::SetDayStartMinute(int minute) {
    dayStartMinute_ = minute;
    AxisChanged();
}

void ScheduleGrid::SetDayEndMinute(int minute) {
    dayEndMinute_ = minute;
    AxisChanged();
}

void ScheduleGrid::SetResolution(int16_t pixelsPerHour) {
    const auto value = std::clamp(pixelsPerHour, ResolutionMinimum(), ResolutionMaximum());
    if (value == resolution_) {
        return;
    }
    SyncLayout();
    const double leftMinutes = horizontalScrollBar()->value() / axis_.PixelsPerMinute();
    resolution_ = value;
    AxisChanged();
    SyncLayout();
    horizontalScrollBar()->setValue(
        static_cast<int>(std::llround(leftMinutes * axis_.PixelsPerMinute())));
}

void ScheduleGrid::SetListTitle(const QString& title) {
    listTitle_ = title;
    RowsChanged();
}

void ScheduleGrid::SetBackColor(uint32_t colorRef) {
    SetAndPaint(backColor_, colorRef);
}

void ScheduleGrid::SetTitleBackColor(uint32_t colorRef) {
    SetAndPaint(titleBackColor_, colorRef);
}

void ScheduleGrid::SetRulerColor(uint32_t colorRef) {
    SetAndPaint(rulerColor_, colorRef);
}

void ScheduleGrid::SetListBackColor(uint32_t colorRef) {
    SetAndPaint(listBackColor_, colorRef);
}

void ScheduleGrid::SetWeekendColor(uint32_t colorRef) {
    SetAndPaint(weekendColor_, colorRef);
}

uint32_t ScheduleGrid::TitleForeColor() const {
    return QColorToColorRef(ScheduleGridPainter::Contrast(ColorRefToQColor(titleBackColor_)));
}

uint32_t ScheduleGrid::ListForeColor() const {
    return QColorToColorRef(ScheduleGridPainter::Contrast(ColorRefToQColor(listBackColor_)));
}

void ScheduleGrid::SetTimeLines(bool on) {
    SetAndPaint(timeLines_, on);
}

void ScheduleGrid::SetRuler24Hour(bool on) {
    SetAndPaint(ruler24Hour_, on);
}

int ScheduleGrid::CurrentRow() const {
    return model_.IsRow(currentRow_) ? currentRow_ : 0;
}

void ScheduleGrid::SetCurrentRow(int row) {
    pendingSelection_.reset();
    currentRow_ = std::max(row, 0);
    if (model_.IsRow(currentRow_)) {
        EnsureRowVisible(currentRow_);
    }
    RequestPaint();
}

int ScheduleGrid::ListWidth() const {
    EnsureMetrics();
    return listWidth_;
}

void ScheduleGrid::SetRowData(int row, int32_t value) {
    model_.SetRowData(row, value);
    if (pendingSelection_ && *pendingSelection_ == value && model_.IsRow(row)) {
        pendingSelection_.reset();
        currentRow_ = row;
        RequestPaint();
    }
}

// --- operations -------------------------------------------------------------------

void ScheduleGrid::ClearAll() {
    // The program rebuilds after every edit: let the selection survive the rebuild.
    if (model_.IsRow(currentRow_)) {
        pendingSelection_ = model_.RowData(currentRow_);
    }
    currentRow_ = 0;
    selectedBar_ = {};
    rightPress_ = {};
    drag_ = {};
    lastMove_ = {-1, -1};
    model_.Clear();
    // Scroll ranges are left alone until the next layout, so a rebuild keeps the view.
    RowsChanged();
}

int ScheduleGrid::AddRow(const QString& text) {
    const int row = model_.AddRow(text);
    RowsChanged();
    return row;
}

int ScheduleGrid::AddBar(int row, int startMinute, int endMinute, int32_t startDay,
                         int32_t endDay) {
    const int bar = model_.AddBar(row, startMinute, endMinute, startDay, endDay);
    if (bar > 0) {
        RequestPaint();
    }
    return bar;
}

void ScheduleGrid::ScrollToTime(int32_t day, int minute) {
    SyncLayout();
    const auto x = static_cast<int>(std::llround(axis_.XOf(axis_.OffsetOf(day, minute))));
    horizontalScrollBar()->setValue(x - DataRect().width() / 3);
}

// --- geometry ---------------------------------------------------------------------

void ScheduleGrid::EnsureMetrics() const {
    if (metricsDirty_) {
        const QFontMetrics fm(font());
        rowHeight_ = fm.height() + 10;
        rulerHeight_ = 2 * (fm.height() + 6);
        metricsDirty_ = false;
        listWidthDirty_ = true;
    }
    if (listWidthDirty_) {
        QFont bold = font();
        bold.setBold(true);
        int widest = QFontMetrics(bold).horizontalAdvance(listTitle_);
        const QFontMetrics fm(font());
        for (int row = 1; row <= model_.RowCount(); ++row) {
            widest = std::max(widest, fm.horizontalAdvance(model_.RowText(row).trimmed()));
        }
        listWidth_ = std::clamp(widest + 16, 110, 280);
        listWidthDirty_ = false;
    }
}

void ScheduleGrid::SyncLayout() {
    EnsureMetrics();
    const QRect area = DataRect();
    QScrollBar* h = horizontalScrollBar();
    const int64_t width = axis_.ContentWidth();
    h->setRange(0, static_cast<int>(std::max<int64_t>(0, width - area.width())));
    h->setPageStep(std::max(1, area.width()));
    h->setSingleStep(std::max(8, area.width() / 20));
    QScrollBar* v = verticalScrollBar();
    const int64_t height = int64_t{model_.RowCount()} * rowHeight_;
    v->setRange(0, static_cast<int>(std::max<int64_t>(0, height - area.height())));
    v->setPageStep(std::max(1, area.height()));
    v->setSingleStep(rowHeight_);
}

void ScheduleGrid::AxisChanged() {
    axis_.Set(dateFirst_, dateLast_, dayStartMinute_, dayEndMinute_, resolution_);
    drag_ = {};
    RequestPaint();
}

void ScheduleGrid::RowsChanged() {
    listWidthDirty_ = true;
    RequestPaint();
}

QRect ScheduleGrid::DataRect() const {
    EnsureMetrics();
    const QSize size = viewport()->size();
    return QRect(listWidth_, rulerHeight_, std::max(0, size.width() - listWidth_),
                 std::max(0, size.height() - rulerHeight_));
}

int ScheduleGrid::RowTop(int row) const {
    return rulerHeight_ + (row - 1) * rowHeight_ - verticalScrollBar()->value();
}

double ScheduleGrid::ContentX(int viewportX) const {
    return horizontalScrollBar()->value() + viewportX - listWidth_;
}

int ScheduleGrid::RowHeight() const {
    EnsureMetrics();
    return rowHeight_;
}

int ScheduleGrid::RulerHeight() const {
    EnsureMetrics();
    return rulerHeight_;
}

std::optional<QRectF> ScheduleGrid::BarRectF(int row, const ScheduleGridBar& bar) const {
    const int64_t lo = axis_.OffsetOfAbsolute(bar.Lo());
    const int64_t hi = axis_.OffsetOfAbsolute(bar.Hi());
    if (lo == hi) {
        // Either a bar of no length, shown when its moment is on the axis, or a bar that
        // lies wholly in hidden time.
        const ScheduleTimeAxis::Moment at = axis_.MomentAt(lo, false);
        const ScheduleTimeAxis::Moment atEnd = axis_.MomentAt(lo, true);
        const int64_t moment = bar.Lo();
        const bool onAxis =
            bar.Hi() == moment && (int64_t{at.day} * 1440 + at.minute == moment ||
                                   int64_t{atEnd.day} * 1440 + atEnd.minute == moment);
        if (!onAxis) {
            return std::nullopt;
        }
    }
    // Whole pixels, so that painting and hit-testing agree to the pixel.
    const double left = listWidth_ + std::round(axis_.XOf(lo)) - horizontalScrollBar()->value();
    const double right = listWidth_ + std::round(axis_.XOf(hi)) - horizontalScrollBar()->value();
    const double top = RowTop(row) + 3;
    return QRectF(left, top, std::max(right - left, double{kMinBarWidth}),
                  std::max(4, rowHeight_ - 7));
}

QRectF ScheduleGrid::DragRect() const {
    if (!drag_.active) {
        return {};
    }
    const int64_t lo = std::min(drag_.anchor, drag_.current);
    const int64_t hi = std::max(drag_.anchor, drag_.current);
    const double left = listWidth_ + std::round(axis_.XOf(lo)) - horizontalScrollBar()->value();
    const double right = listWidth_ + std::round(axis_.XOf(hi)) - horizontalScrollBar()->value();
    return QRectF(left, RowTop(drag_.row) + 3, std::max(right - left, 1.0),
                  std::max(4, rowHeight_ - 7));
}

QPoint ScheduleGrid::PointFor(int32_t day, int minute, int row) {
    SyncLayout();
    const auto x = std::llround(axis_.XOf(axis_.OffsetOf(day, minute)));
    return QPoint(listWidth_ + static_cast<int>(x) - horizontalScrollBar()->value(),
                  RowTop(row) + rowHeight_ / 2);
}

ScheduleGrid::Hit ScheduleGrid::HitTest(QPoint pos) {
    SyncLayout();
    const QRect area = DataRect();
    if (pos.y() < area.top() || pos.y() > area.bottom() || pos.x() < 0 || pos.x() > area.right()) {
        return {};
    }
    const int row = (pos.y() - rulerHeight_ + verticalScrollBar()->value()) / rowHeight_ + 1;
    if (!model_.IsRow(row)) {
        return {};
    }
    if (pos.x() < area.left()) {
        return {row, 0};
    }
    const double x = ContentX(pos.x());
    const int64_t from = axis_.AbsoluteOf(axis_.OffsetAtX(x - kHitSlack));
    const int64_t to = axis_.AbsoluteOf(axis_.OffsetAtX(x + kHitSlack) + 1) + 1;
    Hit hit{row, 0};
    // The last bar painted is the one on top.
    model_.ForEachBarIn(row, from, to, [&](int number, const ScheduleGridBar& bar) {
        const std::optional<QRectF> rect = BarRectF(row, bar);
        if (rect && rect->contains(QPointF(pos) + QPointF(0.5, 0.5))) {
            hit.bar = number;
        }
    });
    return hit;
}

QRect ScheduleGrid::BarRect(int row, int bar) {
    SyncLayout();
    const ScheduleGridBar* b = model_.Bar(row, bar);
    const std::optional<QRectF> rect = b ? BarRectF(row, *b) : std::nullopt;
    return rect ? rect->toAlignedRect() : QRect();
}

void ScheduleGrid::EnsureRowVisible(int row) {
    SyncLayout();
    QScrollBar* v = verticalScrollBar();
    const int top = (row - 1) * rowHeight_;
    const int height = DataRect().height();
    if (top < v->value()) {
        v->setValue(top);
    } else if (top + rowHeight_ > v->value() + height) {
        v->setValue(top + rowHeight_ - height);
    }
}

// --- painting and events ----------------------------------------------------------

void ScheduleGrid::RequestPaint() {
    // A rebuild changes thousands of bars; asking Qt once is enough.
    if (!paintRequested_) {
        paintRequested_ = true;
        viewport()->update();
    }
}

void ScheduleGrid::paintEvent(QPaintEvent* event) {
    paintRequested_ = false;
    SyncLayout();
    QPainter painter(viewport());
    const ScheduleGridPainter::Stats stats =
        ScheduleGridPainter(*this).Paint(painter, event->rect());
    paintStats_.drawn = stats.drawn;
    paintStats_.examined = stats.examined;
}

void ScheduleGrid::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    SyncLayout();
}

void ScheduleGrid::scrollContentsBy(int, int) {
    // The title column and the ruler stay put, so the whole view is repainted.
    viewport()->update();
}

void ScheduleGrid::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        metricsDirty_ = true;
    }
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange) {
        RequestPaint();
    }
    QAbstractScrollArea::changeEvent(event);
}

bool ScheduleGrid::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        ShowToolTip(help->pos(), help->globalPos());
        return true;
    }
    if (event->type() == QEvent::Leave && !drag_.active) {
        ReportMove({});
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void ScheduleGrid::ShowToolTip(QPoint viewportPos, QPoint globalPos) {
    const Hit hit = HitTest(viewportPos);
    const ScheduleGridBar* bar = model_.Bar(hit.row, hit.bar);
    if (!bar) {
        QToolTip::hideText();
        return;
    }
    const auto moment = [this](int32_t day, int minute) {
        return ScheduleGridPainter::DayLabel(day, 1) + " " +
               ScheduleGridPainter::TimeLabel(minute, ruler24Hour_);
    };
    QString text = moment(bar->startDay, bar->startMinute) + QString::fromUtf8(" \u2013 ") +
                   moment(bar->endDay, bar->endMinute);
    if (!bar->text.trimmed().isEmpty()) {
        text = bar->text.trimmed() + "\n" + text;
    }
    QToolTip::showText(globalPos, text, viewport(), BarRect(hit.row, hit.bar));
}

void ScheduleGrid::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const Hit hit = HitTest(pos);
    const Qt::MouseButton button = event->button();
    if (hit.row > 0 && (button == Qt::LeftButton || button == Qt::RightButton)) {
        pendingSelection_.reset();
        currentRow_ = hit.row;
        RequestPaint();
    }
    if (button == Qt::RightButton) {
        rightPress_ = hit;
        return;
    }
    if (button != Qt::LeftButton) {
        return;
    }
    if (hit.bar > 0) {
        selectedBar_ = hit;
        emit BarLeftClick(hit.row, hit.bar);
        return;
    }
    if (hit.row > 0 && pos.x() >= DataRect().left()) {
        const int64_t at = axis_.SnappedOffsetAtX(ContentX(pos.x()), axis_.SnapMinutes());
        drag_ = {true, hit.row, at, at};
    }
}

void ScheduleGrid::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton && drag_.active) {
        UpdateDrag(pos);
        FinishDrag();
    } else if (event->button() == Qt::RightButton) {
        const Hit pressed = rightPress_;
        rightPress_ = {};
        const Hit hit = HitTest(pos);
        if (hit.bar > 0 && hit == pressed) {
            emit BarRightClick(hit.row, hit.bar);
        }
    }
}

void ScheduleGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const Hit hit = HitTest(event->position().toPoint());
        if (hit.bar > 0) {
            pendingSelection_.reset();
            currentRow_ = hit.row;
            selectedBar_ = hit;
            RequestPaint();
            emit BarDblClick(hit.row, hit.bar);
            return;
        }
    }
    mousePressEvent(event);
}

void ScheduleGrid::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (drag_.active) {
        // Dragging past an edge pulls the view along.
        const QRect area = DataRect();
        QScrollBar* h = horizontalScrollBar();
        if (pos.x() < area.left()) {
            h->setValue(h->value() - (area.left() - pos.x()));
        } else if (pos.x() > area.right()) {
            h->setValue(h->value() + (pos.x() - area.right()));
        }
        UpdateDrag(pos);
    }
    ReportMove(HitTest(pos));
}

void ScheduleGrid::UpdateDrag(QPoint pos) {
    const int64_t at = axis_.SnappedOffsetAtX(ContentX(pos.x()), axis_.SnapMinutes());
    if (at != drag_.current) {
        drag_.current = at;
        RequestPaint();
    }
}

void ScheduleGrid::FinishDrag() {
    const Drag drag = drag_;
    drag_ = {};
    RequestPaint();
    if (drag.anchor == drag.current) {
        return;
    }
    const auto start = axis_.MomentAt(std::min(drag.anchor, drag.current), false);
    const auto end = axis_.MomentAt(std::max(drag.anchor, drag.current), true);
    const int bar = AddBar(drag.row, start.minute, end.minute, start.day, end.day);
    if (bar == 0) {
        return;
    }
    const QColor fill = palette().color(QPalette::Highlight);
    SetBarColor(drag.row, bar, QColorToColorRef(fill));
    SetBarTextColor(drag.row, bar, QColorToColorRef(ScheduleGridPainter::Contrast(fill)));
    // Last: the handler may rebuild the whole grid.
    emit BarAdded(drag.row, bar, 0, 0);
}

void ScheduleGrid::ReportMove(Hit hit) {
    if (hit == lastMove_) {
        return;
    }
    lastMove_ = hit;
    emit ItemMove(hit.row, hit.bar);
}

void ScheduleGrid::wheelEvent(QWheelEvent* event) {
    SyncLayout();
    const QPoint pixels = event->pixelDelta();
    const QPoint angle = event->angleDelta();
    const bool horizontal =
        (event->modifiers() & Qt::ShiftModifier) || std::abs(angle.x()) > std::abs(angle.y());
    const auto pick = [horizontal](QPoint p) { return horizontal && p.x() != 0 ? p.x() : p.y(); };
    int delta = 0;
    if (!pixels.isNull()) {
        delta = pick(pixels);
    } else {
        const int unit = horizontal ? std::max(24, DataRect().width() / 8) : 3 * rowHeight_;
        delta = pick(angle) * unit / 120;
    }
    QScrollBar* bar = horizontal ? horizontalScrollBar() : verticalScrollBar();
    bar->setValue(bar->value() - delta);
    event->accept();
}

void ScheduleGrid::keyPressEvent(QKeyEvent* event) {
    SyncLayout();
    const int rows = RowCount();
    const int current = CurrentRow();
    const int page = std::max(1, DataRect().height() / std::max(1, rowHeight_) - 1);
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    QScrollBar* h = horizontalScrollBar();
    const auto moveTo = [&](int row) {
        if (rows > 0) {
            SetCurrentRow(std::clamp(row, 1, rows));
        }
    };
    switch (event->key()) {
    case Qt::Key_Up:
        moveTo(current > 0 ? current - 1 : 1);
        break;
    case Qt::Key_Down:
        moveTo(current > 0 ? current + 1 : 1);
        break;
    case Qt::Key_PageUp:
        moveTo(current - page);
        break;
    case Qt::Key_PageDown:
        moveTo(current + page);
        break;
    case Qt::Key_Home:
        ctrl ? moveTo(1) : h->setValue(h->minimum());
        break;
    case Qt::Key_End:
        ctrl ? moveTo(rows) : h->setValue(h->maximum());
        break;
    case Qt::Key_Left:
        h->setValue(h->value() - h->singleStep());
        break;
    case Qt::Key_Right:
        h->setValue(h->value() + h->singleStep());
        break;
    case Qt::Key_Escape:
        if (!drag_.active) {
            return QAbstractScrollArea::keyPressEvent(event);
        }
        drag_ = {};
        RequestPaint();
        break;
    default:
        return QAbstractScrollArea::keyPressEvent(event);
    }
    event->accept();
}

void ScheduleGrid::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    emit GotFocus();
}

void ScheduleGrid::EmitScrollTrack() {
    const auto left = axis_.MomentAt(axis_.OffsetAtX(horizontalScrollBar()->value()), false);
    const int row = verticalScrollBar()->value() / std::max(1, rowHeight_) + 1;
    emit ScrollTrack(left.day, left.minute, row);
}
