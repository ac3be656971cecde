#include "common/NumberPattern.h"
#include "reports/FolderTiles.h"
#include "reports/FolderTreeModel.h"
#include "reports/Treemap.h"
#include "support/TestEnvironment.h"
#include "widgets/Chart.h"
#include "widgets/ChartPainter.h"

#include <QSignalSpy>
#include <QTest>
#include <QtMath>

namespace {

const QSize pageSize(632, 382);

// Pixels within a small distance of colour.
int countColour(const QImage &image, const QColor &colour, int tolerance = 6)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) <= tolerance &&
                std::abs(c.green() - colour.green()) <= tolerance &&
                std::abs(c.blue() - colour.blue()) <= tolerance)
                ++count;
        }
    return count;
}

QPointF centroid(const QImage &image, const QColor &colour)
{
    double sx = 0, sy = 0;
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) <= 40 &&
                std::abs(c.green() - colour.green()) <= 40 &&
                std::abs(c.blue() - colour.blue()) <= 40)
                sx += x, sy += y, ++n;
        }
    return n ? QPointF(sx / n, sy / n) : QPointF(-1, -1);
}

int differingPixels(const QImage &a, const QImage &b)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                ++count;
    return count;
}

// The box around everything that is not the background colour.
QRect inkBounds(const QImage &image, const QColor &background)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) != background)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

void flatChart(Chart &chart)
{
    chart.view.enabled = false;
    chart.backWall.color = Qt::white;
    chart.backColor = Qt::white;
    chart.leftAxis.grid = false;
}

void pieChart(Chart &chart, double explode, double rotation)
{
    chart.backColor = Qt::white;
    ChartSeries &pie = chart.addSeries(ChartSeries::Pie);
    pie.explodeBiggestPercent = explode;
    pie.rotation = rotation;
    pie.add(60, QStringLiteral("big"), Qt::red);
    pie.add(25, QStringLiteral("middle"), Qt::blue);
    pie.add(15, QStringLiteral("small"), Qt::green);
}

void driveBars(Chart &chart)
{
    chart.backColor = Qt::white;
    ChartSeries &used = chart.addSeries(ChartSeries::Bar, QStringLiteral("used"), Qt::blue);
    ChartSeries &free = chart.addSeries(ChartSeries::Bar, QStringLiteral("free"), Qt::magenta);
    free.stacked = true;
    for (int i = 0; i < 3; ++i) {
        used.add(10 + i * 5, QString(QLatin1Char(char('c' + i))));
        free.add(8, QString(QLatin1Char(char('c' + i))));
    }
}

} // namespace

