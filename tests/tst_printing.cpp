#include "common/ScratchGrid.h"
#include "drives/ui/whichdrv.h"
#include "reports/ui/PagePrinter.h"
#include "reports/ui/PrintTarget.h"
#include "reports/ui/SizesPage.h"
#include "reports/ui/StatisticsWindow.h"
#include "reports/ui/TypesPage.h"
#include "support/FakeVolumes.h"
#include "support/RecordingMessages.h"
#include "support/TestEnvironment.h"
#include "support/TestTree.h"
#include "support/WizardAnswer.h"
#include "widgets/Chart.h"
#include "widgets/ReportGrid.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// Prints into a PDF file instead of asking for a printer.
class PdfTarget final : public PrintTarget {
public:
    explicit PdfTarget(QString path) : m_path(std::move(path)) {}
    bool choosePrinter(QPrinter &printer, QWidget *) override
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_path);
        ++asked;
        return true;
    }
    void previewChart(const Chart &chart, const QString &title, QWidget *) override
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_path);
        PagePrinter::printChart(printer, chart, title);
        ++previews;
    }
    int asked = 0;
    int previews = 0;

private:
    QString m_path;
};

QString pdfText(const QString &path, int page = 0)
{
    QStringList arguments;
    if (page > 0)
        arguments << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l")
                  << QString::number(page);
    arguments << path << QStringLiteral("-");
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), arguments);
    tool.waitForFinished(30000);
    return QString::fromUtf8(tool.readAllStandardOutput());
}

// The first page of a PDF as an image at 96 dots per inch, the resolution pictures print at.
QImage pdfPage(const QString &path)
{
    const QString prefix = path + QStringLiteral("-page");
    QProcess::execute(QStringLiteral("pdftoppm"),
                      {"-r", "96", "-f", "1", "-l", "1", "-png", "-singlefile", path, prefix});
    return QImage(prefix + QStringLiteral(".png"));
}

} // namespace

class TestPrinting : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_output;
    TestTree *m_tree = nullptr;
    FakeVolumes *m_volumes = nullptr;
    RecordingMessages *m_messages = nullptr;
    TfrmStatistics *m_statistics = nullptr;

    QString pdf() const { return m_output.path() + QStringLiteral("/page.pdf"); }

