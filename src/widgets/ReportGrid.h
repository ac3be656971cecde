#pragma once

#include "common/TextGrid.h"

#include <QHash>
#include <QTableWidget>

// A report listing: row 0 is the heading row, drawn as a fixed row; the last row can be a
// fixed footer (the totals). Columns are as wide as given, and wider where a cell's text
// needs it, so no figure or heading is ever cut off. Cells are text; the sorting reaches them
// through TextGrid. A display-only grid takes no focus, selects nothing, and draws column 0
// left-aligned and the others right-aligned, 3 pixels from the cell's edges, on the button-face
// colour.
class ReportGrid : public QTableWidget, public TextGrid {
    Q_OBJECT

public:
    explicit ReportGrid(QWidget *parent = nullptr);

    void setColumnWidths(const QList<int> &widths);
    void setDisplayOnly(bool displayOnly);
    // Columns drawn right-aligned (the others left).
    void setRightAligned(const QList<int> &columns) { m_rightAligned = columns; }
    // A column of long texts: it never widens for them, they are cut short with an ellipsis
    // and read whole in their tooltip; it takes the room the listing has to spare. -1: none.
    void setElidedColumn(int column) { m_elidedColumn = column; }
    // Gives the elided column the room the viewport has beyond the other columns.
    void stretchElidedColumn();
    const QList<int> &rightAligned() const { return m_rightAligned; }
    // The heading row and the totals row stay in view while the rows between them scroll: the
    // heading as the column header, the totals in a strip just under the grid (20 pixels).
    void setFixedRows(bool fixed);
    bool hasFixedRows() const { return m_fixedRows; }
    QTableWidget *footer() const { return m_footerTable; }

    int columnCount() const override { return QTableWidget::columnCount(); }
    int rowCount() const override { return QTableWidget::rowCount(); }
    QString cell(int column, int row) const override;
    void setCell(int column, int row, const QString &text) override;
    void setRowCount(int rows);
    // The cells of rows 1 and below emptied; the heading row stays. The columns go back to
    // their given widths (or their headings'), and grow again with the new cells.
    void clearDataRows();
    // The columns back to their given widths, or their headings', before every cell is written
    // anew.
    void resetColumnWidths();
    // The data rows lead somewhere: a double click or Enter on one raises rowActivated, and a
    // display-only listing then takes keyboard focus (its current row framed) so the keys
    // reach its rows too.
    void setRowsActivatable(bool activatable);

Q_SIGNALS:
    // A data row (1 and below, the totals row left out) was double-clicked or entered; column
    // is the cell's.
    void rowActivated(int row, int column);

private:
    void styleCell(QTableWidgetItem *item, int column, int row) const;
    // Raises rowActivated for a data row of an activatable grid.
    void activate(int row, int column);
    // Widens column to show the cell's text in full; columns never shrink below their widths.
    void fitColumn(int column, const QTableWidgetItem &cellItem);

    void updateFixedRows();
    void placeFooter();

    QList<int> m_baseWidths;
    QList<int> m_rightAligned;
    bool m_fixedRows = false;
    int m_elidedColumn = -1;
    bool m_activatable = false;
    QTableWidget *m_footerTable = nullptr;
    // The widths of data cells' texts in the grid's font, since the data rows were last cleared.
    QHash<QString, int> m_textWidths;
    static constexpr qsizetype maxKeptWidths = 1 << 16;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
};
