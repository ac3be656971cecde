#include "ScratchGrid.h"

ScratchGrid::ScratchGrid(int columns, int rows)
    : m_columns(columns), m_rows(size_t(rows), QStringList(columns))
{
}

QString ScratchGrid::cell(int column, int row) const
{
    return m_rows[size_t(row)][column];
}

void ScratchGrid::setCell(int column, int row, const QString &text)
{
    m_rows[size_t(row)][column] = text;
}
