#pragma once

#include "BandPage.h"

#include <array>

class ChartColorTable;

// One of the "Access", "Created" and "Modified" pages: ten age bands of one time stamp.
class DatePage : public BandPage {
    Q_OBJECT

public:
    // name: "Access", "Created" or "Modified", as the chart titles begin.
    DatePage(const QString &name, const QString &infoText, ChartColorTable &colours,
             QWidget *parent = nullptr);

    void fillGridDates(const QString &heading, const std::array<double, 10> &counts,
                       const std::array<double, 10> &bytes);
    // The chart from the arrays, by size in MB or by number as the page's own choice says.
    void rebuildChart(const std::array<double, 10> &counts, const std::array<double, 10> &bytes);

    static QStringList bandLabels();

protected:
    std::optional<ListRow> rowAt(int gridRow, int column) const override;
    QList<ListRow> chartRows(int category) const override;

private:
    ListRow::Kind stamp() const;

    QString m_name;
    ChartColorTable &m_colours;
};
