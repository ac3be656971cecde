#include "Sortgrid.h"

#include "RegionalSettings.h"
#include "ScratchGrid.h"
#include "Utility.h"

#include <QStringList>

#include <algorithm>

namespace {

// Orders by the text with a to z upper-cased, then by code unit; a prefix comes first.
int compareTextKeys(const QString &a, const QString &b)
{
    auto upper = [](QChar c) {
        return c >= u'a' && c <= u'z' ? char16_t(c.unicode() - (u'a' - u'A')) : c.unicode();
    };
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i) {
        const char16_t x = upper(a[i]);
        const char16_t y = upper(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

void exchangeRows(TextGrid &grid, int p, int q)
{
    QStringList saved;
    saved.reserve(grid.columnCount());
    for (int column = 0; column < grid.columnCount(); ++column)
        saved.append(grid.cell(column, p));
    for (int column = 0; column < grid.columnCount(); ++column)
        grid.setCell(column, p, grid.cell(column, q));
    for (int column = 0; column < grid.columnCount(); ++column)
        grid.setCell(column, q, saved[column]);
}

void copyRow(const TextGrid &source, int sourceRow, TextGrid &target, int targetRow)
{
    for (int column = 0; column < source.columnCount(); ++column)
        target.setCell(column, targetRow, source.cell(column, sourceRow));
}

// Hoare partitioning around the middle row's key, taken once as a value. compare(row, pivot)
// gives the sign of row's key against the pivot.
template <typename Key, typename KeyOfRow, typename Compare, typename Recurse>
void partition(TextGrid &grid, int low, int high, bool descending, KeyOfRow keyOfRow,
               Compare compare, Recurse recurse)
{
    if (low >= high)
        return;
    int i = low;
    int j = high;
    const Key pivot = keyOfRow((low + high) / 2);
    const int before = descending ? 1 : -1;
    while (i <= j) {
        while (compare(keyOfRow(i), pivot) == before)
            ++i;
        while (compare(keyOfRow(j), pivot) == -before)
            --j;
        if (i <= j) {
            exchangeRows(grid, i, j);
            ++i;
            --j;
        }
    }
    recurse(low, j);
    recurse(i, high);
}

template <typename Sort>
void sortThroughIndexGrid(TextGrid &grid, int firstRow, int lastRow, int keyColumn, bool descending,
                          Sort sort)
{
    firstRow = std::max(firstRow, 0);
    lastRow = std::min(lastRow, grid.rowCount() - 1);
    if (lastRow < firstRow)
        return;
    ScratchGrid index(2, grid.rowCount());
    for (int row = firstRow; row <= lastRow; ++row) {
        index.setCell(0, row, QString::number(row));
        index.setCell(1, row, grid.cell(keyColumn, row));
    }
    sort(index, firstRow, lastRow, 1, descending);
    ScratchGrid sorted(grid.columnCount(), grid.rowCount());
    for (int row = firstRow; row <= lastRow; ++row)
        copyRow(grid, textToInt(index.cell(0, row)), sorted, row);
    for (int row = firstRow; row <= lastRow; ++row)
        copyRow(sorted, row, grid, row);
}

int sign(double a, double b)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}

} // namespace

void SortGridByText(TextGrid &grid, int firstRow, int lastRow, int keyColumn, bool descending)
{
    sortThroughIndexGrid(grid, firstRow, lastRow, keyColumn, descending, QuickSortText);
}

void SortGridByValue(TextGrid &grid, int firstRow, int lastRow, int keyColumn, bool descending)
{
    sortThroughIndexGrid(grid, firstRow, lastRow, keyColumn, descending, QuickSortValue);
}

void QuickSortText(TextGrid &grid, int low, int high, int keyColumn, bool descending)
{
    // Short ranges are finished by the exchange sort.
    if (high - low < 5) {
        BubbleSortText(grid, low, high, keyColumn, descending);
        return;
    }
    partition<QString>(
        grid, low, high, descending, [&](int row) { return grid.cell(keyColumn, row); },
        compareTextKeys, [&](int l, int h) { QuickSortText(grid, l, h, keyColumn, descending); });
}

void BubbleSortText(TextGrid &grid, int low, int high, int keyColumn, bool descending)
{
    const int outOfOrder = descending ? -1 : 1;
    bool exchanged = true;
    while (exchanged) {
        exchanged = false;
        for (int k = low; k < high; ++k) {
            if (compareTextKeys(grid.cell(keyColumn, k), grid.cell(keyColumn, k + 1)) ==
                outOfOrder) {
                exchangeRows(grid, k, k + 1);
                exchanged = true;
            }
        }
    }
}

void QuickSortValue(TextGrid &grid, int low, int high, int keyColumn, bool descending)
{
    partition<double>(
        grid, low, high, descending, [&](int row) { return CellValue(grid.cell(keyColumn, row)); },
        sign, [&](int l, int h) { QuickSortValue(grid, l, h, keyColumn, descending); });
}

double CellValue(const QString &text)
{
    return textToFloat(RemoveThousandSeparators(text));
}

QString RemoveThousandSeparators(QString text)
{
    const QString &separator = RegionalSettings::current().thousandSeparator;
    if (!separator.isEmpty())
        text.remove(separator);
    return text;
}
