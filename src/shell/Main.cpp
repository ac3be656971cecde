#include "Main.h"

#include "About.h"
#include "drives/DriveSpaceBars.h"
#include "platform/SponsorBanner.h"
#include "reports/ui/SpacePage.h"
#include "reports/ui/StatisticsWindow.h"
#include "widgets/Chart.h"
#include "widgets/EffectLabel.h"
#include "widgets/Picklist.h"
#include "widgets/ScreenCentre.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

const QString TfrmMain::webAddress = QStringLiteral("https://www.brenmoor.example/quillix");

namespace {

QFont pixelFont(const char *family, int pixels)
{
    QFont f(QString::fromLatin1(family));
    f.setPixelSize(pixels);
    return f;
}

} // namespace

void TfrmMain::styleDriveChart(Chart &chart)
{
    chart.gradient = true;
    chart.gradientTop = Qt::blue;
    chart.gradientBottom = Qt::black;
    chart.backWall.transparent = true;
    chart.leftWall.transparent = true;
    chart.leftWall.color = QColor(128, 128, 192);
    chart.bottomWall.color = QColor(128, 128, 255);
    chart.margins = QMarginsF(2, 11, 2, 9);
    chart.bottomAxis.labelFont = pixelFont("Arial", 16);
    chart.bottomAxis.labelColor = Qt::white;
    chart.bottomAxis.tickColor = Qt::white;
    chart.leftAxis.labelFont = pixelFont("Times New Roman", 12);
    chart.leftAxis.labelColor = Qt::white;
    chart.leftAxis.tickColor = Qt::white;
    chart.leftAxis.lineVisible = false;
    chart.leftAxis.format = QStringLiteral("#,##0.0## GB");
    chart.rightAxis = chart.leftAxis;
    chart.rightAxis.visible = true;
    chart.rightAxis.labelFont = pixelFont("Times New Roman", 13);
    for (const bool used : {true, false}) {
        ChartSeries &series = chart.addSeries(
            ChartSeries::Bar, used ? QStringLiteral("used") : QStringLiteral("free"),
            used ? Qt::blue : Qt::magenta);
        series.stacked = !used;
        series.gradient = used;
        series.outline = series.color;
        series.barWidthPercent = 65;
        series.marks.visible = true;
        series.marks.format = QStringLiteral("#,##0.00 GB");
        series.marks.textColor = Qt::white;
        series.marks.font = pixelFont("Arial", 11);
        series.marks.frame = false;
        series.marks.offset = used ? -24 : 10;
    }
}

TfrmMain::TfrmMain(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Quillix"));
    resize(642, 482);
    QFont bold = font();
    bold.setPixelSize(13);
    bold.setBold(true);
    setFont(bold);
    chartSpaceBar = new Chart(this);
    styleDriveChart(*chartSpaceBar);

    lblTitle = new EffectLabel(QStringLiteral("Quillix - Disk Statistics"), chartSpaceBar);
    lblTitle->setFont(pixelFont("Times New Roman", 29));
    lblTitle->setTextColor(QColor(128, 128, 0));
    lblTitle->setEffect(EffectLabel::Highlight, 1, Qt::yellow);
    lblTitle->setAlignment(Qt::AlignCenter);
    lblBottom = new EffectLabel(webAddress, chartSpaceBar);
    lblBottom->setFont(pixelFont("Times New Roman", 27));
    lblBottom->setTextColor(Qt::magenta);
    lblBottom->setEffect(EffectLabel::ExtrudedShadow, 7, QColor(0, 0, 128));
    lblBottom->setAlignment(Qt::AlignCenter);

    btStatistic = new QPushButton(style()->standardIcon(QStyle::SP_DriveHDIcon),
                                  QStringLiteral("&Collect disk statistics"), chartSpaceBar);
    btStatistic->resize(176, 28);
    btStatistic->setDefault(true);
    btReach = new QPushButton(style()->standardIcon(QStyle::SP_MessageBoxInformation),
                              QStringLiteral("&About"), chartSpaceBar);
    btReach->resize(76, 28);
    btClose = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton),
                              QStringLiteral("E&xit"), chartSpaceBar);
    btClose->resize(76, 28);
    btClose->setToolTip(QStringLiteral("Quit and close "));
    // The designed widths, or more where the bold captions need it.
    for (QPushButton *button : {btStatistic, btReach, btClose})
        button->resize(std::max(button->width(), button->sizeHint().width()), 28);
    btStatistic->setFocus();

    Timer1.setInterval(50);
    Timer2.setInterval(55);
    connect(&Timer1, &QTimer::timeout, this, &TfrmMain::Timer1Timer);
    connect(&Timer2, &QTimer::timeout, this, &TfrmMain::Timer2Timer);
    connect(chartSpaceBar, &Chart::doubleClicked, this, &TfrmMain::chartSpaceBarDblClick);
    connect(btStatistic, &QPushButton::clicked, this, &TfrmMain::btStatisticClick);
    connect(btReach, &QPushButton::clicked, this, &TfrmMain::btReachClick);
    connect(btClose, &QPushButton::clicked, this, &QWidget::close);

    // FormCreate
    chartSpaceBar->setZoom(20);
    lblTitle->hide();
    lblBottom->hide();
    // The designed size, centred, is what the window restores to from maximised.
    centreOnScreen(this);
    setWindowState(Qt::WindowMaximized);
}

