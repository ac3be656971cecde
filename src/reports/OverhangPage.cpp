#include "OverhangPage.h"

#include "collection/StatAccumulators.h"
#include "common/Utility.h"
#include "widgets/Chart.h"

#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>

namespace {

QLabel *caption(const QString &text, QWidget *parent, const QRect &where, bool heading = false)
{
    auto *label = new QLabel(text, parent);
    if (heading) {
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(11);
        font.setBold(true);
        label->setFont(font);
    }
    label->setGeometry(where);
    return label;
}

} // namespace

QPixmap OverhangPage::arrowPicture()
{
    QPixmap picture(40, 32);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPolygonF arrow({QPointF(2, 7), QPointF(18, 7), QPointF(18, 2), QPointF(29, 11),
                           QPointF(18, 20), QPointF(18, 15), QPointF(2, 15)});
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(128, 128, 128));
    painter.drawPolygon(arrow.translated(2, 2));
    painter.setBrush(Qt::red);
    painter.setPen(QPen(QColor(128, 0, 0), 1));
    painter.drawPolygon(arrow);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(7);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::blue);
    painter.drawText(QRectF(0, 22, 40, 10), Qt::AlignCenter, QStringLiteral("Active Size"));
    return picture;
}

OverhangPage::OverhangPage(QWidget *parent) : QWidget(parent)
{
    auto *title = new QLabel(QStringLiteral("Cluster overhang for FAT and FAT32 drives"), this);
    QFont titleFont(QStringLiteral("Times New Roman"));
    titleFont.setPixelSize(16);
    titleFont.setBold(true);
    title->setFont(titleFont);
    title->setStyleSheet(QStringLiteral("color: navy;"));
    title->setGeometry(8, 4, 600, 20);

    const int headingTop = 28;
    caption(QStringLiteral("FAT Partion size"), this, QRect(8, headingTop, 110, 16), true);
    caption(QStringLiteral("FAT 32 Size"), this, QRect(122, headingTop, 100, 16), true);
    caption(QStringLiteral("Cluster size"), this, QRect(262, headingTop, 70, 16), true);
    caption(QStringLiteral("Percent wasted"), this, QRect(340, headingTop, 160, 16), true);
    caption(QStringLiteral("Wasted space"), this, QRect(510, headingTop, 110, 16), true)
        ->setAlignment(Qt::AlignRight);
    const char *fat[] = {"255 MB", "256 MB - 511 MB", "512 MB - 1023 MB", "1 GB - 2 GB",
                         "2 GB - 4 GB"};
    const char *fat32[] = {"Less than 8GB", "Less than 16GB", "Less than 32GB", "32GB or more", ""};
    const char *clusters[] = {"4K", "8K", "16K", "32K", "64K"};
    for (int row = 0; row < 5; ++row) {
        const int top = firstRowTop + row * rowHeight + 7;
        caption(QString::fromLatin1(fat[row]), this, QRect(8, top, 110, 16));
        caption(QString::fromLatin1(fat32[row]), this, QRect(122, top, 110, 16));
        caption(QString::fromLatin1(clusters[row]), this, QRect(272, top, 50, 16));
        lblWasted[row] = caption(QString(), this, QRect(510, top, 110, 16));
        lblWasted[row]->setAlignment(Qt::AlignRight);
    }
    lblArrow = new QLabel(this);
    lblArrow->setPixmap(arrowPicture());
    lblArrow->resize(40, 32);
    lblArrow->hide();

    chartWaste = new Chart(this);
    chartWaste->setGeometry(336, firstRowTop, 170, 5 * rowHeight);
    chartWaste->backColor = QColor(212, 208, 200);
    chartWaste->margins = QMarginsF(0, 0, 0, 0);
    chartWaste->leftAxis.visible = chartWaste->bottomAxis.visible = false;
    chartWaste->leftAxis.grid = chartWaste->bottomAxis.grid = false;
    chartWaste->backWall.transparent = true;
    chartWaste->leftWall.transparent = true;
    chartWaste->bottomWall.transparent = true;
    chartWaste->view.depth = 8;
    chartWaste->allowZoom = false;
    ChartSeries &bars = chartWaste->addSeries(ChartSeries::HorizontalBar, QString(), Qt::red);
    bars.marks.visible = true;
    bars.marks.format = QStringLiteral("#,##0. %");
    bars.marks.transparent = true;
    bars.marks.frame = false;
    bars.marks.offset = 4;

    pnlResult = new QFrame(this);
    pnlResult->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pnlResult->setGeometry(8, firstRowTop + 5 * rowHeight + 6, 612, 22);
    lblFiles = caption(QString(), pnlResult, QRect(6, 3, 200, 16));
    lblTotal = caption(QStringLiteral("Total file sizes:"), pnlResult, QRect(212, 3, 200, 16));
    lblActual = caption(QStringLiteral("Actual space used:"), pnlResult, QRect(418, 3, 190, 16));
    pnlResult->hide();

    memoNotes = new QPlainTextEdit(this);
    memoNotes->setReadOnly(true);
    memoNotes->setFrameStyle(QFrame::NoFrame);
    memoNotes->setGeometry(8, firstRowTop + 5 * rowHeight + 32, 612, 126);
    // The nine lines of the note; the box wraps each paragraph to its width.
    const QStringList lines{
        QStringLiteral("This page is an illustration of the amount of disk space wasted due to "
                       "'cluster overhang.'  This is the smallest amount of space "),
        QStringLiteral("a file will actually use.   The arrow points to your actual cluster size, "
                       "the other numbers are hypothetical."),
        QString(),
        QStringLiteral("Due to the design of both Windows 95 and DOS the hard disk is divided into "
                       "clusters.  Files are stored in clusters. A file of "),
        QStringLiteral("one byte will take an entire cluster and a file that's one byte larger "
                       "than a cluster will take two clusters.  The larger the "),
        QStringLiteral("partition, the more overhang or waste is involved."),
        QString(),
        QStringLiteral("Solutions are to either repartition your hard disk or use disk "
                       "compression.  Later versions of Win95 come with FAT32 which "),
        QStringLiteral("uses 4K cluster sizes for drives up to 8GB in size and 8K clusters for up "
                       "to 16GB.")};
    QString text;
    for (const QString &line : lines)
        text += line.isEmpty() ? QStringLiteral("\n\n") : line;
    memoNotes->setPlainText(text);

    pnlNotApplicable = new QLabel(
        QStringLiteral("Cluster overhang analysis is not applicable to this drive."), this);
    QFont big = pnlNotApplicable->font();
    big.setPixelSize(20);
    big.setBold(true);
    pnlNotApplicable->setFont(big);
    pnlNotApplicable->setWordWrap(true);
    pnlNotApplicable->setAlignment(Qt::AlignCenter);
    pnlNotApplicable->setAutoFillBackground(true);
    pnlNotApplicable->setGeometry(0, 0, 632, 362);
    pnlNotApplicable->hide();
}

