#include "cli/JsonWriter.h"
#include "collection/CollectionRun.h"
#include "collection/DirectoryWalker.h"
#include "collection/RunArchive.h"
#include "collection/RunSettings.h"
#include "common/FileNameText.h"
#include "common/NumberPattern.h"
#include "common/Utility.h"
#include "drives/ui/whichdrv.h"
#include "history/ui/ComparisonWindow.h"
#include "history/ui/HistoryWindow.h"
#include "platform/ProfileFile.h"
#include "reports/CsvWriter.h"
#include "reports/FileListPages.h"
#include "reports/FolderTreeModel.h"
#include "reports/ui/AttributePage.h"
#include "reports/ui/CombinedPage.h"
#include "reports/ui/DatePage.h"
#include "reports/ui/FilesWindow.h"
#include "reports/ui/FoldersWindow.h"
#include "reports/ui/OverhangPage.h"
#include "reports/ui/PathActions.h"
#include "reports/ui/SizesPage.h"
#include "reports/ui/SpacePage.h"
#include "reports/ui/StatisticsWindow.h"
#include "reports/ui/TimePage.h"
#include "reports/ui/TypesPage.h"
#include "support/FakeFileTypeRegistry.h"
#include "support/FakeVolumes.h"
#include "support/RecordingMessages.h"
#include "support/StatsFigures.h"
#include "support/TestEntry.h"
#include "support/TestEnvironment.h"
#include "support/TestTree.h"
#include "support/WizardAnswer.h"
#include "widgets/Chart.h"
#include "widgets/PageExporter.h"
#include "widgets/Picklist.h"
#include "widgets/ReportGrid.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSet>
#include <QSignalSpy>
#include <QSvgRenderer>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QXmlStreamReader>

#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

QStringList column(const ReportGrid &grid, int c, int from = 1, int to = -1)
{
    QStringList cells;
    const int last = to < 0 ? grid.rowCount() - 1 : to;
    for (int r = from; r <= last; ++r)
        cells.append(grid.cell(c, r));
    return cells;
}

// Modified at local noon daysAgo days before today, so that the age in days is exact at any
// hour and across clock changes.
void setModified(const QByteArray &path, int daysAgo)
{
    const qint64 when =
        QDateTime(QDate::currentDate().addDays(-daysAgo), QTime(12, 0)).toSecsSinceEpoch();
    const timespec times[2] = {{time_t(when), 0}, {time_t(when), 0}};
    QVERIFY(::utimensat(AT_FDCWD, path.constData(), times, 0) == 0);
}

// The bytes a JSON string literal stands for, with \udcXX as the byte XX (how the report keeps
// bytes that are not UTF-8).
QByteArray jsonStringBytes(const QString &literal)
{
    QByteArray bytes;
    for (qsizetype i = 1; i + 1 < literal.size(); ++i) {
        if (literal[i] != u'\\') {
            bytes += QString(literal[i]).toUtf8();
            continue;
        }
        const QChar kind = literal[++i];
        if (kind == u'u') {
            const uint code = literal.mid(i + 1, 4).toUInt(nullptr, 16);
            i += 4;
            bytes += code >= 0xDC80 && code <= 0xDCFF ? QByteArray(1, char(code & 0xFF))
                                                      : QString(QChar(char16_t(code))).toUtf8();
        } else {
            const char escaped[] = {'n', '\n', 't', '\t', 'r', '\r', 'b', '\b', 'f', '\f'};
            char byte = char(kind.unicode());
            for (size_t k = 0; k < sizeof escaped; k += 2)
                if (escaped[k] == byte)
                    byte = escaped[k + 1];
            bytes += byte;
        }
    }
    return bytes;
}

} // namespace

// A CSV file's rows, as RFC 4180 reads them.
QList<QStringList> readCsv(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(file.readAll());
    QList<QStringList> rows{{}};
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"')
                field += c, ++i;
            else if (c == u'"')
                quoted = false;
            else
                field += c;
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            rows.last().append(field), field.clear();
        } else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            rows.last().append(field), field.clear();
            rows.append(QStringList());
            ++i;
        } else {
            field += c;
        }
    }
    if (rows.last().isEmpty() && field.isEmpty())
        rows.removeLast();
    return rows;
}

class TestPages : public QObject {
    Q_OBJECT

private:
    FakeFileTypeRegistry *m_registry = nullptr;
    RecordingMessages *m_messages = nullptr;

private Q_SLOTS:
    void initTestCase() { pinTestEnvironment(); }
    void init()
    {
        m_registry = new FakeFileTypeRegistry;
        m_registry->set(QStringLiteral(".txt"), QStringLiteral("Text"));
        m_registry->set(QStringLiteral(".doc"), QStringLiteral("Word document"));
        m_messages = new RecordingMessages;
    }
    void cleanup()
    {
        delete m_messages;
        delete m_registry;
    }

    // The window grows as a user drags its corner, its pages with it, and shrinks back to the
    // designed places exactly.
    void windowGrowsAndShrinksBack()
    {
        FakeVolumes volumes;
        TfrmStatistics statistics;
        statistics.show();
        QVERIFY(statistics.windowFlags() & Qt::WindowMaximizeButtonHint);
        QCOMPARE(statistics.minimumSize(), statistics.size());
        QHash<QWidget *, QRect> designed;
        for (QWidget *widget : statistics.findChildren<QWidget *>())
            designed.insert(widget, widget->geometry());

        const QSize start = statistics.size();
        const QSize growth(368, 289);
        statistics.resize(start + growth);
        QCOMPARE(statistics.OvcNotebook1->size(),
                 designed[statistics.OvcNotebook1].size() + growth);
        QCOMPARE(statistics.times()->Chart4->size(),
                 designed[statistics.times()->Chart4].size() + growth);
        QCOMPARE(statistics.types()->gridTypes->size(),
                 designed[statistics.types()->gridTypes].size() + growth);
        QCOMPARE(statistics.btCancel->geometry().bottomRight(),
                 designed[statistics.btCancel].bottomRight() +
                     QPoint(growth.width(), growth.height()));
        QCOMPARE(statistics.btOK->pos(),
                 designed[statistics.btOK].topLeft() + QPoint(0, growth.height()));

        statistics.resize(start);
        for (auto it = designed.cbegin(); it != designed.cend(); ++it)
            QVERIFY2(it.key()->geometry() == it.value(),
                     qPrintable(it.key()->objectName() + it.key()->metaObject()->className()));
    }

