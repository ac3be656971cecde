#include "common/RegionalSettings.h"
#include "common/ScratchGrid.h"
#include "common/Sortgrid.h"
#include "support/TestEnvironment.h"

#include <QTest>

namespace {

// A grid that counts the cell writes the sorting makes.
class CountingGrid final : public TextGrid {
public:
    explicit CountingGrid(const QList<QStringList> &rows)
        : m_grid(int(rows.value(0).size()), int(rows.size()))
    {
        for (int r = 0; r < rows.size(); ++r)
            for (int c = 0; c < rows[r].size(); ++c)
                m_grid.setCell(c, r, rows[r][c]);
    }
    int columnCount() const override { return m_grid.columnCount(); }
    int rowCount() const override { return m_grid.rowCount(); }
    QString cell(int column, int row) const override { return m_grid.cell(column, row); }
    void setCell(int column, int row, const QString &text) override
    {
        ++writes;
        m_grid.setCell(column, row, text);
    }
    QList<QStringList> rows() const
    {
        QList<QStringList> all;
        for (int r = 0; r < rowCount(); ++r) {
            QStringList row;
            for (int c = 0; c < columnCount(); ++c)
                row.append(cell(c, r));
            all.append(row);
        }
        return all;
    }
    int writes = 0;

private:
    ScratchGrid m_grid;
};

// A listing as the Types page has it: heading, one row per extension, totals.
QList<QStringList> listing(const QList<QStringList> &body)
{
    QList<QStringList> rows{{"Type", "Files", "Bytes"}};
    rows += body;
    rows.append({"Totals", "999,999", "0"});
    return rows;
}

QStringList column(const QList<QStringList> &rows, int c)
{
    QStringList values;
    for (const QStringList &row : rows)
        values.append(row[c]);
    return values;
}

} // namespace

