// Renders every kind of chart, the pick list in both styles and the dialogs into PNG files, so
// that a person can look at them:   quillix-gallery [FOLDER]   (default: ./gallery)
// quillix-gallery FOLDER TREE   takes the report pages after a run over TREE (default /usr/share).
// quillix-gallery --show picker|filetypes|wizard|about   shows one dialog on the screen instead.
#include "collection/RunSettings.h"
#include "common/NumberPattern.h"
#include "drives/ui/whichdrv.h"
#include "filetypes/ui/selExt.h"
#include "filetypes/ui/statlist.h"
#include "history/ui/ComparisonWindow.h"
#include "history/ui/HistoryWindow.h"
#include "platform/ProfileFile.h"
#include "reports/ChartColorTable.h"
#include "reports/ui/BandPage.h"
#include "reports/ui/FilesWindow.h"
#include "reports/ui/FoldersWindow.h"
#include "reports/ui/SpacePage.h"
#include "reports/ui/StatisticsWindow.h"
#include "reports/ui/TimePage.h"
#include "reports/ui/TypesPage.h"
#include "shell/About.h"
#include "shell/Main.h"
#include "support/FakeVolumes.h"
#include "support/RecordingMessages.h"
#include "support/TestEnvironment.h"
#include "support/WizardAnswer.h"
#include "widgets/Chart.h"
#include "widgets/EffectLabel.h"
#include "widgets/GradientBackground.h"
#include "widgets/Picklist.h"
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QPalette>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTime>

#include <cstdio>
#include <memory>

