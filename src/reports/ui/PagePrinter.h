#pragma once

#include <QString>

class Chart;
class QPrinter;
class QWidget;
class TextGrid;

// What "Print page" hands to the printer: a listing over as many pages as it needs, a chart
// scaled to the page, or a picture of a window at its on-screen size. Every printed page has
// the same frame: the title at the top centre, the date top left, the time top right, and
// "Page" and the number bottom left.
namespace PagePrinter {

// The grid with title at the top centre, the date top left, the time top right and "Page" and
// the number bottom left; the table centred, without rules, its last row (the totals) after
// the others. Each column is at least as wide as given and as wide as its widest cell.
// Returns the number of pages printed.
int printGrid(QPrinter &printer, const TextGrid &grid, const QString &title,
              const QList<int> &partWidths, const QList<int> &rightAligned);
// The chart as large as the page allows inside the frame, keeping its proportions.
void printChart(QPrinter &printer, const Chart &chart, const QString &title);
// The widget's picture inside the frame, scaled from 96 dots per inch to the printer's
// resolution (smaller where it would not fit).
void printPicture(QPrinter &printer, QWidget &widget, const QString &title);

} // namespace PagePrinter
