#include "TypesPage.h"

#include "common/FileNameText.h"

#include "collection/StatAccumulators.h"
#include "collection/StatusText.h"
#include "common/Sortgrid.h"
#include "reports/ChartColorTable.h"
#include "reports/ReportTables.h"
#include "widgets/Anchors.h"
#include "widgets/Chart.h"
#include "widgets/ReportGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

namespace {

struct SortRule {
    const char *text;
    int column;
    bool numeric;
    bool descending;
};

const SortRule sortRules[] = {{"Sort by &Extension", 0, false, false},
                              {"Sort by &Type", 1, false, false},
                              {"Sort by &Size", 2, true, true},
                              {"Sort by &Number of files", 3, true, true},
                              {"Sort by &Average File Size", 4, true, true}};

} // namespace

TypesPage::TypesPage(ChartColorTable &colours, QWidget *parent)
    : QWidget(parent), m_colours(colours)
{
    gridTypes = new ReportGrid(this);
    gridTypes->setGeometry(4, 4, 620, 310);
    gridTypes->setColumnWidths({80, 219, 120, 75, 82});
    gridTypes->setRightAligned({2, 3, 4});
    gridTypes->setElidedColumn(1);
    gridTypes->setRowCount(2);
    gridTypes->setFixedRows(true);
    gridTypes->setContextMenuPolicy(Qt::CustomContextMenu);

    chartPie = new Chart(this);
    chartPie->setGeometry(4, 4, 620, 330);
    chartPie->backColor = QColor(212, 208, 200);
    chartPie->view.depth = 25;
    chartPie->allowZoom = false;
    chartPie->setHint(QStringLiteral("Click on pie to toggle animation"));
    ChartSeries &pie = chartPie->addSeries(ChartSeries::Pie);
    pie.explodeBiggestPercent = 10;
    pie.otherPercent = 5;
    pie.marks.visible = true;
    pie.marks.labelAndPercent = true;
    pie.marks.format = QStringLiteral("##0.# %");
    pie.marks.frame = true;
    ScrollBar2 = new QScrollBar(Qt::Horizontal, chartPie);
    ScrollBar2->setRange(0, 360);
    ScrollBar2->setPageStep(5);
    ScrollBar2->setGeometry(620 - 164, 330 - 20, 160, 16);

    const char *views[] = {"Listing", "Pie by Size", "Pie by # Files", "Pie by Average Size"};
    int x = 8;
    for (int i = 0; i < 4; ++i) {
        rgTypes[i] = new QRadioButton(QString::fromLatin1(views[i]), this);
        rgTypes[i]->adjustSize();
        rgTypes[i]->move(x, 338);
        x += rgTypes[i]->width() + 14;
        connect(rgTypes[i], &QRadioButton::clicked, this, &TypesPage::rgTypesClick);
    }
    rgTypes[PieBySize]->setChecked(true);

    PopupMenu1 = new QMenu(this);
    for (int i = 0; i < 5; ++i) {
        sortActions[i] = PopupMenu1->addAction(QString::fromLatin1(sortRules[i].text));
        sortActions[i]->setCheckable(true);
        connect(sortActions[i], &QAction::triggered, this,
                [this, i] { SortbyExtensionClick(SortItem(i)); });
    }
    btSort = new QPushButton(QStringLiteral("&Sort"), this);
    btSort->setMenu(PopupMenu1);
    btSort->setGeometry(540, 336, 80, 22);
    // A row leads to its files: double click, Enter, or the listing's menu, which holds the
    // sorts and "Show files".
    gridTypes->setRowsActivatable(true);
    const auto showRow = [this](int row) {
        Q_EMIT showFiles(
            ListRow{ListRow::Extension, 0, fileNameOfPrintable(gridTypes->cell(0, row))});
    };
    connect(gridTypes, &ReportGrid::rowActivated, this, showRow);
    connect(gridTypes, &QWidget::customContextMenuRequested, this,
            [this, showRow](const QPoint &at) {
                const QModelIndex cell = gridTypes->indexAt(at);
                const int row = cell.isValid() ? cell.row() : gridTypes->currentRow();
                QMenu menu;
                menu.addActions(PopupMenu1->actions());
                if (row >= 1 && row < gridTypes->rowCount() - 1) {
                    menu.addSeparator();
                    connect(menu.addAction(QStringLiteral("Show &files...")), &QAction::triggered,
                            this, [showRow, row] { showRow(row); });
                }
                menu.exec(gridTypes->viewport()->mapToGlobal(at));
            });
    connect(chartPie, &Chart::clicked, this, &TypesPage::pieClicked);
    // By keys: the arrows pick a slice, Enter shows its files.
    chartPie->setPickableByKeys(true);
    connect(chartPie, &Chart::sliceActivated, this, [this](int point) {
        if (point >= 0 && point < m_pieKeys.size())
            Q_EMIT showFiles(ListRow{ListRow::Extension, 0, m_pieKeys[point]});
    });
    // A click turns the pie or stops it; the files of a slice are in its context menu.
    chartPie->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(chartPie, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        const int point = chartPie->sliceAt(at);
        if (point < 0 || point >= m_pieKeys.size())
            return;
        const QByteArray key = m_pieKeys[point];
        QMenu menu;
        connect(menu.addAction(QStringLiteral("Show &files of ") +
                               QString(chartPie->seriesAt(0).points[point].label)
                                   .replace(u'&', QStringLiteral("&&")) +
                               QStringLiteral("...")),
                &QAction::triggered, this, [this, key] {
                    Q_EMIT showFiles(ListRow{ListRow::Extension, 0, key});
                });
        menu.exec(chartPie->mapToGlobal(at));
    });
    connect(ScrollBar2, &QScrollBar::valueChanged, this, &TypesPage::ScrollBar2Change);
    // A click on a heading sorts by its column, as the Sort menu does (its tick follows).
    connect(gridTypes->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        if (column >= 0 && column < 5)
            SortbyExtensionClick(SortItem(column));
    });
    auto *anchors = new Anchors(this);
    const Qt::Edges everySide = Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge;
    anchors->pin(chartPie, everySide);
    anchors->pin(ScrollBar2, Qt::RightEdge | Qt::BottomEdge);
    for (QRadioButton *choice : rgTypes)
        anchors->pin(choice, Qt::LeftEdge | Qt::BottomEdge);
    anchors->pin(btSort, Qt::RightEdge | Qt::BottomEdge);
    lblUnlisted = new QLabel(this);
    lblUnlisted->hide();
    connect(anchors, &Anchors::grown, this, &TypesPage::placeListing);
    rgTypesClick();
}

