#include "grid/ScheduleGridAccessible.h"

#include "grid/ScheduleGrid.h"
#include "grid/ScheduleGridPainter.h"

#include <QLocale>
#include <QScrollBar>

#include <unordered_map>

namespace {

int64_t partsMade = 0;
QAccessible::UpdateHandler listener = nullptr;
constexpr int kTitleIndex = 0;
constexpr int kRulerIndex = 1;
constexpr int kFirstRowIndex = 2;
constexpr int kMinutesPerDay = 1440;

// Appends "09:05"; 1440 reads "24:00", the end of a day.
void AppendClock(QString& text, int minute) {
    const int hour = minute / 60;
    const int rest = minute % 60;
    const char16_t digits[5] = {char16_t(u'0' + hour / 10), char16_t(u'0' + hour % 10), u':',
                                char16_t(u'0' + rest / 10), char16_t(u'0' + rest % 10)};
    text += QStringView(digits, 5);
}

QString Clock(int minute) {
    QString text;
    AppendClock(text, minute);
    return text;
}

// A screen full of bars shares a handful of days: format each once.
// The text stays valid until the next call.
const QString& DayText(int32_t day, bool withYear) {
    static std::unordered_map<int64_t, QString> made;
    const int64_t key = int64_t{day} * 2 + (withYear ? 1 : 0);
    if (const auto found = made.find(key); found != made.end()) {
        return found->second;
    }
    if (made.size() > 4096) {
        made.clear();
    }
    return made
        .emplace(key, QLocale::c().toString(ScheduleGridPainter::DateOf(day),
                                            withYear ? "dddd d MMMM yyyy" : "dddd d MMMM"))
        .first->second;
}

int64_t FloorDiv(int64_t value, int64_t by) {
    return value / by - (value % by < 0 ? 1 : 0);
}

QString RowName(const ScheduleGrid& grid, int row) {
    const QString text = grid.RowText(row).trimmed();
    return text.isEmpty() ? QStringLiteral("Row %1").arg(row) : text;
}

// What the pane holds besides itself; the parts own nothing and are deleted by the pane.
class Part : public QAccessibleInterface {
public:
    // A part that follows rows lives only as long as the rows and bars it was made for.
    Part(const ScheduleGridAccessible* root, bool followsRows)
        : root_(root), followsRows_(followsRows), version_(root->Version()) {
        ++partsMade;
    }

    bool isValid() const override {
        const ScheduleGrid* grid = root_->Grid();
        return grid != nullptr && (!followsRows_ || grid->StructureVersion() == version_);
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return root_->window(); }
    QAccessibleInterface* parent() const override {
        return const_cast<ScheduleGridAccessible*>(root_);
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    void setText(QAccessible::Text, const QString&) override {}
    QString text(QAccessible::Text t) const override { return isValid() ? Text(t) : QString(); }
    QRect rect() const override { return isValid() ? Rect() : QRect(); }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s = States();
        if (Rect().isEmpty()) {
            s.invisible = true;
            s.offscreen = true;
        }
        return s;
    }

protected:
    virtual QString Text(QAccessible::Text t) const = 0;
    virtual QRect Rect() const = 0;
    virtual QAccessible::State States() const { return {}; }
    const ScheduleGrid& Grid() const { return *root_->Grid(); }
    QRect ViewRect() const { return Grid().viewport()->rect(); }
    QRect BelowRuler() const { return ViewRect().adjusted(0, Grid().RulerHeight(), 0, 0); }

    const ScheduleGridAccessible* root_;

private:
    bool followsRows_;
    uint64_t version_;
};

class TitlePart : public Part {
public:
    explicit TitlePart(const ScheduleGridAccessible* root) : Part(root, false) {}
    QAccessible::Role role() const override { return QAccessible::ColumnHeader; }

protected:
    QString Text(QAccessible::Text t) const override {
        const QString title = Grid().ListTitle().trimmed();
        return t == QAccessible::Name ? (title.isEmpty() ? QStringLiteral("Rows") : title)
                                      : QString();
    }
    QRect Rect() const override {
        return root_->ToScreen(QRect(0, 0, Grid().ListWidth(), Grid().RulerHeight()), ViewRect());
    }
};

class RulerPart : public Part {
public:
    explicit RulerPart(const ScheduleGridAccessible* root) : Part(root, false) {}
    QAccessible::Role role() const override { return QAccessible::StaticText; }

protected:
    QString Text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) {
            return QStringLiteral("Time ruler");
        }
        return t == QAccessible::Value || t == QAccessible::Description
                   ? ScheduleGridAccessible::RulerText(Grid())
                   : QString();
    }
    QRect Rect() const override {
        const QRect view = ViewRect();
        return root_->ToScreen(
            QRect(Grid().ListWidth(), 0, view.width() - Grid().ListWidth(), Grid().RulerHeight()),
            view);
    }
};

