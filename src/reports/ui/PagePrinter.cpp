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
#include <optional>

namespace {

constexpr double designDpi = 96.0;

// The frame of every printed page, laid out in screen pixels (96 per inch) on a painter scaled
// to the printer.
class PageFrame {
public:
    PageFrame(QPrinter &printer, QPainter &painter, QString title)
        : m_painter(painter), m_title(std::move(title)), m_now(QDateTime::currentDateTime())
    {
        m_font = QFont(QStringLiteral("Arial"));
        m_font.setPixelSize(11);
        m_rowHeight = QFontMetricsF(m_font).height() + 4;
        const double scale = printer.resolution() / designDpi;
        m_page = QRectF(QPointF(0, 0), printer.pageRect(QPrinter::DevicePixel).size() / scale);
    }

    // Draws the frame of page number (1 up) on the painter as it is scaled now.
    void draw(int number)
    {
        const QRectF line(margin, margin, m_page.width() - 2 * margin, m_rowHeight);
        QFont bold = m_font;
        bold.setBold(true);
        m_painter.setFont(bold);
        m_painter.drawText(line, Qt::AlignHCenter | Qt::AlignVCenter, m_title);
        m_painter.setFont(m_font);
        const QLocale locale;
        m_painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                           locale.toString(m_now.date(), QLocale::ShortFormat));
        m_painter.drawText(line, Qt::AlignRight | Qt::AlignVCenter,
                           locale.toString(m_now.time(), QLocale::ShortFormat));
        m_painter.drawText(QRectF(margin, m_page.height() - margin - m_rowHeight, 200, m_rowHeight),
                           Qt::AlignLeft | Qt::AlignVCenter,
                           QStringLiteral("Page ") + QString::number(number));
    }

    // The page in screen pixels, and the room inside the frame.
    QRectF page() const { return m_page; }
    QRectF inside() const
    {
        return m_page.adjusted(margin, margin + 2 * m_rowHeight, -margin,
                               -margin - 2 * m_rowHeight);
    }
    QFont font() const { return m_font; }
    double rowHeight() const { return m_rowHeight; }

    static constexpr double margin = 20;

private:
    QPainter &m_painter;
    QString m_title;
    QDateTime m_now;
    QFont m_font;
    double m_rowHeight = 0;
    QRectF m_page;
};

// A single page: the painter scaled to screen pixels, the frame drawn; the room inside the
// frame, or nothing when the printer cannot be painted on.
std::optional<QRectF> framedPage(QPrinter &printer, QPainter &painter, const QString &title)
{
    if (!painter.isActive())
        return std::nullopt;
    painter.scale(printer.resolution() / designDpi, printer.resolution() / designDpi);
    PageFrame frame(printer, painter, title);
    frame.draw(1);
    return frame.inside();
}

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
    PageFrame frame(printer, painter, title);
    const QRectF page = frame.page();
    const QFont font = frame.font();
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    const double rowHeight = frame.rowHeight();
    const double margin = PageFrame::margin;
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

    int pageNumber = 0;
    auto startPage = [&] {
        if (pageNumber > 0)
            printer.newPage();
        frame.draw(++pageNumber);
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

void PagePrinter::printChart(QPrinter &printer, const Chart &chart, const QString &title)
{
    QPainter painter(&printer);
    const std::optional<QRectF> framed = framedPage(printer, painter, title);
    if (!framed)
        return;
    // Laid out at the chart's own size in screen pixels, then scaled to fill the frame.
    const QRectF inside = *framed;
    const QSizeF design = chart.size().isEmpty() ? QSizeF(632, 382) : QSizeF(chart.size());
    const double scale =
        std::min(inside.width() / design.width(), inside.height() / design.height());
    painter.translate(inside.left() + (inside.width() - design.width() * scale) / 2, inside.top());
    painter.scale(scale, scale);
    chart.paint(painter, QRectF(QPointF(0, 0), design));
}

void PagePrinter::printPicture(QPrinter &printer, QWidget &widget, const QString &title)
{
    const QPixmap picture = widget.grab();
    QPainter painter(&printer);
    const std::optional<QRectF> framed = framedPage(printer, painter, title);
    if (!framed)
        return;
    // At its screen size, or smaller to fit inside the frame when the window is larger
    // (maximised, it would be cut off at the page's edge).
    const QRectF inside = *framed;
    const QSizeF logical = QSizeF(picture.size()) / picture.devicePixelRatio();
    const double scale =
        std::min({1.0, inside.width() / logical.width(), inside.height() / logical.height()});
    painter.translate(inside.topLeft());
    painter.scale(scale, scale);
    painter.drawPixmap(QRectF(QPointF(0, 0), logical), picture, QRectF(picture.rect()));
}
