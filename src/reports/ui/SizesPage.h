#pragma once

#include "BandPage.h"

class ChartColorTable;
class StatAccumulators;

// The "Sizes" page: the twelve size bands as a listing or as bars of MB or of file counts.
class SizesPage : public BandPage {
    Q_OBJECT

public:
    SizesPage(ChartColorTable &colours, QWidget *parent = nullptr);

    void doFileSizes(const StatAccumulators &stats);
    void fillGridSizes(const StatAccumulators &stats);
    void rgSizesClick();

protected:
    std::optional<ListRow> rowAt(int gridRow, int column) const override;
    QList<ListRow> chartRows(int category) const override;

private:
    ChartColorTable &m_colours;
    const StatAccumulators *m_stats = nullptr;
};