class BarPart : public Part {
public:
    BarPart(const ScheduleGridAccessible* root, int row, int bar, int position)
        : Part(root, true), row_(row), bar_(bar), position_(position) {}
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    int Row() const { return row_; }
    int Position() const { return position_; }

protected:
    QString Text(QAccessible::Text t) const override {
        switch (t) {
        case QAccessible::Name:
            return ScheduleGridAccessible::BarName(Grid(), row_, bar_);
        case QAccessible::Description:
            return Grid().BarSeriesNote(row_, bar_);
        default:
            return QString();
        }
    }
    QRect Rect() const override {
        const QRect view = ViewRect();
        const QRect data(Grid().ListWidth(), Grid().RulerHeight(),
                         view.width() - Grid().ListWidth(), view.height() - Grid().RulerHeight());
        return root_->ToScreen(Grid().BarRect(row_, bar_), data);
    }
    QAccessible::State States() const override {
        QAccessible::State s;
        s.focusable = true;
        s.selectable = true;
        const ScheduleGrid::Hit selected = Grid().SelectedBar();
        s.selected = selected.row == row_ && selected.bar == bar_;
        s.focused = s.selected && Grid().hasFocus();
        return s;
    }

private:
    int row_;
    int bar_;
    int position_;
};

class RowPart : public Part {
public:
    RowPart(const ScheduleGridAccessible* root, int row) : Part(root, true), row_(row) {}
    QAccessible::Role role() const override { return QAccessible::List; }
    int Row() const { return row_; }

    int childCount() const override { return isValid() ? Grid().BarCount(row_) : 0; }
    QAccessibleInterface* child(int index) const override {
        return isValid() ? root_->BarAtPosition(row_, index) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto* bar = dynamic_cast<const BarPart*>(child);
        return bar != nullptr && bar->isValid() && bar->parent() == root_ && bar->Row() == row_
                   ? bar->Position()
                   : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        if (!isValid()) {
            return nullptr;
        }
        const ScheduleGrid::Hit hit =
            Grid().HitTest(Grid().viewport()->mapFromGlobal(QPoint(x, y)));
        return hit.row == row_ && hit.bar > 0 ? root_->Bar(row_, hit.bar) : nullptr;
    }

protected:
    QString Text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? RowName(Grid(), row_) : QString();
    }
    QRect Rect() const override {
        const int top = Grid().RulerHeight() + (row_ - 1) * Grid().RowHeight() -
                        Grid().verticalScrollBar()->value();
        return root_->ToScreen(QRect(0, top, ViewRect().width(), Grid().RowHeight()), BelowRuler());
    }
    QAccessible::State States() const override {
        QAccessible::State s;
        s.focusable = true;
        s.active = Grid().CurrentRow() == row_;
        s.focused = s.active && Grid().hasFocus() && !SelectedBarHere();
        return s;
    }
    // The keyboard is on the row itself unless a bar of it is selected.
    bool SelectedBarHere() const {
        const ScheduleGrid::Hit selected = Grid().SelectedBar();
        return selected.row == row_ && Grid().Model().Bar(selected.row, selected.bar) != nullptr;
    }

private:
    int row_;
};

QAccessibleInterface* Factory(const QString& key, QObject* object) {
    if (key == QLatin1String("ScheduleGrid")) {
        if (auto* grid = qobject_cast<ScheduleGrid*>(object)) {
            return new ScheduleGridAccessible(grid);
        }
    }
    return nullptr;
}

void Send(QAccessibleInterface* iface, QAccessible::Event type) {
    QAccessibleEvent event(iface, type);
    if (listener != nullptr) {
        listener(&event);
    }
    QAccessible::updateAccessibility(&event);
}

ScheduleGridAccessible* Of(ScheduleGrid* grid) {
    return dynamic_cast<ScheduleGridAccessible*>(QAccessible::queryAccessibleInterface(grid));
}

} // namespace

