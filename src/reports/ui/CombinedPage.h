#pragma once

#include "BandPage.h"

class ChartColorTable;
class StatAccumulators;

// The "Combined" page: the ages of all three time stamps side by side.
class CombinedPage : public BandPage {
    Q_OBJECT

public:
    CombinedPage(ChartColorTable &colours, QWidget *parent = nullptr);

    void fillCombinedGridDates(const StatAccumulators &stats);
    void rebuildChart(const StatAccumulators &stats);

protected:
    std::optional<ListRow> rowAt(int gridRow, int column) const override;
    QList<ListRow> chartRows(int category) const override;

private:
    ChartColorTable &m_colours;
};
