#pragma once

#include <QAbstractListModel>
#include <QString>

#include <cstdint>
#include <vector>

// The entries of a drop-down list of records: a name with the record's id (Qt::UserRole).
// Trailing blanks of a name take part in its order but are not shown.
class LookupListModel : public QAbstractListModel {
    Q_OBJECT

public:
    struct Item {
        QString name;
        int32_t id = 0;
    };

    explicit LookupListModel(QObject* parent = nullptr);

    // Replaces every entry in one reset: ascending by name without regard to case, equal
    // names in the order given, which is what adding them one by one to a sorted list gives.
    void SetItems(std::vector<Item> items);

    int32_t IdAt(int row) const { return rows_[static_cast<size_t>(row)].id; }
    QString TextAt(int row) const { return rows_[static_cast<size_t>(row)].text; }
    // The first row carrying the id, or -1.
    int RowOfId(int32_t id) const;
    // The first row whose text is the given text, else the first that begins with it, both
    // without regard to case; -1 for an empty text or no such row.
    int RowNamed(const QString& text) const;

    // The case-folded form by which names are ordered.
    static QString SortKey(const QString& name);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // So the list's own insert, remove and clear work as on any list.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    bool insertRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;

private:
    struct Row {
        QString text; // the name without trailing blanks
        int32_t id = 0;
    };
    std::vector<Row> rows_;
};
