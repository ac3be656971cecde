#pragma once

#include "collection/FileLists.h"

#include <QWidget>

class Chart;
class QScrollBar;
class QToolButton;
class StatAccumulators;

// The "Time" page: the number of files by half hour of the day of their three time stamps.
class TimePage : public QWidget {
    Q_OBJECT

public:
    explicit TimePage(QWidget *parent = nullptr);

    void doFileTimes(const StatAccumulators &stats);
    void sbTimeChange(int position);
    void SpeedButton5Click();

    Chart *Chart4;
    QScrollBar *sbTime;
    QToolButton *SpeedButton5;

Q_SIGNALS:
    // The files of a half hour of one stamp were asked for: a click on the chart offers the
    // three stamps of the half hour under it.
    void showFiles(const ListRow &row);
};
