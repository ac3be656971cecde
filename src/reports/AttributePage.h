#pragma once

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

    Chart *chartFiles;
    Chart *chartSizes;
    // Rows: Hidden, Read-only, System, Archive.
    QLabel *lblFiles[4];
    QLabel *lblSizes[4];
};
