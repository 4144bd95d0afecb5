#include "grid/ScheduleGrid.h"
#include "platform/ColorRef.h"

#include "grid/ScheduleGridAccessible.h"
#include "grid/ScheduleGridPainter.h"

#include <QApplication>
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
#include <vector>

namespace {

constexpr int kHitSlack = 3;

} // namespace

ScheduleGrid::ScheduleGrid(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { EmitScrollTrack(); });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { EmitScrollTrack(); });
    UpdateMetrics();
    AxisChanged();
    horizontalScrollBar()->setAccessibleName(tr("Scroll through time"));
    verticalScrollBar()->setAccessibleName(tr("Scroll through rows"));
    ScheduleGridAccessible::Install();
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
    titleWidth_ = TitleTextWidth(font(), listTitle_);
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

uint32_t ScheduleGrid::ForeColorOn(uint32_t backColorRef) {
    return QColorToColorRef(ScheduleGridPainter::Contrast(ColorRefToQColor(backColorRef)));
}

uint32_t ScheduleGrid::TitleForeColor() const {
    return ForeColorOn(titleBackColor_);
}

uint32_t ScheduleGrid::ListForeColor() const {
    return ForeColorOn(listBackColor_);
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

void ScheduleGrid::SetRowData(int row, int32_t value) {
    model_.SetRowData(row, value);
    if (pendingSelection_ && *pendingSelection_ == value && model_.IsRow(row)) {
        pendingSelection_.reset();
        currentRow_ = row;
        RequestPaint();
    }
}

void ScheduleGrid::SetSelectedBar(int row, int bar) {
    const Hit was = selectedBar_;
    selectedBar_ = model_.Bar(row, bar) != nullptr ? Hit{row, bar} : Hit{};
    RequestPaint();
    if (selectedBar_ != was) {
        ScheduleGridAccessible::AnnounceSelectedBar(this);
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
    barDrag_ = {};
    lastMove_ = {-1, -1};
    model_.Clear();
    widestRow_ = 0;
    RowsChanged();
    StructureChanged(true);
}

void ScheduleGrid::ClearBars(int row) {
    if (selectedBar_.row == row) {
        selectedBar_ = {};
    }
    if (rightPress_.row == row) {
        rightPress_ = {};
    }
    lastMove_ = {-1, -1};
    model_.ClearBars(row);
    RequestPaint();
    StructureChanged(true);
}

int ScheduleGrid::AddRow(const QString& text) {
    const int row = model_.AddRow(text);
    widestRow_ = std::max(widestRow_, RowTextWidth(QFontMetrics(font()), text));
    RowsChanged();
    StructureChanged(false);
    return row;
}

int ScheduleGrid::AddBar(int row, int startMinute, int endMinute, int32_t startDay,
                         int32_t endDay) {
    const int bar = model_.AddBar(row, startMinute, endMinute, startDay, endDay);
    if (bar > 0) {
        RequestPaint();
        StructureChanged(false);
    }
    return bar;
}

void ScheduleGrid::ScrollToTime(int32_t day, int minute) {
    SyncLayout();
    const auto x = static_cast<int>(std::llround(axis_.XOf(axis_.OffsetOf(day, minute))));
    horizontalScrollBar()->setValue(x - Geometry().DataRect().width() / 3);
}

// --- geometry ---------------------------------------------------------------------

void ScheduleGrid::UpdateMetrics() {
    const QFontMetrics fm(font());
    rowHeight_ = fm.height() + 10;
    rulerHeight_ = 2 * (fm.height() + 6);
    titleWidth_ = TitleTextWidth(font(), listTitle_);
    widestRow_ = 0;
    for (int row = 1; row <= model_.RowCount(); ++row) {
        widestRow_ = std::max(widestRow_, RowTextWidth(fm, model_.RowText(row)));
    }
    RowsChanged();
}

ScheduleGridGeometry ScheduleGrid::Geometry() const {
    ScheduleGridGeometry g;
    g.axis = &axis_;
    g.viewport = viewport()->size();
    g.listWidth = listWidth_;
    g.rowHeight = rowHeight_;
    g.rulerHeight = rulerHeight_;
    g.scrollX = horizontalScrollBar()->value();
    g.scrollY = verticalScrollBar()->value();
    return g;
}

void ScheduleGrid::SyncLayout() {
    layoutStale_ = false;
    const QRect area = Geometry().DataRect();
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
    barDrag_ = {};
    layoutStale_ = true;
    RequestPaint();
}

int ScheduleGrid::TitleTextWidth(const QFont& font, const QString& title) {
    QFont bold = font;
    bold.setBold(true);
    return QFontMetrics(bold).horizontalAdvance(title);
}

int ScheduleGrid::RowTextWidth(const QFontMetrics& metrics, const QString& text) {
    return metrics.horizontalAdvance(text.trimmed());
}

int ScheduleGrid::ListWidthFor(int titleTextWidth, int widestRowText) {
    return std::clamp(std::max(titleTextWidth, widestRowText) + 16, 110, 280);
}

void ScheduleGrid::RowsChanged() {
    listWidth_ = ListWidthFor(titleWidth_, widestRow_);
    layoutStale_ = true;
    RequestPaint();
}

QPoint ScheduleGrid::PointFor(int32_t day, int minute, int row) const {
    return Geometry().PointFor(day, minute, row);
}

ScheduleGrid::Hit ScheduleGrid::HitTest(QPoint pos) const {
    const ScheduleGridGeometry g = Geometry();
    const QRect area = g.DataRect();
    if (pos.y() < area.top() || pos.y() > area.bottom() || pos.x() < 0 || pos.x() > area.right()) {
        return {};
    }
    const int row = g.RowAt(pos.y());
    if (!model_.IsRow(row)) {
        return {};
    }
    if (pos.x() < area.left()) {
        return {row, 0};
    }
    const double x = g.ContentX(pos.x());
    const int64_t from = axis_.AbsoluteOf(axis_.OffsetAtX(x - kHitSlack));
    const int64_t to = axis_.AbsoluteOf(axis_.OffsetAtX(x + kHitSlack) + 1) + 1;
    Hit hit{row, 0};
    // The last bar painted is the one on top.
    model_.ForEachBarIn(row, from, to, [&](int number, const ScheduleGridBar& bar) {
        const std::optional<QRectF> rect = g.BarRectF(row, bar);
        if (rect && rect->contains(QPointF(pos) + QPointF(0.5, 0.5))) {
            hit.bar = number;
        }
    });
    return hit;
}

QRect ScheduleGrid::BarRect(int row, int bar) const {
    const ScheduleGridBar* b = model_.Bar(row, bar);
    const std::optional<QRectF> rect = b ? Geometry().BarRectF(row, *b) : std::nullopt;
    return rect ? rect->toAlignedRect() : QRect();
}

QString ScheduleGrid::BarToolTip(int row, int bar) const {
    const ScheduleGridBar* b = model_.Bar(row, bar);
    if (b == nullptr) {
        return QString();
    }
    // Always with the days: a tooltip is read on its own.
    QString text = ScheduleGridPainter::MomentLabel(b->startDay, b->startMinute, ruler24Hour_) +
                   QString::fromUtf8(" \u2013 ") +
                   ScheduleGridPainter::MomentLabel(b->endDay, b->endMinute, ruler24Hour_);
    if (!b->text.trimmed().isEmpty()) {
        text = b->text.trimmed() + "\n" + text;
    }
    const QString note = BarSeriesNote(row, bar);
    if (!note.isEmpty()) {
        text += "\n" + note;
    }
    return text;
}

QString ScheduleGrid::BarSeriesNote(int row, int bar) const {
    const ScheduleGridBar* b = model_.Bar(row, bar);
    return b != nullptr && b->series && seriesNote_ ? seriesNote_(b->data) : QString();
}

QString ScheduleGrid::BarSpoken(int row, int bar) const {
    const ScheduleGridBar* b = model_.Bar(row, bar);
    if (b == nullptr) {
        return QString();
    }
    return barSpeech_ ? barSpeech_(b->data) : b->text.trimmed();
}

void ScheduleGrid::StructureChanged(bool removed) {
    ++structure_;
    if (!ScheduleGridAccessible::Listening()) {
        return;
    }
    ScheduleGridAccessible::RowsChanged(this, removed);
    // A rebuild adds thousands of bars: one event for the lot, once it is done.
    if (!reorderPending_) {
        reorderPending_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                reorderPending_ = false;
                ScheduleGridAccessible::AnnounceReorder(this);
            },
            Qt::QueuedConnection);
    }
}

