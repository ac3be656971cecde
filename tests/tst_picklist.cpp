#include "widgets/PickListDelegate.h"
#include "widgets/Picklist.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

namespace {

// A list with fixed colours and a fixed font, so that pixels can be read back.
void prepare(TPickList &list, int itemHeight)
{
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setPixelSize(11);
    list.setFont(font);
    QPalette palette = list.palette();
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::Base, Qt::white);
    list.setPalette(palette);
    list.setItemHeight(itemHeight);
    list.resize(300, 120);
}

QImage renderRows(TPickList &list)
{
    list.show();
    QImage image(list.viewport()->size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    list.viewport()->render(&image);
    return image;
}

bool isInk(const QImage &image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 128;
}

// The first column at or right of from with ink in the row band top..top+height.
int firstInkColumn(const QImage &image, int from, int top, int height)
{
    for (int x = from; x < image.width(); ++x)
        for (int y = top; y < top + height; ++y)
            if (isInk(image, x, y))
                return x;
    return -1;
}

} // namespace

class TestPickList : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void clickTogglesAndReports()
    {
        TPickList list;
        prepare(list, 16);
        list.setItems(
            {QStringLiteral("c: [system]"), QStringLiteral("d: (CD-ROM)"), QStringLiteral("e:")});
        list.show();
        QSignalSpy clicks(&list, &TPickList::OnClick);
        QSignalSpy changes(&list, &TPickList::OnChange);
        const QPoint row1 = list.visualItemRect(list.item(1)).center();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, row1);
        QVERIFY(list.Checked(1));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, row1);
        QVERIFY(!list.Checked(1));
        QCOMPARE(clicks.count(), 2);
        QCOMPARE(changes.count(), 1);
        QVERIFY(!list.Checked(0) && !list.Checked(2));
    }

    void keysReportLikeClicks()
    {
        TPickList list;
        prepare(list, 16);
        list.setItems({QStringLiteral("a"), QStringLiteral("b")});
        list.show();
        list.setFocus();
        list.setCurrentRow(0, QItemSelectionModel::NoUpdate);
        QSignalSpy clicks(&list, &TPickList::OnClick);
        QSignalSpy changes(&list, &TPickList::OnChange);
        QTest::keyClick(&list, Qt::Key_Space);
        QVERIFY(list.Checked(0));
        QTest::keyClick(&list, Qt::Key_Down);
        QCOMPARE(list.currentRow(), 1);
        QCOMPARE(clicks.count(), 2);
        QCOMPARE(changes.count(), 2);
        // At the end of the list the key moves nothing, and still reports.
        QTest::keyClick(&list, Qt::Key_Down);
        QCOMPARE(list.currentRow(), 1);
        QCOMPARE(clicks.count(), 3);
        QCOMPARE(changes.count(), 2);
    }

    // A drag across rows ticks them all, and the last tick is reported.
    void dragTicksAndReports()
    {
        TPickList list;
        prepare(list, 16);
        list.setItems({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        list.show();
        int checkedWhenLastReported = -1;
        connect(&list, &TPickList::OnClick, &list,
                [&] { checkedWhenLastReported = int(list.checkedRows().size()); });
        auto at = [&](int row) { return list.visualItemRect(list.item(row)).center(); };
        QTest::mousePress(list.viewport(), Qt::LeftButton, {}, at(0));
        for (int row : {1, 2}) {
            QMouseEvent move(QEvent::MouseMove, at(row), list.viewport()->mapToGlobal(at(row)),
                             Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(list.viewport(), &move);
        }
        QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, at(2));
        QCOMPARE(list.checkedRows().size(), 3);
        QCOMPARE(checkedWhenLastReported, 3);
    }

    // Rows are as tall as the list's font needs, however small the height set.
    void rowsFollowTheFont()
    {
        TPickList list;
        prepare(list, 16);
        QFont large = list.font();
        large.setPointSize(16);
        list.setFont(large);
        list.setItems({QStringLiteral("gjpqy")});
        list.show();
        QVERIFY(list.visualItemRect(list.item(0)).height() > QFontMetrics(large).height());
    }

    void checkedRaisesNoEvent()
    {
        TPickList list;
        list.setItems({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        QSignalSpy clicks(&list, &TPickList::OnClick);
        QSignalSpy changes(&list, &TPickList::OnChange);
        for (int row = 0; row < list.count(); ++row)
            list.setChecked(row, true);
        QVERIFY(list.Checked(0) && list.Checked(1) && list.Checked(2));
        QCOMPARE(clicks.count() + changes.count(), 0);
        list.clear();
        list.addItem(QStringLiteral("again"));
        QVERIFY(!list.Checked(0));
    }

    void extendedSelectionSelectsOne()
    {
        TPickList list;
        prepare(list, 13);
        list.setExtendedSelect(true);
        list.setSelectedStyle(psStandard);
        list.setItems({QStringLiteral("*.doc"), QStringLiteral("*.exe")});
        list.show();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                          list.visualItemRect(list.item(0)).center());
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                          list.visualItemRect(list.item(1)).center());
        QVERIFY(!list.Checked(0));
        QVERIFY(list.Checked(1));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier,
                          list.visualItemRect(list.item(0)).center());
        QVERIFY(list.Checked(0) && list.Checked(1));
    }

    void tabStopText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("stops");
        QTest::addColumn<QString>("error");
        QTest::newRow("none") << QString() << QList<int>{} << QString();
        QTest::newRow("one") << "12" << QList<int>{12} << QString();
        QTest::newRow("two") << "8;20" << QList<int>{8, 20} << QString();
        QTest::newRow("bad second entry keeps the first")
            << "12;x" << QList<int>{12} << "x is an invalid tab stop";
        QTest::newRow("leading semicolon belongs to the entry")
            << ";5" << QList<int>{} << ";5 is an invalid tab stop";
        QTest::newRow("empty entry") << "4;;6" << QList<int>{4} << " is an invalid tab stop";
    }
    void tabStopText()
    {
        QFETCH(QString, text);
        QFETCH(QList<int>, stops);
        QFETCH(QString, error);
        TPickList list;
        QCOMPARE(list.setTabStops(text), error);
        QCOMPARE(list.tabStopList(), stops);
        QStringList joined;
        for (int stop : stops)
            joined.append(QString::number(stop));
        QCOMPARE(list.TabStops(), joined.join(u';'));
    }

    // The description column starts 16 average character widths from the list's left edge,
    // whatever the length of the pattern; the standard style ignores the stops.
    void tabStopsPlaceTheSecondColumn()
    {
        TPickList list;
        prepare(list, 16);
        list.setTabStops(QStringLiteral("16"));
        list.setItems({QStringLiteral("*.c\tC"), QStringLiteral("*.jpeg\tJ")});
        const int average = QFontMetrics(list.font()).averageCharWidth();
        const QImage image = renderRows(list);
        const int afterPattern =
            16 + 4 + QFontMetrics(list.font()).horizontalAdvance(QStringLiteral("*.jpeg")) + 2;
        for (int row = 0; row < 2; ++row) {
            const int x = firstInkColumn(image, afterPattern, row * 16, 16);
            QVERIFY2(std::abs(x - 16 * average) <= 2,
                     qPrintable(QStringLiteral("row %1 at %2").arg(row).arg(x)));
        }

        list.setSelectedStyle(psStandard);
        const QImage standard = renderRows(list);
        const int x = firstInkColumn(standard, afterPattern - 16, 0, 16);
        QVERIFY2(std::abs(x - (2 + 8 * average)) <= 2, qPrintable(QString::number(x)));
    }

    void tickGeometry_data()
    {
        QTest::addColumn<int>("itemHeight");
        QTest::addColumn<int>("shortLeg");
        QTest::addColumn<int>("longLeg");
        QTest::newRow("16") << 16 << 4 << 7;
        QTest::newRow("13") << 13 << 3 << 6;
    }
    void tickGeometry()
    {
        QFETCH(int, itemHeight);
        QFETCH(int, shortLeg);
        QFETCH(int, longLeg);
        const QList<QPoint> strokes = PickListDelegate::tickStrokes(itemHeight);
        QCOMPARE(strokes.size(), shortLeg + longLeg);
        if (itemHeight == 16) {
            // Short leg at columns 3 to 6 from rows 8 to 11, long leg at 7 to 13 from 10 up to 4.
            QCOMPARE(strokes.first(), QPoint(3, 8));
            QCOMPARE(strokes[3], QPoint(6, 11));
            QCOMPARE(strokes[4], QPoint(7, 10));
            QCOMPARE(strokes.last(), QPoint(13, 4));
        }

        // Inside the box, the ink of a ticked row is exactly the strokes.
        TPickList list;
        prepare(list, itemHeight);
        list.setItems({QStringLiteral("ticked")});
        list.setChecked(0, true);
        const QImage image = renderRows(list);
        QSet<QPair<int, int>> expected;
        const QRect interior(3, 2, itemHeight - 4, itemHeight - 4);
        for (const QPoint &stroke : strokes)
            for (int dy = 0; dy < 3; ++dy)
                if (interior.contains(stroke.x(), stroke.y() + dy))
                    expected.insert({stroke.x(), stroke.y() + dy});
        QSet<QPair<int, int>> ink;
        for (int x = 3; x < itemHeight - 1; ++x)
            for (int y = 2; y < itemHeight - 2; ++y)
                if (isInk(image, x, y))
                    ink.insert({x, y});
        QCOMPARE(ink, expected);

        list.setChecked(0, false);
        const QImage cleared = renderRows(list);
        for (int x = 3; x < itemHeight - 1; ++x)
            for (int y = 2; y < itemHeight - 2; ++y)
                QVERIFY(!isInk(cleared, x, y));
    }
};

QTEST_MAIN(TestPickList)
#include "tst_picklist.moc"
