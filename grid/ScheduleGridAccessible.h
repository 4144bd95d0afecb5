#pragma once

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QRect>
#include <QString>

#include <cstdint>
#include <vector>

class ScheduleGrid;

// What a screen reader finds in a schedule grid. The grid answers as a pane whose children
// are the list title (a column header), the time ruler, one list per row named after it and,
// after them, the grid's scroll bars. Each row's list holds one item per bar of the row in
// order of start, named "Room 3, Tuesday 8 December 09:00 to 10:30, Hal Brenner, Interview".
//
// A pane of lists rather than a table: bars do not line up in columns, and a table that
// cannot answer "which cell is in column 4" leaves a screen reader's table commands saying
// nonsense; a list item is read with its place ("2 of 5") and the list with its size.
//
// Row and bar interfaces are made on first use and kept by (row, position); any change of
// the grid's rows or bars drops them all, so none outlives the bar it stood for. Nothing is
// made or sent while no accessibility client listens.
class ScheduleGridAccessible : public QAccessibleWidget {
public:
    explicit ScheduleGridAccessible(ScheduleGrid* grid);
    ~ScheduleGridAccessible() override;

    // Makes every schedule grid answer with this interface; calling it again does nothing.
    static void Install();
    // Whether an accessibility client listens. A platform without a bridge to one (the
    // offscreen platform) never says so and Qt drops every event there; an in-process
    // reader set here listens all the same and hears what the grid announces.
    static bool Listening();
    static void SetListener(QAccessible::UpdateHandler listener);

    // Told by the grid. Rows or bars were added or, with removed, taken away: the
    // interfaces made so far go at once when bars went, and one reorder event follows
    // later for the lot.
    static void RowsChanged(ScheduleGrid* grid, bool removed);
    static void AnnounceReorder(ScheduleGrid* grid);
    // The grid's selected bar changed: it is announced as selected, and as focused when
    // the grid has the focus.
    static void AnnounceSelectedBar(ScheduleGrid* grid);
    // The keyboard moved to another row: what now has the focus there is announced, the
    // row or its selected bar.
    static void AnnounceCurrentRow(ScheduleGrid* grid);

    // "Room 3, Tuesday 8 December 09:00 to 10:30, Hal Brenner, Interview".
    static QString BarName(const ScheduleGrid& grid, int row, int bar);
    // "Monday 7 December 2026 to Sunday 13 December 2026, 08:00 to 18:00".
    static QString RulerText(const ScheduleGrid& grid);
    // Row, bar, title and ruler interfaces made since the program started.
    static int64_t PartsMade();

    QAccessible::Role role() const override;
    QString text(QAccessible::Text t) const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

    // For the parts. Rows and bar numbers from 1 as the grid counts them, positions from 0
    // in order of start; nullptr for what does not exist.
    ScheduleGrid* Grid() const { return grid_.data(); }
    uint64_t Version() const { return version_; }
    QAccessibleInterface* Row(int row) const;
    QAccessibleInterface* BarAtPosition(int row, int position) const;
    QAccessibleInterface* Bar(int row, int bar) const;
    // A viewport rectangle in screen coordinates, cut to an area of the viewport.
    QRect ToScreen(const QRect& viewportRect, const QRect& within) const;

private:
    struct RowSlot {
        QAccessible::Id id = 0;
        QAccessibleInterface* part = nullptr;
        bool ordered = false;
        std::vector<int> order;    // bar numbers by position
        std::vector<int> position; // positions by bar number - 1
        std::vector<QAccessible::Id> barIds;
        std::vector<QAccessibleInterface*> bars;
    };

    // Drops everything made for rows and bars that have changed since.
    void Sync() const;
    void Drop() const;
    RowSlot* Slot(int row) const;
    void Order(RowSlot& slot, int row) const;
    QAccessibleInterface* Keep(QAccessibleInterface* part, QAccessible::Id& id) const;
    // The grid's own child widgets other than its viewport: the scroll bars.
    std::vector<QWidget*> Others() const;

    QPointer<ScheduleGrid> grid_;
    mutable uint64_t version_ = 0;
    mutable std::vector<RowSlot> rows_;
    mutable QAccessible::Id titleId_ = 0;
    mutable QAccessibleInterface* title_ = nullptr;
    mutable QAccessible::Id rulerId_ = 0;
    mutable QAccessibleInterface* ruler_ = nullptr;
};
