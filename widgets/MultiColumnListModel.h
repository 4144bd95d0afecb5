#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <vector>

// The rows of a multi-column list: each row is one text holding its column values separated
// by ";", a 32-bit item data and a mark per column. A row costs its text and two integers, so
// tens of thousands of rows stay cheap; the cells are cut out of the text only when the view
// asks for them, which it does for the rows on screen.
//
// Rows and columns are numbered from 0 here, as Qt numbers them.
class MultiColumnListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit MultiColumnListModel(QObject* parent = nullptr);

    void AddColumn(const QString& caption, bool markable);
    bool Markable(int column) const;

    void Clear();
    // Appends a row and returns its number.
    int Append(const QString& text);
    int Count() const { return static_cast<int>(rows_.size()); }
    bool IsRow(int row) const { return row >= 0 && row < Count(); }

    int32_t Data(int row) const { return IsRow(row) ? rows_[Index(row)].data : 0; }
    void SetData(int row, int32_t value);
    bool Marked(int row, int column) const;
    void SetMarked(int row, int column, bool marked);
    int MarkedCount(int column) const;
    // The value of a column: the text between its separators, empty past the last one.
    QStringView Cell(int row, int column) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    void MarksChanged();

private:
    struct Column {
        QString caption;
        bool markable = false;
    };
    struct Row {
        QString text;
        int32_t data = 0;
        uint32_t marks = 0; // bit c: marked in column c
    };
    static size_t Index(int row) { return static_cast<size_t>(row); }

    std::vector<Column> columns_;
    std::vector<Row> rows_;
};
