#include "CheckListModel.h"

int CheckListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant CheckListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return QVariant();
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return m_rows[index.row()];
    if (role == Qt::CheckStateRole)
        return m_checked[index.row()] ? Qt::Checked : Qt::Unchecked;
    return QVariant();
}

bool CheckListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::CheckStateRole || index.row() >= m_rows.size())
        return false;
    setChecked(index.row(), value.value<Qt::CheckState>() == Qt::Checked);
    return true;
}

Qt::ItemFlags CheckListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
}

void CheckListModel::clear()
{
    beginResetModel();
    m_rows.clear();
    m_checked.clear();
    endResetModel();
}

void CheckListModel::addRow(const QString &text, bool checked)
{
    const int row = int(m_rows.size());
    beginInsertRows(QModelIndex(), row, row);
    m_rows.append(text);
    m_checked.append(checked);
    endInsertRows();
}

bool CheckListModel::isChecked(int row) const
{
    return row >= 0 && row < m_checked.size() && m_checked[row];
}

void CheckListModel::setChecked(int row, bool checked)
{
    if (row == -1) {
        m_checked.fill(checked);
        if (!m_rows.isEmpty())
            Q_EMIT dataChanged(index(0), index(int(m_rows.size()) - 1), {Qt::CheckStateRole});
        return;
    }
    if (row < 0 || row >= m_checked.size() || m_checked[row] == checked)
        return;
    m_checked[row] = checked;
    Q_EMIT dataChanged(index(row), index(row), {Qt::CheckStateRole});
}

QStringList CheckListModel::checkedRows() const
{
    QStringList checked;
    for (qsizetype i = 0; i < m_rows.size(); ++i)
        if (m_checked[i])
            checked.append(m_rows[i]);
    return checked;
}