void ScheduleGrid::EnsureRowVisible(int row) {
    SyncLayout();
    QScrollBar* v = verticalScrollBar();
    const int top = (row - 1) * rowHeight_;
    const int height = Geometry().DataRect().height();
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
    if (layoutStale_) {
        SyncLayout();
    }
    ScheduleGridView view;
    view.geometry = Geometry();
    view.model = &model_;
    view.back = ColorRefToQColor(backColor_);
    view.titleBack = ColorRefToQColor(titleBackColor_);
    view.ruler = ColorRefToQColor(rulerColor_);
    view.listBack = ColorRefToQColor(listBackColor_);
    view.weekend = ColorRefToQColor(weekendColor_);
    view.weekendMask = kWeekendMask;
    view.timeLines = timeLines_;
    view.ruler24Hour = ruler24Hour_;
    view.listTitle = listTitle_;
    view.currentRow = CurrentRow();
    view.selectedRow = selectedBar_.row;
    view.selectedBar = selectedBar_.bar;
    view.focused = hasFocus();
    view.dragging = drag_.active;
    view.dragRow = drag_.row;
    view.dragFrom = std::min(drag_.anchor, drag_.current);
    view.dragTo = std::max(drag_.anchor, drag_.current);
    if (const Bar* b =
            barDrag_.active ? model_.Bar(barDrag_.from.row, barDrag_.from.bar) : nullptr) {
        view.ghost = true;
        view.ghostRow = barDrag_.row;
        view.ghostFrom = axis_.OffsetOfAbsolute(barDrag_.place.start);
        view.ghostTo = axis_.OffsetOfAbsolute(barDrag_.place.end);
        view.ghostColor = ColorRefToQColor(b->color);
        view.ghostBlocked = !barDrag_.place.free;
    }
    view.palette = palette();
    view.font = font();
    view.texts = &texts_;
    view.boldTexts = &boldTexts_;
    QPainter painter(viewport());
    const ScheduleGridPainter::Stats stats =
        ScheduleGridPainter(view).Paint(painter, event->rect());
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
        UpdateMetrics();
    }
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange) {
        RequestPaint();
    }
    QAbstractScrollArea::changeEvent(event);
}