void TypesPage::placeListing(QSize growth)
{
    const bool note = !lblUnlisted->text().isEmpty() && gridTypes->isVisibleTo(this);
    const int noteHeight = note ? 16 : 0;
    gridTypes->setGeometry(4, 4, 620 + growth.width(), 310 + growth.height() - noteHeight);
    // The totals strip stands 20 pixels under the listing; the note under it.
    lblUnlisted->setGeometry(8, gridTypes->geometry().bottom() + 1 + 20, 612 + growth.width(),
                             noteHeight);
    lblUnlisted->setVisible(note);
    gridTypes->stretchElidedColumn();
}

TypesPage::View TypesPage::view() const
{
    for (int i = 0; i < 4; ++i)
        if (rgTypes[i]->isChecked())
            return View(i);
    return Listing;
}

void TypesPage::setView(View chosen)
{
    rgTypes[chosen]->setChecked(true);
    rgTypesClick();
}

int TypesPage::checkedSortItem() const
{
    for (int i = 0; i < 5; ++i)
        if (sortActions[i]->isChecked())
            return i;
    return -1;
}

void TypesPage::doFileTypes(const StatAccumulators &stats,
                            const QHash<QByteArray, QString> &described)
{
    // Where the run counts space on disk, the listing has a sixth column of it.
    const bool onDisk = stats.options().countOnDisk;
    if ((gridTypes->columnCount() > ReportTables::onDiskColumn) != onDisk) {
        gridTypes->setColumnWidths(onDisk ? QList<int>{80, 219, 120, 75, 82, 120}
                                          : QList<int>{80, 219, 120, 75, 82});
        gridTypes->setRightAligned(onDisk ? QList<int>{2, 3, 4, 5} : QList<int>{2, 3, 4});
    }
    gridTypes->setRowCount(stats.lbTypes.rowCount() + 2);
    gridTypes->clearDataRows();
    ReportTables::writeTypeRows(*gridTypes, stats, described);
    QStringList notes{unlistedText(stats.unlistedFiles, stats.unlistedBytes),
                      ReportTables::linkedText(stats)};
    notes.removeAll(QString());
    lblUnlisted->setText(notes.join(QStringLiteral("; ")));
    // A new run's listing starts at its top, with nothing picked.
    gridTypes->clearSelection();
    gridTypes->setCurrentCell(-1, -1);
    gridTypes->scrollToTop();
    rgTypesClick();
}

