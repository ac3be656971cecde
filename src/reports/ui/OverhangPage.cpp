#include "OverhangPage.h"

#include "common/NumberPattern.h"

#include "BandCharts.h"
#include "reports/OverhangFigures.h"

#include "collection/StatAccumulators.h"
#include "common/Utility.h"
#include "widgets/Anchors.h"
#include "widgets/Chart.h"
#include "widgets/LabelFit.h"
#include "widgets/LegibleInk.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>

#include <algorithm>
#include <cmath>

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
    // Drawn at the screen's own pixel density, so that it stays sharp at any scale.
    const qreal density = qApp->devicePixelRatio();
    QPixmap picture(QSize(40, 32) * density);
    picture.setDevicePixelRatio(density);
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
    painter.setPen(legibleInk(Qt::blue, QApplication::palette().color(QPalette::Window)));
    painter.drawText(QRectF(0, 22, 40, 10), Qt::AlignCenter, QStringLiteral("Active Size"));
    return picture;
}

OverhangPage::OverhangPage(QWidget *parent) : QWidget(parent)
{
    lblTitle = new QLabel(QStringLiteral("Cluster overhang for FAT and FAT32 drives"), this);
    QFont titleFont(QStringLiteral("Times New Roman"));
    titleFont.setPixelSize(16);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    QPalette titleColours = lblTitle->palette();
    titleColours.setColor(QPalette::WindowText,
                          legibleInk(QColor(0, 0, 128), titleColours.color(QPalette::Window)));
    lblTitle->setPalette(titleColours);
    lblTitle->setGeometry(8, 4, 600, 20);

    const int headingTop = 28;
    const std::array<QString, 2> fat = OverhangFigures::fatHeadings(QString());
    lblFatHeadings[0] = caption(fat[0], this, QRect(8, headingTop, 110, 16), true);
    lblFatHeadings[1] = caption(fat[1], this, QRect(122, headingTop, 130, 16), true);
    caption(QStringLiteral("Cluster size"), this, QRect(262, headingTop, 70, 16), true);
    QLabel *wastedHeading =
        caption(QStringLiteral("Percent wasted"), this, QRect(340, headingTop, 160, 16), true);
    caption(QStringLiteral("Wasted space"), this, QRect(510, headingTop, 110, 16), true)
        ->setAlignment(Qt::AlignRight);
    for (int row = 0; row < OverhangFigures::rowCount; ++row) {
        const int top = firstRowTop + row * rowHeight + (rowHeight - 16) / 2;
        const size_t r = size_t(row);
        caption(QString::fromLatin1(OverhangFigures::fatSizes[r]), this, QRect(8, top, 110, 16));
        caption(QString::fromLatin1(OverhangFigures::fat32Sizes[r]), this,
                QRect(122, top, 110, 16));
        caption(QString::fromLatin1(OverhangFigures::clusterCaptions[r]), this,
                QRect(272, top, 50, 16));
        lblWasted[row] = caption(QString(), this, QRect(510, top, 110, 16));
        lblWasted[row]->setAlignment(Qt::AlignRight);
    }
    lblArrow = new QLabel(this);
    lblArrow->setPixmap(arrowPicture());
    lblArrow->resize(40, 32);
    lblArrow->hide();

    chartWaste = makeRowBarChart(this, Qt::red, QStringLiteral("#,##0. %"), 25);
    // The bars' front faces span the five rows, so each bar is level with its row; their
    // depth (a share of the chart's height, drawn at 45 degrees) rises above the first row,
    // behind the heading.
    const double depthRise = 25.0 / 100 * 0.70710678;
    const int chartHeight = qRound(5 * rowHeight / (1 - depthRise));
    chartWaste->setGeometry(336, firstRowTop + 5 * rowHeight - chartHeight, 170, chartHeight);
    chartWaste->backColor = Qt::transparent;
    wastedHeading->raise();

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
    // The whole note shows at the window's starting size.
    const int noteTop = firstRowTop + 5 * rowHeight + 32;
    memoNotes->setGeometry(8, noteTop, 612, 358 - noteTop);
    QFont noteFont(QStringLiteral("Arial"));
    noteFont.setPixelSize(11);
    memoNotes->setFont(noteFont);
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
    for (const QString &line : lines)
        m_fatNote += line.isEmpty() ? QStringLiteral("\n\n") : line;
    memoNotes->setPlainText(m_fatNote);

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

    // The table keeps its place; the note and the covering panel take the room a larger
    // window gives.
    auto *anchors = new Anchors(this);
    const Qt::Edges everySide = Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge;
    anchors->pin(memoNotes, everySide);
    anchors->pin(pnlNotApplicable, everySide);
}

