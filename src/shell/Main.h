#pragma once

#include <QTimer>
#include <QWidget>

class Chart;
class EffectLabel;
class QPushButton;
class TfrmStatistics;
class TPickList;

// The main window: one 3D bar chart of used and free space per drive that turns and zooms into
// view, deepens, and on the first close request flattens and zooms away before the program ends.
class TfrmMain : public QWidget {
    Q_OBJECT

public:
    explicit TfrmMain(QWidget *parent = nullptr);
    // The statistics window, whose drive list the chart measures; set before the first showing.
    void setStatistics(TfrmStatistics *statistics) { m_statistics = statistics; }

    void doDiskSize();
    void Timer1Timer();
    void Timer2Timer();
    void chartSpaceBarDblClick();
    void FormResize();
    void btStatisticClick();
    void btReachClick();

    bool opening() const { return m_opening; }
    int closeRequests() const { return m_closeRequests; }
    // Depth step and limit of the deepening for n drive rows.
    static std::pair<int, int> depthStepAndLimit(int rows);

    Chart *chartSpaceBar;
    EffectLabel *lblTitle;
    EffectLabel *lblBottom;
    QPushButton *btStatistic;
    QPushButton *btReach;
    QPushButton *btClose;
    QTimer Timer1;
    QTimer Timer2;

    static const QString webAddress;
    // The drive chart's look: gradient sky, walls, axes and the two stacked series.
    static void styleDriveChart(Chart &chart);

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void FormShow();
    void setLabelsVisible(bool visible);
    TPickList *driveList() const;

    TfrmStatistics *m_statistics = nullptr;
    bool m_opening = true;
    int m_closeRequests = 0;
};