void TypesPage::rgTypesClick()
{
    const View chosen = view();
    btSort->setVisible(chosen == Listing);
    Q_EMIT pieViewChosen(chosen != Listing);
    if (chosen != Listing)
        SortbyExtensionClick(SortItem(int(SortBySize) + int(chosen) - int(PieBySize)));
    gridTypes->setVisible(chosen == Listing);
    gridTypes->footer()->setVisible(chosen == Listing);
    placeListing(Anchors::forPage(this)->growth());
    chartPie->setVisible(chosen != Listing);
    if (chosen == Listing) {
        doTotals();
        return;
    }
    m_colours.initAColors(true, 0);
    ChartSeries &pie = chartPie->seriesAt(0);
    pie.clear();
    m_pieKeys.clear();
    const int column = 2 + int(chosen) - int(PieBySize);
    const int rows = std::min(12, gridTypes->rowCount() - 2);
    for (int r = 1; r <= rows; ++r) {
        const double value = CellValue(gridTypes->cell(column, r));
        if (value > 0) {
            pie.add(value, gridTypes->cell(1, r), QColor::fromRgb(m_colours.color(r)));
            m_pieKeys.append(fileNameOfPrintable(gridTypes->cell(0, r)));
        }
    }
    chartPie->update();
}

void TypesPage::SortbyExtensionClick(SortItem item)
{
    // A menu item has already toggled its own tick when this runs: the ticks are set anew
    // from the sort in force, so that at most one shows and a refused sort changes none.
    auto showTick = [this] {
        for (int i = 0; i < 5; ++i)
            sortActions[i]->setChecked(i == m_sortItem);
    };
    if (gridTypes->rowCount() < 4) {
        showTick();
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const SortRule &rule = sortRules[item];
    const int last = gridTypes->rowCount() - 2;
    if (rule.numeric)
        SortGridByValue(*gridTypes, 1, last, rule.column, rule.descending);
    else
        SortGridByText(*gridTypes, 1, last, rule.column, rule.descending);
    m_sortItem = item;
    showTick();
    QApplication::restoreOverrideCursor();
}

void TypesPage::doTotals()
{
    ReportTables::writeTypeTotals(*gridTypes);
}

void TypesPage::turnPie()
{
    if (view() == Listing || !isVisible())
        return;
    ChartSeries &pie = chartPie->seriesAt(0);
    pie.rotation = std::fmod(pie.rotation + 1, 360.0);
    chartPie->update();
    const QSignalBlocker quiet(ScrollBar2);
    ScrollBar2->setValue(int(pie.rotation));
}

void TypesPage::ScrollBar2Change(int position)
{
    chartPie->seriesAt(0).rotation = position;
    chartPie->update();
}

void TypesPage::setRunControlsEnabled(bool enabled)
{
    for (QRadioButton *choice : rgTypes)
        choice->setEnabled(enabled);
}
