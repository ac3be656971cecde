#pragma once

#include "TextGrid.h"

#include <QStringList>

#include <vector>

// A text grid that is never shown: the sorting's working copies.
class ScratchGrid final : public TextGrid {
public:
    ScratchGrid(int columns, int rows);

    int columnCount() const override { return m_columns; }
    int rowCount() const override { return int(m_rows.size()); }
    QString cell(int column, int row) const override;
    void setCell(int column, int row, const QString &text) override;

private:
    int m_columns;
    std::vector<QStringList> m_rows;
};
