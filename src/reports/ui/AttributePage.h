#pragma once

#include "collection/FileLists.h"

#include <QWidget>

class Chart;
class QLabel;
class StatAccumulators;

// The "Attribute" page: how many counted files are hidden, read-only, system or archive, and
// their bytes, as numbers and as shares of the four.
class AttributePage : public QWidget {
    Q_OBJECT

public:
    explicit AttributePage(QWidget *parent = nullptr);

    void doFileAttrs(const StatAccumulators &stats);
    // The attribute bit of a row (0 Hidden to 3 Archive).
    static quint32 rowAttribute(int row);

    Chart *chartFiles;
    Chart *chartSizes;
    // Rows: Hidden, Read-only, System, Archive.
    QLabel *lblFiles[4];
    QLabel *lblSizes[4];

Q_SIGNALS:
    // The files of an attribute were asked for: a click on its bar, a double click on its row
    // or the page's menu.
    void showFiles(const ListRow &row);

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    // The keys reach the rows too: up and down pick one (framed while the page has focus),
    // Enter shows its files.
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    int m_currentRow = 0;
};