int OverhangPage::arrowRow() const
{
    if (lblArrow->isHidden())
        return -1;
    return (lblArrow->y() - firstRowTop) / rowHeight;
}

void OverhangPage::drawClusterArrow(qint32 clusterSize)
{
    lblArrow->hide();
    for (int row = 0; row < 5; ++row)
        if (StatAccumulators::clusterSizes[size_t(row)] == clusterSize) {
            lblArrow->move(226, firstRowTop + row * rowHeight);
            lblArrow->show();
        }
    pnlNotApplicable->setVisible(lblArrow->isHidden());
    if (pnlNotApplicable->isVisible())
        pnlNotApplicable->raise();
}

bool OverhangPage::doOverHang(const StatAccumulators &stats, qint32 clusterSize)
{
    double total = 0;
    for (int band = 1; band <= 12; ++band)
        total += stats.sizeBytes[size_t(band)];
    if (total == 0)
        return false;
    const double waste[] = {stats.overhang4K, stats.overhang8K, stats.overhang16K,
                            stats.overhang32K, stats.overhang64K};
    for (int row = 0; row < 5; ++row)
        lblWasted[row]->setText(floatToGrouped(waste[row]));
    drawClusterArrow(clusterSize);
    pnlResult->show();
    // The unit follows the files' own total, also for the space they really take.
    const bool kilobytes = total < 1048576;
    auto scaled = [&](double bytes) {
        return kilobytes ? floatToGrouped(bytes / 1024) + QStringLiteral(" KB")
                         : floatToGrouped(bytes / 1048576) + QStringLiteral(" MB");
    };
    lblTotal->setText(QStringLiteral("Total file sizes: ") + scaled(total));
    lblFiles->setText(QStringLiteral("Number of files scanned: ") + intToGrouped(stats.filesFound));
    const int row = arrowRow();
    if (row >= 0)
        lblActual->setText(QStringLiteral("Actual space used ") + scaled(total + waste[row]));
    ChartSeries &bars = chartWaste->seriesAt(0);
    bars.clear();
    for (int i = 4; i >= 0; --i)
        bars.add(100 * waste[i] / (total + waste[i]), QString(), Qt::red);
    chartWaste->update();
    return true;
}
