#include "ReportGrid.h"

#include "ListingDelegate.h"
#include "MenuKey.h"

#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>

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
    // Tab leaves the listing for the next control; the arrows move within it.
    setTabKeyNavigation(false);
    connect(this, &QTableWidget::cellDoubleClicked, this, &ReportGrid::activate);
}

void ReportGrid::focusInEvent(QFocusEvent *event)
{
    // Entered by keys, the first data row is current at once: the focus frame shows where the
    // keys will act before any arrow is pressed.
    if (m_activatable && currentRow() < 1 && rowCount() > 1)
        setCurrentCell(1, 0);
    QTableWidget::focusInEvent(event);
}

void ReportGrid::activate(int row, int column)
{
    const bool dataRow = row >= 1 && !(m_fixedRows && row == rowCount() - 1);
    if (m_activatable && dataRow)
        Q_EMIT rowActivated(row, column);
}

void ReportGrid::setRowsActivatable(bool activatable)
{
    m_activatable = activatable;
    if (activatable)
        setFocusPolicy(Qt::StrongFocus);
}

void ReportGrid::keyPressEvent(QKeyEvent *event)
{
    // The menu keys open the row's context menu, at the row.
    if (isMenuKey(event) && contextMenuPolicy() == Qt::CustomContextMenu && currentRow() >= 1) {
        const QRect row = visualRect(model()->index(currentRow(), std::max(currentColumn(), 0)));
        Q_EMIT customContextMenuRequested(row.center());
        return;
    }
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (m_activatable && enter && currentRow() >= 1) {
        activate(currentRow(), std::max(currentColumn(), 0));
        return;
    }
    QTableWidget::keyPressEvent(event);
}

void ReportGrid::setColumnWidths(const QList<int> &widths)
{
    m_baseWidths = widths;
    QTableWidget::setColumnCount(int(widths.size()));
    for (int c = 0; c < widths.size(); ++c)
        setColumnWidth(c, widths[c]);
    if (m_footerTable) {
        m_footerTable->setColumnCount(int(widths.size()));
        for (int c = 0; c < widths.size(); ++c)
            m_footerTable->setColumnWidth(c, widths[c]);
    }
}

void ReportGrid::setFixedRows(bool fixed)
{
    m_fixedRows = fixed;
    horizontalHeader()->setVisible(fixed);
    if (fixed && !m_footerTable) {
        // The strip stands under the grid, in the grid's parent; the page places it.
        m_footerTable = new QTableWidget(1, columnCount(), parentWidget());
        m_footerTable->horizontalHeader()->hide();
        m_footerTable->verticalHeader()->hide();
        m_footerTable->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_footerTable->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_footerTable->setFrameStyle(QFrame::NoFrame);
        m_footerTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
        m_footerTable->setSelectionMode(QAbstractItemView::NoSelection);
        m_footerTable->setFocusPolicy(Qt::NoFocus);
        m_footerTable->verticalHeader()->setDefaultSectionSize(19);
        m_footerTable->setFont(font());
        for (int c = 0; c < columnCount(); ++c)
            m_footerTable->setColumnWidth(c, columnWidth(c));
        connect(
            horizontalHeader(), &QHeaderView::sectionResized, m_footerTable,
            [this](int column, int, int width) { m_footerTable->setColumnWidth(column, width); });
        // The totals stay under their columns when the listing scrolls sideways.
        connect(horizontalScrollBar(), &QScrollBar::valueChanged, m_footerTable, [this](int value) {
            // Its columns are the listing's, so its range is too (its own may not be laid out
            // yet).
            QScrollBar *footerBar = m_footerTable->horizontalScrollBar();
            footerBar->setRange(0, horizontalScrollBar()->maximum());
            footerBar->setValue(value);
        });
        placeFooter();
    }
    updateFixedRows();
}

void ReportGrid::placeFooter()
{
    if (!m_footerTable)
        return;
    const QRect area = geometry();
    m_footerTable->setGeometry(area.left() + frameWidth(), area.bottom() + 1, viewport()->width(),
                               20);
}

void ReportGrid::changeEvent(QEvent *event)
{
    QTableWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        m_textWidths.clear();
    // The shade of the fixed rows follows the colours the grid is given.
    if (event->type() == QEvent::PaletteChange)
        for (int r = 0; r < rowCount(); ++r)
            for (int c = 0; c < columnCount(); ++c)
                if (QTableWidgetItem *cellItem = item(r, c))
                    styleCell(cellItem, c, r);
}

void ReportGrid::resizeEvent(QResizeEvent *event)
{
    QTableWidget::resizeEvent(event);
    placeFooter();
}

void ReportGrid::moveEvent(QMoveEvent *event)
{
    QTableWidget::moveEvent(event);
    placeFooter();
}

