#pragma once

#include "collection/FileLists.h"

#include <QHash>
#include <QWidget>

class Chart;
class ChartColorTable;
class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;
class QScrollBar;
class ReportGrid;
class StatAccumulators;

// The "Types" page: the counted files by extension as a listing with totals and a sort menu,
// or as a turning pie of the twelve largest by size, number or average size.
class TypesPage : public QWidget {
    Q_OBJECT

public:
    enum View { Listing, PieBySize, PieByFiles, PieByAverage };
    enum SortItem { SortByExtension, SortByType, SortBySize, SortByFiles, SortByAverage };

    TypesPage(ChartColorTable &colours, QWidget *parent = nullptr);

    // Rebuilds the listing from the extension table (seeding the chosen types in include
    // mode), then applies the view.
    // described: descriptions that replace the register's for some extension keys (those
    // the run's files decided).
    void doFileTypes(const StatAccumulators &stats,
                     const QHash<QByteArray, QString> &described = {});
    void rgTypesClick();
    void SortbyExtensionClick(SortItem item);
    void doTotals();
    // One tick of the pie rotation: a degree further, while a pie is on show.
    void turnPie();
    void ScrollBar2Change(int position);
    void setRunControlsEnabled(bool enabled);
    View view() const;
    void setView(View view);
    // The sort item that carries the check mark, or -1.
    int checkedSortItem() const;

    ReportGrid *gridTypes;
    // Under the totals: how many files have extensions too long for a row, when any have.
    QLabel *lblUnlisted;
    Chart *chartPie;
    QScrollBar *ScrollBar2;
    QPushButton *btSort;
    QMenu *PopupMenu1;
    QAction *sortActions[5];
    QRadioButton *rgTypes[4];

Q_SIGNALS:
    void pieClicked();
    // A pie view was chosen (true) or the listing (false): the window's rotation timer follows.
    void pieViewChosen(bool pie);
    // The files behind a row of the listing were asked for.
    void showFiles(const ListRow &row);

private:
    // The listing fills the page above the choices, less the line under the totals when it
    // shows; growth is how much larger than designed the page is.
    void placeListing(QSize growth);

    ChartColorTable &m_colours;
    int m_sortItem = -1;         // the sort in force, -1 before the first
    QList<QByteArray> m_pieKeys; // the extension of each point of the pie
};