class TestSortgrid : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { pinTestEnvironment(); }

    void byText_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<bool>("descending");
        QTest::addColumn<QStringList>("expected");
        // Five rows or fewer go to the exchange sort alone; six or more are partitioned first.
        QTest::newRow("exchange sort") << QStringList{"b", "Z", "a", "\u00E9t\u00E9", "c"} << false
                                       << QStringList{"a", "b", "c", "Z", "\u00E9t\u00E9"};
        QTest::newRow("quicksort")
            << QStringList{"pdf", "Doc", "\u00C4rger", "zip", "A", "txt", "exe", "b", "c~", "c"}
            << false
            << QStringList{"A", "b", "c", "c~", "Doc", "exe", "pdf", "txt", "zip", "\u00C4rger"};
        QTest::newRow("quicksort descending")
            << QStringList{"pdf", "Doc", "zip", "A", "txt", "exe", "b"} << true
            << QStringList{"zip", "txt", "pdf", "exe", "Doc", "b", "A"};
        QTest::newRow("prefix first") << QStringList{"abc", "ab", "", "a", "abcd", "b"} << false
                                      << QStringList{"", "a", "ab", "abc", "abcd", "b"};
        QTest::newRow("already sorted") << QStringList{"a", "b", "c", "d", "e", "f", "g"} << false
                                        << QStringList{"a", "b", "c", "d", "e", "f", "g"};
    }
    void byText()
    {
        QFETCH(QStringList, keys);
        QFETCH(bool, descending);
        QFETCH(QStringList, expected);
        QList<QStringList> body;
        for (const QString &key : keys)
            body.append({key, QString::number(body.size()), key + QStringLiteral("-bytes")});
        CountingGrid grid(listing(body));
        SortGridByText(grid, 1, grid.rowCount() - 2, 0, descending);
        const QList<QStringList> rows = grid.rows();
        QCOMPARE(column(rows.mid(1, keys.size()), 0), expected);
        // Whole rows move, header and totals stay, each row of the range is written once.
        for (const QStringList &row : rows.mid(1, keys.size()))
            QCOMPARE(row[2], row[0] + QStringLiteral("-bytes"));
        QCOMPARE(rows.first(), QStringList({"Type", "Files", "Bytes"}));
        QCOMPARE(rows.last(), QStringList({"Totals", "999,999", "0"}));
        QCOMPARE(grid.writes, int(keys.size()) * 3);
    }

    void caseIsIgnoredForAsciiLetters()
    {
        // Compared with case, capitals would all come first: "Apple", "ZIP", "apple", "zip".
        CountingGrid grid({{"zip"}, {"Apple"}, {"ZIP"}, {"apple"}});
        SortGridByText(grid, 0, 3, 0, false);
        QStringList folded = column(grid.rows(), 0);
        for (QString &key : folded)
            key = key.toLower();
        QCOMPARE(folded, QStringList({"apple", "apple", "zip", "zip"}));
    }

    void exchangeSortAndQuicksortAgree()
    {
        QStringList keys;
        for (int i = 0; i < 40; ++i)
            keys.append(QString::number((i * 7919) % 101, 36));
        ScratchGrid grid(1, int(keys.size()));
        for (int r = 0; r < keys.size(); ++r)
            grid.setCell(0, r, keys[r]);
        ScratchGrid copy = grid;
        QuickSortText(grid, 0, grid.rowCount() - 1, 0, false);
        BubbleSortText(copy, 0, copy.rowCount() - 1, 0, false);
        for (int r = 0; r < grid.rowCount(); ++r)
            QCOMPARE(grid.cell(0, r), copy.cell(0, r));
    }

    void byValue_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<bool>("descending");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("grouped numbers")
            << QStringList{"1,234,567", "99", "1,000", "5", "12.5", "0", "250"} << false
            << QStringList{"0", "5", "12.5", "99", "250", "1,000", "1,234,567"};
        QTest::newRow("no number is zero, after the positives descending")
            << QStringList{"3", "n/a", "7", "1", "-4"} << true
            << QStringList{"7", "3", "1", "n/a", "-4"};
        QTest::newRow("negative") << QStringList{"-2", "1", "-10"} << false
                                  << QStringList{"-10", "-2", "1"};
        QTest::newRow("two rows") << QStringList{"2", "1"} << false << QStringList{"1", "2"};
    }
    void byValue()
    {
        QFETCH(QStringList, keys);
        QFETCH(bool, descending);
        QFETCH(QStringList, expected);
        QList<QStringList> body;
        for (const QString &key : keys)
            body.append({QStringLiteral("x") + key, key, QString()});
        CountingGrid grid(listing(body));
        SortGridByValue(grid, 1, grid.rowCount() - 2, 1, descending);
        const QList<QStringList> rows = grid.rows();
        QCOMPARE(column(rows.mid(1, keys.size()), 1), expected);
        for (const QStringList &row : rows.mid(1, keys.size()))
            QCOMPARE(row[0], QStringLiteral("x") + row[1]);
        QCOMPARE(rows.last()[1], QStringLiteral("999,999"));
    }

    void valuesFollowTheUsersSeparators()
    {
        RegionalSettings settings = RegionalSettings::current();
        settings.thousandSeparator = QStringLiteral(".");
        settings.decimalSeparator = QStringLiteral(",");
        RegionalSettings::pin(settings);
        QCOMPARE(CellValue(QStringLiteral("1.234.567")), 1234567.0);
        QCOMPARE(CellValue(QStringLiteral("2,5")), 2.5);
        QCOMPARE(CellValue(QStringLiteral("12 %")), 0.0);
        pinTestEnvironment();
    }

    void rangesThatSortNothing_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::newRow("single row") << 2 << 2;
        QTest::newRow("last before first") << 3 << 1;
    }
    void rangesThatSortNothing()
    {
        QFETCH(int, first);
        QFETCH(int, last);
        const QList<QStringList> rows{{"d"}, {"c"}, {"b"}, {"a"}};
        CountingGrid grid(rows);
        SortGridByText(grid, first, last, 0, false);
        SortGridByValue(grid, first, last, 0, false);
        QCOMPARE(grid.rows(), rows);
    }

    void rangeFromRowZeroAndBeyondTheGrid()
    {
        // The value quicksort counts down to row -1 here; it must not wrap to row 65535.
        QList<QStringList> rows;
        for (int i = 0; i < 9; ++i)
            rows.append({QString::number(9 - i)});
        CountingGrid grid(rows);
        SortGridByValue(grid, 0, 100, 0, false);
        QCOMPARE(column(grid.rows(), 0),
                 QStringList({"1", "2", "3", "4", "5", "6", "7", "8", "9"}));
    }
};

QTEST_GUILESS_MAIN(TestSortgrid)
#include "tst_sortgrid.moc"
