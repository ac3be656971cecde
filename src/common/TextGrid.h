#pragma once

#include <QString>

// A table of text cells addressed (column, row) from 0: what the grid sorting needs of a grid.
class TextGrid {
public:
    virtual ~TextGrid() = default;
    virtual int columnCount() const = 0;
    virtual int rowCount() const = 0;
    virtual QString cell(int column, int row) const = 0;
    virtual void setCell(int column, int row, const QString &text) = 0;
};
