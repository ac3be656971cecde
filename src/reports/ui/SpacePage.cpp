#include "SpacePage.h"

#include "common/NumberPattern.h"
#include "drives/DriveServices.h"
#include "drives/DriveSpaceBars.h"
#include "widgets/Anchors.h"
#include "widgets/Chart.h"
#include "widgets/EffectLabel.h"
#include "widgets/Picklist.h"

#include <QAction>
#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

namespace {

const QColor usedColour = Qt::blue;
const QColor freeColour = Qt::magenta;
const QString gigabytes = QStringLiteral("#,##0.0# GB");

// Re-measuring is guarded: a click that comes while a measurement runs is dropped.
bool measuring = false;

QFont serif(int pixels, bool bold = false)
{
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

void stylePie(Chart &pie)
{
    pie.titleFont = serif(11, true);
    pie.titleFont.setFamily(QStringLiteral("Arial"));
    pie.backColor = QColor(212, 208, 200);
    pie.margins = QMarginsF(1, 1, 1, 1);
    pie.view.depth = 65;
    pie.allowZoom = false;
    pie.setHint(QStringLiteral("Click on pie to toggle animation"));
    ChartSeries &series = pie.addSeries(ChartSeries::Pie);
    series.rotation = 60;
}

} // namespace

SpacePage::SpacePage(QWidget *parent) : QWidget(parent)
{
    pnlDrives = new QFrame(this);
    pnlDrives->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pnlDrives->setGeometry(6, 6, 150, 330);
    pckStatDrive = new TPickList(pnlDrives);
    pckStatDrive->setGeometry(2, 2, 146, 326);
    pckStatDrive->setContextMenuPolicy(Qt::ActionsContextMenu);
    for (const bool checked : {true, false}) {
        auto *action = new QAction(
            checked ? QStringLiteral("Select All") : QStringLiteral("Deselect All"), pckStatDrive);
        connect(action, &QAction::triggered, this, [this, checked] {
            pckStatDrive->setAllChecked(checked);
            pckStatDriveClick();
        });
        pckStatDrive->addAction(action);
    }
    auto *separator = new QAction(pckStatDrive);
    separator->setSeparator(true);
    pckStatDrive->addAction(separator);
    auto *largest = new QAction(QStringLiteral("Largest &folders..."), pckStatDrive);
    connect(largest, &QAction::triggered, this, &SpacePage::showLargestFolders);
    pckStatDrive->addAction(largest);
    auto *unreadable = new QAction(QStringLiteral("&Unreadable folders..."), pckStatDrive);
    connect(unreadable, &QAction::triggered, this, &SpacePage::showUnreadableFolders);
    pckStatDrive->addAction(unreadable);
    connect(pckStatDrive, &TPickList::OnClick, this, &SpacePage::pckStatDriveClick);

    const char *captions[] = {"Total Capacity:", "Free Space:", "Used Space:"};
    for (int i = 0; i < 3; ++i) {
        lblCaptions[i] = new EffectLabel(QString::fromLatin1(captions[i]), this);
        lblCaptions[i]->setFont(serif(21));
        lblCaptions[i]->setEffect(EffectLabel::Highlight, 1, Qt::white);
        lblCaptions[i]->setGeometry(196, 6 + i * 28, 170, 28);
        // Values and units are raised like their captions.
        lblValues[i] = new EffectLabel(QString(), this);
        lblValues[i]->setFont(serif(21));
        lblValues[i]->setEffect(EffectLabel::Highlight, 1, Qt::white);
        lblValues[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        lblValues[i]->setGeometry(366, 6 + i * 28, 170, 28);
        lblUnits[i] = new EffectLabel(QString(), this);
        lblUnits[i]->setFont(serif(21));
        lblUnits[i]->setEffect(EffectLabel::Highlight, 1, Qt::white);
        lblUnits[i]->setGeometry(542, 6 + i * 28, 60, 28);
    }
    boxFree = new QFrame(this);
    boxFree->setGeometry(176, 6 + 28 + 8, 14, 14);
    boxFree->setStyleSheet(QStringLiteral("background: #ff00ff; border: 1px solid black;"));
    boxUsed = new QFrame(this);
    boxUsed->setGeometry(176, 6 + 56 + 8, 14, 14);
    boxUsed->setStyleSheet(QStringLiteral("background: #0000ff; border: 1px solid black;"));

    chartSpaceBar = new Chart(this);
    chartSpaceBar->setGeometry(160, 92, 466, 246);
    chartSpaceBar->backColor = QColor(212, 208, 200);
    chartSpaceBar->allowZoom = false;
    chartSpaceBar->leftAxis.format = gigabytes;
    chartSpaceBar->margins = QMarginsF(1, 3, 2, 2);
    chartSpaceBar->view.depth = 1;
    for (const bool used : {true, false}) {
        ChartSeries &series = chartSpaceBar->addSeries(
            ChartSeries::Bar, used ? QStringLiteral("used") : QStringLiteral("free"),
            used ? usedColour : freeColour);
        series.stacked = !used;
        series.marks.visible = true;
        series.marks.format = gigabytes;
        series.marks.textColor = Qt::white;
        series.marks.frame = false;
        series.marks.offset = used ? -4 : 4;
    }

    // The largest folders of the last run, where one looks for them: beside the drives.
    btLargestFolders = new QPushButton(QStringLiteral("Largest &folders..."), this);
    btLargestFolders->setToolTip(
        QStringLiteral("The folders of the last run's drives holding the most bytes"));
    btLargestFolders->setGeometry(184, 338, 136, 23);
    btLargestFolders->setEnabled(false);
    connect(btLargestFolders, &QPushButton::clicked, this, &SpacePage::showLargestFolders);
    cbTotal = new QCheckBox(QStringLiteral("Show Cumulative Total"), this);
    cbTotal->setChecked(true);
    cbTotal->setGeometry(8, 340, 170, 20);
    rbBar = new QRadioButton(QStringLiteral("Bar - totals"), this);
    rbBar->setChecked(true);
    rbBar->setGeometry(330, 340, 120, 20);
    rbPie = new QRadioButton(QStringLiteral("Pie - percent"), this);
    rbPie->setGeometry(460, 340, 120, 20);
    connect(cbTotal, &QCheckBox::clicked, this, &SpacePage::pckStatDriveClick);
    connect(rbBar, &QRadioButton::clicked, this, &SpacePage::rgSpaceClick);
    connect(rbPie, &QRadioButton::clicked, this, &SpacePage::rgSpaceClick);

    pnlPies = new QFrame(this);
    pnlPies->setGeometry(0, 0, 632, 338);
    pnlPies->setStyleSheet(QStringLiteral("QFrame { background: #d4d0c8; }"));
    for (int i = 0; i < 11; ++i) {
        pies[i] = new Chart(pnlPies);
        stylePie(*pies[i]);
        // pie1..pie5 across the top; pie6..pie8 and pie9..pie11 below the first three.
        const int column = i < 5 ? i : (i - 5) % 3;
        const int row = i < 5 ? 0 : (i < 8 ? 1 : 2);
        pies[i]->setGeometry(4 + column * 105, 4 + row * 101, 103, 99);
        pies[i]->hide();
        connect(pies[i], &Chart::clicked, this, &SpacePage::pieClicked);
    }
    pieTotal = new Chart(pnlPies);
    stylePie(*pieTotal);
    pieTotal->titleFont.setPixelSize(13);
    pieTotal->setGeometry(340, 110, 235, 183);
    connect(pieTotal, &Chart::clicked, this, &SpacePage::pieClicked);
    auto *legendFree = new QLabel(
        QStringLiteral("<span style='background:#ff00ff'>&nbsp;&nbsp;&nbsp;&nbsp;</span> Free"),
        pnlPies);
    legendFree->setGeometry(520, 300, 60, 16);
    auto *legendUsed = new QLabel(
        QStringLiteral("<span style='background:#0000ff'>&nbsp;&nbsp;&nbsp;&nbsp;</span> Used"),
        pnlPies);
    legendUsed->setGeometry(520, 318, 60, 16);
    ScrollBar1 = new QScrollBar(Qt::Horizontal, pnlPies);
    ScrollBar1->setRange(0, 360);
    ScrollBar1->setPageStep(5);
    ScrollBar1->setGeometry(4, 316, 200, 16);
    ScrollBar1->hide();
    connect(ScrollBar1, &QScrollBar::valueChanged, this, &SpacePage::ScrollBar1Change);
    pnlPies->hide();

    auto *anchors = new Anchors(this);
    const Qt::Edges everySide = Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge;
    const Qt::Edges bottomLeft = Qt::LeftEdge | Qt::BottomEdge;
    anchors->pin(pnlDrives, Qt::LeftEdge | Qt::TopEdge | Qt::BottomEdge);
    anchors->pin(pckStatDrive, Qt::LeftEdge | Qt::TopEdge | Qt::BottomEdge);
    anchors->pin(chartSpaceBar, everySide);
    for (QWidget *control :
         std::initializer_list<QWidget *>{cbTotal, btLargestFolders, rbBar, rbPie, ScrollBar1})
        anchors->pin(control, bottomLeft);
    anchors->pin(pnlPies, everySide);
    anchors->pin(pieTotal, everySide);
    for (QWidget *legend : {legendFree, legendUsed})
        anchors->pin(legend, Qt::RightEdge | Qt::BottomEdge);

    Timer2.setInterval(50);
    connect(&Timer2, &QTimer::timeout, this, &SpacePage::Timer2Timer);
}

bool SpacePage::pieViewChosen() const
{
    return rbPie->isChecked();
}

void SpacePage::pckStatDriveClick()
{
    if (measuring)
        return;
    measuring = true;
    doDiskSize();
    measuring = false;
}

void SpacePage::doDiskSize()
{
    for (int i = 0; i < 3; ++i) {
        lblValues[i]->setText(QString());
        lblUnits[i]->setText(QString());
    }
    const DriveSpaceBars measured =
        measureDriveBars(pckStatDrive->checkedRows(), cbTotal->isChecked());
    m_drivesShown = measured.drivesShown;
    ChartSeries &used = chartSpaceBar->seriesAt(0);
    ChartSeries &free = chartSpaceBar->seriesAt(1);
    used.clear();
    free.clear();
    for (const DriveBar &bar : measured.bars) {
        used.add(bar.usedGigabytes, bar.label, usedColour);
        free.add(bar.freeGigabytes, bar.label, freeColour);
    }
    chartSpaceBar->update();

    const bool any = measured.totalBytes > 0;
    for (int i = 0; i < 3; ++i)
        lblCaptions[i]->setVisible(any);
    boxFree->setVisible(any);
    boxUsed->setVisible(any);
    chartSpaceBar->setVisible(any);
    if (any) {
        const double total = measured.totalBytes / 1073741824.0;
        const double freeSum = measured.freeBytes / 1073741824.0;
        const QString number = QStringLiteral("#,##0.00");
        lblValues[0]->setText(formatFloat(number, total));
        lblValues[1]->setText(formatFloat(number, freeSum));
        lblValues[2]->setText(formatFloat(number, total - freeSum));
        lblUnits[0]->setText(QStringLiteral("GB"));
        lblUnits[1]->setText(QStringLiteral("GB "));
        lblUnits[2]->setText(QStringLiteral("GB "));
        // Red when the drives are as good as empty: the test is on the used space.
        const bool nearlyEmpty = total - freeSum <= 0.1;
        lblValues[1]->setTextColor(nearlyEmpty ? Qt::red : Qt::black);
    }
    rgSpaceClick();
}

void SpacePage::rgSpaceClick()
{
    if (rbPie->isChecked()) {
        pnlDrives->hide();
        doPieCharts();
        cbTotal->hide();
        chartSpaceBar->hide();
        Q_EMIT pieViewShown();
        pnlPies->show();
        pnlPies->raise();
    } else if (m_drivesShown != 0) {
        pnlDrives->show();
        pnlPies->hide();
        cbTotal->show();
        chartSpaceBar->show();
        chartSpaceBar->setDepth(1);
        Timer2.start();
    }
}

void SpacePage::doPieCharts()
{
    for (Chart *pie : pies)
        pie->hide();
    int n = 0;
    double freeSum = 0;
    double totalSum = 0;
    for (const QString &row : pckStatDrive->Items()) {
        if (n >= 11)
            break;
        if (row.isEmpty() || !isDriveReady(row[0]))
            continue;
        const DiskSpace space = getDiskSpace(row[0]);
        freeSum += space.freeBytes;
        totalSum += space.totalBytes;
        Chart *pie = pies[n++];
        pie->show();
        // The share free always shows; a long row gives way in its middle.
        const QString free = QStringLiteral("  ") + percentFree(space.freeBytes, space.totalBytes) +
                             QStringLiteral("% free");
        const QFontMetricsF metrics(pie->titleFont);
        const double room = pie->width() * 0.94 - metrics.horizontalAdvance(free);
        pie->title =
            metrics.elidedText(row.toUpper(), Qt::ElideMiddle, std::max(room, 12.0)) + free;
        ChartSeries &slices = pie->seriesAt(0);
        slices.clear();
        slices.add(space.totalBytes - space.freeBytes, QStringLiteral(" "), usedColour);
        slices.add(space.freeBytes, QStringLiteral(" "), freeColour);
        pie->update();
    }
    pieTotal->show();
    pieTotal->title =
        QStringLiteral("TOTAL ") + percentFree(freeSum, totalSum) + QStringLiteral("% free");
    ChartSeries &slices = pieTotal->seriesAt(0);
    slices.clear();
    slices.add(totalSum - freeSum, QStringLiteral(" "), usedColour);
    slices.add(freeSum, QStringLiteral(" "), freeColour);
    pieTotal->update();
}

void SpacePage::Timer2Timer()
{
    if (!isVisible()) {
        Timer2.stop();
        return;
    }
    const int shown = m_drivesShown;
    const int step = shown <= 2 ? 6 : shown <= 4 ? 3 : 2;
    const int target = shown <= 2 ? 60 : shown <= 4 ? 30 : shown <= 6 ? 20 : 10;
    if (chartSpaceBar->view.depth < target)
        chartSpaceBar->setDepth(chartSpaceBar->view.depth + step);
    else
        Timer2.stop();
}

QList<Chart *> SpacePage::shownPies() const
{
    QList<Chart *> shown;
    for (Chart *pie : pies)
        if (!pie->isHidden())
            shown.append(pie);
    if (!pieTotal->isHidden())
        shown.append(pieTotal);
    return shown;
}

void SpacePage::turnPies()
{
    if (!rbPie->isChecked() || !isVisible())
        return;
    auto turn = [](Chart *pie, double degrees) {
        ChartSeries &series = pie->seriesAt(0);
        series.rotation = std::fmod(series.rotation + degrees, 360.0);
        pie->update();
    };
    if (pckStatDrive->count() < 6)
        for (Chart *pie : pies)
            if (!pie->isHidden())
                turn(pie, 4);
    if (!pieTotal->isHidden())
        turn(pieTotal, 2);
    ScrollBar1->hide();
    const QSignalBlocker quiet(ScrollBar1);
    ScrollBar1->setValue(int(pies[0]->seriesAt(0).rotation));
}

void SpacePage::ScrollBar1Change(int position)
{
    for (Chart *pie : shownPies()) {
        pie->seriesAt(0).rotation = position;
        pie->update();
    }
}

void SpacePage::setPiesTurning(bool turning)
{
    ScrollBar1->setVisible(!turning);
}

void SpacePage::setRunControlsEnabled(bool enabled)
{
    rbPie->setEnabled(enabled);
    rbBar->setEnabled(enabled);
    pckStatDrive->setEnabled(enabled);
}