private Q_SLOTS:
    void initTestCase()
    {
        pinTestEnvironment();
        // Enough extensions for a listing of more than one printed page.
        m_tree = new TestTree;
        for (int i = 0; i < 90; ++i)
            m_tree->file("f" + QByteArray::number(i) + ".e" + QByteArray::number(i), 100 + i);
        m_volumes = new FakeVolumes;
        m_volumes->addDrive(u'c', dtFixed, QStringLiteral("TEST"), m_tree->root(),
                            VolumeSpace{1ull << 34, 1ull << 33, 4096});
        m_volumes->current = u'c';
        m_messages = new RecordingMessages;
        m_statistics = new TfrmStatistics;
        m_statistics->show();
        answerNextWizard(WizardAnswer::CurrentDriveAllFiles);
        m_statistics->btOKClick();
        QCOMPARE(m_statistics->stats().filesProcessed, qint64(90));
    }
    void cleanupTestCase()
    {
        delete m_statistics;
        delete m_messages;
        delete m_volumes;
        delete m_tree;
    }
    void init() { QFile::remove(pdf()); }
    // QUILLIX_KEEP_PDF names a folder that keeps each test's PDF, for looking at.
    void cleanup()
    {
        const QString keep = qEnvironmentVariable("QUILLIX_KEEP_PDF");
        if (!keep.isEmpty())
            QFile::copy(pdf(), keep + u'/' + QString::fromLatin1(QTest::currentTestFunction()) +
                                   QStringLiteral(".pdf"));
    }

    void typesListingOverTwoPages()
    {
        PdfTarget target(pdf());
        PrintTarget::install(&target);
        m_statistics->OvcNotebook1->setCurrentIndex(TfrmStatistics::Types);
        m_statistics->types()->setView(TypesPage::Listing);
        m_statistics->btPrintClick();
        PrintTarget::install(nullptr);
        QCOMPARE(target.asked, 1);
        const QString first = pdfText(pdf(), 1);
        const QString second = pdfText(pdf(), 2);
        QVERIFY2(first.contains(QStringLiteral("File types for drive c: [test]")),
                 qPrintable(first.left(300)));
        QVERIFY(first.contains(QStringLiteral("Page 1")));
        QVERIFY(second.contains(QStringLiteral("Page 2")));
        QVERIFY(second.contains(QStringLiteral("File types for drive c: [test]")));
        QVERIFY(second.contains(QStringLiteral("Totals")));
        QVERIFY(!first.contains(QStringLiteral("Totals")));
        QVERIFY(pdfText(pdf(), 3).trimmed().isEmpty());
    }

    // On paper too every figure is whole, and the table has no rules.
    void printedListingShowsLongFiguresWhole()
    {
        ScratchGrid grid(5, 3);
        const QStringList rows[] = {
            {"Extension", "Type", "Size", "# Files", "Avg File Size"},
            {".ISO", "ISO image", "6,917,529,027,641,081,859", "3", "2,305,843,009,213,693,953"},
            {"", "Totals", "6,917,529,027,641,081,859", "3", ""}};
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 5; ++c)
                grid.setCell(c, r, rows[r][c]);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf());
        QCOMPARE(PagePrinter::printGrid(printer, grid, QStringLiteral("File types"),
                                        {80, 219, 120, 75, 82}, {2, 3, 4}),
                 1);
        const QString text = pdfText(pdf());
        QVERIFY2(text.contains(QStringLiteral("2,305,843,009,213,693,953")), qPrintable(text));
        QVERIFY(!text.contains(QChar(0x2026)));
        const QImage page = pdfPage(pdf());
        QVERIFY(!page.isNull());
        for (int y = 0; y < page.height(); ++y) {
            int run = 0;
            for (int x = 0; x < page.width() && run < 100; ++x)
                run = qGray(page.pixel(x, y)) < 128 ? run + 1 : 0;
            QVERIFY2(run < 100, qPrintable(QStringLiteral("a rule at y %1").arg(y)));
        }
    }

    void chartGoesToThePreview()
    {
        PdfTarget target(pdf());
        PrintTarget::install(&target);
        m_statistics->OvcNotebook1->setCurrentIndex(TfrmStatistics::Sizes);
        m_statistics->sizes()->rbBySize->click();
        m_statistics->btPrintClick();
        PrintTarget::install(nullptr);
        QCOMPARE(target.previews, 1);
        QCOMPARE(target.asked, 0);
        const QString text = pdfText(pdf());
        QVERIFY(text.contains(QStringLiteral("File Sizes in MB")));
        // Framed as a printed listing is: title, date, page.
        for (const QString &framed :
             {QStringLiteral("Sizes for drive c: [test]"), QStringLiteral("Page 1"),
              QLocale().toString(QDate::currentDate(), QLocale::ShortFormat)})
            QVERIFY2(text.contains(framed), qPrintable(text));
    }

    // Every page in every view prints: a listing, a chart or the window's picture.
    void everyPagePrints()
    {
        const QString keep = qEnvironmentVariable("QUILLIX_KEEP_PDF");
        int printed = 0;
        for (int index = 0; index < 10; ++index) {
            m_statistics->OvcNotebook1->setCurrentIndex(index);
            QList<QRadioButton *> views =
                m_statistics->OvcNotebook1->currentWidget()->findChildren<QRadioButton *>();
            if (index == TfrmStatistics::Space || views.isEmpty())
                views = {nullptr};
            for (QRadioButton *view : views) {
                if (view)
                    view->click();
                const QString path =
                    m_output.path() + QStringLiteral("/page-%1-%2.pdf").arg(index).arg(printed);
                PdfTarget target(path);
                PrintTarget::install(&target);
                m_statistics->btPrintClick();
                PrintTarget::install(nullptr);
                // Charts go through the preview; listings and the other pages to the printer.
                const bool chart = index == TfrmStatistics::Time ||
                                   (view && !view->text().startsWith(QStringLiteral("Listing")));
                QCOMPARE(target.previews, chart ? 1 : 0);
                QCOMPARE(target.asked, chart ? 0 : 1);
                QVERIFY2(QFile(path).size() > 1000, qPrintable(path));
                if (!keep.isEmpty())
                    QFile::copy(path, keep + QStringLiteral("/page-%1-%2.pdf")
                                                 .arg(index, 2, 10, QLatin1Char('0'))
                                                 .arg(printed));
                ++printed;
            }
        }
        QVERIFY(printed >= 20);
    }

    // A maximised window prints whole: its picture is fitted to the page, not cut at its edge.
    void enlargedWindowFitsThePage()
    {
        PdfTarget target(pdf());
        PrintTarget::install(&target);
        m_statistics->resize(1600, 1000);
        m_statistics->OvcNotebook1->setCurrentIndex(TfrmStatistics::Attribute);
        m_statistics->btPrintClick();
        m_statistics->resize(632, 431);
        PrintTarget::install(nullptr);
        const QImage page = pdfPage(pdf());
        QVERIFY(!page.isNull());
        int right = 0;
        for (int y = 0; y < page.height(); y += 2)
            for (int x = page.width() - 1; x > right; --x)
                if (qGray(page.pixel(x, y)) < 250) {
                    right = x;
                    break;
                }
        // Something printed, and nothing reaches the paper's edge.
        QVERIFY(right > page.width() / 2);
        QVERIFY2(right < page.width() - 8, qPrintable(QString::number(right)));
    }

    void windowPictureRestoresTheColours()
    {
        PdfTarget target(pdf());
        PrintTarget::install(&target);
        m_statistics->OvcNotebook1->setCurrentIndex(TfrmStatistics::Overhang);
        const QColor window = m_statistics->palette().color(QPalette::Window);
        const QColor chart = m_statistics->sizes()->chart->backColor;
        const QColor grid = m_statistics->sizes()->grid->palette().color(QPalette::Base);
        m_statistics->btPrintClick();
        PrintTarget::install(nullptr);
        QCOMPARE(target.asked, 1);
        QVERIFY(QFile(pdf()).size() > 1000);
        QCOMPARE(m_statistics->palette().color(QPalette::Window), window);
        QCOMPARE(m_statistics->sizes()->chart->backColor, chart);
        QCOMPARE(m_statistics->sizes()->grid->palette().color(QPalette::Base), grid);
        QCOMPARE(chart, TfrmStatistics::buttonFace());
        // The window was printed on white: the dialog's own background, between the buttons.
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QRect paper = printer.pageLayout().paintRectPixels(96);
        const QImage page = pdfPage(pdf());
        QVERIFY(!page.isNull());
        // (The picture stands below the printout's title line.)
        QFont frameFont(QStringLiteral("Arial"));
        frameFont.setPixelSize(11);
        const int below = 20 + 2 * int(QFontMetricsF(frameFont).height() + 4);
        QCOMPARE(page.pixelColor(paper.left() + 20 + 521, paper.top() + below + 398),
                 QColor(Qt::white));
        QVERIFY(pdfText(pdf()).contains(QStringLiteral("Overhang for drive c: [test]")));
        QVERIFY(TfrmStatistics::buttonFace() != QColor(Qt::white));

        // A listing in the picture: its heading row is white too, not the grey of the screen.
        m_statistics->OvcNotebook1->setCurrentIndex(TfrmStatistics::Sizes);
        SizesPage &sizes = *m_statistics->sizes();
        sizes.rbListing->click();
        PdfTarget listing(pdf());
        PrintTarget::install(&listing);
        m_statistics->btPrintClick();
        PrintTarget::install(nullptr);
        QCOMPARE(listing.asked, 1);
        const QPoint heading =
            sizes.grid->viewport()->mapTo(m_statistics, QPoint(sizes.grid->columnWidth(0) - 4, 9));
        QCOMPARE(pdfPage(pdf()).pixelColor(paper.topLeft() + heading), QColor(Qt::white));
        QVERIFY(sizes.grid->item(0, 0)->background().color() != QColor(Qt::white));
    }
};

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