namespace {

QString folder;

bool save(const QImage &image, const char *name)
{
    const QString path = folder + u'/' + QString::fromLatin1(name) + QStringLiteral(".png");
    const bool ok = image.save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

QFont font(const char *family, int pixels, bool bold = false)
{
    QFont f(QString::fromLatin1(family));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// The main window's drive chart, at a moment of its animation.
void driveChart(Chart &chart, double zoom, double rotation, bool orthogonal, double depth)
{
    TfrmMain::styleDriveChart(chart);
    ChartSeries &used = chart.seriesAt(0);
    ChartSeries &free = chart.seriesAt(1);
    const double drives[][2] = {{251.97, 235.87}, {30.0, 4.5}, {2.0, 0.5}};
    const char *letters[] = {"c", "d", "e"};
    double total = 0, totalFree = 0;
    for (int i = 0; i < 3; ++i) {
        used.add(drives[i][0] - drives[i][1], QString::fromLatin1(letters[i]), Qt::blue);
        free.add(drives[i][1], QString::fromLatin1(letters[i]), Qt::magenta);
        total += drives[i][0];
        totalFree += drives[i][1];
    }
    used.add(total - totalFree, QStringLiteral("Total"), Qt::blue);
    free.add(totalFree, QStringLiteral("Total"), Qt::magenta);
    chart.view = View3D{true, zoom, rotation, rotation, orthogonal, depth};
}

void typesPie(Chart &chart, double rotation)
{
    ChartColorTable colours;
    chart.view.depth = 25;
    chart.leftWall.transparent = chart.backWall.transparent = chart.bottomWall.transparent = true;
    ChartSeries &pie = chart.addSeries(ChartSeries::Pie);
    pie.explodeBiggestPercent = 10;
    pie.otherPercent = 5;
    pie.rotation = rotation;
    pie.marks = {true, QStringLiteral("##0.# %"), Qt::black, false, QColor(), true,
                 0,    font("Arial", 11)};
    pie.marks.labelAndPercent = true;
    const std::pair<const char *, double> types[] = {
        {"C++ source code", 5200}, {"C header", 2100},           {"JPEG image", 1800},
        {"PNG image", 900},        {"plain text document", 700}, {"PDF document", 300},
        {"Word document", 120},    {"shell script", 60},         {"XML document", 40},
        {"JSON document", 30}};
    int entry = 1;
    for (const auto &[label, value] : types)
        pie.add(value, QString::fromLatin1(label), QColor::fromRgb(colours.color(entry++)));
}

void sizesBars(Chart &chart)
{
    ChartColorTable colours;
    chart.title = QStringLiteral("File Sizes in MB");
    chart.legendStyle = LegendStyle::Values;
    chart.legendFormat = QStringLiteral("#,##0.0#");
    chart.view.depth = 15;
    chart.bottomAxis.format = QStringLiteral("#,##0");
    ChartSeries &bars = chart.addSeries(ChartSeries::HorizontalBar);
    bars.gradient = true;
    bars.marks = {true, QStringLiteral("##0.# %"), Qt::black, false, QColor(), true,
                  6,    font("Arial", 10)};
    const char *labels[] = {"0 - 16K",     "16K - 32K",   "32K - 64K",  "64K - 128K",
                            "128K - 256K", "256K - 512K", "512K - 1MB", "1MB - 2MB",
                            "2MB - 4MB",   "4MB - 8MB",   "8MB - 16MB", "Over 16MB"};
    const double megabytes[] = {356.2, 120.4, 180.9, 260.3, 300.1, 410.7,
                                390.2, 520.8, 480.3, 350.6, 290.4, 2900.5};
    double sum = 0;
    for (double mb : megabytes)
        sum += mb;
    // Each mark shows the bar's share of all bars.
    for (int band = 0; band < 12; ++band) {
        bars.add(megabytes[band], QString::fromLatin1(labels[band]),
                 QColor::fromRgb(colours.color(band + 1)));
    }
    bars.marks.percentOfTotal = true;
    bars.marks.backColor = QColor(255, 255, 225);
    Q_UNUSED(sum);
}

void combinedBars(Chart &chart)
{
    chart.title = QStringLiteral("Combination Access/Created/Modified Chart");
    chart.legendStyle = LegendStyle::SeriesTitles;
    chart.view.depth = 20;
    const char *labels[] = {"Not recorded",  "<= 7 days",      "8 - 30 days", "31 - 60 days",
                            "61 - 120 days", "121 - 365 days", "1 - 2 years", "2 - 3 years",
                            "3 - 4 years",   "Over 4 years"};
    const std::tuple<const char *, QColor, double> series[] = {{"Modified", Qt::yellow, -25},
                                                               {"Created", QColor(0, 128, 0), 0},
                                                               {"Accessed", Qt::red, 25}};
    int k = 0;
    for (const auto &[title, colour, offset] : series) {
        ChartSeries &s =
            chart.addSeries(ChartSeries::HorizontalBar, QString::fromLatin1(title), colour);
        s.barWidthPercent = 40;
        s.offsetPercent = offset;
        s.gradient = true;
        for (int band = 0; band < 10; ++band)
            s.add((band * 37 + k * 53) % 90 + 10, QString::fromLatin1(labels[band]));
        ++k;
    }
}

void timeLines(Chart &chart, bool accessed)
{
    chart.legendStyle = LegendStyle::SeriesTitles;
    chart.legendPosition = LegendPosition::Top;
    chart.legendColorWidth = 25;
    chart.view.depth = 20;
    chart.backWall.transparent = true;
    chart.leftWall.color = QColor(128, 255, 255);
    chart.leftAxis.title = QStringLiteral("Numer of files");
    chart.bottomAxis.title = QStringLiteral("Time of day file was modified/created/accessed");
    chart.bottomAxis.labelAngle = 90;
    chart.bottomAxis.labelSeparation = 3;
    chart.leftAxis.format = QStringLiteral("#,##0");
    chart.margins = QMarginsF(1, 3, 1, 3);
    const std::pair<const char *, QColor> series[] = {
        {"Modified time", Qt::red}, {"Created time", Qt::green}, {"Access Time", Qt::blue}};
    int k = 0;
    for (const auto &[title, colour] : series) {
        ChartSeries &s = chart.addSeries(ChartSeries::Line, QString::fromLatin1(title), colour);
        s.visible = k < 2 || accessed;
        for (int slot = 0; slot < 48; ++slot) {
            const double hour = slot / 2.0;
            const double value =
                slot == 0 ? 0
                          : 40 + 35 * std::sin((hour - 6 + k * 2) / 24 * 6.283) + (slot * 7 % 11);
            s.add(value, QTime(slot / 2, slot % 2 ? 30 : 0).toString(QStringLiteral("HH:mm")));
        }
        ++k;
    }
}

void overhangBars(Chart &chart)
{
    chart.leftAxis.visible = chart.bottomAxis.visible = false;
    chart.backWall.transparent = true;
    chart.view.depth = 25;
    ChartSeries &bars = chart.addSeries(ChartSeries::HorizontalBar, QString(), Qt::red);
    bars.marks = {true, QStringLiteral("#,##0. %"), Qt::black, true, QColor(), false,
                  6,    font("Arial", 11)};
    // Added from 64K up to 4K, so that the 4K bar stands at the top.
    for (double share : {96.3, 92.8, 86.1, 74.9, 53.4})
        bars.add(share);
}

QImage pickLists()
{
    QImage image(520, 180, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(212, 208, 200));
    TPickList checks;
    checks.resize(250, 160);
    QFont listFont(QStringLiteral("Arial"));
    listFont.setPixelSize(12);
    checks.setFont(listFont);
    checks.setTabStops(QStringLiteral("12"));
    checks.setItems({QStringLiteral("*.doc\tWord document"), QStringLiteral("*.exe\tExecutable"),
                     QStringLiteral("*.dll\tLibrary"), QStringLiteral("*.txt\tplain text document"),
                     QStringLiteral("*.jpeg\tJPEG image")});
    checks.setChecked(0, true);
    checks.setChecked(3, true);
    TPickList standard;
    standard.resize(250, 160);
    standard.setFont(listFont);
    standard.setSelectedStyle(psStandard);
    standard.setExtendedSelect(true);
    standard.setItemHeight(13);
    standard.setTabStops(QStringLiteral("16"));
    standard.setItems(checks.Items());
    standard.setChecked(1, true);
    QPainter painter(&image);
    checks.render(&painter, QPoint(5, 10));
    standard.render(&painter, QPoint(265, 10));
    return image;
}

QImage effects()
{
    QImage image(520, 200, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    GradientBackground::paintGradient(painter, QRectF(0, 0, 520, 200), QColor(0, 0, 255),
                                      QColor(0, 0, 40));
    const std::tuple<EffectLabel::Effect, const char *, QColor> labels[] = {
        {EffectLabel::Highlight, "Highlight", Qt::white},
        {EffectLabel::GraduatedShadow, "Graduated shadow", Qt::black},
        {EffectLabel::ExtrudedShadow, "Extruded shadow", QColor(0, 0, 80)}};
    int y = 10;
    for (const auto &[effect, text, colour] : labels) {
        EffectLabel label(QString::fromLatin1(text));
        label.setFont(font("Times New Roman", 36, true));
        label.setTextColor(effect == EffectLabel::Highlight ? QColor(0, 0, 128) : Qt::yellow);
        label.setEffect(effect, effect == EffectLabel::Highlight ? 1 : 5, colour);
        if (effect == EffectLabel::Highlight)
            painter.fillRect(QRectF(0, y - 4, 520, 62), QColor(192, 192, 192));
        label.paintLabel(painter, QRectF(10, y, 500, 60));
        y += 62;
    }
    return image;
}

// Every page of the statistics window in every view, after a run over a real folder of this
// machine (through the fake drive table, as drive c:).
bool reportPages(const QByteArray &tree)
{
    FakeVolumes volumes;
    volumes.addDrive(u'c', dtFixed, QStringLiteral("SAMPLE"), tree,
                     VolumeSpace{quint64(100) << 30, quint64(40) << 30, 4096});

    volumes.current = u'c';
    RecordingMessages messages;
    TfrmStatistics statistics;
    statistics.show();
    answerNextWizard(WizardAnswer::CurrentDriveAllFiles);
    statistics.btOKClick();
    bool ok = true;
    QString prefix = QStringLiteral("page-");
    auto shoot = [&](const QString &name) {
        QApplication::processEvents();
        ok = save(statistics.grab().toImage(), qPrintable(prefix + name)) && ok;
    };
    // At the designed size, then grown as a user enlarges the window.
    for (const QSize size : {statistics.size(), QSize(1000, 720)}) {
        statistics.resize(size);
        if (size != statistics.minimumSize())
            prefix = QStringLiteral("large-");
        const char *tabs[] = {"space",   "types",    "sizes",    "overhang",  "access",
                              "created", "modified", "combined", "attribute", "time"};
        for (int index = 0; index < 10; ++index) {
            statistics.OvcNotebook1->setCurrentIndex(index);
            const QString tab = QString::fromLatin1(tabs[index]);
            if (index == TfrmStatistics::Types) {
                const char *views[] = {"listing", "pie-size", "pie-files", "pie-average"};
                for (int view = 0; view < 4; ++view) {
                    statistics.types()->setView(TypesPage::View(view));
                    shoot(tab + u'-' + QString::fromLatin1(views[view]));
                }
                continue;
            }
            auto *bands = qobject_cast<BandPage *>(statistics.OvcNotebook1->currentWidget());
            if (!bands) {
                shoot(tab);
                if (index == TfrmStatistics::Time) {
                    // Eight in the morning to four in the afternoon, up to 100 files.
                    statistics.times()->Chart4->zoomRectangle(16, 32, 0, 100, false);
                    shoot(tab + QStringLiteral("-zoomed"));
                    statistics.times()->Chart4->undoZoom();
                }
                continue;
            }
            const std::pair<QRadioButton *, const char *> views[] = {{bands->rbListing, "listing"},
                                                                     {bands->rbBySize, "mb"},
                                                                     {bands->rbByCount, "files"}};
            for (const auto &[choice, view] : views) {
                choice->click();
                shoot(tab + u'-' + QString::fromLatin1(view));
            }
        }
    }
    // The files behind the Types row with the most bytes, and the largest folders.
    const ExtensionRow *largest = nullptr;
    for (const ExtensionRow &row : statistics.stats().lbTypes.rows())
        if (!largest || row.bytes > largest->bytes)
            largest = &row;
    const std::pair<QDialog *, const char *> windows[] = {
        {largest ? statistics.showFiles(ListRow{ListRow::Extension, 0, largest->key}) : nullptr,
         "files-types"},
        {statistics.showFolders(), "folders"}};
    for (const auto &[window, name] : windows) {
        if (!window)
            continue;
        QApplication::processEvents();
        ok = save(window->grab().toImage(), name) && ok;
        window->close();
    }
    return ok;
}

// Two runs kept of a small folder that changed between them, the history listing them, their
// comparison, and the older one opened again on the pages.
bool historyWindows()
{
    QTemporaryDir tree;
    auto file = [&tree](const char *name, qint64 size) {
        QFile made(tree.filePath(QString::fromLatin1(name)));
        return made.open(QIODevice::WriteOnly) && made.resize(size);
    };
    for (const auto &[name, size] : {std::pair{"report.doc", 70000},
                                     {"notes.txt", 5100},
                                     {"photo.jpg", 2400000},
                                     {"song.mp3", 4100000}})
        file(name, size);
    FakeVolumes volumes;
    volumes.addDrive(u'c', dtFixed, QStringLiteral("SAMPLE"), QFile::encodeName(tree.path()),
                     VolumeSpace{quint64(100) << 30, quint64(40) << 30, 4096});
    volumes.current = u'c';
    RecordingMessages messages;
    for (const char *suffix : {"", "-wal", "-shm"})
        QFile::remove(HistoryStore::defaultPath() + QLatin1StringView(suffix));
    RunSettings keep;
    keep.keepHistory = true;
    keep.write(ProfileFile(ProfileFile::defaultPath()));
    TfrmStatistics statistics;
    statistics.show();
    answerNextWizard(WizardAnswer::CurrentDriveAllFiles);
    statistics.btOKClick();
    QFile::remove(tree.filePath(QStringLiteral("report.doc")));
    file("notes.txt", 9100);
    file("movie.mkv", 30000000);
    answerNextWizard(WizardAnswer::CurrentDriveAllFiles);
    statistics.btOKClick();
    QFile::remove(ProfileFile::defaultPath());

    bool ok = true;
    HistoryWindow *history = statistics.btHistoryClick();
    history->pickRows({0, 1});
    QApplication::processEvents();
    ok = save(history->grab().toImage(), "history") && ok;
    if (ComparisonWindow *comparison = history->btCompareClick()) {
        QApplication::processEvents();
        ok = save(comparison->grab().toImage(), "history-compare") && ok;
    }
    history->pickRows({1});
    history->btOpen->click();
    statistics.OvcNotebook1->setCurrentIndex(TfrmStatistics::Types);
    statistics.types()->setView(TypesPage::Listing);
    QApplication::processEvents();
    ok = save(statistics.grab().toImage(), "history-opened") && ok;
    std::printf("opened: %s\n", qPrintable(statistics.windowTitle()));
    return ok;
}

} // namespace

std::unique_ptr<QDialog> makeDialog(const QString &name)
{
    if (name == u"picker")
        return std::make_unique<TfrmSelectExtension>();
    if (name == u"filetypes") {
        auto dialog = std::make_unique<TfrmStatList>();
        dialog->section = QStringLiteral("Include");
        return dialog;
    }
    if (name == u"wizard")
        return std::make_unique<TfrmWhichDrive>();
    if (name == u"about")
        return std::make_unique<TfrmAbout>();
    return nullptr;
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc > 2 && QByteArray(argv[1]) == "--show") {
        std::unique_ptr<QDialog> dialog = makeDialog(QString::fromLocal8Bit(argv[2]));
        return dialog ? dialog->exec() : 2;
    }
    pinTestEnvironment();
    // QUILLIX_GALLERY_DARK=1: as a desktop with a dark palette shows the windows.
    if (qEnvironmentVariableIntValue("QUILLIX_GALLERY_DARK") == 1) {
        QPalette dark;
        dark.setColor(QPalette::Window, QColor(45, 45, 48));
        dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
        dark.setColor(QPalette::Base, QColor(30, 30, 32));
        dark.setColor(QPalette::AlternateBase, QColor(40, 40, 44));
        dark.setColor(QPalette::Text, QColor(230, 230, 230));
        dark.setColor(QPalette::Button, QColor(55, 55, 60));
        dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
        dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
        dark.setColor(QPalette::HighlightedText, Qt::white);
        dark.setColor(QPalette::Disabled, QPalette::Text, QColor(120, 120, 120));
        dark.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(120, 120, 120));
        QApplication::setPalette(dark);
    }
    folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("gallery");
    QDir().mkpath(folder);
    bool ok = true;
    const QSize window(1280, 900);
    const QSize page(632, 382);
    struct Moment {
        const char *name;
        double zoom, rotation;
        bool orthogonal;
        double depth;
    };
    for (const Moment &m : {Moment{"drives-opening", 20, 280, false, 25},
                            Moment{"drives-turning", 60, 320, false, 25},
                            Moment{"drives-standing", 100, 360, true, 61}}) {
        Chart chart;
        driveChart(chart, m.zoom, m.rotation, m.orthogonal, m.depth);
        ok = save(chart.renderImage(window), m.name) && ok;
    }
    {
        Chart chart;
        typesPie(chart, 0);
        ok = save(chart.renderImage(page), "types-pie") && ok;
        chart.seriesAt(0).rotation = 120;
        ok = save(chart.renderImage(page), "types-pie-turned") && ok;
    }
    {
        Chart chart;
        sizesBars(chart);
        ok = save(chart.renderImage(page), "sizes-bars") && ok;
    }
    {
        Chart chart;
        combinedBars(chart);
        ok = save(chart.renderImage(page), "combined-bars") && ok;
    }
    {
        Chart chart;
        timeLines(chart, true);
        ok = save(chart.renderImage(page), "time-lines") && ok;
        Chart without;
        timeLines(without, false);
        ok = save(without.renderImage(page), "time-lines-no-access") && ok;
    }
    {
        Chart chart;
        overhangBars(chart);
        ok = save(chart.renderImage(QSize(240, 190)), "overhang-bars") && ok;
    }
    ok = save(pickLists(), "picklists") && ok;
    ok = save(effects(), "effects") && ok;
    {
        TfrmStatistics statistics;
        statistics.show();
        ok = save(statistics.grab().toImage(), "statistics-space") && ok;
        statistics.space()->rbPie->click();
        statistics.space()->turnPies();
        ok = save(statistics.grab().toImage(), "statistics-pies") && ok;
    }
    ok = reportPages(argc > 2 ? QByteArray(argv[2]) : QByteArray("/usr/share")) && ok;
    ok = historyWindows() && ok;
    for (const char *name : {"picker", "filetypes", "wizard", "about"}) {
        std::unique_ptr<QDialog> dialog = makeDialog(QString::fromLatin1(name));
        dialog->show();
        ok = save(dialog->grab().toImage(), name) && ok;
    }
    return ok ? 0 : 1;
}