TPickList *TfrmMain::driveList() const
{
    return m_statistics->space()->pckStatDrive;
}

void TfrmMain::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    FormShow();
    // Without a window manager a maximised state alone does not size the window: fill the
    // screen then, once a manager would have answered.
    QTimer::singleShot(300, this, [this] {
        if (isMaximized() && size() == QSize(642, 482))
            if (QScreen *screen = this->screen())
                setGeometry(screen->availableGeometry());
    });
}

void TfrmMain::FormShow()
{
    m_closeRequests = 0;
    FormResize();
    doDiskSize();
    m_opening = true;
    chartSpaceBar->view = View3D{true, 20, 280, 280, false, 25};
    chartSpaceBar->update();
    Timer2.start();
}

void TfrmMain::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    FormResize();
}

void TfrmMain::FormResize()
{
    chartSpaceBar->setGeometry(rect());
    lblTitle->setGeometry(0, 0, width(), 57);
    btClose->move(width() - btClose->width() - 6, height() - btClose->height() - 5);
    btReach->move(btClose->x() - btReach->width() - 6, btClose->y());
    btStatistic->move(btReach->x() - btStatistic->width() - 6, btClose->y());
    // The web address is centred along the bottom; where the buttons would cover its right
    // end it stands above them instead.
    const int addressRight = (width() + lblBottom->sizeHint().width()) / 2;
    const int above = addressRight > btStatistic->x() ? btClose->height() + 5 : 0;
    lblBottom->setGeometry(0, height() - 41 - above, width(), 41);
}

void TfrmMain::doDiskSize()
{
    const DriveSpaceBars measured = measureDriveBars(driveList()->Items(), true);
    ChartSeries &used = chartSpaceBar->seriesAt(0);
    ChartSeries &free = chartSpaceBar->seriesAt(1);
    used.clear();
    free.clear();
    for (const DriveBar &bar : measured.bars) {
        used.add(bar.usedGigabytes, bar.label, Qt::blue);
        free.add(bar.freeGigabytes, bar.label, Qt::magenta);
    }
    chartSpaceBar->update();
}

std::pair<int, int> TfrmMain::depthStepAndLimit(int rows)
{
    if (rows <= 3)
        return {4, 60};
    if (rows <= 8)
        return {2, 36};
    if (rows <= 12)
        return {1, 20};
    return {1, 10};
}

void TfrmMain::Timer2Timer()
{
    View3D &view = chartSpaceBar->view;
    if (m_opening && view.zoom >= 100) {
        view.orthogonal = true;
        view.rotation = view.elevation = 360;
        chartSpaceBar->update();
        Timer2.stop();
        Timer1.start();
        return;
    }
    if (!m_opening && view.zoom < 1) {
        Timer2.stop();
        close();
    }
    if (m_opening) {
        view.zoom += 2;
        view.rotation += 2;
        view.elevation += 2;
    } else {
        view.zoom -= 3;
        view.rotation -= 2;
        view.elevation -= 2;
    }
    chartSpaceBar->update();
}

void TfrmMain::Timer1Timer()
{
    const auto [step, limit] = depthStepAndLimit(driveList()->count());
    View3D &view = chartSpaceBar->view;
    if (m_opening) {
        if (view.depth >= limit) {
            setLabelsVisible(true);
            chartSpaceBar->setHint(QStringLiteral("Double click chart to view animation"));
            Timer1.stop();
        } else {
            chartSpaceBar->setDepth(view.depth + step);
        }
        return;
    }
    if (view.depth <= 15) {
        view.orthogonal = false;
        view.rotation = view.elevation = 360;
        chartSpaceBar->update();
        Timer1.stop();
        Timer2.start();
    } else {
        chartSpaceBar->setDepth(view.depth - step);
    }
}

void TfrmMain::setLabelsVisible(bool visible)
{
    lblTitle->setVisible(visible);
    lblBottom->setVisible(visible);
}

void TfrmMain::chartSpaceBarDblClick()
{
    // Once the program is closing, the closing animation runs to its end.
    if (m_closeRequests > 0)
        return;
    lblTitle->hide();
    lblBottom->hide();
    chartSpaceBar->setHint(QString());
    chartSpaceBar->view = View3D{true, 20, 280, 280, false, 25};
    chartSpaceBar->update();
    Timer1.stop();
    Timer2.start();
    m_opening = true;
}

void TfrmMain::btStatisticClick()
{
    m_statistics->show();
    m_statistics->raise();
    m_statistics->activateWindow();
}

void TfrmMain::btReachClick()
{
    TfrmAbout about(this);
    about.exec();
}

void TfrmMain::closeEvent(QCloseEvent *event)
{
    SponsorBanner::AdClose(0, 0, 0);
    ++m_closeRequests;
    if (m_closeRequests == 1) {
        event->ignore();
        m_opening = false;
        for (QWidget *w : {static_cast<QWidget *>(btClose), static_cast<QWidget *>(btReach),
                           static_cast<QWidget *>(btStatistic), static_cast<QWidget *>(lblTitle),
                           static_cast<QWidget *>(lblBottom)})
            w->hide();
        Timer2.stop();
        Timer1.start();
        return;
    }
    // The program is ending: no run starts from now on, and a walk must unwind before the
    // program ends; the run quits once it has.
    m_statistics->requestTermination();
    if (m_statistics->collecting()) {
        event->ignore();
        return;
    }
    event->accept();
    QCoreApplication::quit();
}
