#pragma once

#include <QAbstractListModel>
#include <QString>
#include <QStringDecoder>
#include <QStringView>

#include <cstdint>
#include <string_view>
#include <vector>

// The entries of a drop-down list of records: a name with the record's id (Qt::UserRole).
// Trailing blanks of a name take part in its order but are not shown. The names share one
// buffer, so a list of a hundred thousand customers fills without a string per name.
class LookupListModel : public QAbstractListModel {
    Q_OBJECT

public:
    // Names with their ids, collected for SetItems.
    class Items {
    public:
        void Reserve(size_t count, size_t characters);
        void Add(QStringView name, int32_t id);
        void Add(std::string_view utf8Name, int32_t id);
        size_t Count() const { return entries_.size(); }

    private:
        friend class LookupListModel;
        struct Entry {
            uint32_t offset;
            uint32_t length;
            int32_t id;
        };
        QChar* Room(qsizetype characters);
        void Added(qsizetype end, int32_t id);

        QString text_;
        qsizetype used_ = 0;
        std::vector<Entry> entries_;
        QStringDecoder utf8_{QStringDecoder::Utf8};
    };

    explicit LookupListModel(QObject* parent = nullptr);

    // Replaces every entry in one reset: ascending by name without regard to case, equal
    // names in the order added, which is what adding them one by one to a sorted list gives.
    void SetItems(Items items);

    // The first row carrying the id, or -1.
    int RowOfId(int32_t id) const;
    // The first row whose text is the given text, else the first that begins with it, both
    // without regard to case; -1 for an empty text or no such row.
    int RowNamed(const QString& text) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // So the list's own insert, remove and clear work as on any list.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    bool insertRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;

private:
    using Row = Items::Entry; // the shown text: trailing blanks left out
    QStringView ViewAt(int row) const;

    QString text_;
    std::vector<Row> rows_;
};
