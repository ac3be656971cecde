#include "common/NumberPattern.h"
#include "common/RegionalSettings.h"
#include "support/TestEnvironment.h"

#include <QTest>

#include <limits>

class TestNumberPattern : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { pinTestEnvironment(); }

    void formatFloat_data()
    {
        QTest::addColumn<QString>("thousands");
        QTest::addColumn<QString>("decimal");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        const QString comma = QStringLiteral(",");
        const QString dot = QStringLiteral(".");
        auto row = [&](const char *name, const char *pattern, double value, const char *expected) {
            QTest::newRow(name) << comma << dot << QString::fromLatin1(pattern) << value
                                << QString::fromUtf8(expected);
        };
        row("GB optional decimals trimmed", "#,##0.0## GB", 1234.5, "1,234.5 GB");
        row("GB three decimals", "#,##0.0## GB", 0.12345, "0.123 GB");
        row("GB keeps one decimal", "#,##0.0## GB", 12, "12.0 GB");
        row("GB two fixed decimals", "#,##0.00 GB", 1536.125, "1,536.13 GB");
        row("GB one or two decimals", "#,##0.0# GB", 2.0, "2.0 GB");
        row("GB rounding carries", "#,##0.0# GB", 999.999, "1,000.0 GB");
        row("percent, one optional decimal", "##0.# %", 42.25, "42.3 %");
        row("percent whole", "##0.# %", 7.0, "7 %");
        row("percent below one", "##0.# %", 0.04, "0 %");
        row("percent without decimals", "#,##0. %", 99.5, "100 %");
        row("percent, two optional", "#,##0.## %", 12.345, "12.35 %");
        row("no grouping without comma", "##0.# %", 12345.0, "12345 %");
        row("negative", "#,##0.00 GB", -1234.5, "-1,234.50 GB");
        row("count of 18 digits", "#,##0", 123456789012345678.0, "123,456,789,012,345,680");
        row("negative rounding to zero", "#,##0.0 GB", -0.01, "0.0 GB");
        row("half away from zero, not to even", "#,##0.00", 0.125, "0.13");
        row("decimal text as written", "#,##0.00", 2.675, "2.68");
        row("large value", "#,##0", 123456789012.0, "123,456,789,012");
        row("prefix text", "Total: #,##0", 1000.0, "Total: 1,000");
        row("not finite", "#,##0.0", std::numeric_limits<double>::infinity(), "");
        QTest::newRow("German separators") << dot << comma << QStringLiteral("#,##0.0## GB")
                                           << 1234567.25 << QStringLiteral("1.234.567,25 GB");
    }
    void formatFloat()
    {
        QFETCH(QString, thousands);
        QFETCH(QString, decimal);
        QFETCH(QString, pattern);
        QFETCH(double, value);
        QFETCH(QString, expected);
        RegionalSettings settings = RegionalSettings::current();
        settings.thousandSeparator = thousands;
        settings.decimalSeparator = decimal;
        RegionalSettings::pin(settings);
        QCOMPARE(::formatFloat(pattern, value), expected);
    }
};

QTEST_GUILESS_MAIN(TestNumberPattern)
#include "tst_numberpattern.moc"
