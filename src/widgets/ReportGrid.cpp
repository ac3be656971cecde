#include "ReportGrid.h"

#include <QHeaderView>

ReportGrid::ReportGrid(QWidget *parent) : QTableWidget(parent)
{
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(19);
    verticalHeader()->setMinimumSectionSize(12);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    // The listings were laid out for a small sans face; the column widths assume it.
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);
}

void ReportGrid::setColumnWidths(const QList<int> &widths)
{
    QTableWidget::setColumnCount(int(widths.size()));
    for (int c = 0; c < widths.size(); ++c)
        setColumnWidth(c, widths[c]);
}

void ReportGrid::setDisplayOnly(bool displayOnly)
{
    setSelectionMode(displayOnly ? QAbstractItemView::NoSelection
                                 : QAbstractItemView::SingleSelection);
    setFocusPolicy(displayOnly ? Qt::NoFocus : Qt::StrongFocus);
    setShowGrid(!displayOnly);
    if (displayOnly) {
        QPalette colours = palette();
        colours.setColor(QPalette::Base, colours.color(QPalette::Button));
        setPalette(colours);
        setStyleSheet(QStringLiteral("QTableWidget::item { border-bottom: 1px solid #a0a0a0; "
                                     "padding-left: 3px; padding-right: 3px; }"));
    }
}

void ReportGrid::styleCell(QTableWidgetItem *item, int column, int row) const
{
    const bool right = m_rightAligned.contains(column);
    item->setTextAlignment(Qt::AlignVCenter | (right ? Qt::AlignRight : Qt::AlignLeft));
    const bool fixed = row == 0 || (m_footer && row == rowCount() - 1);
    QFont font = this->font();
    font.setBold(fixed);
    item->setFont(font);
    item->setBackground(fixed ? palette().color(QPalette::Button).darker(110) : QBrush());
    item->setFlags(fixed ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
}

QString ReportGrid::cell(int column, int row) const
{
    const QTableWidgetItem *cellItem = item(row, column);
    return cellItem ? cellItem->text() : QString();
}

void ReportGrid::setCell(int column, int row, const QString &text)
{
    QTableWidgetItem *cellItem = item(row, column);
    if (!cellItem) {
        cellItem = new QTableWidgetItem;
        setItem(row, column, cellItem);
    }
    cellItem->setText(text);
    styleCell(cellItem, column, row);
}

void ReportGrid::setRowCount(int rows)
{
    QTableWidget::setRowCount(rows);
    // The footer row moves; every row's look follows its place.
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columnCount(); ++c)
            if (QTableWidgetItem *cellItem = item(r, c))
                styleCell(cellItem, c, r);
}

void ReportGrid::clearDataRows()
{
    for (int r = 1; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c)
            setCell(c, r, QString());
}