bool ScheduleGrid::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const Hit hit = HitTest(help->pos());
        if (hit.bar > 0) {
            QToolTip::showText(help->globalPos(), BarToolTip(hit.row, hit.bar), viewport(),
                               BarRect(hit.row, hit.bar));
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    if (event->type() == QEvent::Leave && !drag_.active && !barDrag_.active) {
        ReportMove({});
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void ScheduleGrid::mousePressEvent(QMouseEvent* event) {
    if (layoutStale_) {
        SyncLayout();
    }
    const QPoint pos = event->position().toPoint();
    const Hit hit = HitTest(pos);
    const Qt::MouseButton button = event->button();
    if (button == Qt::LeftButton) {
        NoteClick(hit, pos);
    }
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
        RequestPaint();
        if (placer_ != nullptr) {
            barDrag_ = {};
            barDrag_.pressed = true;
            barDrag_.from = hit;
            barDrag_.pressPos = pos;
            barDrag_.edge = EdgeAt(hit, pos);
            barDrag_.grab = MinuteAtX(pos.x()) - model_.Bar(hit.row, hit.bar)->Lo();
            barDrag_.row = hit.row;
        }
        // Last: the handler may rebuild the whole grid, which ends the drag.
        emit BarLeftClick(hit.row, hit.bar);
        return;
    }
    if (hit.row > 0 && pos.x() >= Geometry().DataRect().left()) {
        const int64_t at =
            axis_.SnappedOffsetAtX(Geometry().ContentX(pos.x()), axis_.SnapMinutes());
        drag_ = {true, hit.row, at, at};
    }
}

void ScheduleGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (layoutStale_) {
        SyncLayout();
    }
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton && drag_.active) {
        UpdateDrag(pos);
        FinishDrag();
    } else if (event->button() == Qt::LeftButton && barDrag_.active) {
        UpdateBarDrag(pos, event->modifiers() & Qt::ControlModifier);
        FinishBarDrag();
    } else if (event->button() == Qt::LeftButton) {
        barDrag_ = {};
    } else if (event->button() == Qt::RightButton) {
        const Hit pressed = rightPress_;
        rightPress_ = {};
        const Hit hit = HitTest(pos);
        if (hit.bar > 0 && hit == pressed) {
            // The popup's commands act on the bar under the pointer.
            selectedBar_ = hit;
            RequestPaint();
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
    if (layoutStale_) {
        SyncLayout();
    }
    const QPoint pos = event->position().toPoint();
    if (barDrag_.pressed && !barDrag_.active &&
        (pos - barDrag_.pressPos).manhattanLength() >= QApplication::startDragDistance()) {
        barDrag_.active = true;
    }
    if (drag_.active || barDrag_.active) {
        // Dragging past an edge pulls the view along.
        const QRect area = Geometry().DataRect();
        QScrollBar* h = horizontalScrollBar();
        if (pos.x() < area.left()) {
            h->setValue(h->value() - (area.left() - pos.x()));
        } else if (pos.x() > area.right()) {
            h->setValue(h->value() + (pos.x() - area.right()));
        }
    }
    if (drag_.active) {
        UpdateDrag(pos);
    }
    if (barDrag_.active) {
        UpdateBarDrag(pos, event->modifiers() & Qt::ControlModifier);
    }
    const Hit hit = HitTest(pos);
    ShowDragCursor(hit, pos);
    ReportMove(hit);
}

int64_t ScheduleGrid::MinuteAtX(int viewportX) const {
    return axis_.AbsoluteOf(axis_.SnappedOffsetAtX(Geometry().ContentX(viewportX), 1));
}

// Each end has a grip a few pixels wide, less on a short bar so that its middle stays.
IBarPlacer::Edge ScheduleGrid::EdgeAt(Hit hit, QPoint pos) const {
    const QRect box = BarRect(hit.row, hit.bar);
    const int grip = std::min(6, box.width() / 4);
    if (pos.x() < box.left() + grip) {
        return IBarPlacer::Edge::Start;
    }
    if (pos.x() > box.right() - grip) {
        return IBarPlacer::Edge::End;
    }
    return IBarPlacer::Edge::Whole;
}

void ScheduleGrid::ShowDragCursor(Hit hit, QPoint pos) {
    if (placer_ == nullptr) {
        return;
    }
    Qt::CursorShape shape = Qt::ArrowCursor;
    if (barDrag_.active) {
        shape = barDrag_.edge == IBarPlacer::Edge::Whole ? Qt::ClosedHandCursor : Qt::SizeHorCursor;
    } else if (hit.bar > 0 && !drag_.active) {
        shape =
            EdgeAt(hit, pos) == IBarPlacer::Edge::Whole ? Qt::OpenHandCursor : Qt::SizeHorCursor;
    }
    if (viewport()->cursor().shape() != shape) {
        viewport()->setCursor(shape);
    }
}

void ScheduleGrid::UpdateBarDrag(QPoint pos, bool copy) {
    const Bar* bar = model_.Bar(barDrag_.from.row, barDrag_.from.bar);
    if (bar == nullptr) {
        CancelBarDrag();
        return;
    }
    const int64_t minute = MinuteAtX(pos.x());
    IBarPlacer::Wish wish;
    wish.data = bar->data;
    wish.edge = barDrag_.edge;
    wish.copy = copy;
    wish.row = barDrag_.from.row;
    wish.start = bar->Lo();
    wish.end = bar->Hi();
    switch (barDrag_.edge) {
    case IBarPlacer::Edge::Whole:
        wish.row = std::clamp(Geometry().RowAt(pos.y()), 1, std::max(1, RowCount()));
        wish.start = minute - barDrag_.grab;
        wish.end = wish.start + (bar->Hi() - bar->Lo());
        break;
    case IBarPlacer::Edge::Start:
        wish.start = minute;
        break;
    case IBarPlacer::Edge::End:
        wish.end = minute;
        break;
    }
    const IBarPlacer::Place place = placer_->Placed(wish);
    const bool noteChanged = place.note != barDrag_.place.note;
    if (wish.row != barDrag_.row || place.start != barDrag_.place.start ||
        place.end != barDrag_.place.end || place.free != barDrag_.place.free ||
        copy != barDrag_.copy) {
        RequestPaint();
    }
    barDrag_.row = wish.row;
    barDrag_.place = place;
    barDrag_.copy = copy;
    if (noteChanged) {
        emit BarDragNote(place.note);
    }
}

void ScheduleGrid::FinishBarDrag() {
    const BarDrag drag = barDrag_;
    CancelBarDrag();
    Drop drop;
    drop.row = drag.from.row;
    drop.bar = drag.from.bar;
    drop.toRow = drag.row;
    drop.start = drag.place.start;
    drop.end = drag.place.end;
    drop.edge = drag.edge;
    drop.copy = drag.copy;
    // Last: the handler may rebuild the whole grid.
    emit BarDropped(drop);
}

void ScheduleGrid::CancelBarDrag() {
    const bool noted = !barDrag_.place.note.isEmpty();
    barDrag_ = {};
    RequestPaint();
    viewport()->unsetCursor();
    if (noted) {
        emit BarDragNote(QString());
    }
}

void ScheduleGrid::UpdateDrag(QPoint pos) {
    const int64_t at = axis_.SnappedOffsetAtX(Geometry().ContentX(pos.x()), axis_.SnapMinutes());
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
        const int unit =
            horizontal ? std::max(24, Geometry().DataRect().width() / 8) : 3 * rowHeight_;
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
    const int page = std::max(1, Geometry().DataRect().height() / std::max(1, rowHeight_) - 1);
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    QScrollBar* h = horizontalScrollBar();
    const auto moveTo = [&](int row) {
        if (rows > 0) {
            SetCurrentRow(std::clamp(row, 1, rows));
            if (CurrentRow() != current) {
                ScheduleGridAccessible::AnnounceCurrentRow(this);
            }
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
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Delete:
        if (model_.Bar(selectedBar_.row, selectedBar_.bar) == nullptr) {
            return QAbstractScrollArea::keyPressEvent(event);
        }
        if (event->key() == Qt::Key_Delete) {
            emit BarKeyDelete(selectedBar_.row, selectedBar_.bar);
        } else {
            emit BarKeyEdit(selectedBar_.row, selectedBar_.bar);
        }
        break;
    case Qt::Key_Escape:
        if (barDrag_.active) {
            CancelBarDrag();
            break;
        }
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

// --- keyboard selection ---------------------------------------------------------

bool ScheduleGrid::focusNextPrevChild(bool next) {
    // A keyboard user reaches every bar with Tab, and is never held: past the last bar the
    // focus moves on as usual.
    if (hasFocus()) {
        const Hit hit = NextBar(next);
        if (hit.bar > 0) {
            SelectByKey(hit);
            return true;
        }
    }
    return QAbstractScrollArea::focusNextPrevChild(next);
}

ScheduleGrid::Hit ScheduleGrid::NextBar(bool forward) const {
    // Far enough out for any day number a bar can have, with room for the model's margin.
    constexpr int64_t kAllTime = int64_t{1} << 50;
    const auto inOrder = [this](int row) {
        std::vector<int> bars;
        model_.ForEachBarIn(row, -kAllTime, kAllTime, [&bars](int number, const ScheduleGridBar&) {
            bars.push_back(number);
        });
        return bars;
    };
    const bool selected = model_.Bar(selectedBar_.row, selectedBar_.bar) != nullptr;
    int row = selected ? selectedBar_.row : CurrentRow();
    if (row > 0) {
        const std::vector<int> bars = inOrder(row);
        if (!selected && !bars.empty()) {
            return {row, forward ? bars.front() : bars.back()};
        }
        const auto at = std::find(bars.begin(), bars.end(), selectedBar_.bar);
        if (at != bars.end()) {
            if (forward && at + 1 != bars.end()) {
                return {row, *(at + 1)};
            }
            if (!forward && at != bars.begin()) {
                return {row, *(at - 1)};
            }
        }
    } else {
        row = forward ? 0 : RowCount() + 1;
    }
    for (int r = forward ? row + 1 : row - 1; model_.IsRow(r); r += forward ? 1 : -1) {
        const std::vector<int> bars = inOrder(r);
        if (!bars.empty()) {
            return {r, forward ? bars.front() : bars.back()};
        }
    }
    return {};
}

void ScheduleGrid::SelectByKey(Hit hit) {
    pendingSelection_.reset();
    currentRow_ = hit.row;
    selectedBar_ = hit;
    ScrollToBar(hit.row, hit.bar);
    RequestPaint();
    ScheduleGridAccessible::AnnounceSelectedBar(this);
    emit BarKeySelect(hit.row, hit.bar);
}

void ScheduleGrid::ScrollToBar(int row, int bar) {
    const ScheduleGridBar* b = model_.Bar(row, bar);
    if (b == nullptr) {
        return;
    }
    EnsureRowVisible(row);
    const ScheduleGridGeometry g = Geometry();
    const QRect area = g.DataRect();
    const std::optional<QRectF> rect = g.BarRectF(row, *b);
    if (!rect) {
        return;
    }
    if (rect->left() < area.left() || rect->left() > area.right()) {
        ScrollToTime(b->startDay, b->startMinute);
    } else if (rect->right() > area.right() + 1) {
        // Its end too, as far as that keeps the start in view.
        const double by = std::min(rect->right() - area.right() - 1, rect->left() - area.left());
        QScrollBar* h = horizontalScrollBar();
        h->setValue(h->value() + static_cast<int>(std::ceil(by)));
    }
}

void ScheduleGrid::NoteClick(Hit hit, QPoint pos) {
    const ScheduleGridGeometry g = Geometry();
    if (hit.row > 0 && pos.x() >= g.DataRect().left()) {
        const auto at = axis_.MomentAt(axis_.OffsetAtX(g.ContentX(pos.x())), false);
        lastClick_ = Spot{hit.row, at.day, at.minute};
    }
}

void ScheduleGrid::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    RequestPaint();
    if (ScheduleGridAccessible::Listening() && selectedBar_.bar > 0) {
        // After the grid's own focus event, which Qt sends once this returns.
        QMetaObject::invokeMethod(
            this, [this] { ScheduleGridAccessible::AnnounceSelectedBar(this); },
            Qt::QueuedConnection);
    }
    emit GotFocus();
}

void ScheduleGrid::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    RequestPaint();
}

void ScheduleGrid::EmitScrollTrack() {
    const auto left = axis_.MomentAt(axis_.OffsetAtX(horizontalScrollBar()->value()), false);
    const int row = verticalScrollBar()->value() / std::max(1, rowHeight_) + 1;
    emit ScrollTrack(left.day, left.minute, row);
}
