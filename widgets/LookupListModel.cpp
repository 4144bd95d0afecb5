#include "widgets/LookupListModel.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <string>
#include <string_view>

namespace {

// QChar::toCaseFolded for the first 256 code units, which are nearly all a name holds.
const std::array<char16_t, 256>& Latin1Folds() {
    static const std::array<char16_t, 256> folds = [] {
        std::array<char16_t, 256> table{};
        for (char16_t c = 0; c < 256; ++c) {
            table[c] = QChar(c).toCaseFolded().unicode();
        }
        return table;
    }();
    return folds;
}

QStringView WithoutTrailingBlanks(QStringView name) {
    qsizetype end = name.size();
    while (end > 0 && name.at(end - 1) == u' ') {
        --end;
    }
    return name.left(end);
}

} // namespace

void LookupListModel::Items::Reserve(size_t count, size_t characters) {
    entries_.reserve(count);
    Room(static_cast<qsizetype>(characters));
}

// The buffer grows by doubling and is used up to used_; what lies beyond is never read.
QChar* LookupListModel::Items::Room(qsizetype characters) {
    if (used_ + characters > text_.size()) {
        text_.resize(std::max(used_ + characters, 2 * text_.size()));
    }
    return text_.data() + used_;
}

void LookupListModel::Items::Add(QStringView name, int32_t id) {
    std::copy(name.begin(), name.end(), Room(name.size()));
    Added(used_ + name.size(), id);
}

// Decoded straight into the shared buffer: no string for the name on the way.
void LookupListModel::Items::Add(std::string_view utf8Name, int32_t id) {
    const auto bytes = static_cast<qsizetype>(utf8Name.size());
    const QChar* end = utf8_.appendToBuffer(Room(bytes), QByteArrayView(utf8Name.data(), bytes));
    Added(end - text_.constData(), id);
}

void LookupListModel::Items::Added(qsizetype end, int32_t id) {
    entries_.push_back({static_cast<uint32_t>(used_), static_cast<uint32_t>(end - used_), id});
    used_ = end;
}

LookupListModel::LookupListModel(QObject* parent) : QAbstractListModel(parent) {}

// Folding each code unit the way a case-insensitive comparison of two texts does, then
// comparing code units, orders exactly as that comparison; folding once per name instead
// of once per comparison is what makes sorting a hundred thousand names quick.
void LookupListModel::SetItems(Items items) {
    items.text_.truncate(items.used_);
    const std::array<char16_t, 256>& latin1 = Latin1Folds();
    std::u16string folded(static_cast<size_t>(items.text_.size()), u'\0');
    std::transform(items.text_.cbegin(), items.text_.cend(), folded.begin(), [&](QChar c) {
        return c.unicode() < 256 ? latin1[c.unicode()] : c.toCaseFolded().unicode();
    });
    const auto key = [&](const Row& e) {
        return std::u16string_view(folded).substr(e.offset, e.length);
    };
    std::vector<uint32_t> order(items.entries_.size());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
        return key(items.entries_[a]) < key(items.entries_[b]);
    });
    beginResetModel();
    text_ = std::move(items.text_);
    rows_.clear();
    rows_.reserve(order.size());
    for (uint32_t i : order) {
        Row row = items.entries_[i];
        row.length = static_cast<uint32_t>(
            WithoutTrailingBlanks(QStringView(text_).mid(row.offset, row.length)).size());
        rows_.push_back(row);
    }
    endResetModel();
}

QStringView LookupListModel::ViewAt(int row) const {
    const Row& r = rows_[static_cast<size_t>(row)];
    return QStringView(text_).mid(r.offset, r.length);
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
    const QStringView wanted = WithoutTrailingBlanks(text);
    if (wanted.isEmpty()) {
        return -1;
    }
    int prefixed = -1;
    for (int i = 0; i < static_cast<int>(rows_.size()); ++i) {
        const QStringView t = ViewAt(i);
        if (t.size() == wanted.size() && t.compare(wanted, Qt::CaseInsensitive) == 0) {
            return i;
        }
        if (prefixed < 0 && t.startsWith(wanted, Qt::CaseInsensitive)) {
            prefixed = i;
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
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return ViewAt(index.row()).toString();
    case Qt::UserRole:
        return rows_[static_cast<size_t>(index.row())].id;
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
        const QString name = value.toString();
        row.offset = static_cast<uint32_t>(text_.size());
        row.length = static_cast<uint32_t>(WithoutTrailingBlanks(name).size());
        text_.append(name);
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
    rows_.insert(rows_.begin() + row, static_cast<size_t>(count), Row{0, 0, 0});
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
