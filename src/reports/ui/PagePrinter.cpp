#include "PagePrinter.h"

#include "common/TextGrid.h"
#include "widgets/Chart.h"

#include <QDateTime>
#include <QLocale>
#include <QPainter>
#include <QPrinter>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

constexpr double designDpi = 96.0;

} // namespace

int PagePrinter::printGrid(QPrinter &printer, const TextGrid &grid, const QString &title,
                           const QList<int> &partWidths, const QList<int> &rightAligned)
{
    QPainter painter(&printer);
    if (!painter.isActive())
        return 0;
    // Lay the page out in screen pixels (96 per inch), scaled to the printer.
    const double scale = printer.resolution() / designDpi;
    painter.scale(scale, scale);
    const QRectF page(QPointF(0, 0), printer.pageRect(QPrinter::DevicePixel).size() / scale);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    const double rowHeight = metrics.height() + 4;
    const double margin = 20;
    // Each column as wide as given, or as its widest cell (in bold, as headings and totals are
    // printed) needs, so that no figure is cut off on paper either.
    QFont boldFont = font;
    boldFont.setBold(true);
    const QFontMetricsF boldMetrics(boldFont);
    QList<double> columnWidths;
    for (int c = 0; c < partWidths.size(); ++c) {
        double width = partWidths[c];
        for (int row = 0; row < grid.rowCount(); ++row)
            width =
                std::max(width, std::ceil(boldMetrics.horizontalAdvance(grid.cell(c, row))) + 6);
        columnWidths.append(width);
    }

    double tableWidth = 0;
    for (double width : columnWidths)
        tableWidth += width;
    const double left = std::max(margin, (page.width() - tableWidth) / 2);
    const double top = margin + 2 * rowHeight;
    const double bottom = page.height() - margin - 2 * rowHeight;
    const int rowsPerPage = std::max(1, int((bottom - top) / rowHeight));

    const QDateTime now = QDateTime::currentDateTime();
    const QLocale locale;
    int pageNumber = 0;
    auto startPage = [&] {
        if (pageNumber > 0)
            printer.newPage();
        ++pageNumber;
        QFont bold = font;
        bold.setBold(true);
        painter.setFont(bold);
        painter.drawText(QRectF(margin, margin, page.width() - 2 * margin, rowHeight),
                         Qt::AlignHCenter | Qt::AlignVCenter, title);
        painter.setFont(font);
        painter.drawText(QRectF(margin, margin, page.width() - 2 * margin, rowHeight),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         locale.toString(now.date(), QLocale::ShortFormat));
        painter.drawText(QRectF(margin, margin, page.width() - 2 * margin, rowHeight),
                         Qt::AlignRight | Qt::AlignVCenter,
                         locale.toString(now.time(), QLocale::ShortFormat));
        painter.drawText(QRectF(margin, page.height() - margin - rowHeight, 200, rowHeight),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("Page ") + QString::number(pageNumber));
    };

    startPage();
    int line = 0;
    for (int row = 0; row < grid.rowCount(); ++row) {
        if (line == rowsPerPage) {
            startPage();
            line = 0;
        }
        const double y = top + line * rowHeight;
        double x = left;
        QFont rowFont = font;
        rowFont.setBold(row == 0 || row == grid.rowCount() - 1);
        painter.setFont(rowFont);
        for (int c = 0; c < columnWidths.size(); ++c) {
            const QRectF cell(x + 3, y, columnWidths[c] - 6, rowHeight);
            const Qt::Alignment align = rightAligned.contains(c) ? Qt::AlignRight : Qt::AlignLeft;
            painter.drawText(cell, align | Qt::AlignVCenter,
                             metrics.elidedText(grid.cell(c, row), Qt::ElideRight, cell.width()));
            x += columnWidths[c];
        }
        ++line;
    }
    return pageNumber;
}

void PagePrinter::printChart(QPrinter &printer, const Chart &chart)
{
    QPainter painter(&printer);
    if (!painter.isActive())
        return;
    const QRectF page(QPointF(0, 0), printer.pageRect(QPrinter::DevicePixel).size());
    // Laid out at the chart's own size in screen pixels, then scaled to fill the page.
    const QSizeF design = chart.size().isEmpty() ? QSizeF(632, 382) : QSizeF(chart.size());
    const double scale = std::min(page.width() / design.width(), page.height() / design.height());
    painter.scale(scale, scale);
    chart.paint(painter, QRectF(QPointF(0, 0), design));
}

void PagePrinter::printPicture(QPrinter &printer, QWidget &widget)
{
    const QPixmap picture = widget.grab();
    QPainter painter(&printer);
    if (!painter.isActive())
        return;
    // At its screen size, or smaller to fit the printable area when the window is larger
    // (maximised, it would be cut off at the page's edge).
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    const QSizeF logical = QSizeF(picture.size()) / picture.devicePixelRatio();
    double scale = printer.resolution() / designDpi;
    scale = std::min({scale, page.width() / logical.width(), page.height() / logical.height()});
    painter.scale(scale, scale);
    painter.drawPixmap(QRectF(QPointF(0, 0), logical), picture, QRectF(picture.rect()));
}