ScheduleGridAccessible::ScheduleGridAccessible(ScheduleGrid* grid)
    : QAccessibleWidget(grid, QAccessible::Pane), grid_(grid), version_(grid->StructureVersion()) {}

ScheduleGridAccessible::~ScheduleGridAccessible() {
    // By id: the cache may have deleted some already, as it does when the program ends.
    Drop();
    for (const QAccessible::Id id : {titleId_, rulerId_}) {
        if (id != 0) {
            QAccessible::deleteAccessibleInterface(id);
        }
    }
}

void ScheduleGridAccessible::Install() {
    static bool installed = false;
    if (!installed) {
        QAccessible::installFactory(Factory);
        installed = true;
    }
}

bool ScheduleGridAccessible::Listening() {
    return listener != nullptr || QAccessible::isActive();
}

void ScheduleGridAccessible::SetListener(QAccessible::UpdateHandler handler) {
    listener = handler;
}

int64_t ScheduleGridAccessible::PartsMade() {
    return partsMade;
}

// --- what the grid tells ----------------------------------------------------------

void ScheduleGridAccessible::RowsChanged(ScheduleGrid* grid, bool removed) {
    if (!removed || !Listening()) {
        return;
    }
    if (ScheduleGridAccessible* self = Of(grid)) {
        self->Sync();
    }
}

void ScheduleGridAccessible::AnnounceReorder(ScheduleGrid* grid) {
    if (!Listening()) {
        return;
    }
    if (ScheduleGridAccessible* self = Of(grid)) {
        self->Sync();
        Send(self, QAccessible::ObjectReorder);
    }
}

void ScheduleGridAccessible::AnnounceSelectedBar(ScheduleGrid* grid) {
    const ScheduleGrid::Hit selected = grid->SelectedBar();
    if (!Listening() || selected.bar == 0) {
        return;
    }
    ScheduleGridAccessible* self = Of(grid);
    QAccessibleInterface* bar = self ? self->Bar(selected.row, selected.bar) : nullptr;
    if (bar == nullptr) {
        return;
    }
    if (grid->hasFocus()) {
        Send(bar, QAccessible::Focus);
    }
    Send(bar, QAccessible::Selection);
}

void ScheduleGridAccessible::AnnounceCurrentRow(ScheduleGrid* grid) {
    if (!Listening() || !grid->hasFocus()) {
        return;
    }
    ScheduleGridAccessible* self = Of(grid);
    if (QAccessibleInterface* focus = self ? self->focusChild() : nullptr; focus != self) {
        Send(focus, QAccessible::Focus);
    }
}

// --- texts --------------------------------------------------------------------------

QString ScheduleGridAccessible::BarName(const ScheduleGrid& grid, int row, int bar) {
    const ScheduleGridBar* b = grid.Model().Bar(row, bar);
    if (b == nullptr) {
        return QString();
    }
    const auto startDay = static_cast<int32_t>(FloorDiv(b->Lo(), kMinutesPerDay));
    const auto startMinute = static_cast<int>(b->Lo() - int64_t{startDay} * kMinutesPerDay);
    auto endDay = static_cast<int32_t>(FloorDiv(b->Hi(), kMinutesPerDay));
    auto endMinute = static_cast<int>(b->Hi() - int64_t{endDay} * kMinutesPerDay);
    // A bar up to midnight ends its last day rather than starting the next.
    if (endMinute == 0 && endDay > startDay) {
        --endDay;
        endMinute = kMinutesPerDay;
    }
    // A reader may ask for thousands at once: one string, grown once.
    const QString spoken = grid.BarSpoken(row, bar);
    QString name;
    name.reserve(RowName(grid, row).size() + spoken.size() + 80);
    name += RowName(grid, row);
    name += u", ";
    name += DayText(startDay, false);
    name += u' ';
    AppendClock(name, startMinute);
    name += u" to ";
    if (endDay != startDay) {
        name += DayText(endDay, false);
        name += u' ';
    }
    AppendClock(name, endMinute);
    if (!spoken.isEmpty()) {
        name += u", ";
        name += spoken;
    }
    return name;
}

