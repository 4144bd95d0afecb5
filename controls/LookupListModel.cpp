#include "controls/LookupListModel.h"

#include <algorithm>
#include <numeric>

namespace {

QString WithoutTrailingBlanks(const QString& name) {
    qsizetype end = name.size();
    while (end > 0 && name.at(end - 1) == u' ') {
        --end;
    }
    return name.left(end);
}

} // namespace

LookupListModel::LookupListModel(QObject* parent) : QAbstractListModel(parent) {}

// Folding each code unit the way a case-insensitive comparison of two texts does, then
// comparing code units, orders exactly as that comparison; folding once per name instead
// of once per comparison is what makes sorting a hundred thousand names quick.
QString LookupListModel::SortKey(const QString& name) {
    QString key = name;
    for (QChar& c : key) {
        c = c.toCaseFolded();
    }
    return key;
}

void LookupListModel::SetItems(std::vector<Item> items) {
    std::vector<QString> keys;
    keys.reserve(items.size());
    for (const Item& item : items) {
        keys.push_back(SortKey(item.name));
    }
    std::vector<size_t> order(items.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return keys[a] < keys[b]; });
    beginResetModel();
    rows_.clear();
    rows_.reserve(items.size());
    for (size_t i : order) {
        rows_.push_back({WithoutTrailingBlanks(items[i].name), items[i].id});
    }
    endResetModel();
}

int LookupListModel::RowOfId(int32_t id) const {
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].id == id) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int LookupListModel::RowNamed(const QString& text) const {
    const QString wanted = WithoutTrailingBlanks(text);
    if (wanted.isEmpty()) {
        return -1;
    }
    int prefixed = -1;
    for (size_t i = 0; i < rows_.size(); ++i) {
        const QString& t = rows_[i].text;
        if (t.size() == wanted.size() && t.compare(wanted, Qt::CaseInsensitive) == 0) {
            return static_cast<int>(i);
        }
        if (prefixed < 0 && t.startsWith(wanted, Qt::CaseInsensitive)) {
            prefixed = static_cast<int>(i);
        }
    }
    return prefixed;
}

int LookupListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant LookupListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(rows_.size())) {
        return {};
    }
    const Row& row = rows_[static_cast<size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return row.text;
    case Qt::UserRole:
        return row.id;
    default:
        return {};
    }
}

Qt::ItemFlags LookupListModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren
                           : Qt::NoItemFlags;
}

bool LookupListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.row() >= static_cast<int>(rows_.size())) {
        return false;
    }
    Row& row = rows_[static_cast<size_t>(index.row())];
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        row.text = WithoutTrailingBlanks(value.toString());
    } else if (role == Qt::UserRole) {
        row.id = value.toInt();
    } else {
        return false;
    }
    emit dataChanged(index, index, {role});
    return true;
}

bool LookupListModel::insertRows(int row, int count, const QModelIndex& parent) {
    if (parent.isValid() || row < 0 || row > static_cast<int>(rows_.size()) || count < 1) {
        return false;
    }
    beginInsertRows(parent, row, row + count - 1);
    rows_.insert(rows_.begin() + row, static_cast<size_t>(count), Row{});
    endInsertRows();
    return true;
}

bool LookupListModel::removeRows(int row, int count, const QModelIndex& parent) {
    if (parent.isValid() || row < 0 || count < 0 || row + count > static_cast<int>(rows_.size())) {
        return false;
    }
    if (count == 0) {
        return true;
    }
    beginRemoveRows(parent, row, row + count - 1);
    rows_.erase(rows_.begin() + row, rows_.begin() + row + count);
    endRemoveRows();
    return true;
}
