#include "widgets/MultiColumnList.h"

#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QToolTip>

#include "platform/Twips.h"
#include "widgets/MultiColumnListModel.h"

namespace {

// Draws a mark cell's check box in the middle of the cell rather than at its left edge.
class CentredCheckDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        if (!(cell.features & QStyleOptionViewItem::HasCheckIndicator)) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        const QWidget* widget = option.widget;
        QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
        QStyleOptionViewItem box = cell;
        box.rect = style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &cell, widget);
        box.rect.moveCenter(option.rect.center());
        box.state &= ~QStyle::State_HasFocus;
        box.state |= cell.checkState == Qt::Checked ? QStyle::State_On : QStyle::State_Off;
        cell.features &= ~QStyleOptionViewItem::HasCheckIndicator;
        cell.text.clear();
        style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);
        style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &box, painter, widget);
    }
};

} // namespace

MultiColumnList::MultiColumnList(QWidget* parent)
    : QTreeView(parent), model_(new MultiColumnListModel(this)) {
    setModel(model_);
    setItemDelegate(new CentredCheckDelegate(this));
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setAlternatingRowColors(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideRight);
    header()->setStretchLastSection(true);
    header()->setSectionsMovable(false);
    connect(model_, &MultiColumnListModel::MarksChanged, this, &MultiColumnList::MarksChanged);
    connect(this, &QTreeView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid()) {
            emit ItemActivated(index.row());
        }
    });
}

void MultiColumnList::AddColumn(const QString& caption, int width, bool markable) {
    model_->AddColumn(caption, markable);
    const int column = model_->columnCount() - 1;
    widths_.push_back(TwipsToPixelsX(width * TwipsPerUnit, this));
    header()->resizeSection(column, widths_.back());
}

void MultiColumnList::FitColumnTo(int column, const QString& sample) {
    // The item's text margins on both sides, as the style lays a cell out.
    const int margins = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
    const int needed = fontMetrics().horizontalAdvance(sample) + margins + 4;
    const auto index = static_cast<size_t>(column - 1);
    if (index < widths_.size() && widths_[index] < needed) {
        widths_[index] = needed;
        header()->resizeSection(column - 1, needed);
    }
}

int MultiColumnList::ColumnsWidth() const {
    int width = 2 * frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    for (int w : widths_) {
        width += w;
    }
    return width;
}

void MultiColumnList::Clear() {
    model_->Clear();
}

int MultiColumnList::AddItem(const QString& text) {
    return model_->Append(text);
}

int MultiColumnList::ListCount() const {
    return model_->Count();
}

int32_t MultiColumnList::ItemData(int row) const {
    return model_->Data(row);
}

void MultiColumnList::SetItemData(int row, int32_t value) {
    model_->SetData(row, value);
}

int MultiColumnList::ListIndex() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void MultiColumnList::SetListIndex(int row) {
    if (!model_->IsRow(row)) {
        selectionModel()->clearSelection();
        return;
    }
    const QModelIndex index = model_->index(row, 0);
    setCurrentIndex(index);
    scrollTo(index);
}

int16_t MultiColumnList::ItemMark(int row, int column) const {
    return model_->Marked(row, column - 1) ? 1 : 0;
}

void MultiColumnList::SetItemMark(int row, int column, bool marked) {
    model_->SetMarked(row, column - 1, marked);
}

int MultiColumnList::MarkedCount() const {
    return model_->MarkedCount(-1);
}

QString MultiColumnList::ItemText(int row, int column) const {
    return model_->Cell(row, column - 1).toString();
}

int MultiColumnList::MarkColumn() const {
    for (int c = 0; c < model_->columnCount(); ++c) {
        if (model_->Markable(c)) {
            return c;
        }
    }
    return -1;
}

void MultiColumnList::ToggleMark(int row, int column) {
    model_->SetMarked(row, column, !model_->Marked(row, column));
}

bool MultiColumnList::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        const QString text = index.isValid() ? index.data().toString() : QString();
        const QRect cell = visualRect(index);
        const int margins =
            2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
        if (!text.isEmpty() && fontMetrics().horizontalAdvance(text) + margins > cell.width()) {
            QToolTip::showText(help->globalPos(), text, viewport(), cell);
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    return QTreeView::viewportEvent(event);
}

void MultiColumnList::keyPressEvent(QKeyEvent* event) {
    const QModelIndex current = currentIndex();
    switch (event->key()) {
    case Qt::Key_Space:
        if (MarkColumn() >= 0 && current.isValid() && event->modifiers() == Qt::NoModifier) {
            ToggleMark(current.row(), MarkColumn());
            selectionModel()->select(current, QItemSelectionModel::ClearAndSelect |
                                                  QItemSelectionModel::Rows);
            event->accept();
            return;
        }
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // The row with the focus frame is the one chosen, selected or not yet.
        if (current.isValid()) {
            selectionModel()->select(current, QItemSelectionModel::ClearAndSelect |
                                                  QItemSelectionModel::Rows);
            emit ItemActivated(current.row());
            event->accept();
            return;
        }
        break;
    default:
        break;
    }
    QTreeView::keyPressEvent(event);
}

// A click anywhere in a mark cell turns the mark over, not only on the small box.
void MultiColumnList::mousePressEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index.isValid() && model_->Markable(index.column())) {
        ToggleMark(index.row(), index.column());
    }
    QTreeView::mousePressEvent(event);
}

// The second click of a quick double click on a mark cell turns the mark over again.
void MultiColumnList::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index.isValid() && model_->Markable(index.column())) {
        ToggleMark(index.row(), index.column());
        event->accept();
        return;
    }
    QTreeView::mouseDoubleClickEvent(event);
}
