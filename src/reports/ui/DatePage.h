#pragma once

#include "BandPage.h"

class ChartColorTable;
class StatAccumulators;

// One of the "Access", "Created" and "Modified" pages: ten age bands of one time stamp.
class DatePage : public BandPage {
    Q_OBJECT

public:
    // stamp: 0 accessed, 1 created, 2 modified; the page is named after it.
    DatePage(int stamp, const QString &infoText, ChartColorTable &colours,
             QWidget *parent = nullptr);

    // The listing of the page's stamp, under its heading ("Accessed Date").
    void fillGridDates(const StatAccumulators &stats);
    // The chart, by size in MB or by number as the page's own choice says.
    void rebuildChart(const StatAccumulators &stats);

    static QStringList bandLabels();

protected:
    std::optional<ListRow> rowAt(int gridRow, int column) const override;
    QList<ListRow> chartRows(int category) const override;

private:
    ListRow::Kind stamp() const;

    int m_stamp;
    QString m_name;
    ChartColorTable &m_colours;
};
