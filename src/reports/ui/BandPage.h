#pragma once

#include "collection/FileLists.h"
#include "reports/TextTable.h"

#include <QWidget>

class Chart;
class QRadioButton;
class QToolButton;
class ReportGrid;

// A page of bands (file sizes or ages): a display-only listing, or a bar chart of the bands by
// total size in MB or by number of files, chosen with three radio buttons under the page.
class BandPage : public QWidget {
    Q_OBJECT

public:
    // columnWidths: the listing's columns; infoText: the note of the page's information
    // button, none when empty.
    BandPage(const QList<int> &columnWidths, int rows, const QString &infoText,
             QWidget *parent = nullptr);

    // A horizontal bar series with gradient fill whose marks give each bar's share ("##0.# %").
    static void addShareBars(Chart &chart);

    bool listingChosen() const;
    bool chartBySize() const;
    // Shows the listing or the chart, as chosen.
    void showChosenView();
    void setRunControlsEnabled(bool enabled);

    ReportGrid *grid;
    Chart *chart;
    QRadioButton *rbListing;
    QRadioButton *rbBySize;
    QRadioButton *rbByCount;
    QToolButton *btInfo = nullptr;

Q_SIGNALS:
    // A radio button was clicked; the page's view should be applied (and charts rebuilt).
    void viewClicked();
    // The files behind a row of the listing were asked for.
    void showFiles(const ListRow &row);

protected:
    // Sizes the listing to its columns, within the page; when they are wider than the page, a
    // scroll bar under the last row reaches the rest. Called after the cells are written.
    void placeGrid();
    // Writes table into the listing, the space on disk in a fourth column where it has one.
    void fillGrid(const TextTable &table);
    void chooseLegendFormat();
    // The row behind a cell of the listing; the row's kind is SizeBand, an age or nothing.
    virtual std::optional<ListRow> rowAt(int gridRow, int column) const = 0;
    // The rows behind a bar of the chart: one, or one per stamp side by side.
    virtual QList<ListRow> chartRows(int category) const = 0;
};
