#pragma once

#include "tools/substancedatabase.h"

#include <QAbstractTableModel>
#include <QList>

// What the database window's grid shows: the displayed records (indexes into
// the database's lists, so no cell is copied), followed by 10 empty rows. The
// header row "NOM", "CE", "CAS", "INDEX" is the view's horizontal header, so
// grid row r (1 = first record) is model row r - 1.
class SubstanceGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int kSpareRows = 10;

    explicit SubstanceGridModel(const SubstanceDatabase *database, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Shows these records, in this order (an empty list blanks the grid).
    void setRecords(const QList<int> &records);
    void showAll();
    const QList<int> &records() const { return m_records; }
    int shownCount() const { return int(m_records.size()); }

    // The record shown in model row `row`, -1 for a spare row.
    int recordAt(int row) const;
    // The four cells of model row `row` (empty for a spare row).
    SubstanceDatabase::Record cells(int row) const;
    // The row's text: each cell followed by a line break.
    QString rowText(int row) const;

    // Sorts the shown records by `column`: the key of a row is its cell
    // followed by its row text. Ascending compares case-insensitively in the
    // user's locale; descending compares case-sensitively, reversed.
    void sortByColumn(int column, bool ascending);

private:
    const SubstanceDatabase *m_database;
    QList<int> m_records;
};
