#include "tools/substancegridmodel.h"

#include <algorithm>
#include <numeric>

namespace {
const char *const kHeaders[SubstanceDatabase::kFieldCount] = {"NOM", "CE", "CAS", "INDEX"};
const QString kLineBreak = QStringLiteral("\r\n");
} // namespace

SubstanceGridModel::SubstanceGridModel(const SubstanceDatabase *database, QObject *parent)
    : QAbstractTableModel(parent)
    , m_database(database)
{
}

int SubstanceGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : shownCount() + kSpareRows;
}

int SubstanceGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : SubstanceDatabase::kFieldCount;
}

QVariant SubstanceGridModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    const int record = recordAt(index.row());
    if (record < 0 || index.column() < 0 || index.column() >= SubstanceDatabase::kFieldCount)
        return {};
    return m_database->field(SubstanceDatabase::Field(index.column())).at(record);
}

QVariant SubstanceGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0
        && section < SubstanceDatabase::kFieldCount)
        return QString::fromLatin1(kHeaders[section]);
    return QAbstractTableModel::headerData(section, orientation, role);
}

void SubstanceGridModel::setRecords(const QList<int> &records)
{
    beginResetModel();
    m_records = records;
    endResetModel();
}

void SubstanceGridModel::showAll()
{
    QList<int> all(m_database->count());
    std::iota(all.begin(), all.end(), 0);
    setRecords(all);
}

int SubstanceGridModel::recordAt(int row) const
{
    if (row < 0 || row >= shownCount())
        return -1;
    const int record = m_records.at(row);
    return record < m_database->count() ? record : -1;
}

SubstanceDatabase::Record SubstanceGridModel::cells(int row) const
{
    const int record = recordAt(row);
    return record < 0 ? SubstanceDatabase::Record() : m_database->record(record);
}

QString SubstanceGridModel::rowText(int row) const
{
    const SubstanceDatabase::Record r = cells(row);
    return r.nom + kLineBreak + r.ce + kLineBreak + r.cas + kLineBreak + r.index + kLineBreak;
}

void SubstanceGridModel::sortByColumn(int column, bool ascending)
{
    if (column < 0 || column >= SubstanceDatabase::kFieldCount || m_records.size() < 2)
        return;
    QStringList keys;
    keys.reserve(m_records.size());
    for (int row = 0; row < shownCount(); ++row)
        keys.append(cells(row).field(SubstanceDatabase::Field(column)) + rowText(row));
    QList<int> order = SubstanceDatabase::sortedOrder(keys, ascending ? Qt::CaseInsensitive : Qt::CaseSensitive);
    if (!ascending)
        std::reverse(order.begin(), order.end());
    QList<int> sorted;
    sorted.reserve(order.size());
    for (int i : order)
        sorted.append(m_records.at(i));
    Q_EMIT layoutAboutToBeChanged();
    m_records = sorted;
    Q_EMIT layoutChanged();
}
