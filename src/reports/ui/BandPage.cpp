#include "BandPage.h"

#include "common/Utility.h"
#include "reports/FileListPages.h"
#include "widgets/Anchors.h"
#include "widgets/Chart.h"
#include "widgets/ReportGrid.h"

#include <QMenu>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>

void BandPage::fillGrid(const TextTable &table)
{
    const int columns = int(table.headings.size());
    if (grid->columnCount() != columns) {
        QList<int> widths{194, 189, 140, 140};
        grid->setColumnWidths(widths.mid(0, columns));
    }
    grid->resetColumnWidths();
    for (int c = 0; c < columns; ++c) {
        grid->setCell(c, 0, table.headings[c]);
        for (int r = 0; r < table.rows.size() && r + 1 < grid->rowCount(); ++r)
            grid->setCell(c, r + 1, table.rows[r].value(c));
    }
    placeGrid();
}

BandPage::BandPage(const QList<int> &columnWidths, int rows, const QString &infoText,
                   QWidget *parent)
    : QWidget(parent)
{
    grid = new ReportGrid(this);
    grid->setColumnWidths(columnWidths);
    grid->setRightAligned({1, 2, 3, 4, 5, 6});
    grid->setDisplayOnly(true);
    grid->setRowCount(rows);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    placeGrid();
    grid->setRowsActivatable(true);
    connect(grid, &ReportGrid::rowActivated, this, [this](int row, int column) {
        if (const std::optional<ListRow> listed = rowAt(row, column))
            Q_EMIT showFiles(*listed);
    });
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        const QModelIndex cell = grid->indexAt(at);
        const int row = cell.isValid() ? cell.row() : grid->currentRow();
        const int column = cell.isValid() ? cell.column() : grid->currentColumn();
        const std::optional<ListRow> listed = row >= 1 ? rowAt(row, column) : std::nullopt;
        if (!listed)
            return;
        QMenu menu;
        connect(menu.addAction(QStringLiteral("Show &files...")), &QAction::triggered, this,
                [this, listed] { Q_EMIT showFiles(*listed); });
        menu.exec(grid->viewport()->mapToGlobal(at));
    });

    chart = new Chart(this);
    // A click on a bar leads to its files; where a bar stands for several rows, a menu asks.
    connect(chart, &Chart::categoryClicked, this, [this](int category) {
        const QList<ListRow> behind = chartRows(category);
        if (behind.size() == 1) {
            Q_EMIT showFiles(behind.first());
            return;
        }
        QMenu menu;
        for (const ListRow &row : behind)
            connect(menu.addAction(FileListPages::menuText(row) + QStringLiteral(" files...")),
                    &QAction::triggered, this, [this, row] { Q_EMIT showFiles(row); });
        menu.exec(chart->menuPosition());
    });
    chart->setGeometry(4, 4, 620, 326);
    chart->setPickableByKeys(true);
    chart->backColor = QColor(212, 208, 200);
    chart->legendStyle = LegendStyle::Values;
    chart->view.depth = 15;
    chart->bottomAxis.format = QStringLiteral("#,##0.##");

    rbListing = new QRadioButton(QStringLiteral("Listing"), this);
    rbBySize = new QRadioButton(QStringLiteral("Chart by Size (in MB)"), this);
    rbByCount = new QRadioButton(QStringLiteral("Chart by Number of Files"), this);
    rbBySize->setChecked(true);
    int x = 10;
    for (QRadioButton *choice : {rbListing, rbBySize, rbByCount}) {
        choice->adjustSize();
        choice->move(x, 338);
        x += choice->width() + 16;
        connect(choice, &QRadioButton::clicked, this, &BandPage::viewClicked);
    }
    if (!infoText.isEmpty()) {
        btInfo = new QToolButton(this);
        btInfo->setIcon(style()->standardIcon(QStyle::SP_MessageBoxInformation));
        btInfo->setGeometry(x + 10, 336, 24, 22);
        connect(btInfo, &QToolButton::clicked, this, [infoText] { showInfo(infoText); });
    }
    auto *anchors = new Anchors(this);
    anchors->pin(chart, Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge);
    for (QRadioButton *choice : {rbListing, rbBySize, rbByCount})
        anchors->pin(choice, Qt::LeftEdge | Qt::BottomEdge);
    if (btInfo)
        anchors->pin(btInfo, Qt::LeftEdge | Qt::BottomEdge);
    connect(anchors, &Anchors::grown, this, &BandPage::placeGrid);
    showChosenView();
}

void BandPage::addShareBars(Chart &target)
{
    ChartSeries &bars = target.addSeries(ChartSeries::HorizontalBar);
    bars.gradient = true;
    bars.marks.visible = true;
    bars.marks.percentOfTotal = true;
    bars.marks.format = QStringLiteral("##0.# %");
    bars.marks.backColor = QColor(255, 255, 225);
}

void BandPage::placeGrid()
{
    // The listing is as wide as its columns, up to the page's width, and never taller than
    // its rows: a grown window shows the same listing with room to spare.
    const Anchors *anchors = Anchors::forPage(this);
    const int pageWidth = 624 + (anchors ? anchors->growth().width() : 0);
    int width = 2 * grid->frameWidth();
    for (int c = 0; c < grid->columnCount(); ++c)
        width += grid->columnWidth(c);
    int height = grid->rowCount() * 19 + 2 * grid->frameWidth();
    if (width > pageWidth)
        height += grid->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    grid->setGeometry(4, 8, std::min(width, pageWidth), height);
}

bool BandPage::listingChosen() const
{
    return rbListing->isChecked();
}

bool BandPage::chartBySize() const
{
    return rbBySize->isChecked();
}

void BandPage::chooseLegendFormat()
{
    // Every value of the legend written alike: megabytes to two places, files whole.
    chart->legendFormat = chartBySize() ? QStringLiteral("#,##0.00") : QStringLiteral("#,##0");
}

void BandPage::showChosenView()
{
    grid->setVisible(listingChosen());
    chart->setVisible(!listingChosen());
}

void BandPage::setRunControlsEnabled(bool enabled)
{
    for (QRadioButton *choice : {rbListing, rbBySize, rbByCount})
        choice->setEnabled(enabled);
}
