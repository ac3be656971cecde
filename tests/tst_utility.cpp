#include "common/RegionalSettings.h"
#include "common/Utility.h"
#include "support/RecordingMessages.h"
#include "support/TestEnvironment.h"

#include <QTest>

#include <limits>

class TestUtility : public QObject {
    Q_OBJECT

private:
    static void useSeparators(const QString &thousands, const QString &decimal)
    {
        RegionalSettings settings = RegionalSettings::current();
        settings.thousandSeparator = thousands;
        settings.decimalSeparator = decimal;
        RegionalSettings::pin(settings);
    }

private Q_SLOTS:
    void initTestCase() { pinTestEnvironment(); }
    void cleanup() { useSeparators(QStringLiteral(","), QStringLiteral(".")); }

    void digitsOnly_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("letters") << "abc" << QString();
        QTest::newRow("lone separator") << "," << QString();
        QTest::newRow("grouped") << "1,234,567"
                                 << "1234567";
        QTest::newRow("sign and fraction are lost") << "-12.5"
                                                    << "125";
        QTest::newRow("non-ASCII digits dropped") << QStringLiteral("1\u0663 2") << "12";
    }
    void digitsOnly()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(::digitsOnly(text), expected);
    }

    void textToInt_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("trailing letter") << "12a" << 0;
        QTest::newRow("thousands separator") << "1,234" << 0;
        QTest::newRow("overflow") << "99999999999" << 0;
        QTest::newRow("leading blank") << " 42" << 42;
        QTest::newRow("trailing blank") << "42 " << 0;
        QTest::newRow("negative") << "-7" << -7;
        QTest::newRow("plus") << "+7" << 7;
        QTest::newRow("hex") << "$1F" << 31;
        QTest::newRow("hex lower case") << "$ff" << 255;
        QTest::newRow("hex without digits") << "$" << 0;
        QTest::newRow("sign only") << "-" << 0;
        QTest::newRow("largest") << "2147483647" << std::numeric_limits<int>::max();
        QTest::newRow("one past largest") << "2147483648" << 0;
        QTest::newRow("smallest") << "-2147483648" << std::numeric_limits<int>::min();
        QTest::newRow("one past smallest") << "-2147483649" << 0;
        QTest::newRow("decimal point") << "1.0" << 0;
        QTest::newRow("hex letter in decimal") << "1F" << 0;
    }
    void textToInt()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        QCOMPARE(::textToInt(text), expected);
    }

    void textToFloat_data()
    {
        QTest::addColumn<QString>("thousands");
        QTest::addColumn<QString>("decimal");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        const QString comma = QStringLiteral(",");
        const QString dot = QStringLiteral(".");
        QTest::newRow("empty") << comma << dot << "" << 0.0;
        QTest::newRow("letters") << comma << dot << "abc" << 0.0;
        QTest::newRow("grouped is no number") << comma << dot << "1,234" << 0.0;
        QTest::newRow("decimal") << comma << dot << "3.5" << 3.5;
        QTest::newRow("blanks around") << comma << dot << " 2 " << 2.0;
        QTest::newRow("negative exponent") << comma << dot << "-1.5E-3" << -0.0015;
        QTest::newRow("exponent plus") << comma << dot << "+2e+2" << 200.0;
        QTest::newRow("exponent without digits") << comma << dot << "2e" << 0.0;
        QTest::newRow("two separators") << comma << dot << "1.2.3" << 0.0;
        QTest::newRow("separator only") << comma << dot << "." << 0.0;
        QTest::newRow("leading separator") << comma << dot << ".5" << 0.5;
        QTest::newRow("percent sign") << comma << dot << "12 %" << 0.0;
        QTest::newRow("overflow") << comma << dot << "1e400" << 0.0;
        QTest::newRow("not a number word") << comma << dot << "nan" << 0.0;
        QTest::newRow("German decimal comma") << dot << comma << "3,25" << 3.25;
        QTest::newRow("German dot is no decimal") << dot << comma << "3.25" << 0.0;
    }
    void textToFloat()
    {
        QFETCH(QString, thousands);
        QFETCH(QString, decimal);
        QFETCH(QString, text);
        QFETCH(double, expected);
        useSeparators(thousands, decimal);
        QCOMPARE(::textToFloat(text), expected);
    }

    void intToGrouped_data()
    {
        QTest::addColumn<QString>("thousands");
        QTest::addColumn<qint64>("value");
        QTest::addColumn<QString>("expected");
        const QString comma = QStringLiteral(",");
        QTest::newRow("zero") << comma << qint64(0) << "0";
        QTest::newRow("999") << comma << qint64(999) << "999";
        QTest::newRow("1000") << comma << qint64(1000) << "1,000";
        QTest::newRow("million") << comma << qint64(1234567) << "1,234,567";
        QTest::newRow("negative") << comma << qint64(-1234) << "-1,234";
        QTest::newRow("smallest 32-bit")
            << comma << qint64(std::numeric_limits<qint32>::min()) << "-2,147,483,648";
        QTest::newRow("beyond 32 bits") << comma << qint64(5'000'000'000) << "5,000,000,000";
        QTest::newRow("smallest 64-bit")
            << comma << std::numeric_limits<qint64>::min() << "-9,223,372,036,854,775,808";
        QTest::newRow("blank separator")
            << QStringLiteral("\u202f") << qint64(1234567) << QStringLiteral("1\u202f234\u202f567");
    }
    void intToGrouped()
    {
        QFETCH(QString, thousands);
        QFETCH(qint64, value);
        QFETCH(QString, expected);
        useSeparators(thousands, QStringLiteral("."));
        QCOMPARE(::intToGrouped(value), expected);
    }

    void floatToGrouped_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("rounds down") << 0.4 << "0";
        QTest::newRow("half rounds away from zero") << 2.5 << "3";
        QTest::newRow("negative rounding to zero") << -0.4 << "0";
        QTest::newRow("negative") << -1234.5 << "-1,235";
        QTest::newRow("grouped") << 1234567.6 << "1,234,568";
        QTest::newRow("14 digits") << 99999999999999.0 << "99,999,999,999,999";
        QTest::newRow("10^14") << 1e14 << "100,000,000,000,000";
        QTest::newRow("18 digits") << 123456789012345678.0 << "123,456,789,012,345,680";
        QTest::newRow("2^63 - 1024") << 9223372036854774784.0 << "9,223,372,036,854,774,784";
        QTest::newRow("rounds up to 15 digits") << 99999999999999.7 << "100,000,000,000,000";
        QTest::newRow("beyond 19 digits") << 1.2345678901234567e20 << "1.2345678901235E20";
        QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << "";
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << "";
    }
    void floatToGrouped()
    {
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(::floatToGrouped(value), expected);
    }

    void floatToGroupedWithGermanSeparators()
    {
        useSeparators(QStringLiteral("."), QStringLiteral(","));
        QCOMPARE(::floatToGrouped(1234567.6), QStringLiteral("1.234.568"));
        QCOMPARE(::floatToGrouped(1.5e20), QStringLiteral("1,5E20"));
    }

    void classifyEntry_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<uint>("attributes");
        QTest::addColumn<int>("expected");
        QTest::newRow("dot") << QByteArray(".") << uint(faDirectory) << int(ekDotEntry);
        QTest::newRow("dot dot") << QByteArray("..") << uint(faDirectory) << int(ekDotEntry);
        QTest::newRow("dot without directory bit") << QByteArray(".") << 0u << int(ekDotEntry);
        QTest::newRow("dots in a folder name")
            << QByteArray("...x") << uint(faDirectory) << int(ekDirectory);
        QTest::newRow("hidden folder")
            << QByteArray(".cache") << uint(faDirectory | faHidden) << int(ekDirectory);
        QTest::newRow("file") << QByteArray("a.txt") << uint(faArchive) << int(ekFile);
        QTest::newRow("three dots file") << QByteArray("...") << 0u << int(ekFile);
    }
    void classifyEntry()
    {
        QFETCH(QByteArray, name);
        QFETCH(uint, attributes);
        QFETCH(int, expected);
        DirEntry entry;
        entry.name = name;
        entry.attributes = attributes;
        QCOMPARE(int(::classifyEntry(entry)), expected);
    }

    void tabField_data()
    {
        QTest::addColumn<QString>("row");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("expected");
        QTest::newRow("middle") << "a\tb\tc" << 2 << "b";
        QTest::newRow("past the end") << "a\tb\tc" << 4 << "";
        QTest::newRow("empty between tabs") << "a\t\tc" << 2 << "";
        QTest::newRow("trimmed") << "  a  \tb" << 1 << "a";
        QTest::newRow("no tab") << " whole row " << 1 << "whole row";
        QTest::newRow("last field") << "a\tb\t c\r\n" << 3 << "c";
        QTest::newRow("empty row") << "" << 1 << "";
        QTest::newRow("field zero") << "a\tb" << 0 << "";
        QTest::newRow("negative field") << "a\tb" << -1 << "";
        QTest::newRow("inner blanks kept") << "x\tWord  document\t" << 2 << "Word  document";
    }
    void tabField()
    {
        QFETCH(QString, row);
        QFETCH(int, field);
        QFETCH(QString, expected);
        QCOMPARE(::tabField(row, field), expected);
    }

    void driveTypeText_data()
    {
        QTest::addColumn<uint>("type");
        QTest::addColumn<QString>("expected");
        QTest::newRow("undetermined") << 0u << "";
        QTest::newRow("no root") << 1u << "";
        QTest::newRow("removable") << 2u << "(Removable disk)";
        QTest::newRow("fixed") << 3u << "(Fixed disk)";
        QTest::newRow("remote") << 4u << "(Remote disk)";
        QTest::newRow("CD-ROM") << 5u << "(CD-ROM)";
        QTest::newRow("RAM disk") << 6u << "(RAM-Disk)";
        QTest::newRow("unknown") << 7u << "";
    }
    void driveTypeText()
    {
        QFETCH(uint, type);
        QFETCH(QString, expected);
        QCOMPARE(::driveTypeText(type), expected);
    }

    void messagesGoThroughTheInstalledBoxes()
    {
        RecordingMessages messages;
        showError(QStringLiteral("Couldn't open web browser for home page."));
        showInfo(QStringLiteral("This chart combines the Accessed, Created and Modified charts"));
        QCOMPARE(messages.log,
                 QStringList({"beep", "Error: Couldn't open web browser for home page.",
                              "Information: This chart combines the Accessed, Created and "
                              "Modified charts"}));
    }
};

QTEST_GUILESS_MAIN(TestUtility)
#include "tst_utility.moc"
