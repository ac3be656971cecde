#include "AttributePage.h"

#include "BandCharts.h"

#include "collection/StatAccumulators.h"
#include "common/Utility.h"
#include "reports/ReportPage.h"
#include "widgets/Chart.h"
#include "widgets/LabelFit.h"

#include <QAction>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include <algorithm>

namespace {

constexpr int firstRowTop = 40;
constexpr int rowHeight = 50;

Chart *shareChart(QWidget *parent, int left, const QColor &colour)
{
    Chart *chart = makeRowBarChart(parent, colour, QStringLiteral("#,##0.## %"), 25);
    chart->setGeometry(left, firstRowTop, 150, 4 * rowHeight);
    return chart;
}

QLabel *label(const QString &text, QWidget *parent, const QRect &where, bool bold,
              Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto *l = new QLabel(text, parent);
    QFont font = l->font();
    font.setBold(bold);
    l->setFont(font);
    l->setAlignment(alignment);
    l->setGeometry(where);
    return l;
}

} // namespace

AttributePage::AttributePage(QWidget *parent) : QWidget(parent)
{
    label(QStringLiteral("% of total # files"), this, QRect(100, 14, 150, 20), true,
          Qt::AlignCenter);
    label(QStringLiteral("# Files"), this, QRect(256, 14, 80, 20), true,
          Qt::AlignRight | Qt::AlignVCenter);
    label(QStringLiteral("% of total size"), this, QRect(346, 14, 150, 20), true, Qt::AlignCenter);
    label(QStringLiteral("File Sizes"), this, QRect(500, 14, 120, 20), true,
          Qt::AlignRight | Qt::AlignVCenter);
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    for (int row = 0; row < 4; ++row) {
        const QRect band(0, firstRowTop + row * rowHeight, 0, rowHeight);
        label(ReportPage::attributeLabel(rowAttribute(row)), this,
              QRect(10, band.top(), 88, rowHeight), true);
        lblFiles[row] = label(QString(), this, QRect(256, band.top(), 80, rowHeight), false, right);
        lblSizes[row] =
            label(QString(), this, QRect(500, band.top(), 120, rowHeight), false, right);
    }
    chartFiles = shareChart(this, 100, Qt::red);
    chartSizes = shareChart(this, 346, Qt::blue);
    auto *note =
        label(QStringLiteral("Note it is possible that some files may have more than one "
                             "attribute set.  For example many system files are also hidden."),
              this, QRect(10, firstRowTop + 4 * rowHeight + 16, 610, 40), false);
    note->setWordWrap(true);

    const char *rows[] = {"Show &hidden files...", "Show &read-only files...",
                          "Show &system files...", "Show &archive files..."};
    for (int row = 0; row < 4; ++row) {
        auto *action = new QAction(QString::fromLatin1(rows[row]), this);
        connect(action, &QAction::triggered, this, [this, row] {
            Q_EMIT showFiles(ListRow{ListRow::Attribute, int(rowAttribute(row)), {}});
        });
        addAction(action);
    }
    setContextMenuPolicy(Qt::ActionsContextMenu);
    setFocusPolicy(Qt::StrongFocus);
    // The bars stand from archive (the lowest) up to hidden.
    for (Chart *chart : {chartFiles, chartSizes})
        connect(chart, &Chart::categoryClicked, this, [this](int category) {
            Q_EMIT showFiles(ListRow{ListRow::Attribute, int(rowAttribute(3 - category)), {}});
        });
}

quint32 AttributePage::rowAttribute(int row)
{
    return row >= 0 && row < 4 ? ReportPage::attributeRows[size_t(row)] : 0;
}

void AttributePage::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
        m_currentRow = std::clamp(m_currentRow + (event->key() == Qt::Key_Up ? -1 : 1), 0, 3);
        update();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Q_EMIT showFiles(ListRow{ListRow::Attribute, int(rowAttribute(m_currentRow)), {}});
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void AttributePage::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = QRect(4, firstRowTop + m_currentRow * rowHeight, width() - 8, rowHeight);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
}

void AttributePage::mouseDoubleClickEvent(QMouseEvent *event)
{
    const int y = int(event->position().y()) - firstRowTop;
    if (y >= 0 && y < 4 * rowHeight)
        Q_EMIT showFiles(ListRow{ListRow::Attribute, int(rowAttribute(y / rowHeight)), {}});
    QWidget::mouseDoubleClickEvent(event);
}

void AttributePage::doFileAttrs(const StatAccumulators &stats)
{
    qint64 counts[4];
    double bytes[4];
    for (int row = 0; row < 4; ++row) {
        const StatAccumulators::AttributeFigures figures =
            stats.attributeFigures(rowAttribute(row));
        counts[row] = figures.files;
        bytes[row] = figures.bytes;
    }
    double files = 0;
    double sizes = 0;
    for (int row = 0; row < 4; ++row) {
        lblFiles[row]->setText(intToGrouped(counts[row]));
        lblSizes[row]->setText(floatToGrouped(bytes[row]));
        fitLabelToText(lblFiles[row]);
        fitLabelToText(lblSizes[row]);
        files += double(counts[row]);
        sizes += bytes[row];
    }
    ChartSeries &fileShares = chartFiles->seriesAt(0);
    ChartSeries &sizeShares = chartSizes->seriesAt(0);
    fileShares.clear();
    sizeShares.clear();
    // Added from archive up to hidden: the first bar stands lowest, level with the last row.
    for (int row = 3; row >= 0; --row) {
        if (files > 0)
            fileShares.add(100 * double(counts[row]) / files, QString(), Qt::red);
        if (sizes > 0)
            sizeShares.add(100 * bytes[row] / sizes, QString(), Qt::blue);
    }
    chartFiles->update();
    chartSizes->update();
}
