#include "reports/ChartColorTable.h"

#include <QTest>

class TestColorTable : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void paletteInIndexOrder()
    {
        ChartColorTable table;
        table.initAColors(false, 0x123456);
        table.initAColors(true, 0x123456);
        const QList<ChartColor> expected{0xFF0000, 0x800000, 0x0000FF, 0xFFFF00,
                                         0x008000, 0x00FF00, 0xFF00FF, 0x008080,
                                         0x000080, 0x00FFFF, 0xFFFFFF, 0x808080};
        QList<ChartColor> colors;
        for (int index = 1; index <= 12; ++index)
            colors.append(table.color(index));
        QCOMPARE(colors, expected);
    }

    void oneColourInEveryEntry()
    {
        ChartColorTable table;
        table.initAColors(false, 0x0000FF);
        for (int index = 1; index <= 12; ++index)
            QCOMPARE(table.color(index), ChartColor(0x0000FF));
    }

    void morePointsThanEntriesStartOver()
    {
        ChartColorTable table;
        QCOMPARE(table.color(13), table.color(1));
        QCOMPARE(table.color(0), table.color(12));
    }
};

QTEST_GUILESS_MAIN(TestColorTable)
#include "tst_colortable.moc"