QString ScheduleGridAccessible::RulerText(const ScheduleGrid& grid) {
    QString text = DayText(grid.DateFirst(), true);
    if (grid.DateLast() > grid.DateFirst()) {
        text += QStringLiteral(" to ") + DayText(grid.DateLast(), true);
    }
    const int end =
        grid.DayEndMinute() > grid.DayStartMinute() ? grid.DayEndMinute() : kMinutesPerDay;
    return text + QStringLiteral(", ") + Clock(grid.DayStartMinute()) + QStringLiteral(" to ") +
           Clock(end);
}

// --- the pane -------------------------------------------------------------------------

QAccessible::Role ScheduleGridAccessible::role() const {
    return QAccessible::Pane;
}

QString ScheduleGridAccessible::text(QAccessible::Text t) const {
    QString text = QAccessibleWidget::text(t);
    if (text.isEmpty() && t == QAccessible::Name) {
        text = QStringLiteral("Schedule");
    }
    if (text.isEmpty() && t == QAccessible::Description) {
        text = QStringLiteral("Tab and Shift+Tab move from booking to booking, Enter opens the "
                              "selected booking, Delete deletes it, arrow keys scroll");
    }
    return text;
}

std::vector<QWidget*> ScheduleGridAccessible::Others() const {
    std::vector<QWidget*> others;
    if (grid_ == nullptr) {
        return others;
    }
    for (QObject* object : grid_->children()) {
        auto* widget = qobject_cast<QWidget*>(object);
        if (widget != nullptr && !widget->isWindow() && widget != grid_->viewport()) {
            others.push_back(widget);
        }
    }
    return others;
}

int ScheduleGridAccessible::childCount() const {
    if (grid_ == nullptr) {
        return 0;
    }
    return kFirstRowIndex + grid_->RowCount() + static_cast<int>(Others().size());
}

QAccessibleInterface* ScheduleGridAccessible::child(int index) const {
    if (grid_ == nullptr || index < 0) {
        return nullptr;
    }
    if (index == kTitleIndex) {
        return title_ != nullptr ? title_ : Keep(title_ = new TitlePart(this), titleId_);
    }
    if (index == kRulerIndex) {
        return ruler_ != nullptr ? ruler_ : Keep(ruler_ = new RulerPart(this), rulerId_);
    }
    const int row = index - kFirstRowIndex + 1;
    if (row <= grid_->RowCount()) {
        return Row(row);
    }
    const std::vector<QWidget*> others = Others();
    const auto other = static_cast<size_t>(row - grid_->RowCount() - 1);
    return other < others.size() ? QAccessible::queryAccessibleInterface(others[other]) : nullptr;
}

int ScheduleGridAccessible::indexOfChild(const QAccessibleInterface* child) const {
    if (grid_ == nullptr || child == nullptr) {
        return -1;
    }
    if (child == title_) {
        return kTitleIndex;
    }
    if (child == ruler_) {
        return kRulerIndex;
    }
    if (const auto* row = dynamic_cast<const RowPart*>(child)) {
        return row->isValid() && row->parent() == this ? kFirstRowIndex + row->Row() - 1 : -1;
    }
    const std::vector<QWidget*> others = Others();
    for (size_t i = 0; i < others.size(); ++i) {
        if (child->object() == others[i]) {
            return kFirstRowIndex + grid_->RowCount() + static_cast<int>(i);
        }
    }
    return -1;
}

QAccessibleInterface* ScheduleGridAccessible::childAt(int x, int y) const {
    if (grid_ == nullptr) {
        return nullptr;
    }
    const QPoint at = grid_->viewport()->mapFromGlobal(QPoint(x, y));
    if (!grid_->viewport()->rect().contains(at)) {
        for (QWidget* other : Others()) {
            if (other->isVisible() &&
                QRect(other->mapToGlobal(QPoint(0, 0)), other->size()).contains(QPoint(x, y))) {
                return QAccessible::queryAccessibleInterface(other);
            }
        }
        return nullptr;
    }
    if (at.y() < grid_->RulerHeight()) {
        return child(at.x() < grid_->ListWidth() ? kTitleIndex : kRulerIndex);
    }
    const ScheduleGrid::Hit hit = grid_->HitTest(at);
    return hit.bar > 0 ? Bar(hit.row, hit.bar) : Row(hit.row);
}