void ReportGrid::updateFixedRows()
{
    const int rows = rowCount();
    for (int r = 0; r < rows; ++r)
        setRowHidden(r, m_fixedRows && (r == 0 || r == rows - 1));
    if (!m_fixedRows)
        return;
    for (int c = 0; c < columnCount(); ++c) {
        const Qt::Alignment alignment =
            Qt::AlignVCenter | (m_rightAligned.contains(c) ? Qt::AlignRight : Qt::AlignLeft);
        auto *heading = new QTableWidgetItem(cell(c, 0));
        heading->setTextAlignment(alignment);
        setHorizontalHeaderItem(c, heading);
        auto *total = new QTableWidgetItem(rows > 1 ? cell(c, rows - 1) : QString());
        total->setTextAlignment(alignment);
        QFont bold = font();
        bold.setBold(true);
        total->setFont(bold);
        m_footerTable->setItem(0, c, total);
    }
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
        setItemDelegate(new ListingDelegate(this));
    }
}

void ReportGrid::styleCell(QTableWidgetItem *item, int column, int row) const
{
    // A data row's cell holds only what differs from the grid's own look (a listing may have
    // tens of thousands of rows: a font and a brush in every cell would cost more than the
    // figures); headings and totals hold theirs.
    const bool right = m_rightAligned.contains(column);
    if (right || item->data(Qt::TextAlignmentRole).isValid())
        item->setTextAlignment(Qt::AlignVCenter | (right ? Qt::AlignRight : Qt::AlignLeft));
    const bool fixed = row == 0 || (m_fixedRows && row == rowCount() - 1);
    item->setFlags(fixed ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (!fixed) {
        for (const int role : {int(Qt::FontRole), int(Qt::BackgroundRole)})
            if (item->data(role).isValid())
                item->setData(role, QVariant());
        return;
    }
    QFont font = this->font();
    font.setBold(true);
    item->setFont(font);
    // Headings and totals a shade darker than the face; on white (a printed picture), white.
    // The colours are the cell's own, as a style sheet does not follow later palette changes.
    const QColor face = palette().color(QPalette::Button);
    item->setBackground(face == Qt::white ? face : face.darker(110));
}

QString ReportGrid::cell(int column, int row) const
{
    const QTableWidgetItem *cellItem = item(row, column);
    return cellItem ? cellItem->text() : QString();
}

void ReportGrid::setCell(int column, int row, const QString &text)
{
    // A new cell is given its look before it joins the table, which then tells its views once.
    QTableWidgetItem *cellItem = item(row, column);
    const bool fresh = !cellItem;
    if (fresh)
        cellItem = new QTableWidgetItem;
    cellItem->setText(text);
    if (column == m_elidedColumn)
        cellItem->setToolTip(text);
    styleCell(cellItem, column, row);
    if (fresh)
        setItem(row, column, cellItem);
    fitColumn(column, *cellItem);
    if (m_fixedRows && (row == 0 || row == rowCount() - 1)) {
        QTableWidgetItem *shown =
            row == 0 ? horizontalHeaderItem(column) : m_footerTable->item(0, column);
        if (shown)
            shown->setText(text);
    }
}

void ReportGrid::setRowCount(int rows)
{
    QTableWidget::setRowCount(rows);
    // The footer row moves; every row's look follows its place.
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columnCount(); ++c)
            if (QTableWidgetItem *cellItem = item(r, c))
                styleCell(cellItem, c, r);
    updateFixedRows();
}

void ReportGrid::resetColumnWidths()
{
    for (int c = 0; c < columnCount() && c < m_baseWidths.size(); ++c)
        setColumnWidth(c, m_baseWidths[c]);
    for (int c = 0; c < columnCount(); ++c)
        if (const QTableWidgetItem *heading = item(0, c))
            fitColumn(c, *heading);
}

void ReportGrid::clearDataRows()
{
    resetColumnWidths();
    m_textWidths.clear();
    for (int r = 1; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c)
            if (item(r, c))
                setCell(c, r, QString());
}

void ReportGrid::stretchElidedColumn()
{
    if (m_elidedColumn < 0 || m_elidedColumn >= columnCount())
        return;
    int others = 0;
    for (int c = 0; c < columnCount(); ++c)
        if (c != m_elidedColumn)
            others += columnWidth(c);
    const int base = m_elidedColumn < m_baseWidths.size() ? m_baseWidths[m_elidedColumn] : 100;
    setColumnWidth(m_elidedColumn, std::max(base, viewport()->width() - others));
}

void ReportGrid::fitColumn(int column, const QTableWidgetItem &cellItem)
{
    if (column == m_elidedColumn)
        return;
    // Shaping a text is what a listing's cells cost most: the widths of the texts in the grid's
    // own font are kept, as sorting writes the same texts again in other rows.
    const QString text = cellItem.text();
    const QVariant ownFont = cellItem.data(Qt::FontRole);
    int width = 0;
    if (ownFont.isValid()) {
        width = QFontMetrics(ownFont.value<QFont>()).horizontalAdvance(text);
    } else if (const auto known = m_textWidths.constFind(text); known != m_textWidths.cend()) {
        width = *known;
    } else {
        width = QFontMetrics(font()).horizontalAdvance(text);
        if (m_textWidths.size() >= maxKeptWidths)
            m_textWidths.clear();
        m_textWidths.insert(text, width);
    }
    // The text, the padding of 3 pixels each side and a margin for the style's frame.
    const int needed = width + 20;
    if (needed > columnWidth(column))
        setColumnWidth(column, needed);
}