void OverhangPage::setFileSystem(const QString &fileSystem)
{
    lblTitle->setText(OverhangFigures::title(fileSystem));
    const std::array<QString, 2> fat = OverhangFigures::fatHeadings(fileSystem);
    for (int i = 0; i < 2; ++i)
        lblFatHeadings[i]->setText(fat[size_t(i)]);
    if (OverhangFigures::isFat(fileSystem)) {
        memoNotes->setPlainText(m_fatNote);
        return;
    }
    // Other file systems allocate in blocks of their own size: the note speaks of those.
    memoNotes->setPlainText(
        QStringLiteral("This page is an illustration of the amount of disk space wasted due to "
                       "'cluster overhang.'  This is the smallest amount of space a file will "
                       "actually use.  The arrow points to your actual allocation unit, the "
                       "other numbers are hypothetical.\n\n") +
        QStringLiteral("The %1 file system stores files in blocks of one size, its allocation "
                       "unit.  A file of one byte takes an entire block and a file that's one "
                       "byte larger than a block takes two blocks.  The larger the blocks, the "
                       "more overhang or waste is involved.\n\n")
            .arg(fileSystem) +
        QStringLiteral("The allocation unit is chosen when the file system is made; some file "
                       "systems keep very small files inside their own records and waste less "
                       "than shown here."));
}

int OverhangPage::arrowRow() const
{
    if (lblArrow->isHidden())
        return -1;
    return (lblArrow->y() - firstRowTop + rowHeight / 2) / rowHeight;
}

void OverhangPage::drawClusterArrow(qint32 clusterSize)
{
    lblArrow->hide();
    const int row = OverhangFigures::rowOfClusterSize(clusterSize);
    if (row >= 0) {
        lblArrow->move(226, firstRowTop + row * rowHeight + (rowHeight - 32) / 2);
        lblArrow->show();
    }
    pnlNotApplicable->setVisible(lblArrow->isHidden());
    if (pnlNotApplicable->isVisible())
        pnlNotApplicable->raise();
}

bool OverhangPage::doOverHang(const StatAccumulators &stats, qint32 clusterSize)
{
    const OverhangFigures figures = OverhangFigures::compute(stats, clusterSize);
    if (!figures.hasFiles())
        return false;
    for (int row = 0; row < OverhangFigures::rowCount; ++row) {
        lblWasted[row]->setText(floatToGrouped(figures.waste[size_t(row)]));
        fitLabelToText(lblWasted[row]);
    }
    drawClusterArrow(clusterSize);
    pnlResult->show();
    lblFiles->setText(figures.filesText);
    lblTotal->setText(figures.totalText);
    if (figures.clusterRow >= 0)
        lblActual->setText(figures.actualText);
    // The space the files take as the disk counts it, beside the space worked out above.
    if (stats.options().countOnDisk)
        lblActual->setText(lblActual->text() + QStringLiteral(", on disk ") +
                           formatFloat(QStringLiteral("#,##0.#"), stats.onDisk.files / 1048576.0) +
                           QStringLiteral(" MB (measured)"));
    placeResultStrip();
    // From 64K up to 4K, so that the 4K bar stands at the top, level with its row.
    ChartSeries &bars = chartWaste->seriesAt(0);
    bars.clear();
    double smallest = 0;
    for (int row = OverhangFigures::rowCount - 1; row >= 0; --row) {
        const double percent = figures.percentWasted[size_t(row)];
        bars.add(percent, QString(), Qt::red);
        if (percent > 0 && (smallest == 0 || percent < smallest))
            smallest = percent;
    }
    // Whole percents as designed; where a bar stands for less than one percent (a large disk
    // of large files), the decimals that tell it from 0 (0.005 % needs three).
    const int decimals =
        smallest > 0 && smallest < 1 ? std::clamp(int(std::ceil(-std::log10(smallest))), 1, 4) : 0;
    bars.marks.format =
        decimals == 0 ? QStringLiteral("#,##0. %")
                      : QStringLiteral("#,##0.") + QString(decimals, u'0') + QStringLiteral(" %");
    chartWaste->update();
    return true;
}

void OverhangPage::placeResultStrip()
{
    // The three texts side by side, each in full, at their designed places where they fit
    // there; otherwise packed from the left with even gaps, in a smaller face if need be.
    QLabel *const strip[] = {lblFiles, lblTotal, lblActual};
    const int designedX[] = {6, 212, 418};
    QFont face = lblFiles->font();
    face.setPixelSize(QFontInfo(pnlResult->font()).pixelSize());
    int right = 0;
    int widths = 0;
    const auto measure = [&] {
        right = widths = 0;
        for (int i = 0; i < 3; ++i) {
            QLabel *label = strip[i];
            label->setFont(face);
            label->resize(label->fontMetrics().horizontalAdvance(label->text()) + 4,
                          label->height());
            label->move(std::max(designedX[i], right + 6), label->y());
            widths += label->width();
            right = label->geometry().right();
        }
    };
    measure();
    while (widths + 24 > pnlResult->width() && face.pixelSize() > 8) {
        face.setPixelSize(face.pixelSize() - 1);
        measure();
    }
    if (right > pnlResult->width() - 6) {
        const int gap = std::max(6, (pnlResult->width() - 12 - widths) / 2);
        int x = 6;
        for (QLabel *label : strip) {
            label->move(x, label->y());
            x += label->width() + gap;
        }
    }
}
