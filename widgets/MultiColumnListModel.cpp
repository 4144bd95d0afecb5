#include "widgets/MultiColumnListModel.h"

namespace {
// Marks are kept as bits of one word per row.
constexpr int kMaxMarkColumns = 32;
} // namespace

MultiColumnListModel::MultiColumnListModel(QObject* parent) : QAbstractTableModel(parent) {}

void MultiColumnListModel::AddColumn(const QString& caption, bool markable) {
    const int column = static_cast<int>(columns_.size());
    beginInsertColumns(QModelIndex(), column, column);
    columns_.push_back({caption, markable && column < kMaxMarkColumns});
    endInsertColumns();
}

bool MultiColumnListModel::Markable(int column) const {
    return column >= 0 && column < static_cast<int>(columns_.size()) &&
           columns_[static_cast<size_t>(column)].markable;
}

void MultiColumnListModel::Clear() {
    const bool hadMarks = MarkedCount(-1) > 0;
    beginResetModel();
    rows_.clear();
    endResetModel();
    if (hadMarks) {
        emit MarksChanged();
    }
}

int MultiColumnListModel::Append(const QString& text) {
    const int row = Count();
    beginInsertRows(QModelIndex(), row, row);
    rows_.push_back({text, 0, 0});
    endInsertRows();
    return row;
}

void MultiColumnListModel::SetData(int row, int32_t value) {
    if (IsRow(row)) {
        rows_[Index(row)].data = value;
    }
}

bool MultiColumnListModel::Marked(int row, int column) const {
    return IsRow(row) && Markable(column) && ((rows_[Index(row)].marks >> column) & 1U) != 0;
}

void MultiColumnListModel::SetMarked(int row, int column, bool marked) {
    if (!IsRow(row) || !Markable(column) || Marked(row, column) == marked) {
        return;
    }
    rows_[Index(row)].marks ^= 1U << column;
    const QModelIndex cell = index(row, column);
    emit dataChanged(cell, cell, {Qt::CheckStateRole});
    emit MarksChanged();
}

// A column below 0 counts rows marked in any column.
int MultiColumnListModel::MarkedCount(int column) const {
    int count = 0;
    for (const Row& r : rows_) {
        count += column < 0 ? (r.marks != 0 ? 1 : 0) : static_cast<int>((r.marks >> column) & 1U);
    }
    return count;
}

QStringView MultiColumnListModel::Cell(int row, int column) const {
    if (!IsRow(row) || column < 0) {
        return {};
    }
    QStringView rest(rows_[Index(row)].text);
    for (int c = 0; c < column; ++c) {
        const qsizetype separator = rest.indexOf(u';');
        if (separator < 0) {
            return {};
        }
        rest = rest.mid(separator + 1);
    }
    const qsizetype end = rest.indexOf(u';');
    return end < 0 ? rest : rest.left(end);
}

int MultiColumnListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count();
}

int MultiColumnListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant MultiColumnListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !IsRow(index.row())) {
        return {};
    }
    const int column = index.column();
    if (role == Qt::DisplayRole) {
        return Cell(index.row(), column).toString();
    }
    if (role == Qt::CheckStateRole && Markable(column)) {
        return Marked(index.row(), column) ? Qt::Checked : Qt::Unchecked;
    }
    if (role == Qt::AccessibleTextRole && Markable(column)) {
        return Marked(index.row(), column) ? tr("marked") : tr("not marked");
    }
    // A screen reader says nothing at all for an empty cell, as if it were not there.
    if (role == Qt::AccessibleTextRole && Cell(index.row(), column).trimmed().isEmpty()) {
        return tr("blank");
    }
    return {};
}

QVariant MultiColumnListModel::headerData(int section, Qt::Orientation orientation,
                                          int role) const {
    if (orientation == Qt::Horizontal && section >= 0 &&
        section < static_cast<int>(columns_.size())) {
        if (role == Qt::DisplayRole) {
            return columns_[static_cast<size_t>(section)].caption;
        }
        if (role == Qt::TextAlignmentRole && Markable(section)) {
            return static_cast<int>(Qt::AlignCenter);
        }
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}