    // A folder picked in the wizard is walked as a drive root, with the options of the run:
    // hidden folders entered, long extensions listed, every counted file in the Types rows.
    // Fields of an exported listing: quoted where RFC 4180 asks, formulas defused.
    void csvFields_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("field");
        QTest::newRow("plain") << "Word document" << QByteArray("Word document");
        QTest::newRow("comma") << "a,b" << QByteArray("\"a,b\"");
        QTest::newRow("quote") << "say \"hi\"" << QByteArray("\"say \"\"hi\"\"\"");
        // Names from the disk may hold anything: no control character reaches the file raw.
        QTest::newRow("line break") << "two\nlines" << QByteArray("two\\x0alines");
        QTest::newRow("leading tab") << "\tx" << QByteArray("'\\x09x");
        QTest::newRow("direction mark") << "evil\u202etxt.exe" << QByteArray("evil\\u202etxt.exe");
        for (const char *formula : {"=1+2", "+1", "-x", "@SUM(A1)"})
            QTest::newRow(formula) << QString::fromLatin1(formula) << "'" + QByteArray(formula);
        QTest::newRow("formula with comma") << "=A1,B1" << QByteArray("\"'=A1,B1\"");
    }
    void csvFields()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, field);
        QCOMPARE(CsvWriter::field(text), field);
    }

    // Names are the file system's bytes and anybody's: every writer shows each kind of name
    // with nothing hidden in it and nothing that steers a terminal or a spreadsheet, and each
    // output reads back to the same bytes.
    void everyWriterKeepsEveryName_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("quote") << QByteArray("say \"hi\".txt");
        QTest::newRow("backslash") << QByteArray("a\\x41b.txt");
        QTest::newRow("control") << QByteArray("a.\x1b[8m");
        QTest::newRow("line break") << QByteArray("two\nlines.txt");
        QTest::newRow("direction") << QByteArray("evil\xe2\x80\xaetxt.exe");
        QTest::newRow("not UTF-8") << QByteArray("bad\xffname.\xfe");
        QTest::newRow("formula") << QByteArray("=cmd|' /C calc'!A0");
    }
    void everyWriterKeepsEveryName()
    {
        QFETCH(QByteArray, name);
        auto shownRaw = [](const QString &text) {
            return std::any_of(text.begin(), text.end(),
                               [](QChar c) { return isHiddenControl(c.unicode()); });
        };
        // Text: a table's cell.
        TextTable table;
        table.rows = {{printableFileName(name)}};
        const QString text = table.toPlainText();
        QVERIFY(!shownRaw(text.trimmed()));
        QCOMPARE(fileNameOfPrintable(text.trimmed()), name);
        // CSV: the same cell, unquoted and its formula guard taken off.
        // (The heading row, empty here, comes first.)
        QString field =
            QString::fromUtf8(CsvWriter::fromTable(table)).split(QStringLiteral("\r\n"))[1];
        QVERIFY(!shownRaw(field));
        if (field.startsWith(u'"'))
            field = field.mid(1).chopped(1).replace(QStringLiteral("\"\""), QStringLiteral("\""));
        if (field.startsWith(u'\'') && !name.startsWith('\''))
            field.remove(0, 1);
        QCOMPARE(fileNameOfPrintable(field), name);
        // JSON: a file name member, decoded as a reader of the format would.
        JsonWriter json;
        json.fileName(name);
        QVERIFY(!shownRaw(json.text()));
        QCOMPARE(jsonStringBytes(json.text()), name);
        // The window's listing and the clipboard.
        StatAccumulators stats;
        FileLists lists;
        lists.setLimit(5);
        const quint32 folder = lists.folders().add(FolderRecords::noParent, "/srv/odd");
        FileRows rows;
        const DirEntry entry = testEntry(name, 10);
        QVERIFY(stats.crunchNumbers(QString(), entry, &rows));
        lists.offer(rows, entry, folder);
        FilesWindow window(FileListPages::sizesRow(stats, rows.sizeBand), lists);
        const QString cell = window.listing->model()->index(0, FilesWindow::Name).data().toString();
        QVERIFY(!shownRaw(cell));
        QCOMPARE(fileNameOfPrintable(cell), name);
        window.listing->setCurrentIndex(window.listing->model()->index(0, 0));
        window.actions->btCopyPath->click();
        const QMimeData *copied = QApplication::clipboard()->mimeData();
        QCOMPARE(fileNameOfPrintable(copied->text()), "/srv/odd/" + name);
        QCOMPARE(QByteArray::fromPercentEncoding(copied->urls().value(0).toEncoded()),
                 "file:///srv/odd/" + name);
    }

    void folderTargetWithOptions()
    {
        TestTree tree;
        tree.folder(".dot");
        tree.folder("sub");
        for (const char *name : {"a.txt", "unit.service", ".dot/inner.txt", "sub/b.txt"})
            tree.file(name, 100);
        QFile::remove(ProfileFile::defaultPath());
        FakeVolumes volumes;
        volumes.addDrive(u'c', dtFixed, QStringLiteral("SYS"), "/",
                         VolumeSpace{1ull << 34, 1ull << 33, 4096});
        volumes.current = u'c';
        TfrmStatistics statistics;
        statistics.show();
        statistics.space()->pckStatDrive->setAllChecked(false);
        const QString folder = QFile::decodeName(tree.root());
        const auto desktopDialog = TfrmWhichDrive::chooseFolder;
        TfrmWhichDrive::chooseFolder = [folder](QWidget *) { return folder; };
        QTimer::singleShot(0, [] {
            auto *wizard = qobject_cast<TfrmWhichDrive *>(QApplication::activeModalWidget());
            QVERIFY(wizard);
            wizard->pckDrives->setAllChecked(false);
            wizard->btAddFolder->click();
            wizard->btNext1->click();
            wizard->cbHiddenFolders->click();
            wizard->cbLongExtensions->click();
            wizard->cbOnDisk->click();
            wizard->btNext2->click();
        });
        statistics.btOKClick();
        TfrmWhichDrive::chooseFolder = desktopDialog;
        QVERIFY(RunSettings::read(ProfileFile(ProfileFile::defaultPath())).countOnDisk);
        QFile::remove(ProfileFile::defaultPath());

        QCOMPARE(statistics.stats().filesProcessed, qint64(4));
        QCOMPARE(statistics.stats().unlistedFiles, qint64(0));
        QVERIFY(statistics.stats().findType(".SERVICE") >= 0);
        QCOMPARE(statistics.windowTitle(),
                 QStringLiteral("Statistics completed for drives ") + folder + u' ');
        // The Space page shows the drive that holds the folder.
        QCOMPARE(statistics.space()->pckStatDrive->checkedRows(), QStringList{"c: [sys]"});
        QVERIFY(statistics.types()->lblUnlisted->isHidden());
        // Space on disk was asked for: the listings have its column, with the Types total.
        statistics.types()->setView(TypesPage::Listing);
        const ReportGrid &types = *statistics.types()->gridTypes;
        QCOMPARE(types.cell(5, 0), QStringLiteral("On Disk"));
        QCOMPARE(types.cell(5, types.rowCount() - 1),
                 intToGrouped(qint64(statistics.stats().onDisk.files)));
        QCOMPARE(statistics.sizes()->grid->cell(3, 0), QStringLiteral("On disk"));
        FilesWindow *files =
            statistics.showFiles(ListRow{ListRow::Extension, 0, QByteArrayLiteral(".TXT")});
        QVERIFY(files);
        QCOMPARE(
            files->listing->model()->headerData(FilesWindow::OnDisk, Qt::Horizontal).toString(),
            QStringLiteral("On disk"));
    }

    // A real run over a tree, then every page read through its controls.
    void runFillsEveryPage()
    {
        TestTree tree;
        const std::tuple<const char *, qint64, int> files[] = {{"exact16k.txt", 16384, 8},
                                                               {"over16k.TXT", 16385, 7},
                                                               {"exact16m.doc", 16777216, 1460},
                                                               {"over16m.doc", 16777217, 1461},
                                                               {"one-and-a-half.bin", 1572864, 30},
                                                               {"empty.xyz", 0, -1},
                                                               {"README", 100, 2},
                                                               {".hidden.txt", 1, 2}};
        for (const auto &[name, size, age] : files) {
            tree.file(name, size);
            setModified(tree.path(name), age);
        }
        FakeVolumes volumes;
        volumes.addDrive(u'c', dtFixed, QStringLiteral("TEST"), tree.root(),
                         VolumeSpace{1ull << 34, 1ull << 33, 4096});
        volumes.current = u'c';
        TfrmStatistics statistics;
        statistics.show();
        answerNextWizard(WizardAnswer::CurrentDriveAllFiles);
        statistics.btOKClick();
        QCOMPARE(statistics.stats().filesProcessed, qint64(8));
        // The pies did not turn before the run, so they do not after it.
        QVERIFY(!statistics.Timer1.isActive());

        // Types: sorted by extension, descriptions, totals (written when the listing is shown).
        QCOMPARE(statistics.types()->checkedSortItem(), int(TypesPage::SortByExtension));
        statistics.types()->setView(TypesPage::Listing);
        const ReportGrid &types = *statistics.types()->gridTypes;
        QCOMPARE(column(types, 0), QStringList({"", ".BIN", ".DOC", ".TXT", ".XYZ", ""}));
        QCOMPARE(column(types, 1),
                 QStringList({"", "BIN File", "Word document", "Text", "XYZ File", "Totals"}));
        QCOMPARE(types.cell(2, 3), QStringLiteral("33,554,433"));
        QCOMPARE(types.cell(3, 4), QStringLiteral("3"));
        QCOMPARE(types.cell(4, 4), QStringLiteral("10,923"));
        // The totals stay those of the rows however often the views are switched.
        for (TypesPage::View view :
             {TypesPage::PieBySize, TypesPage::Listing, TypesPage::PieByFiles, TypesPage::Listing})
            statistics.types()->setView(view);
        QCOMPARE(types.cell(2, 6), QStringLiteral("35,160,167"));
        QCOMPARE(types.cell(3, 6), QStringLiteral("8"));

        // Sizes: the band boundaries, and the 1.5 MB bar.
        SizesPage &sizes = *statistics.sizes();
        QCOMPARE(column(*sizes.grid, 2),
                 QStringList({"1", "1", "0", "0", "1", "0", "0", "0", "0", "0", "1", "4"}));
        sizes.rbBySize->click();
        QCOMPARE(sizes.chart->seriesAt(0).points[7].value, 1.5);
        QCOMPARE(sizes.chart->seriesAt(0).points[7].label, QStringLiteral("1MB - 2MB"));
        QCOMPARE(sizes.chart->title, QStringLiteral("File Sizes in MB"));

        // Overhang: one drive with 4K clusters.
        QVERIFY(statistics.OvcNotebook1->isTabEnabled(TfrmStatistics::Overhang));
        QCOMPARE(statistics.overhang()->arrowRow(), 0);

        // Modified ages: 7 days and less, 8, 30, 1460, 1461 days, a day ahead.
        DatePage &modified = *statistics.datePage(TfrmStatistics::Modified);
        QCOMPARE(column(*modified.grid, 0).first(), QStringLiteral("Over 4 years"));
        QCOMPARE(column(*modified.grid, 2),
                 QStringList({"1", "1", "0", "0", "0", "0", "0", "2", "4", "0"}));

        // Attribute and Time.
        QCOMPARE(statistics.attributes()->lblFiles[0]->text(), QStringLiteral("1"));
        QCOMPARE(statistics.times()->Chart4->seriesAt(0).points.first().value, 0.0);

        // Every row leads to its files: a double click on the .DOC row lists both .doc files,
        // largest first; a heading sorts, the filter narrows, the path goes to the clipboard.
        auto openedWindow = [&] {
            auto *window = statistics.findChild<FilesWindow *>();
            if (window)
                window->setParent(nullptr); // so the next one is found
            return std::unique_ptr<FilesWindow>(window);
        };
        statistics.OvcNotebook1->setCurrentIndex(TfrmStatistics::Types);
        const QPoint docRow = types.visualItemRect(types.item(2, 0)).center();
        QTest::mouseClick(types.viewport(), Qt::LeftButton, {}, docRow);
        QTest::mouseDClick(types.viewport(), Qt::LeftButton, {}, docRow);
        std::unique_ptr<FilesWindow> shown = openedWindow();
        QVERIFY(shown);
        QCOMPARE(shown->windowTitle(), QStringLiteral("Types .DOC - all 2 files"));
        QVERIFY(shown->pathAt(0).endsWith("/over16m.doc") &&
                shown->pathAt(1).endsWith("/exact16m.doc"));
        QHeaderView *headings = shown->listing->horizontalHeader();
        QTest::mouseClick(headings->viewport(), Qt::LeftButton, {},
                          QPoint(headings->sectionViewportPosition(FilesWindow::Name) + 5, 5));
        QVERIFY(shown->pathAt(0).endsWith("/exact16m.doc"));
        QTest::keyClicks(shown->edFilter, QStringLiteral("OVER"));
        QCOMPARE(shown->shownRows(), 1);
        shown->listing->setCurrentIndex(shown->listing->model()->index(0, 0));
        shown->actions->btCopyPath->click();
        QCOMPARE(QApplication::clipboard()->text(), tree.path("over16m.doc"));
        // A bar of the Sizes chart: the 1.5 MB file.
        statistics.OvcNotebook1->setCurrentIndex(TfrmStatistics::Sizes);
        sizes.chart->grab();
        int y = 0;
        while (y < sizes.chart->height() && sizes.chart->categoryAt(QPoint(200, y)) != 7)
            ++y;
        QTest::mouseClick(sizes.chart, Qt::LeftButton, {}, QPoint(200, y));
        shown = openedWindow();
        QVERIFY(shown);
        QCOMPARE(shown->shownRows(), 1);
        QVERIFY(shown->pathAt(0).endsWith("/one-and-a-half.bin"));
        // Enter on a row of a date listing: the two files modified 1461 days ago and more.
        statistics.OvcNotebook1->setCurrentIndex(TfrmStatistics::Modified);
        modified.rbListing->click();
        modified.grid->setFocus();
        modified.grid->setCurrentCell(1, 0);
        QTest::keyClick(modified.grid, Qt::Key_Return);
        shown = openedWindow();
        QVERIFY(shown);
        QCOMPARE(shown->windowTitle(), QStringLiteral("Modified Over 4 years - 1 file"));
        // By keys alone: a listing entered shows its current row, Shift+F10 opens the row's
        // menu there, Tab leaves the listing; the chart's bars are picked by the arrows and
        // Enter opens the files of the one picked.
        QApplication::setActiveWindow(&statistics);
        modified.grid->setCurrentCell(0, 0);
        modified.grid->clearFocus();
        modified.grid->setFocus();
        QCOMPARE(modified.grid->currentRow(), 1);
        QSignalSpy menuAsked(modified.grid, &QWidget::customContextMenuRequested);
        QTimer::singleShot(100, [] {
            if (QWidget *menu = QApplication::activePopupWidget())
                menu->close();
        });
        QTest::keyClick(modified.grid, Qt::Key_F10, Qt::ShiftModifier);
        QCOMPARE(menuAsked.size(), 1);
        QVERIFY(modified.grid->visualRect(modified.grid->model()->index(1, 0))
                    .contains(menuAsked[0][0].toPoint()));
        QTest::keyClick(modified.grid, Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() != modified.grid);
        statistics.OvcNotebook1->setCurrentIndex(TfrmStatistics::Sizes);
        sizes.chart->setFocus();
        QCOMPARE(sizes.chart->keyPick(), 0);
        for (int down = 0; down < 7; ++down)
            QTest::keyClick(sizes.chart, Qt::Key_Down);
        QCOMPARE(sizes.chart->keyPick(), 7);
        sizes.chart->grab();
        QVERIFY(sizes.chart->keyPickRect().contains(QPoint(200, y)));
        QTest::keyClick(sizes.chart, Qt::Key_Return);
        shown = openedWindow();
        QVERIFY(shown && shown->pathAt(0).endsWith("/one-and-a-half.bin"));

        // Export: the Types listing as CSV, read back cell for cell (figures as plain digits);
        // the Sizes chart as SVG, PNG and PDF, well formed and not blank.
        QTemporaryDir exports;
        QString asked;
        QString picked; // the type picked in the dialog, as its filter reads
        const auto desktopSave = PageExporter::chooseFile;
        PageExporter::chooseFile = [&](QWidget *, const QString &, QString *chosen) {
            if (!picked.isEmpty())
                *chosen = picked;
            return asked;
        };
        statistics.OvcNotebook1->setCurrentIndex(TfrmStatistics::Types);
        asked = exports.filePath(QStringLiteral("types")); // the suffix comes by itself
        statistics.btExport->click();
        const QList<QStringList> csv = readCsv(asked + QStringLiteral(".csv"));
        QCOMPARE(csv.value(0),
                 QStringList({"Extension", "Type", "Size", "# Files", "Avg File Size"}));
        const auto doc = std::find_if(
            csv.begin(), csv.end(), [](const QStringList &row) { return row.value(0) == u".DOC"; });
        QVERIFY(doc != csv.end());
        QCOMPARE(*doc, QStringList({".DOC", "Word document", "33554433", "2", "16777217"}));
        QCOMPARE(csv.last().mid(1, 3), QStringList({"Totals", "35160167", "8"}));
        QCOMPARE(csv.size(), types.rowCount() - 1 + 1); // less the empty first row, plus headings
        statistics.OvcNotebook1->setCurrentIndex(TfrmStatistics::Sizes);
        sizes.rbBySize->click();
        for (const char *suffix : {"svg", "png", "pdf"}) {
            asked = exports.filePath(QStringLiteral("sizes.") + QLatin1StringView(suffix));
            statistics.btExport->click();
            QFile file(asked);
            QVERIFY2(file.open(QIODevice::ReadOnly), suffix);
            const QByteArray bytes = file.readAll();
            if (QByteArrayView(suffix) == "pdf") {
                QVERIFY(bytes.startsWith("%PDF") && bytes.size() > 2000);
            } else if (QByteArrayView(suffix) == "svg") {
                QXmlStreamReader xml(bytes);
                int elements = 0;
                while (!xml.atEnd())
                    elements += xml.readNext() == QXmlStreamReader::StartElement;
                QVERIFY2(!xml.hasError() && elements > 20, qPrintable(xml.errorString()));
            } else {
                const QImage image = QImage::fromData(bytes, "PNG");
                QCOMPARE(image.size(), sizes.chart->size() * 2);
                QSet<QRgb> colours; // bars of several colours on the chart's background
                for (int row = 0; row < image.height(); row += 4)
                    for (int column = 0; column < image.width(); column += 4)
                        colours.insert(image.pixel(column, row));
                QVERIFY(colours.size() > 5);
            }
        }
        // A name without a suffix takes the type picked; a suffix the page is not written as
        // is refused with a message, and nothing is written.
        picked = QStringLiteral("SVG drawing (*.svg)");
        asked = exports.filePath(QStringLiteral("picked"));
        statistics.btExport->click();
        QVERIFY(QFile::exists(asked + QStringLiteral(".svg")));
        QVERIFY(!QFile::exists(asked + QStringLiteral(".png")));
        picked.clear();
        statistics.OvcNotebook1->setCurrentIndex(TfrmStatistics::Types);
        asked = exports.filePath(QStringLiteral("listing.png"));
        statistics.btExport->click();
        QVERIFY(!QFile::exists(asked));
        QCOMPARE(m_messages->log.last(),
                 QStringLiteral("Error: This page cannot be saved as .png: it is saved as .csv."));
        PageExporter::chooseFile = desktopSave;

        // A second run over a changed tree shows only the second run, from the listing's top
        // with no row picked.
        statistics.types()->gridTypes->setCurrentCell(3, 0);
        ::unlink(tree.path("README").constData());
        ::unlink(tree.path("over16m.doc").constData());
        answerNextWizard(WizardAnswer::CurrentDriveAllFiles);
        statistics.btOKClick();
        QCOMPARE(column(*sizes.grid, 2),
                 QStringList({"0", "1", "0", "0", "1", "0", "0", "0", "0", "0", "1", "3"}));
        QCOMPARE(column(types, 0), QStringList({".BIN", ".DOC", ".TXT", ".XYZ", ""}));
        QCOMPARE(types.cell(3, 5), QStringLiteral("6"));
        QCOMPARE(types.currentRow(), -1);
        QVERIFY(types.selectedItems().isEmpty());
        // Every table holds the second run alone, as a fresh walk of the tree counts it.
        StatAccumulators fresh;
        fresh.setOptions(statistics.stats().options());
        fresh.setToday(statistics.stats().today());
        DirectoryWalker(fresh).walkFolder(tree.root(), QString());
        QCOMPARE(statsFigures(statistics.stats()), statsFigures(fresh));
    }

    // Runs kept from the window are listed newest first, compared, opened on the pages as
    // they finished and deleted after a question; a history that cannot be written never
    // stops a run and is said once in the status line.
    void keptRunsOpenCompareAndDelete()
    {
        TestTree tree;
        tree.file("a.txt", 5100);
        tree.file("b.doc", 70000);
        tree.file("c", 10);
        FakeVolumes volumes;
        volumes.addDrive(u'c', dtFixed, QStringLiteral("TEST"), tree.root(),
                         VolumeSpace{1ull << 34, 1ull << 33, 4096});
        volumes.current = u'c';
        QFile::remove(ProfileFile::defaultPath());
        const QString database = HistoryStore::defaultPath();
        const auto removeHistory = [&database] {
            for (const char *suffix : {"", "-wal", "-shm"})
                QFile::remove(database + QLatin1StringView(suffix));
        };
        removeHistory();
        TfrmStatistics statistics;
        statistics.show();
        // The first run ticks "Keep the run in history"; the next one finds it ticked.
        QTimer::singleShot(0, [] {
            auto *wizard = qobject_cast<TfrmWhichDrive *>(QApplication::activeModalWidget());
            QVERIFY(wizard);
            wizard->btNext1->click();
            wizard->cbKeepHistory->click();
            wizard->btNext2->click();
        });
        statistics.btOKClick();
        const QStringList firstSizes = column(*statistics.sizes()->grid, 2);
        ::unlink(tree.path("b.doc").constData());
        tree.file("d.new", 300);
        ::truncate(tree.path("a.txt").constData(), 6100);
        answerNextWizard(WizardAnswer::CurrentDriveAllFiles);
        statistics.btOKClick();
        QCOMPARE(statistics.stats().filesFound, qint64(3));

        QPointer<HistoryWindow> history = statistics.btHistoryClick();
        QCOMPARE(statistics.btHistoryClick(), history.data()); // one window, to the front
        QCOMPARE(history->runList->rowCount(), 2);
        QCOMPARE(history->runList->item(0, HistoryWindow::Bytes)->text(), QStringLiteral("6,410"));
        QCOMPARE(history->runList->item(1, HistoryWindow::Bytes)->text(), QStringLiteral("75,110"));
        QVERIFY(!history->btCompare->isEnabled());
        history->pickRows({0, 1});
        QVERIFY(history->btCompare->isEnabled() && !history->btOpen->isEnabled());
        ComparisonWindow *comparison = history->btCompareClick();
        QVERIFY(comparison);
        QCOMPARE(comparison->pages->tabText(0), QStringLiteral("Types"));
        const QTableWidget *types = comparison->listing(0);
        QStringList rows;
        for (int r = 0; r < types->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < types->columnCount(); ++c)
                cells.append(types->item(r, c)->text());
            rows.append(cells.join(u'|'));
        }
        QCOMPARE(rows, QStringList({".TXT|1|1|0|5,100|6,100|+1,000|", ".NEW|0|1|+1|0|300|+300|new",
                                    "|1|1|0|10|10|0|", ".DOC|1|0|-1|70,000|0|-70,000|vanished",
                                    "Totals|3|3|0|75,110|6,410|-68,700|"}));
        // Exported, the changes are plain signed figures, not formulas.
        QTemporaryDir exports;
        const auto desktopSave = PageExporter::chooseFile;
        PageExporter::chooseFile = [&](QWidget *, const QString &, QString *) {
            return exports.filePath(QStringLiteral("types"));
        };
        comparison->btExport->click();
        PageExporter::chooseFile = desktopSave;
        const QList<QStringList> csv = readCsv(exports.filePath(QStringLiteral("types.csv")));
        QCOMPARE(csv.size(), 6);
        // The first heading names both runs.
        QVERIFY(csv[0][0].startsWith(QStringLiteral("Types from run 1 (")) &&
                csv[0][0].contains(QStringLiteral(") to run 2 (")));
        QCOMPARE(csv[1], QStringList({".TXT", "1", "1", "0", "5100", "6100", "1000", ""}));
        QCOMPARE(csv[4], QStringList({".DOC", "1", "0", "-1", "70000", "0", "-70000", "vanished"}));

        // The older run opens as it finished: its figures, its files (gone from the disk).
        history->pickRows({1});
        history->btOpen->click();
        QVERIFY(!history->isVisible()); // the pages are what one wants to see now
        QCOMPARE(statistics.stats().filesFound, qint64(3));
        QVERIFY(statistics.stats().findType(".DOC") >= 0);
        QCOMPARE(column(*statistics.sizes()->grid, 2), firstSizes);
        QVERIFY(statistics.windowTitle().contains(QStringLiteral(" - kept run of ")));
        FilesWindow *files =
            statistics.showFiles(ListRow{ListRow::Extension, 0, QByteArrayLiteral(".DOC")});
        QVERIFY(files && files->shownRows() == 1 && files->pathAt(0) == tree.path("b.doc"));
        QVERIFY2(files->windowTitle().endsWith(QStringLiteral(" (1 no longer on disk)")),
                 qPrintable(files->windowTitle()));
        // Its folder tree came with it.
        FoldersWindow *keptFolders = statistics.showFolders();
        QVERIFY(keptFolders);
        const FolderTreeModel &keptTree = keptFolders->model();
        QCOMPARE(keptTree.index(0, keptTree.columnOf(FolderTreeModel::Files)).data().toString(),
                 QStringLiteral("3"));

        // Delete asks first; No keeps the run.
        history = statistics.btHistoryClick();
        m_messages->answer = false;
        history->btDelete->click();
        QCOMPARE(history->runList->rowCount(), 2);
        m_messages->answer = true;
        history->pickRows({1});
        history->btDelete->click();
        QCOMPARE(history->runList->rowCount(), 1);
        QVERIFY(m_messages->log.last().startsWith(QStringLiteral("Confirm: Delete run ")));

        // Runs of another host: listed with it, and the host chosen lists its runs alone.
        KeptRun elsewhere = HistoryStore(database).runs().value(0);
        QVERIFY(!elsewhere.host.isEmpty());
        elsewhere.host = QStringLiteral("nas");
        // Written by another host into a shared history: a target with a turning mark is
        // shown escaped, never as it is.
        elsewhere.targets = QStringList{QStringLiteral("/srv/evil\u202Etxt.exe")};
        HistoryStore(database).save(elsewhere);
        history = statistics.btHistoryClick();
        QCOMPARE(history->runList->rowCount(), 2);
        QCOMPARE(history->cbHost->count(), 3);
        const int nas = history->cbHost->findText(elsewhere.user + QStringLiteral("@nas"));
        QVERIFY(nas > 0);
        history->cbHost->setCurrentIndex(nas);
        Q_EMIT history->cbHost->activated(nas);
        QCOMPARE(history->runList->rowCount(), 1);
        QCOMPARE(history->runList->item(0, HistoryWindow::Host)->text(), elsewhere.hostText());
        QCOMPARE(history->runList->item(0, HistoryWindow::Targets)->text(),
                 QStringLiteral("/srv/evil\\u202etxt.exe"));
        QVERIFY(history->lblState->text().startsWith(QStringLiteral("1 of 2 kept runs")));
        history->cbHost->setCurrentIndex(0);
        Q_EMIT history->cbHost->activated(0);
        QCOMPARE(history->runList->rowCount(), 2);

        // A run kept without lists (as the report keeps one without --top) opens; the next
        // run of the window keeps its lists again. One whose archive is damaged says so and
        // leaves the run on show as it was.
        StatAccumulators stats;
        FileLists none;
        CollectionRun reportRun(stats, none);
        reportRun.prepare(statistics.stats().options(),
                          {RunTarget::fromRow(QStringLiteral("c: [test]"))});
        reportRun.walk();
        KeptRun bare = KeptRun::record(reportRun);
        // It could not read a folder: the status line's button leads to it and its reason.
        UnreadableFolders unreadable;
        unreadable.add(tree.path("locked"), EACCES);
        bare.archive = RunArchive::write(stats, none, unreadable);
        QVERIFY(!statistics.btUnreadable->isVisible());
        HistoryStore(database).save(bare);
        history = statistics.btHistoryClick();
        history->btOpen->click(); // the newest run is picked as the window opens
        const QStringList shown = statsFigures(statistics.stats());
        QCOMPARE(shown, statsFigures(stats));
        QVERIFY(!statistics.btFolders->isEnabled()); // kept without its folders
        QVERIFY(statistics.btUnreadable->isVisible());
        statistics.btUnreadable->click();
        auto *folders = statistics.findChildren<FilesWindow *>().last();
        QCOMPARE(folders->shownRows(), 1);
        QCOMPARE(folders->pathAt(0), tree.path("locked"));
        QCOMPARE(folders->listing->model()->index(0, 1).data().toString(),
                 QStringLiteral("Permission denied"));
        bare.archive = QByteArrayLiteral("damaged");
        HistoryStore(database).save(bare);
        history = statistics.btHistoryClick();
        history->btOpen->click();
        QVERIFY(m_messages->log.last().endsWith(QStringLiteral("its figures are damaged.")));
        QCOMPARE(statsFigures(statistics.stats()), shown);
        QVERIFY(history->isVisible());

        // A history that is no database: the run completes, the file stays as it was.
        delete history.data();
        removeHistory();
        {
            QFile garbage(database);
            QVERIFY(garbage.open(QIODevice::WriteOnly));
            garbage.write(QByteArray(8192, '\x5a'));
        }
        answerNextWizard(WizardAnswer::CurrentDriveAllFiles);
        statistics.btOKClick();
        QCOMPARE(statistics.stats().filesFound, qint64(3));
        files = statistics.showFiles(ListRow{ListRow::Extension, 0, QByteArrayLiteral(".NEW")});
        QVERIFY(files && files->shownRows() == 1);
        QCOMPARE(statistics.statusText().count(QStringLiteral("not kept in the history")), 1);
        QVERIFY(statistics.statusText().startsWith(QStringLiteral("Finished")));
        QFile kept(database);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray(8192, '\x5a'));
        kept.close();
        // History offers to set it aside: No leaves it; Yes renames it, and the next run is
        // kept in a new history.
        m_messages->answer = false;
        delete statistics.btHistoryClick();
        QVERIFY(m_messages->log.last().startsWith(QStringLiteral("Confirm: The history ")));
        QVERIFY(QFile::exists(database));
        m_messages->answer = true;
        delete statistics.btHistoryClick();
        QVERIFY(!QFile::exists(database));
        const QStringList aside = QFileInfo(database).dir().entryList(
            {QFileInfo(database).fileName() + QStringLiteral(".damaged-*")}, QDir::Files);
        QCOMPARE(aside.size(), 1);
        answerNextWizard(WizardAnswer::CurrentDriveAllFiles);
        statistics.btOKClick();
        QVERIFY(!statistics.statusText().contains(QStringLiteral("not kept")));
        QCOMPARE(HistoryStore(database).runs().size(), 1);
        QFile::remove(QFileInfo(database).dir().filePath(aside.first()));
        removeHistory();
        QFile::remove(ProfileFile::defaultPath());
    }

    void typesSortsAndPies()
    {
        ChartColorTable colours;
        TypesPage page(colours);
        StatAccumulators stats;
        for (int i = 0; i < 20; ++i)
            stats.crunchNumbers(QString(), testEntry(".e" + QByteArray::number(i), (i + 1) * 1000));
        stats.crunchNumbers(QString(), testEntry("big.zz", 200000));
        page.setView(TypesPage::Listing);
        page.doFileTypes(stats);
        QCOMPARE(page.gridTypes->rowCount(), 23);

        page.SortbyExtensionClick(TypesPage::SortBySize);
        QCOMPARE(page.gridTypes->cell(0, 1), QStringLiteral(".ZZ"));
        QCOMPARE(page.gridTypes->cell(0, 2), QStringLiteral(".E19"));
        QCOMPARE(page.checkedSortItem(), int(TypesPage::SortBySize));
        page.SortbyExtensionClick(TypesPage::SortByType);
        QCOMPARE(page.gridTypes->cell(1, 1), QStringLiteral("E0 File"));
        page.SortbyExtensionClick(TypesPage::SortByFiles);
        page.SortbyExtensionClick(TypesPage::SortByAverage);
        QCOMPARE(page.gridTypes->cell(0, 1), QStringLiteral(".ZZ"));
        QCOMPARE(page.gridTypes->cell(1, 22), QStringLiteral("Totals"));

        // The pie takes the twelve largest; slices under 5 percent go to "Other".
        page.setView(TypesPage::PieBySize);
        const ChartSeries &pie = page.chartPie->seriesAt(0);
        QCOMPARE(pie.points.size(), 12);
        QCOMPARE(pie.points.first().label, QStringLiteral("ZZ File"));
        const QList<ChartSeries::Slice> slices = pie.pieSlices();
        QCOMPARE(slices.last().label, QStringLiteral("Other"));
        QVERIFY(page.btSort->isHidden());
    }

    void fewerThanFourRowsAreNotSorted()
    {
        ChartColorTable colours;
        TypesPage page(colours);
        StatAccumulators stats;
        stats.crunchNumbers(QString(), testEntry("a.doc", 10));
        page.setView(TypesPage::Listing);
        page.doFileTypes(stats);
        QCOMPARE(page.gridTypes->rowCount(), 3);
        // Through the menu: the refused sort leaves no tick, however often it is asked.
        for (int item : {int(TypesPage::SortBySize), int(TypesPage::SortByExtension)}) {
            page.sortActions[item]->trigger();
            QCOMPARE(page.checkedSortItem(), -1);
        }
        // With enough rows one tick follows the sort in force, and a refused one keeps it.
        for (const char *name : {"b.txt", "c.bin", "d.zip"})
            stats.crunchNumbers(QString(), testEntry(name, 10));
        page.doFileTypes(stats);
        page.sortActions[TypesPage::SortBySize]->trigger();
        page.sortActions[TypesPage::SortByExtension]->trigger();
        int ticks = 0;
        for (QAction *action : page.sortActions)
            ticks += action->isChecked();
        QCOMPARE(ticks, 1);
        QCOMPARE(page.checkedSortItem(), int(TypesPage::SortByExtension));
    }

    // A description longer than its column is cut short, whole in its tooltip: Size, # Files
    // and Avg stay in view; the totals follow the listing when it scrolls sideways.
    void typesListingKeepsItsColumnsInView()
    {
        ChartColorTable colours;
        TypesPage page(colours);
        page.resize(632, 360);
        page.show();
        StatAccumulators stats;
        stats.crunchNumbers(QString(), testEntry("a.doc", 30));
        page.setView(TypesPage::Listing);
        const QString description(200, u'x');
        page.doFileTypes(stats, {{QByteArrayLiteral(".DOC"), description}});
        ReportGrid &grid = *page.gridTypes;
        QCOMPARE(grid.item(1, 1)->toolTip(), description);
        int widths = 0;
        for (int c = 0; c < grid.columnCount(); ++c)
            widths += grid.columnWidth(c);
        QVERIFY2(widths <= grid.viewport()->width(), qPrintable(QString::number(widths)));
        grid.setColumnWidth(1, 2000);
        QApplication::processEvents(); // the listing lays its scroll bar out
        const int end = grid.horizontalScrollBar()->maximum();
        QVERIFY(end > 0);
        grid.horizontalScrollBar()->setValue(end);
        QCOMPARE(grid.footer()->horizontalScrollBar()->value(), end);
    }

    void includeModeSeedsChosenTypes()
    {
        ChartColorTable colours;
        TypesPage page(colours);
        StatAccumulators stats;
        CollectionOptions options;
        options.allFiles = false;
        options.includeSelected = true;
        options.PickList2 = QStringList{"*.doc\tWord document", "*.pdf\tPDF"};
        stats.setOptions(options);
        stats.crunchNumbers(QString(), testEntry("a.doc", 30));
        stats.registerChosenTypes(); // as a run does after each walk
        page.setView(TypesPage::Listing);
        page.doFileTypes(stats);
        QCOMPARE(column(*page.gridTypes, 0), QStringList({".DOC", ".PDF", ""}));
        QCOMPARE(page.gridTypes->cell(2, 2), QStringLiteral("0"));
        QCOMPARE(page.gridTypes->cell(4, 2), QStringLiteral("0"));
        page.setView(TypesPage::PieByFiles);
        QCOMPARE(page.chartPie->seriesAt(0).points.size(), 1);
    }

    void overhang_data()
    {
        QTest::addColumn<qint32>("clusterSize");
        QTest::addColumn<int>("arrowRow");
        QTest::newRow("4K") << qint32(4096) << 0;
        QTest::newRow("64K") << qint32(65536) << 4;
        QTest::newRow("2K") << qint32(2048) << -1;
        QTest::newRow("not ready") << qint32(0) << -1;
    }
    void overhang()
    {
        QFETCH(qint32, clusterSize);
        QFETCH(int, arrowRow);
        OverhangPage page;
        page.show();
        StatAccumulators stats;
        CollectionOptions options;
        options.collectOverhang = true;
        stats.setOptions(options);
        stats.crunchNumbers(QString(), testEntry("one.byte", 1));
        QVERIFY(page.doOverHang(stats, clusterSize));
        QCOMPARE(page.arrowRow(), arrowRow);
        QCOMPARE(page.pnlNotApplicable->isVisible(), arrowRow < 0);
        QCOMPARE(page.lblWasted[0]->text(), QStringLiteral("4,095"));
        QCOMPARE(page.lblWasted[4]->text(), QStringLiteral("65,535"));
        // The whole note is readable without scrolling.
        QCOMPARE(page.memoNotes->verticalScrollBar()->maximum(), 0);
        QCOMPARE(page.lblTotal->text(), QStringLiteral("Total file sizes: 0 KB"));
        if (arrowRow == 0)
            QCOMPARE(page.lblActual->text(), QStringLiteral("Actual space used 4 KB"));
        // Bars from 64K up to 4K: the last one added stands at the top, with the 4K row.
        QCOMPARE(page.chartWaste->seriesAt(0).points.last().value, 100.0 * 4095 / 4096);
        QCOMPARE(page.chartWaste->seriesAt(0).marks.format, QStringLiteral("#,##0. %"));
        // A large file wastes a tiny share: its marks keep the decimals that tell it from 0.
        StatAccumulators large;
        large.setOptions(options);
        large.crunchNumbers(QString(), testEntry("large.iso", 100 * 1048576 + 1));
        QVERIFY(page.doOverHang(large, clusterSize));
        const ChartSeries &bars = page.chartWaste->seriesAt(0);
        QCOMPARE(formatFloat(bars.marks.format, bars.points.last().value),
                 QStringLiteral("0.004 %"));
    }

    // A page exported as SVG or PDF is the page as the screen shows it: a long drive row is cut
    // at its list's edge, text stands at the screen's size; drawn back, it matches the window.
    void pageExportedAsShown_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::newRow("SVG") << "svg";
        QTest::newRow("PDF") << "pdf";
    }
    void pageExportedAsShown()
    {
        QFETCH(QString, suffix);
        TestTree tree;
        tree.file("a.txt", 10);
        FakeVolumes volumes;
        volumes.addDrive(u'c', dtFixed, QStringLiteral("TEST"), tree.root(),
                         VolumeSpace{1ull << 34, 1ull << 33, 4096});
        volumes.addDrive(u'd', dtFixed, QStringLiteral("A VERY LONG LABEL OF A DRIVE"),
                         tree.root() + "/mounted/deep/below/many/folders/with/long/names",
                         VolumeSpace{1ull << 34, 1ull << 33, 4096});
        volumes.current = u'c';
        TfrmStatistics statistics;
        statistics.show();
        QTemporaryDir exports;
        const QString path = exports.filePath(QStringLiteral("space.") + suffix);
        const auto desktopSave = PageExporter::chooseFile;
        PageExporter::chooseFile = [&](QWidget *, const QString &, QString *) { return path; };
        statistics.btExport->click();
        PageExporter::chooseFile = desktopSave;
        QWidget *space = statistics.OvcNotebook1->currentWidget();
        const QImage screen = space->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QImage drawn;
        if (suffix == u"svg") {
            drawn = QImage(screen.size(), QImage::Format_RGB32);
            drawn.fill(Qt::white);
            QSvgRenderer svg(path);
            QVERIFY(svg.isValid());
            QPainter painter(&drawn);
            svg.render(&painter, QRectF(QPointF(0, 0), QSizeF(screen.size())));
        } else {
            QProcess::execute(QStringLiteral("pdftoppm"),
                              {"-r", "72", "-png", "-singlefile", path, path});
            drawn = QImage(path + QStringLiteral(".png"))
                        .scaled(screen.size())
                        .convertToFormat(QImage::Format_RGB32);
        }
        QCOMPARE(drawn.size(), screen.size());
        // Text and bars stand where the screen has them, at its size: of the screen's dark
        // pixels, nearly all are dark in the picture too (text drawn smaller, or running past
        // its list, leaves some 3 % light).
        int ink = 0, kept = 0;
        for (int row = 0; row < screen.height(); ++row)
            for (int column = 0; column < screen.width(); ++column)
                if (qGray(screen.pixel(column, row)) < 100) {
                    ++ink;
                    kept += qGray(drawn.pixel(column, row)) < 160;
                }
        QVERIFY2(kept > ink * 99 / 100, qPrintable(QStringLiteral("%1 of %2").arg(kept).arg(ink)));
    }

    // The page's own colours stay on the light palette they were chosen for; on a dark one the
    // navy title is lightened until it reads.
    void overhangTitleReadsOnADarkPalette()
    {
        const QPalette light = QApplication::palette();
        {
            OverhangPage page;
            QCOMPARE(page.lblTitle->palette().color(QPalette::WindowText), QColor(0, 0, 128));
        }
        QPalette dark = light;
        dark.setColor(QPalette::Window, QColor(45, 45, 48));
        QApplication::setPalette(dark);
        OverhangPage page;
        QApplication::setPalette(light);
        const QColor title = page.lblTitle->palette().color(QPalette::WindowText);
        QVERIFY2(std::abs(title.lightness() - QColor(45, 45, 48).lightness()) >= 90,
                 qPrintable(title.name()));
        QCOMPARE(title.toHsl().hslHue(), QColor(0, 0, 128).toHsl().hslHue());
    }

    // FAT drives keep the FAT texts word for word; any other file system has its own.
    void overhangTextsFollowTheFileSystem_data()
    {
        QTest::addColumn<QString>("fileSystem");
        QTest::addColumn<QString>("title");
        QTest::newRow("FAT") << "vfat"
                             << "Cluster overhang for FAT and FAT32 drives";
        QTest::newRow("ext4") << "ext4"
                              << "Cluster overhang for ext4 drives";
    }
    void overhangTextsFollowTheFileSystem()
    {
        QFETCH(QString, fileSystem);
        QFETCH(QString, title);
        OverhangPage page;
        const QString fatNote = page.memoNotes->toPlainText();
        page.setFileSystem(fileSystem);
        QCOMPARE(page.lblTitle->text(), title);
        const QString note = page.memoNotes->toPlainText();
        QCOMPARE(note == fatNote, fileSystem == u"vfat");
        QCOMPARE(note.contains(QStringLiteral("Windows 95")), fileSystem == u"vfat");
        QVERIFY(fileSystem == u"vfat" || note.contains(fileSystem));
        page.show();
        QCOMPARE(page.memoNotes->verticalScrollBar()->maximum(), 0);
    }

    // The unit follows the files' own total: KB below 1 MB, MB from exactly 1,048,576 bytes.
    void overhangUnitFollowsTheFiles_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QString>("total");
        QTest::addColumn<QString>("actual");
        QTest::newRow("1 byte under 1 MB") << qint64(1048575) << "1,024 KB"
                                           << "1,024 KB";
        QTest::newRow("1 MB") << qint64(1048576) << "1 MB"
                              << "1 MB";
    }
    void overhangUnitFollowsTheFiles()
    {
        QFETCH(qint64, size);
        QFETCH(QString, total);
        QFETCH(QString, actual);
        OverhangPage page;
        StatAccumulators stats;
        CollectionOptions options;
        options.collectOverhang = true;
        stats.setOptions(options);
        stats.crunchNumbers(QString(), testEntry("almost.mb", size));
        QVERIFY(page.doOverHang(stats, 65536));
        QCOMPARE(page.lblTotal->text(), "Total file sizes: " + total);
        QCOMPARE(page.lblActual->text(), "Actual space used " + actual);

        StatAccumulators empty;
        empty.setOptions(options);
        empty.crunchNumbers(QString(), testEntry("nothing", 0));
        QVERIFY(!page.doOverHang(empty, 4096));
    }

    void attributeShares()
    {
        AttributePage page;
        StatAccumulators stats;
        // Hidden 3 files (6 bytes), read-only 1 (3), system 2 (3), archive 4 (13).
        stats.crunchNumbers(QString(), testEntry("a", 1, faHidden | faSystem | faArchive));
        stats.crunchNumbers(QString(), testEntry("b", 2, faHidden | faSystem));
        stats.crunchNumbers(QString(), testEntry("c", 3, faHidden | faReadOnly | faArchive));
        stats.crunchNumbers(QString(), testEntry("d", 4, faArchive));
        stats.crunchNumbers(QString(), testEntry("e", 5, faArchive));
        page.doFileAttrs(stats);
        QList<double> fileShares, sizeShares;
        for (const ChartPoint &point : page.chartFiles->seriesAt(0).points)
            fileShares.append(point.value);
        for (const ChartPoint &point : page.chartSizes->seriesAt(0).points)
            sizeShares.append(point.value);
        // From archive up to hidden, level with the rows.
        QCOMPARE(fileShares, (QList<double>{40, 20, 10, 30}));
        QCOMPARE(sizeShares, (QList<double>{52, 12, 12, 24}));

        // Each row leads to its files: a click on its bar, or the keys.
        QSignalSpy asked(&page, &AttributePage::showFiles);
        page.resize(632, 358);
        page.show();
        page.chartFiles->grab();
        int y = 0;
        while (y < page.chartFiles->height() &&
               page.chartFiles->categoryAt(QPoint(40, y)) != 3) // the top bar: hidden
            ++y;
        QTest::mouseClick(page.chartFiles, Qt::LeftButton, {}, QPoint(40, y));
        page.setFocus();
        for (const int key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Return})
            QTest::keyClick(&page, Qt::Key(key));
        QCOMPARE(asked.size(), 2);
        QCOMPARE(asked[0][0].value<ListRow>().index, int(faHidden));
        QCOMPARE(asked[1][0].value<ListRow>().index, int(faSystem));

        StatAccumulators empty;
        empty.crunchNumbers(QString(), testEntry("z", 0, faArchive));
        page.doFileAttrs(empty);
        QCOMPARE(page.chartFiles->seriesAt(0).points.size(), 4);
        QCOMPARE(page.chartSizes->seriesAt(0).points.size(), 0);
        QCOMPARE(page.lblSizes[3]->text(), QStringLiteral("0"));
    }

    // Figures of 15 digits and more, and long headings, are shown in full in every listing
    // and label, in the fonts in use.
    void bigFiguresFitTheirCells()
    {
        StatAccumulators stats;
        CollectionOptions options;
        options.collectOverhang = true;
        stats.setOptions(options);
        for (int i = 0; i < 3; ++i)
            stats.crunchNumbers(QString(), testEntry("huge.iso", (qint64(1) << 61) + i,
                                                     faHidden | faReadOnly | faArchive));
        stats.crunchNumbers(QString(), testEntry("odd.zz", 4294967295, faArchive));
        ChartColorTable colours;
        TypesPage types(colours);
        types.setView(TypesPage::Listing);
        types.doFileTypes(stats);
        SizesPage sizes(colours);
        sizes.doFileSizes(stats);
        DatePage modified(2, QStringLiteral("note"), colours);
        modified.fillGridDates(stats);
        CombinedPage combined(colours);
        combined.fillCombinedGridDates(stats);
        auto fitted = [](const ReportGrid *grid) {
            for (int r = 0; r < grid->rowCount(); ++r)
                for (int c = 0; c < grid->columnCount(); ++c) {
                    const QTableWidgetItem *cell = grid->item(r, c);
                    if (!cell || cell->text().isEmpty())
                        continue;
                    // A data cell is drawn in the grid's font, a heading or total in its own.
                    const QVariant own = cell->data(Qt::FontRole);
                    const QFont font = own.isValid() ? own.value<QFont>() : grid->font();
                    QVERIFY2(QFontMetrics(font).horizontalAdvance(cell->text()) + 6 <=
                                 grid->columnWidth(c),
                             qPrintable(cell->text()));
                }
        };
        for (const ReportGrid *grid : {types.gridTypes, sizes.grid, modified.grid, combined.grid})
            fitted(grid);
        QCOMPARE(types.gridTypes->cell(2, 1), QStringLiteral("6,917,529,027,641,081,859"));
        // The same figures sorted anew in a larger font.
        QFont larger = types.gridTypes->font();
        larger.setPointSizeF(QFontInfo(larger).pointSizeF() * 2);
        types.gridTypes->setFont(larger);
        types.SortbyExtensionClick(TypesPage::SortBySize);
        fitted(types.gridTypes);

        OverhangPage overhang;
        QVERIFY(overhang.doOverHang(stats, 4096));
        AttributePage attributes;
        attributes.doFileAttrs(stats);
        QList<QLabel *> labels{overhang.lblFiles, overhang.lblTotal, overhang.lblActual};
        for (int row = 0; row < 4; ++row)
            labels << attributes.lblFiles[row] << attributes.lblSizes[row];
        for (QLabel *label : labels)
            QVERIFY2(QFontMetrics(label->font()).horizontalAdvance(label->text()) <=
                         label->contentsRect().width(),
                     qPrintable(label->text()));
        // The first glyph of the widest figure is the label's, not a chart's beside it.
        attributes.resize(632, 360);
        for (QLabel *label : attributes.lblSizes) {
            const int textWidth = QFontMetrics(label->font()).horizontalAdvance(label->text());
            const QPoint firstGlyph(label->geometry().right() - textWidth + 2,
                                    label->geometry().center().y());
            QCOMPARE(attributes.childAt(firstGlyph), static_cast<QWidget *>(label));
        }
        QVERIFY(overhang.lblFiles->geometry().right() < overhang.lblTotal->x());
        QVERIFY(overhang.lblTotal->geometry().right() < overhang.lblActual->x());
        QVERIFY(overhang.lblActual->geometry().right() < overhang.pnlResult->width());
    }

    void timeCurves()
    {
        TimePage page;
        StatAccumulators stats;
        DirEntry entry =
            testEntry("a", 1, faArchive, packFileDate(CivilDateTime{2020, 1, 1, 0, 10, 0}));
        entry.accessed = LocalFileTime();
        entry.modified =
            LocalFileTime::fromPacked(packFileDate(CivilDateTime{2020, 1, 1, 14, 40, 0}));
        stats.crunchNumbers(QString(), entry);
        page.doFileTimes(stats);
        QCOMPARE(page.Chart4->seriesAt(0).points.size(), 48);
        QCOMPARE(page.Chart4->seriesAt(0).points[29].value, 1.0);
        QCOMPARE(page.Chart4->seriesAt(0).points[29].label, QStringLiteral("14:30"));
        QCOMPARE(page.Chart4->seriesAt(1).points[0].value, 0.0);
        QVERIFY(!page.Chart4->seriesAt(2).visible);
        page.sbTime->setValue(50);
        QCOMPARE(page.Chart4->view.depth, 50.0);
        page.SpeedButton5Click();
        QVERIFY(m_messages->log.last().startsWith(QStringLiteral("Information: Note: Sometimes")));
    }

    void datePagesAndCombined()
    {
        ChartColorTable colours;
        DatePage access(0, QStringLiteral("note"), colours);
        CombinedPage combined(colours);
        StatAccumulators stats;
        stats.setToday(CivilDateTime{2026, 12, 7}.dayNumber());
        DirEntry entry = testEntry("a", 524288);
        entry.accessed = LocalFileTime();
        stats.crunchNumbers(QString(), entry);
        access.fillGridDates(stats);
        QCOMPARE(access.grid->cell(0, 0), QStringLiteral("Accessed Date"));
        QCOMPARE(access.grid->cell(0, 10), QStringLiteral("Not recorded"));
        QCOMPARE(access.grid->cell(2, 10), QStringLiteral("1"));
        access.rbBySize->setChecked(true);
        access.rebuildChart(stats);
        QCOMPARE(access.chart->title, QStringLiteral("Access Date (file sizes in MB)"));
        QCOMPARE(access.chart->seriesAt(0).points[0].value, 0.5);
        QCOMPARE(access.chart->seriesAt(0).points[0].label, QStringLiteral("Not recorded"));

        // The labels in the date listing's order, oldest first.
        combined.fillCombinedGridDates(stats);
        const QStringList bands{"Over 4 years",   "3 - 4 years",   "2 - 3 years",  "1 - 2 years",
                                "121 - 365 days", "61 - 120 days", "31 - 60 days", "8 - 30 days",
                                "<= 7 days",      "Not recorded"};
        QCOMPARE(column(*access.grid, 0, 1), bands);
        QCOMPARE(column(*combined.grid, 0, 1), bands);
        QCOMPARE(combined.grid->cell(6, 9), QStringLiteral("1"));
        combined.rbByCount->setChecked(true);
        combined.rebuildChart(stats);
        QCOMPARE(combined.chart->seriesAt(0).title, QStringLiteral("Modified"));
        QCOMPARE(combined.chart->seriesAt(0).points[1].value, 1.0);
        QCOMPARE(combined.chart->seriesAt(0).points[1].label, QStringLiteral("<= 7 days"));
        QCOMPARE(combined.chart->seriesAt(0).pointColor(1), QColor(Qt::yellow));
    }
};

QTEST_MAIN(TestPages)
#include "tst_pages.moc"