class TestChart : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { pinTestEnvironment(); }

    void stackedBarsStandOnEachOther()
    {
        Chart chart;
        flatChart(chart);
        ChartSeries &bottom = chart.addSeries(ChartSeries::Bar, QString(), Qt::red);
        ChartSeries &top = chart.addSeries(ChartSeries::Bar, QString(), Qt::blue);
        top.stacked = true;
        bottom.add(2);
        top.add(3);
        QCOMPARE(chart.fullValueRange().first, 0.0);
        QVERIFY(chart.fullValueRange().second >= 5);
        const QImage image = chart.renderImage(pageSize);
        // Along the bar's middle column: blue above red, in the ratio of the values.
        const int x = (image.width() + 40) / 2;
        int redTop = image.height(), redBottom = -1, blueTop = image.height(), blueBottom = -1;
        for (int y = 0; y < image.height(); ++y) {
            const QColor c = image.pixelColor(x, y);
            if (c == QColor(Qt::red))
                redTop = std::min(redTop, y), redBottom = std::max(redBottom, y);
            if (c == QColor(Qt::blue))
                blueTop = std::min(blueTop, y), blueBottom = std::max(blueBottom, y);
        }
        QVERIFY(redBottom > 0 && blueBottom > 0);
        QVERIFY(blueBottom <= redTop + 1);
        const double ratio = double(blueBottom - blueTop) / (redBottom - redTop);
        QVERIFY2(std::abs(ratio - 1.5) < 0.1, qPrintable(QString::number(ratio)));
    }

    // The box laid out in numbers before it is drawn: every bar inside the front plane and
    // the depth, its length in proportion to its value, a stacked bar standing on the one
    // below, bars of one band side by side and of two bands apart, never overlapping.
    void boxLayoutInNumbers_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("stacked");
        QTest::addColumn<double>("offset");
        QTest::newRow("vertical") << int(ChartSeries::Bar) << false << 0.0;
        QTest::newRow("horizontal") << int(ChartSeries::HorizontalBar) << false << 0.0;
        QTest::newRow("stacked") << int(ChartSeries::Bar) << true << 0.0;
        QTest::newRow("side by side") << int(ChartSeries::HorizontalBar) << false << 25.0;
    }
    void boxLayoutInNumbers()
    {
        QFETCH(int, kind);
        QFETCH(bool, stacked);
        QFETCH(double, offset);
        Chart chart;
        chart.view.depth = 20;
        const double values[2][4] = {{1, 4, 0, 9}, {2, 3, 5, 1}};
        for (int s = 0; s < 2; ++s) {
            ChartSeries &series = chart.addSeries(ChartSeries::Kind(kind), QString(), Qt::red);
            series.stacked = stacked && s == 1;
            series.offsetPercent = s == 0 ? -offset : offset;
            series.barWidthPercent = offset > 0 ? 40 : 70;
            for (double value : values[s])
                series.add(value, QStringLiteral("band"));
        }
        QImage image(pageSize, QImage::Format_ARGB32);
        QPainter painter(&image);
        const ChartPainter::BoxLayout box =
            ChartPainter(chart, painter, QRectF(QPointF(), QSizeF(pageSize)))
                .layoutBox(QRectF(20, 30, 560, 400));
        QVERIFY(box.drawable());
        QCOMPARE(box.bars.size(), 8);
        QVERIFY(box.plot.contains(box.front) && QRectF(20, 30, 560, 400).contains(box.plot));
        QVERIFY(std::is_sorted(box.ticks.begin(), box.ticks.end()));
        QVERIFY(box.ticks.first() >= box.low && box.ticks.last() <= box.high);
        const bool horizontal = kind == ChartSeries::HorizontalBar;
        const double perUnit = std::abs(box.valuePixel(1) - box.valuePixel(0));
        QVERIFY(perUnit > 1);
        for (const ChartPainter::BoxLayout::Bar &bar : box.bars) {
            const double tolerance = 0.01;
            QVERIFY(bar.x0 >= box.front.left() - tolerance &&
                    bar.x1 <= box.front.right() + tolerance);
            QVERIFY(bar.y0 >= box.front.top() - tolerance &&
                    bar.y1 <= box.front.bottom() + tolerance);
            QVERIFY(bar.z0 >= 0 && bar.z1 <= box.depth && bar.z0 < bar.z1);
            const double length = horizontal ? bar.x1 - bar.x0 : bar.y1 - bar.y0;
            QCOMPARE(qRound(length / perUnit * 100), qRound(values[bar.series][bar.point] * 100));
            QCOMPARE(bar.empty, values[bar.series][bar.point] == 0);
        }
        for (const ChartPainter::BoxLayout::Bar &a : box.bars)
            for (const ChartPainter::BoxLayout::Bar &b : box.bars) {
                if (&a == &b)
                    continue;
                const bool sameSlot = a.z0 < b.z1 && b.z0 < a.z1;
                const bool crossBand =
                    horizontal ? a.y0 < b.y1 && b.y0 < a.y1 : a.x0 < b.x1 && b.x0 < a.x1;
                const bool alongValues = horizontal ? a.x0 < b.x1 && b.x0 < a.x1
                                                    : a.y0 < b.y1 - 0.01 && b.y0 < a.y1 - 0.01;
                QVERIFY2(!(sameSlot && crossBand && alongValues && !a.empty && !b.empty),
                         qPrintable(QStringLiteral("bars %1/%2 and %3/%4 overlap")
                                        .arg(a.series)
                                        .arg(a.point)
                                        .arg(b.series)
                                        .arg(b.point)));
                // A stacked bar stands exactly on the bar below it.
                if (stacked && a.series == 0 && b.series == 1 && a.point == b.point && !a.empty)
                    QCOMPARE(qRound(b.y1 * 100), qRound(a.y0 * 100));
            }
    }

    // The treemap in numbers: every tile inside the area, in proportion to its value within
    // 1%, none overlapping another, none thinner than the values force.
    void treemapLayout_data()
    {
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<QRectF>("area");
        QTest::newRow("even") << QList<double>{6, 6, 4, 3, 2, 2, 1} << QRectF(0, 0, 600, 400);
        QTest::newRow("one large") << QList<double>{1000, 10, 5, 1} << QRectF(10, 20, 300, 300);
        QTest::newRow("many small") << [] {
            QList<double> values;
            for (int i = 200; i > 0; --i)
                values.append(i);
            return values;
        }() << QRectF(0, 0, 800, 500);
        QTest::newRow("with nothing") << QList<double>{5, 0, 3} << QRectF(0, 0, 100, 100);
    }
    void treemapLayout()
    {
        QFETCH(QList<double>, values);
        QFETCH(QRectF, area);
        const QList<QRectF> tiles = Treemap::layout(values, area);
        QCOMPARE(tiles.size(), values.size());
        double total = 0;
        for (double value : values)
            total += value;
        for (qsizetype i = 0; i < tiles.size(); ++i) {
            const QRectF &tile = tiles[i];
            if (values[i] <= 0) {
                QVERIFY(tile.isEmpty());
                continue;
            }
            QVERIFY(area.adjusted(-0.01, -0.01, 0.01, 0.01).contains(tile));
            const double share = tile.width() * tile.height() / (area.width() * area.height());
            QVERIFY2(std::abs(share - values[i] / total) <= 0.01 * values[i] / total,
                     qPrintable(QString::number(i)));
            for (qsizetype j = i + 1; j < tiles.size(); ++j)
                QVERIFY(tiles[i].intersected(tiles[j]).width() *
                            tiles[i].intersected(tiles[j]).height() <
                        0.01);
        }
        // Squarified: even values make tiles near square.
        if (QTest::currentDataTag() == QByteArray("even"))
            for (const QRectF &tile : tiles)
                QVERIFY(std::max(tile.width() / tile.height(), tile.height() / tile.width()) < 4);
    }

    // A folder's treemap: its items in proportion to their bytes, each folder's items inside
    // it below its caption, none overlapping its neighbours; files past the largest kept are
    // one tile.
    void folderTilesNest()
    {
        FolderRecords records;
        const quint32 root = records.add(FolderRecords::noParent, "/r");
        const quint32 a = records.add(root, "a");
        const quint32 b = records.add(root, "b");
        const quint32 c = records.add(a, "c");
        FolderRecords::Contents own;
        for (int i = 0; i < 20; ++i)
            own.add(QByteArray("f") + QByteArray::number(i) + ".txt", 1000 + i, 0);
        records.addContents(root, std::move(own));
        for (const auto &[folder, name, size] :
             {std::tuple{a, "big.iso", 300000}, {b, "b.doc", 90000}, {c, "deep.bin", 120000}}) {
            FolderRecords::Contents files;
            files.add(name, size, 0);
            records.addContents(folder, std::move(files));
        }
        const FolderTree tree(records);
        FolderTiles::Options options;
        options.caption = 15;
        options.border = 2;
        const QRectF area(0, 0, 400, 300);
        const QList<FolderTile> tiles = FolderTiles::layout(tree, root, area, options);
        const double whole = double(tree.node(root).bytes);
        int smaller = 0;
        for (qsizetype i = 0; i < tiles.size(); ++i) {
            const FolderTile &tile = tiles[i];
            const QRectF within =
                tile.parent < 0 ? area : tiles[tile.parent].rect.adjusted(2, 17, -2, -2);
            QVERIFY(within.adjusted(-0.01, -0.01, 0.01, 0.01).contains(tile.rect));
            if (tile.depth == 0)
                QVERIFY(std::abs(tile.rect.width() * tile.rect.height() / (400 * 300) -
                                 double(tile.bytes) / whole) < 0.01 * double(tile.bytes) / whole);
            for (qsizetype j = i + 1; j < tiles.size(); ++j)
                if (tiles[j].parent == tile.parent)
                    QVERIFY(tile.rect.intersected(tiles[j].rect).width() *
                                tile.rect.intersected(tiles[j].rect).height() <
                            0.01);
            if (tile.kind == FolderTile::SmallerFiles) {
                ++smaller;
                QCOMPARE(tile.files, qint64(20 - FolderRecords::keptFilesPerFolder));
                QCOMPARE(tile.bytes, qint64(1000 + 1001 + 1002 + 1003 + 1004 + 1005 + 1006 + 1007));
            }
        }
        QCOMPARE(smaller, 1);
        // The deepest file is drawn inside c, inside a.
        const auto deep = std::find_if(tiles.begin(), tiles.end(), [](const FolderTile &tile) {
            return tile.file == "deep.bin";
        });
        QVERIFY(deep != tiles.end());
        QCOMPARE(deep->depth, 2);
        QCOMPARE(FolderTiles::tileAt(tiles, deep->rect.center()), int(deep - tiles.begin()));

        // Its files moved to the trash, a folder smaller than its neighbour moves below it, in
        // the tree and in the model the Folders window shows (a kept index follows it).
        FolderTree shrinking(records);
        FolderTreeModel model(shrinking, false);
        const QModelIndex top = model.index(0, 0);
        QPersistentModelIndex first = model.index(0, 0, top);
        QCOMPARE(first.data().toString(), QStringLiteral("a"));
        QVERIFY(model.drop("/r/a/big.iso"));
        QCOMPARE(model.index(0, 0, top).data().toString(), QStringLiteral("a")); // 120,000
        QVERIFY(model.drop("/r/a/c"));
        QCOMPARE(model.index(0, 0, top).data().toString(), QStringLiteral("b"));
        QCOMPARE(first.row(), 1);
        QCOMPARE(shrinking.node(a).row, quint32(1));
    }

    void pointColoursAppear()
    {
        Chart chart;
        flatChart(chart);
        ChartSeries &bars = chart.addSeries(ChartSeries::Bar, QString(), Qt::black);
        const QColor colours[] = {QColor(255, 0, 0), QColor(0, 128, 0), QColor(0, 0, 255)};
        for (const QColor &colour : colours)
            bars.add(5, QString(), colour);
        const QImage image = chart.renderImage(pageSize);
        for (const QColor &colour : colours)
            QVERIFY2(countColour(image, colour, 0) > 500, qPrintable(colour.name()));
        QCOMPARE(countColour(image, Qt::black, 0) > 500, false);
    }

    void smallSlicesGoToOther()
    {
        Chart chart;
        chart.backColor = Qt::white;
        ChartSeries &pie = chart.addSeries(ChartSeries::Pie);
        pie.otherPercent = 5;
        pie.add(90, QStringLiteral("big"), QColor(200, 0, 0));
        for (int i = 0; i < 11; ++i)
            pie.add(0.9, QStringLiteral("tiny"), QColor(0, 0, 20 * i + 30));
        const QList<ChartSeries::Slice> slices = pie.pieSlices();
        QCOMPARE(slices.size(), 2);
        QCOMPARE(slices[1].label, QStringLiteral("Other"));
        QCOMPARE(slices[1].value, 0.9 * 11);
        const QImage image = chart.renderImage(pageSize);
        QVERIFY(countColour(image, QColor(192, 192, 192), 12) > 100);
        QCOMPARE(countColour(image, QColor(0, 0, 130), 3), 0);
    }

    void largestSliceIsPulledOut()
    {
        Chart together, apart;
        pieChart(together, 0, 0);
        pieChart(apart, 30, 0);
        const QPointF centre(pageSize.width() / 2.0, pageSize.height() / 2.0);
        const QPointF a = centroid(together.renderImage(pageSize), Qt::red);
        const QPointF b = centroid(apart.renderImage(pageSize), Qt::red);
        QVERIFY(QLineF(centre, b).length() > QLineF(centre, a).length() + 10);
        // The other slices stay where they were.
        const QPointF blueA = centroid(together.renderImage(pageSize), Qt::blue);
        const QPointF blueB = centroid(apart.renderImage(pageSize), Qt::blue);
        QVERIFY(QLineF(blueA, blueB).length() < 2);
    }

    void rotationTurnsThePie()
    {
        Chart still, turned;
        pieChart(still, 0, 0);
        pieChart(turned, 0, 90);
        const QPointF a = centroid(still.renderImage(pageSize), Qt::red);
        const QPointF b = centroid(turned.renderImage(pageSize), Qt::red);
        QVERIFY(QLineF(a, b).length() > 20);
    }

    void viewChangesThePicture_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::newRow("depth 0 and 50") << "depth";
        QTest::newRow("zoom 20 and 100") << "zoom";
        QTest::newRow("orthogonal and perspective") << "projection";
        QTest::newRow("rotation and elevation 280 and 360") << "rotation";
    }
    void viewChangesThePicture()
    {
        QFETCH(QString, setting);
        Chart a, b;
        driveBars(a);
        driveBars(b);
        a.view.orthogonal = b.view.orthogonal = setting != u"rotation";
        if (setting == u"depth") {
            a.view.depth = 0;
            b.view.depth = 50;
        } else if (setting == u"zoom") {
            a.view.zoom = 20;
        } else if (setting == u"projection") {
            b.view.orthogonal = false;
        } else {
            a.view.rotation = a.view.elevation = 280;
        }
        const QImage imageA = a.renderImage(pageSize);
        const QImage imageB = b.renderImage(pageSize);
        QVERIFY(differingPixels(imageA, imageB) > 2000);
        if (setting == u"zoom") {
            const QRect small = inkBounds(imageA, Qt::white);
            const QRect full = inkBounds(imageB, Qt::white);
            QVERIFY(small.width() * 3 < full.width());
        }
    }

    void marksShowFormattedValues_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<bool>("percent");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("gigabytes")
            << "#,##0.00 GB" << false << QStringList{"1,536.25 GB", "512.00 GB"};
        QTest::newRow("shares") << "##0.# %" << true << QStringList{"75 %", "25 %"};
    }
    void marksShowFormattedValues()
    {
        QFETCH(QString, format);
        QFETCH(bool, percent);
        QFETCH(QStringList, texts);
        Chart chart;
        ChartSeries &bars = chart.addSeries(ChartSeries::Bar);
        bars.marks.visible = true;
        bars.marks.format = format;
        bars.marks.percentOfTotal = percent;
        bars.add(1536.25);
        bars.add(512);
        QCOMPARE((QStringList{bars.markText(0), bars.markText(1)}), texts);
        // Marks are drawn: the picture differs from one without them.
        const QImage with = chart.renderImage(pageSize);
        bars.marks.visible = false;
        QVERIFY(differingPixels(with, chart.renderImage(pageSize)) > 50);
    }

    void hiddenSeriesAreNotDrawn()
    {
        Chart chart;
        flatChart(chart);
        ChartSeries &red = chart.addSeries(ChartSeries::Line, QStringLiteral("red"), Qt::red);
        ChartSeries &blue = chart.addSeries(ChartSeries::Line, QStringLiteral("blue"), Qt::blue);
        for (int i = 0; i < 10; ++i) {
            red.add(i);
            blue.add(10 - i);
        }
        QVERIFY(countColour(chart.renderImage(pageSize), Qt::blue, 0) > 50);
        blue.visible = false;
        const QImage image = chart.renderImage(pageSize);
        QCOMPARE(countColour(image, Qt::blue, 0), 0);
        QVERIFY(countColour(image, Qt::red, 0) > 50);
    }

    void axisLabelsAreDistinct_data()
    {
        QTest::addColumn<double>("high");
        QTest::addColumn<QString>("format");
        QTest::newRow("4 MB drive in GB") << 0.005 << QStringLiteral("#,##0.0# GB");
        QTest::newRow("drive chart") << 0.0004 << QStringLiteral("#,##0.0## GB");
        QTest::newRow("three files") << 3.0 << QStringLiteral("#,##0");
        QTest::newRow("large") << 7.5e12 << QStringLiteral("#,##0");
    }

    void axisLabelsAreDistinct()
    {
        QFETCH(double, high);
        QFETCH(QString, format);
        const QList<double> ticks = ChartPainter::valueTicks(0, high, format);
        QVERIFY(!ticks.isEmpty() && ticks.size() <= 6);
        QStringList texts;
        for (double v : ticks)
            texts.append(formatFloat(format, v));
        QCOMPARE(texts.removeDuplicates(), 0);
    }

    void zoomAndUndo()
    {
        Chart chart;
        driveBars(chart);
        const auto full = chart.fullValueRange();
        chart.zoomValueRange(10, 20, false);
        QVERIFY(chart.isZoomed());
        QCOMPARE(chart.valueRange(), std::pair(10.0, 20.0));
        chart.undoZoom();
        QVERIFY(!chart.isZoomed());
        QCOMPARE(chart.valueRange(), full);

        // Animated: a few frames, ending on the range asked for.
        chart.zoomValueRange(5, 15);
        QTRY_COMPARE(chart.valueRange(), std::pair(5.0, 15.0));
    }

    void mouseZoomsAndUndoes()
    {
        Chart chart;
        driveBars(chart);
        chart.view.enabled = false;
        chart.zoomFrames = 1;
        chart.resize(pageSize);
        chart.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chart));
        auto drag = [&](QPoint from, QPoint to) {
            QTest::mousePress(&chart, Qt::LeftButton, {}, from);
            QTest::mouseMove(&chart, (from + to) / 2);
            QTest::mouseMove(&chart, to);
            QTest::mouseRelease(&chart, Qt::LeftButton, {}, to);
        };
        drag(QPoint(200, 100), QPoint(400, 250));
        QTRY_VERIFY(chart.isZoomed());
        const auto [low, high] = chart.valueRange();
        QVERIFY(low > chart.fullValueRange().first && high < chart.fullValueRange().second);
        // The bands follow the rectangle too: of the three bars, the middle one is under it.
        const auto bands = chart.categoryZoom();
        QVERIFY(bands);
        QVERIFY(bands->first > 0.5 && bands->first < 1.5);
        QVERIFY(bands->second > 1.5 && bands->second < 2.5);
        drag(QPoint(400, 250), QPoint(200, 100));
        QVERIFY(!chart.isZoomed());
        QVERIFY(!chart.categoryZoom());
    }

    // The slice under a point, as painted: three quarters from the start angle on are the first
    // point's, the last quarter the second's, nothing outside the pie.
    void sliceUnderThePointer()
    {
        Chart chart;
        chart.view.enabled = false;
        chart.margins = QMarginsF(0, 0, 0, 0);
        ChartSeries &pie = chart.addSeries(ChartSeries::Pie);
        pie.add(3, QStringLiteral("big"), Qt::red);
        pie.add(1, QStringLiteral("small"), Qt::blue);
        chart.resize(400, 400);
        chart.grab();
        const QPointF centre(200, 200);
        auto at = [&](double degrees, double distance) {
            const double a = qDegreesToRadians(degrees);
            return (centre + QPointF(std::cos(a), -std::sin(a)) * distance).toPoint();
        };
        for (const double degrees : {10.0, 100.0, 190.0, 260.0})
            QCOMPARE(chart.sliceAt(at(degrees, 100)), 0);
        QCOMPARE(chart.sliceAt(at(300, 100)), 1);
        QCOMPARE(chart.sliceAt(at(300, 199.5 * 2)), -1);
    }

    void clickAndDoubleClickSignals()
    {
        Chart chart;
        pieChart(chart, 0, 0);
        chart.resize(pageSize);
        chart.show();
        QSignalSpy clicks(&chart, &Chart::clicked);
        QSignalSpy doubles(&chart, &Chart::doubleClicked);
        QTest::mouseClick(&chart, Qt::LeftButton, {}, QPoint(316, 191));
        QCOMPARE(clicks.count(), 1);
        QTest::mouseDClick(&chart, Qt::LeftButton, {}, QPoint(316, 191));
        QCOMPARE(doubles.count(), 1);
        chart.setHint(QStringLiteral("Double click chart to view animation"));
        QCOMPARE(chart.toolTip(), QStringLiteral("Double click chart to view animation"));
    }
};

QTEST_MAIN(TestChart)
#include "tst_chart.moc"
