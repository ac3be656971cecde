#pragma once

#include <QTimer>
#include <QWidget>

class Chart;
class EffectLabel;
class QCheckBox;
class QPushButton;
class QFrame;
class QLabel;
class QRadioButton;
class QScrollBar;
class TPickList;

// The "Space" page: capacity, free and used space of the ticked drives as totals and stacked
// bars, or every ready drive as a turning pie.
class SpacePage : public QWidget {
    Q_OBJECT

public:
    explicit SpacePage(QWidget *parent = nullptr);

    // Re-measures the ticked drives, fills the totals and the bars, then applies the view.
    void doDiskSize();
    void rgSpaceClick();
    void doPieCharts();
    // One tick of the depth animation of the bars.
    void Timer2Timer();
    // One tick of the pie rotation, while the pies are on show.
    void turnPies();
    void ScrollBar1Change(int position);
    // Shows the scroll bar exactly when the pies stand still.
    void setPiesTurning(bool turning);

    bool pieViewChosen() const;
    int drivesShown() const { return m_drivesShown; }
    // Enables or disables the controls a run must not touch.
    void setRunControlsEnabled(bool enabled);

    TPickList *pckStatDrive;
    QFrame *pnlDrives;
    EffectLabel *lblCaptions[3];
    EffectLabel *lblValues[3];
    EffectLabel *lblUnits[3];
    QFrame *boxFree;
    QFrame *boxUsed;
    Chart *chartSpaceBar;
    QCheckBox *cbTotal;
    QPushButton *btLargestFolders;
    QRadioButton *rbBar;
    QRadioButton *rbPie;
    QFrame *pnlPies;
    Chart *pies[11];
    Chart *pieTotal;
    QScrollBar *ScrollBar1;
    QTimer Timer2;

Q_SIGNALS:
    // A click on any pie: the window starts or stops the pie rotation.
    void pieClicked();
    // The pie view was chosen: the window starts the pie rotation.
    void pieViewShown();
    // The largest folders of the last run were asked for.
    void showLargestFolders();
    // The folders the last run could not read were asked for.
    void showUnreadableFolders();

private:
    void pckStatDriveClick();
    QList<Chart *> shownPies() const;

    int m_drivesShown = 0;
};
