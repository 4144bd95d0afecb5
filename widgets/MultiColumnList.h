#pragma once

#include <QTreeView>

#include <cstdint>
#include <vector>

class MultiColumnListModel;

// A list of rows in columns, as the search and bulk-delete windows use it. Rows come from
// texts with the column values separated by ";" and carry a 32-bit item data; rows are
// numbered from 0 and the selected row is ListIndex (-1 when none).
//
// Columns are numbered from 1 in ItemMark and ItemText. A markable column shows a check box
// that the user sets and clears by clicking anywhere in its cell, or with Space on the current
// row. Double-clicking a row or pressing Enter on it raises ItemActivated.
//
// Column widths are in the list's units, 1/96 inch (15 twips), converted with the screen's
// logical DPI so columns keep their proportions; the last column takes what room is left.
// Each column keeps the width it was given or fitted to, whatever the stretch of the last
// one or the user's dragging makes of it on screen.
//
// The rows live in a model and only the rows on screen are drawn, so a list of tens of
// thousands of rows fills and scrolls as quickly as a short one.
class MultiColumnList : public QTreeView {
    Q_OBJECT

public:
    static constexpr double TwipsPerUnit = 15;

    explicit MultiColumnList(QWidget* parent = nullptr);

    void AddColumn(const QString& caption, int width, bool markable = false);
    // Widens the column (from 1) so that the sample text shows in full in the list's font;
    // a column already wide enough keeps its width.
    void FitColumnTo(int column, const QString& sample);
    // The width that shows every column at its given or fitted width without a horizontal
    // scroll bar, however wide the list now is.
    int ColumnsWidth() const;

    void Clear();
    // Appends a row and returns its number.
    int AddItem(const QString& text);
    int ListCount() const;
    int32_t ItemData(int row) const;
    void SetItemData(int row, int32_t value);
    int ListIndex() const;
    // Selects the row and brings it into view; -1 selects none.
    void SetListIndex(int row);
    // 1 when the row is marked in the column, 0 otherwise.
    int16_t ItemMark(int row, int column) const;
    void SetItemMark(int row, int column, bool marked);
    // Rows marked in any column.
    int MarkedCount() const;
    QString ItemText(int row, int column) const;

    MultiColumnListModel* Model() const { return model_; }

signals:
    void ItemActivated(int row);
    void MarksChanged();

protected:
    // A cell's tooltip shows its text when the cell is too narrow to show it whole.
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // The first markable column, -1 when there is none (Qt's numbering).
    int MarkColumn() const;
    void ToggleMark(int row, int column);

    MultiColumnListModel* model_;
    std::vector<int> widths_; // pixels, by Qt's column number
};
