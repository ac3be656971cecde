#include "TimePage.h"

#include "collection/StatAccumulators.h"
#include "common/RegionalSettings.h"
#include "common/Utility.h"
#include "widgets/Anchors.h"
#include "widgets/Chart.h"

#include "reports/FileListPages.h"

#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QTime>
#include <QToolButton>

namespace {

// A red question mark on a yellow disc.
QIcon questionGlyph()
{
    QPixmap glyph(18, 18);
    glyph.fill(Qt::transparent);
    QPainter painter(&glyph);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::yellow);
    painter.setPen(QColor(160, 120, 0));
    painter.drawEllipse(QRectF(1, 1, 16, 16));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::red);
    painter.drawText(QRectF(1, 1, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
    return QIcon(glyph);
}

} // namespace

TimePage::TimePage(QWidget *parent) : QWidget(parent)
{
    Chart4 = new Chart(this);
    Chart4->setGeometry(0, 0, 628, 358);
    Chart4->backColor = QColor(212, 208, 200);
    Chart4->legendStyle = LegendStyle::SeriesTitles;
    Chart4->legendPosition = LegendPosition::Top;
    Chart4->legendColorWidth = 25;
    Chart4->view.depth = 20;
    Chart4->backWall.transparent = true;
    Chart4->leftWall.color = QColor(128, 255, 255);
    Chart4->leftAxis.title = QStringLiteral("Numer of files");
    Chart4->leftAxis.format = QStringLiteral("#,##0");
    Chart4->bottomAxis.title = QStringLiteral("Time of day file was modified/created/accessed");
    Chart4->bottomAxis.labelAngle = 90;
    Chart4->bottomAxis.labelSeparation = 3;
    Chart4->margins = QMarginsF(1, 2, 1, 6);
    Chart4->addSeries(ChartSeries::Line, QStringLiteral("Modified time"), Qt::red);
    Chart4->addSeries(ChartSeries::Line, QStringLiteral("Created time"), Qt::green);
    Chart4->addSeries(ChartSeries::Line, QStringLiteral("Access Time"), Qt::blue);

    sbTime = new QScrollBar(Qt::Horizontal, this);
    sbTime->setRange(1, 50);
    sbTime->setValue(8);
    sbTime->setPageStep(5);
    sbTime->setGeometry(4, 340, 120, 16);
    SpeedButton5 = new QToolButton(this);
    SpeedButton5->setIcon(questionGlyph());
    SpeedButton5->setGeometry(628 - 29, 336, 25, 22);
    auto *anchors = new Anchors(this);
    anchors->pin(Chart4, Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge);
    anchors->pin(sbTime, Qt::LeftEdge | Qt::BottomEdge);
    anchors->pin(SpeedButton5, Qt::RightEdge | Qt::BottomEdge);
    Chart4->setPickableByKeys(true);
    connect(Chart4, &Chart::categoryClicked, this, [this](int slot) {
        QMenu menu;
        for (const ListRow::Kind stamp :
             {ListRow::ModifiedSlot, ListRow::CreatedSlot, ListRow::AccessedSlot}) {
            const ListRow row{stamp, slot, {}};
            connect(menu.addAction(FileListPages::menuText(row) + QStringLiteral(" files...")),
                    &QAction::triggered, this, [this, row] { Q_EMIT showFiles(row); });
        }
        menu.exec(Chart4->menuPosition());
    });
    connect(sbTime, &QScrollBar::valueChanged, this, &TimePage::sbTimeChange);
    connect(SpeedButton5, &QToolButton::clicked, this, &TimePage::SpeedButton5Click);
}

void TimePage::doFileTimes(const StatAccumulators &stats)
{
    const StatAccumulators::HalfHourSlots *slots[] = {&stats.modifiedSlots, &stats.createdSlots,
                                                      &stats.accessedSlots};
    const QString &format = RegionalSettings::current().shortTimeFormat;
    for (int s = 0; s < 3; ++s) {
        ChartSeries &series = Chart4->seriesAt(s);
        series.clear();
        double sum = 0;
        for (int k = 0; k < StatAccumulators::slotCount; ++k) {
            const double value = (*slots[s])[size_t(k)];
            series.add(value, QTime(k / 2, k % 2 ? 30 : 0).toString(format), series.color);
            sum += value;
        }
        if (s == 2)
            series.visible = sum > 0;
    }
    Chart4->update();
}

void TimePage::sbTimeChange(int position)
{
    Chart4->setDepth(position);
}

void TimePage::SpeedButton5Click()
{
    showInfo(
        QStringLiteral("Note: Sometimes software vendors use the file modified time to "
                       "indicate the version number of a product. For example, a file with "
                       "the time of 02:10 am would represent version 2.1 of a certain product."));
}
