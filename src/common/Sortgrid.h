#pragma once

#include "TextGrid.h"

// Sorting a range of grid rows by one column, moving whole rows. Rows outside firstRow to
// lastRow (such as a heading and a totals row) are never read or moved. The sorts order a
// two-column index grid of (row number, key) and then copy each row of the range exactly twice,
// so wide rows cost the same however many exchanges the sort makes. Rows with equal keys may
// change places.

// By text, comparing upper-cased ASCII letters and any other character by its code.
void SortGridByText(TextGrid &grid, int firstRow, int lastRow, int keyColumn, bool descending);
// By the number in the text (thousands separators allowed); a cell that is no number is 0.
void SortGridByValue(TextGrid &grid, int firstRow, int lastRow, int keyColumn, bool descending);

// The sorts the two above run on the index grid; they exchange whole rows of the grid given.
void QuickSortText(TextGrid &grid, int low, int high, int keyColumn, bool descending);
void BubbleSortText(TextGrid &grid, int low, int high, int keyColumn, bool descending);
void QuickSortValue(TextGrid &grid, int low, int high, int keyColumn, bool descending);

// The number in text after taking out the thousands separators; 0 where it is no number.
double CellValue(const QString &text);
QString RemoveThousandSeparators(QString text);