QAccessibleInterface* ScheduleGridAccessible::focusChild() const {
    if (grid_ != nullptr && grid_->hasFocus()) {
        const ScheduleGrid::Hit selected = grid_->SelectedBar();
        const int current = grid_->CurrentRow();
        if (selected.row != current || Bar(selected.row, selected.bar) == nullptr) {
            if (QAccessibleInterface* row = Row(current)) {
                return row;
            }
        }
        if (QAccessibleInterface* bar = Bar(selected.row, selected.bar)) {
            return bar;
        }
    }
    return QAccessibleWidget::focusChild();
}

QRect ScheduleGridAccessible::ToScreen(const QRect& viewportRect, const QRect& within) const {
    const QRect shown = viewportRect & within;
    if (grid_ == nullptr || shown.isEmpty()) {
        return QRect();
    }
    return shown.translated(grid_->viewport()->mapToGlobal(QPoint(0, 0)));
}

// --- rows and bars ----------------------------------------------------------------------

void ScheduleGridAccessible::Sync() const {
    if (grid_ != nullptr && version_ != grid_->StructureVersion()) {
        Drop();
        version_ = grid_->StructureVersion();
    }
}

void ScheduleGridAccessible::Drop() const {
    for (const RowSlot& slot : rows_) {
        for (const QAccessible::Id id : slot.barIds) {
            if (id != 0) {
                QAccessible::deleteAccessibleInterface(id);
            }
        }
        if (slot.id != 0) {
            QAccessible::deleteAccessibleInterface(slot.id);
        }
    }
    rows_.clear();
}

QAccessibleInterface* ScheduleGridAccessible::Keep(QAccessibleInterface* part,
                                                   QAccessible::Id& id) const {
    // Registered, so a screen reader can name it; the registry deletes it by that id.
    id = QAccessible::registerAccessibleInterface(part);
    return part;
}

ScheduleGridAccessible::RowSlot* ScheduleGridAccessible::Slot(int row) const {
    Sync();
    if (grid_ == nullptr || !grid_->Model().IsRow(row)) {
        return nullptr;
    }
    if (rows_.size() < static_cast<size_t>(grid_->RowCount())) {
        rows_.resize(static_cast<size_t>(grid_->RowCount()));
    }
    return &rows_[static_cast<size_t>(row - 1)];
}

void ScheduleGridAccessible::Order(RowSlot& slot, int row) const {
    constexpr int64_t kAllTime = int64_t{1} << 50;
    const auto count = static_cast<size_t>(grid_->BarCount(row));
    slot.order.clear();
    slot.order.reserve(count);
    grid_->Model().ForEachBarIn(row, -kAllTime, kAllTime, [&slot](int bar, const ScheduleGridBar&) {
        slot.order.push_back(bar);
    });
    slot.position.assign(count, -1);
    for (size_t i = 0; i < slot.order.size(); ++i) {
        slot.position[static_cast<size_t>(slot.order[i] - 1)] = static_cast<int>(i);
    }
    slot.barIds.assign(slot.order.size(), 0);
    slot.bars.assign(slot.order.size(), nullptr);
    slot.ordered = true;
}

QAccessibleInterface* ScheduleGridAccessible::Row(int row) const {
    RowSlot* slot = Slot(row);
    if (slot == nullptr) {
        return nullptr;
    }
    if (slot->part == nullptr) {
        Keep(slot->part = new RowPart(this, row), slot->id);
    }
    return slot->part;
}

QAccessibleInterface* ScheduleGridAccessible::BarAtPosition(int row, int position) const {
    RowSlot* slot = Slot(row);
    if (slot == nullptr) {
        return nullptr;
    }
    if (!slot->ordered) {
        Order(*slot, row);
    }
    if (position < 0 || static_cast<size_t>(position) >= slot->order.size()) {
        return nullptr;
    }
    const auto at = static_cast<size_t>(position);
    if (slot->bars[at] == nullptr) {
        Keep(slot->bars[at] = new BarPart(this, row, slot->order[at], position), slot->barIds[at]);
    }
    return slot->bars[at];
}

QAccessibleInterface* ScheduleGridAccessible::Bar(int row, int bar) const {
    RowSlot* slot = Slot(row);
    if (slot == nullptr || bar < 1) {
        return nullptr;
    }
    if (!slot->ordered) {
        Order(*slot, row);
    }
    const auto number = static_cast<size_t>(bar - 1);
    return number < slot->position.size() ? BarAtPosition(row, slot->position[number]) : nullptr;
}
