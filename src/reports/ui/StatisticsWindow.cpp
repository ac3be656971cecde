#include "StatisticsWindow.h"

#include "AttributePage.h"
#include "CombinedPage.h"
#include "DatePage.h"
#include "FilesWindow.h"
#include "FoldersWindow.h"
#include "OverhangPage.h"
#include "PagePrinter.h"
#include "PrintTarget.h"
#include "SizesPage.h"
#include "SpacePage.h"
#include "TimePage.h"
#include "TypesPage.h"
#include "collection/RunArchive.h"
#include "collection/RunTarget.h"
#include "collection/StatusText.h"
#include "common/CheckListModel.h"
#include "common/FileNameText.h"
#include "common/Utility.h"
#include "drives/DriveServices.h"
#include "drives/ui/whichdrv.h"
#include "history/ui/HistoryWindow.h"
#include "platform/ProfileFile.h"
#include "platform/SponsorBanner.h"
#include "reports/FileListPages.h"
#include "reports/ReportPage.h"
#include "reports/ReportTables.h"
#include "reports/RunPages.h"
#include "widgets/Anchors.h"
#include "widgets/Chart.h"
#include "widgets/OffThread.h"
#include "widgets/PageExporter.h"
#include "widgets/Picklist.h"
#include "widgets/ReportGrid.h"

#include "platform/MountTable.h"
#include "platform/Volumes.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

namespace {

constexpr int clientWidth = 632;
constexpr int clientHeight = 431;
constexpr int notebookHeight = 382;

const char *const notYetText = "Statistics haven't been collected yet!";

// The largest files a run keeps of every row of every page.
constexpr int keptFilesPerRow = 100;

// How the window's caption names a drive row or a folder row of a run.
QString captionOf(const QString &row)
{
    // A folder's path is a name of the disk's: shown with its hidden controls escaped.
    return isFolderRow(row) ? withoutHiddenControls(row) + u' '
                            : row.left(1).toUpper() + QStringLiteral(": ");
}

} // namespace

TfrmStatistics::TfrmStatistics(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("File Statistics Not Yet Collected"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    // The designed size is where the window starts and the least it takes; pages grow with it.
    setMinimumSize(clientWidth, clientHeight);
    resize(clientWidth, clientHeight);

    OvcNotebook1 = new QTabWidget(this);
    OvcNotebook1->setGeometry(0, 0, clientWidth, notebookHeight);
    OvcNotebook1->setStyleSheet(QStringLiteral(
        "QTabBar::tab { min-width: 57px; height: 18px; padding: 0px 3px; font-size: 11px; }"
        "QTabBar::tab:selected { color: red; }"));
    m_space = new SpacePage;
    m_types = new TypesPage(colorTable);
    m_sizes = new SizesPage(colorTable);
    m_overhang = new OverhangPage;
    m_dates[0] = new DatePage(
        0,
        QStringLiteral("Note: prior versions of Windows and DOS did not store the file access "
                       "date.  Files never recorded as being accessed are probably old files that "
                       "were converted to Windows 95.") +
            QStringLiteral("\n\nOn Linux: the access date is kept as the file system is mounted; "
                           "most update it at most once a day after a change (relatime), some "
                           "never (noatime)."),
        colorTable);
    m_dates[1] = new DatePage(
        1,
        QStringLiteral("Files never recorded as being created are probably old files that were "
                       "converted to Windows 95.  Note: prior versions of Windows and DOS did not "
                       "store the file creation date independent of the last file modification or "
                       "file write date.") +
            QStringLiteral("\n\nOn Linux: \"Created\" is the file's birth time, where the file "
                           "system records it (ext4, btrfs and xfs do); where it does not, the "
                           "files are counted as \"Not recorded\"."),
        colorTable);
    m_dates[2] = new DatePage(
        2,
        QStringLiteral("Note: prior versions of Windows and DOS treated the file creation date "
                       "synonomously  with the last file modification date.  Therefore all files "
                       "have a file modification date.") +
            QStringLiteral("\n\nOn Linux: the modification date is the last change of the "
                           "file's contents."),
        colorTable);
    m_combined = new CombinedPage(colorTable);
    m_attributes = new AttributePage;
    m_times = new TimePage;
    QWidget *const pages[ReportPage::pageCount] = {m_space,      m_types,    m_sizes,    m_overhang,
                                                   m_dates[0],   m_dates[1], m_dates[2], m_combined,
                                                   m_attributes, m_times};
    for (int page = 0; page < ReportPage::pageCount; ++page)
        OvcNotebook1->addTab(pages[page], ReportPage::title(page));
    for (BandPage *page :
         {static_cast<BandPage *>(m_dates[0]), static_cast<BandPage *>(m_dates[1]),
          static_cast<BandPage *>(m_dates[2]), static_cast<BandPage *>(m_combined)})
        connect(page, &BandPage::viewClicked, this, &TfrmStatistics::rgAccessClick);
    connect(m_types, &TypesPage::pieClicked, this, &TfrmStatistics::pieClicked);
    connect(m_types, &TypesPage::pieViewChosen, this, &TfrmStatistics::setPieTimer);

    // The row of buttons under the notebook; only "Collect statistics" answers Enter.
    const int buttonTop = notebookHeight + 6;
    auto button = [this, buttonTop](const char *text, const char *tip, int left, int width) {
        auto *made = new QPushButton(QString::fromLatin1(text), this);
        made->setToolTip(QString::fromLatin1(tip));
        made->setGeometry(left, buttonTop, width, 25);
        made->setAutoDefault(false);
        return made;
    };
    btOK = button("&Collect statistics", "Start collecting statistics", 8, 140);
    btOK->setAutoDefault(true);
    btOK->setDefault(true);
    btPrint = button("&Print page", "Print this page only", 156, 90);
    btExport = button("&Export...", "Save this page as CSV, PNG, SVG or PDF", 254, 84);
    btHistory = button("&History...", "Open, compare or delete kept runs", 346, 84);
    btFolders = button("F&olders...",
                       "Where the space is: the run's folders as a tree and a treemap", 438, 80);
    btFolders->setEnabled(false);
    btCancel = button("Close", "Cancel operation or close window", clientWidth - 108, 100);
    StatusBar1 = new QLabel(this);
    StatusBar1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StatusBar1->setGeometry(0, clientHeight - 18, clientWidth, 18);
    // Folder names reach the status line: never read as markup.
    StatusBar1->setTextFormat(Qt::PlainText);
    // The status line's note of unreadable folders leads to them.
    btUnreadable = new QPushButton(QStringLiteral("&Unreadable folders..."), this);
    btUnreadable->setFlat(true);
    btUnreadable->setToolTip(QStringLiteral("The folders the run could not read, and why"));
    btUnreadable->setAutoDefault(false);
    btUnreadable->setGeometry(clientWidth - 140, clientHeight - 18, 140, 18);
    btUnreadable->hide();
    // During a walk: how many files so far, and for how long, beside the status text.
    lblProgress = new QLabel(this);
    lblProgress->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblProgress->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    lblProgress->setAutoFillBackground(true);
    lblProgress->setGeometry(clientWidth - 190, clientHeight - 18, 188, 18);
    lblProgress->hide();
    m_progressTimer.setInterval(250);
    connect(&m_progressTimer, &QTimer::timeout, this, &TfrmStatistics::showProgress);

    pnlNotYet = new QFrame(this);
    pnlNotYet->setFrameStyle(QFrame::Panel | QFrame::Raised);
    pnlNotYet->setAutoFillBackground(true);
    pnlNotYet->setGeometry(0, 19, clientWidth, notebookHeight - 19);
    lblNotYet = new QLabel(QString::fromLatin1(notYetText), pnlNotYet);
    QFont big = lblNotYet->font();
    big.setPixelSize(18);
    big.setBold(true);
    lblNotYet->setFont(big);
    lblNotYet->setAlignment(Qt::AlignCenter);
    lblNotYet->setWordWrap(true);
    lblNotYet->setGeometry(40, 70, clientWidth - 80, 80);
    btAbort = new QPushButton(QStringLiteral("Abort"), pnlNotYet);
    btAbort->setGeometry((clientWidth - 100) / 2, 170, 100, 28);
    btAbort->setAutoDefault(false);
    btAbort->hide();
    pnlAd = new QFrame(pnlNotYet);
    pnlAd->setGeometry((clientWidth - 472) / 2, notebookHeight - 19 - 65 - 12, 472, 65);

    m_anchors = new Anchors(this);
    const Qt::Edges everySide = Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge;
    m_anchors->pin(OvcNotebook1, everySide);
    m_anchors->pin(btOK, Qt::LeftEdge | Qt::BottomEdge);
    m_anchors->pin(btPrint, Qt::LeftEdge | Qt::BottomEdge);
    m_anchors->pin(btExport, Qt::LeftEdge | Qt::BottomEdge);
    m_anchors->pin(btHistory, Qt::LeftEdge | Qt::BottomEdge);
    m_anchors->pin(btFolders, Qt::LeftEdge | Qt::BottomEdge);
    m_anchors->pin(btCancel, Qt::RightEdge | Qt::BottomEdge);
    m_anchors->pin(StatusBar1, Qt::LeftEdge | Qt::RightEdge | Qt::BottomEdge);
    m_anchors->pin(btUnreadable, Qt::RightEdge | Qt::BottomEdge);
    m_anchors->pin(lblProgress, Qt::RightEdge | Qt::BottomEdge);
    m_anchors->pin(pnlNotYet, everySide);
    m_anchors->pin(lblNotYet, Qt::LeftEdge | Qt::RightEdge | Qt::TopEdge);
    m_anchors->pin(btAbort, Qt::TopEdge);
    m_anchors->pin(pnlAd, Qt::BottomEdge);

    connect(btOK, &QPushButton::clicked, this, &TfrmStatistics::btOKClick);
    connect(btPrint, &QPushButton::clicked, this, &TfrmStatistics::btPrintClick);
    connect(btExport, &QPushButton::clicked, this, &TfrmStatistics::btExportClick);
    connect(btHistory, &QPushButton::clicked, this, &TfrmStatistics::btHistoryClick);
    connect(btFolders, &QPushButton::clicked, this, &TfrmStatistics::showFolders);
    connect(btCancel, &QPushButton::clicked, this, &TfrmStatistics::btCancelClick);
    connect(btUnreadable, &QPushButton::clicked, this, &TfrmStatistics::showUnreadableFolders);
    connect(btAbort, &QPushButton::clicked, this, &TfrmStatistics::btAbortClick);
    connect(OvcNotebook1, &QTabWidget::currentChanged, this,
            &TfrmStatistics::OvcNotebook1PageChanged);
    Timer1.setInterval(50);
    connect(&Timer1, &QTimer::timeout, this, &TfrmStatistics::Timer1Timer);
    connect(m_space, &SpacePage::pieClicked, this, &TfrmStatistics::pieClicked);
    connect(m_space, &SpacePage::pieViewShown, this, [this] { setPieTimer(true); });

    m_run.walker().setStopFlags(&m_abortRequested, &m_terminating);
    m_run.setListLimit(keptFilesPerRow);
    for (BandPage *page : {static_cast<BandPage *>(m_sizes), static_cast<BandPage *>(m_dates[0]),
                           static_cast<BandPage *>(m_dates[1]), static_cast<BandPage *>(m_dates[2]),
                           static_cast<BandPage *>(m_combined)})
        connect(page, &BandPage::showFiles, this, &TfrmStatistics::showFiles);
    connect(m_types, &TypesPage::showFiles, this, &TfrmStatistics::showFiles);
    connect(m_attributes, &AttributePage::showFiles, this, &TfrmStatistics::showFiles);
    connect(m_times, &TimePage::showFiles, this, &TfrmStatistics::showFiles);
    connect(m_space, &SpacePage::showLargestFolders, this, &TfrmStatistics::showFolders);
    connect(m_space, &SpacePage::showUnreadableFolders, this,
            &TfrmStatistics::showUnreadableFolders);
    m_run.walker().setPump([] { QCoreApplication::processEvents(); });
    m_stats.setStatusObserver([this](const QString &text) { setStatus(text); });

    // FormCreate
    OvcNotebook1->setCurrentIndex(Space);
    CheckListModel drives;
    fillDriveList(drives, true);
    m_space->pckStatDrive->loadFrom(drives);
    colorTable.initAColors(true, 0);
    // Everything starts on the button face, so a window print restores the screen exactly.
    changeBackgroundColor(buttonFace());
}

QString TfrmStatistics::statusText() const
{
    return StatusBar1->text();
}

void TfrmStatistics::setStatus(const QString &text)
{
    StatusBar1->setText(text);
    Q_EMIT statusChanged(text);
}

void TfrmStatistics::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmStatistics::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    const QSize growth = size() - QSize(clientWidth, clientHeight);
    m_anchors->grow(growth);
    for (int index = 0; index < OvcNotebook1->count(); ++index)
        if (Anchors *page = Anchors::forPage(OvcNotebook1->widget(index)))
            page->grow(growth);
}

void TfrmStatistics::FormShow()
{
    m_space->doDiskSize();
    OvcNotebook1PageChanged(OvcNotebook1->currentIndex());
    SponsorBanner::AdShow(53, 1, 0, quintptr(pnlAd->winId()), 1, 1, 470, 65, 1, 0, 1, 1, 0, 0);
}

void TfrmStatistics::closeEvent(QCloseEvent *event)
{
    SponsorBanner::AdClose(0, 0, 0);
    hide();
    event->accept();
}

void TfrmStatistics::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        btCancelClick();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfrmStatistics::applyNotYetRule(int index)
{
    const bool visible = m_collecting || (index != Space && !m_statsCollected);
    pnlNotYet->setVisible(visible);
    if (visible)
        pnlNotYet->raise();
}

void TfrmStatistics::OvcNotebook1PageChanged(int index)
{
    if (index == Space) {
        m_space->chartSpaceBar->setDepth(1);
        m_space->doDiskSize();
        m_space->Timer2.start();
    }
    applyNotYetRule(index);
}

void TfrmStatistics::Timer1Timer()
{
    if (m_timerBusy)
        return;
    m_timerBusy = true;
    m_space->turnPies();
    m_types->turnPie();
    m_timerBusy = false;
}

void TfrmStatistics::pieClicked()
{
    setPieTimer(!Timer1.isActive());
}

void TfrmStatistics::setPieTimer(bool running)
{
    if (running)
        Timer1.start();
    else
        Timer1.stop();
    m_space->setPiesTurning(running);
}

void TfrmStatistics::disenable(bool enabled)
{
    btPrint->setEnabled(enabled);
    btExport->setEnabled(enabled);
    btHistory->setEnabled(enabled);
    btFolders->setEnabled(enabled && m_lists.hasFolderTree());
    btOK->setEnabled(enabled);
    m_space->setRunControlsEnabled(enabled);
    m_types->setRunControlsEnabled(enabled);
    m_sizes->setRunControlsEnabled(enabled);
    for (DatePage *page : m_dates)
        page->setRunControlsEnabled(enabled);
    // The Combined page's "Listing" stays open during a run.
    m_combined->rbBySize->setEnabled(enabled);
    m_combined->rbByCount->setEnabled(enabled);
}

void TfrmStatistics::btCancelClick()
{
    if (m_collecting)
        m_abortRequested = true;
    else
        close();
}

void TfrmStatistics::btAbortClick()
{
    if (m_collecting)
        m_abortRequested = true;
}

void TfrmStatistics::requestTermination()
{
    m_terminating = true;
}

void TfrmStatistics::btOKClick()
{
    if (m_terminating)
        return;
    CollectionOptions options = m_stats.options();
    options.PickList1.clear();
    bool keepInHistory = false;
    {
        TfrmWhichDrive wizard(this);
        if (wizard.exec() == QDialog::Accepted) {
            options.PickList1 = wizard.checkedDrives();
            options.allFiles = options.includeSelected = options.excludeSelected = false;
            options.PickList2.clear();
            if (wizard.allFiles()) {
                options.allFiles = true;
            } else {
                options.includeSelected = wizard.includeSelected();
                options.excludeSelected = wizard.excludeSelected();
                options.PickList2 = wizard.checkedTypes();
                options.PickList2.sort();
            }
            options.enterHiddenFolders = wizard.enterHiddenFolders();
            options.skipFolders = wizard.skipFolders();
            options.listLongExtensions = wizard.listLongExtensions();
            options.countOnDisk = wizard.countOnDisk();
            keepInHistory = wizard.keepHistory();
        }
    }
    // Targets that lie inside another are walked with it; the run's list is what is walked.
    m_run.prepare(options, RunTarget::fromRows(options.PickList1));
    const QStringList &rows = m_run.options().PickList1;
    if (rows.isEmpty() || m_terminating)
        return;
    if (computePickListTotal(rows) <= 0) {
        showError(QStringLiteral("Could not compute the total size of the disk drives selected.  "
                                 "Cannot proceed with statistics."));
        return;
    }
    m_abortRequested = false;
    if (rows.size() == 1)
        showInfo((isFolderRow(rows.first()) ? QStringLiteral("Folder ")
                                            : QStringLiteral("Disk Drive ")) +
                 rows.first() + QStringLiteral(" will be scanned.  The analysis ") +
                 QStringLiteral("may take some time.  You may quit at any time by clicking "
                                "Abort or pressing ESC."));
    else
        showInfo(QStringLiteral("Since you selected more than one drive to analyze, the Cluster "
                                "Overhang tab will be disabled.  You may quit the analysis at any "
                                "time by clicking CANCEL or by pressing ESC."));
    m_types->gridTypes->clearDataRows();
    OvcNotebook1->setTabEnabled(Overhang, rows.size() == 1);
    forgetFolders();
    m_unreadable.clear();
    btUnreadable->hide();
    m_keptOnShow = false;

    QString visited;
    CollectionRun::Hooks hooks;
    hooks.starting = [&](const RunTarget &target) {
        currentDrive = target.name;
        visited += captionOf(target.name);
    };
    hooks.around = [&](const RunTarget &target, const std::function<CollectionRun::State()> &walk) {
        m_clusterSize = m_run.clusterSize();
        if (target.isFolder())
            showFolderDrive(target.name);
        m_collecting = true;
        lblNotYet->setText(QStringLiteral(
            "Collecting statistics ... standby.  Press Esc or click Abort to stop."));
        btAbort->show();
        pnlNotYet->show();
        pnlNotYet->raise();
        const bool turning = Timer1.isActive();
        Timer1.stop();
        // The caption says a run is going, and which target it walks.
        setWindowTitle(QStringLiteral("Collecting statistics - ") + target.name);
        m_walkClock.start();
        lblProgress->setText(QString());
        lblProgress->show();
        lblProgress->raise();
        m_progressTimer.start();
        scan(walk);
        m_progressTimer.stop();
        lblProgress->hide();
        // Rebuilding the Types page may have set the pies turning: the state before the run
        // is the state after it.
        setPieTimer(turning);
        m_statsCollected = true;
        m_collecting = false;
        setWindowTitle(m_abortRequested
                           ? QStringLiteral("File Statistics for drive(s) incomplete ... aborted.")
                           : QStringLiteral("Statistics completed for drives ") + visited);
    };
    m_run.walk(hooks);
    pnlNotYet->setVisible(!m_statsCollected);
    if (m_terminating)
        QCoreApplication::quit();
    else if (m_run.walkedAny() && keepInHistory)
        keepRun();
}

void TfrmStatistics::keepRun()
{
    const KeptRun run = KeptRun::record(m_run);
    // The run stands whatever becomes of keeping it; a failure is said once, here. Kept off
    // the window's thread: a history on a server that is slow to answer never freezes it. A
    // new run or the history waits until it is kept.
    const bool okEnabled = btOK->isEnabled(), historyEnabled = btHistory->isEnabled();
    btOK->setEnabled(false);
    btHistory->setEnabled(false);
    const QString error = waitOffThread([&run, location = historyLocation()] {
        HistoryStore store(location);
        return store.save(run) ? QString() : store.error();
    });
    btOK->setEnabled(okEnabled);
    btHistory->setEnabled(historyEnabled);
    if (!error.isEmpty()) {
        // Said in the status line; the whole reason where it has room, and History offers to
        // set a damaged history aside.
        setStatus(statusText() + QStringLiteral(" - not kept in the history: ") + error);
        StatusBar1->setToolTip(error);
    }
}

QString TfrmStatistics::historyLocation()
{
    return HistoryLocation::chosen(QString(), ProfileFile::defaultPath());
}

HistoryWindow *TfrmStatistics::btHistoryClick()
{
    // Asked again while the window is still reading the runs: the one on its way is enough.
    if (m_historyOpening)
        return nullptr;
    // One history window: asked again, it comes to the front with the runs read anew. (A
    // closed one is on its way out.)
    if (m_history && m_history->isVisible()) {
        m_history->refresh();
        m_history->raise();
        m_history->activateWindow();
        return m_history;
    }
    m_historyOpening = true;
    auto *window = new HistoryWindow(historyLocation(), this);
    m_historyOpening = false;
    m_history = window;
    // Once a run is on the pages, the pages are what the user wants to see.
    connect(window, &HistoryWindow::openRun, this, [this, window](const KeptRun &run) {
        if (showKeptRun(run))
            window->close();
    });
    window->show();
    return window;
}

bool TfrmStatistics::showKeptRun(const KeptRun &run)
{
    if (m_collecting) {
        showError(QStringLiteral("A run is collecting statistics; open the kept run when it has "
                                 "finished."));
        return false;
    }
    if (m_opening)
        return false;
    // Read aside first, off the window's thread: a damaged archive leaves the run on show as
    // it is, and a large one never freezes the window.
    StatAccumulators stats = m_stats; // keeps the status observer; the archive gives the rest
    FileLists lists;
    UnreadableFolders unreadable;
    m_opening = true;
    const bool read = !run.archive.isEmpty() && waitOffThread([&] {
        return RunArchive::read(run.archive, stats, lists, unreadable);
    });
    m_opening = false;
    if (!read) {
        showError(
            run.archive.isEmpty()
                ? QStringLiteral("Run %1 was kept without its figures; it can be "
                                 "compared but not opened.")
                      .arg(run.id)
                : QStringLiteral("Run %1 cannot be opened: its figures are damaged.").arg(run.id));
        return false;
    }
    forgetFolders();
    m_keptOnShow = true;
    m_stats = std::move(stats);
    m_lists.swap(lists);
    m_unreadable = std::move(unreadable);
    btUnreadable->setVisible(m_unreadable.count() > 0);
    m_space->btLargestFolders->setEnabled(m_lists.hasFolderTree());
    btFolders->setEnabled(m_lists.hasFolderTree());
    m_clusterSize = run.clusterSize;
    const QStringList &targets = m_stats.options().PickList1;
    currentDrive = targets.value(targets.size() - 1);
    m_types->gridTypes->clearDataRows();
    OvcNotebook1->setTabEnabled(Overhang, targets.size() == 1);
    const bool turning = Timer1.isActive();
    rebuildPages(run.fileSystem);
    setPieTimer(turning);
    m_statsCollected = true;
    applyNotYetRule(OvcNotebook1->currentIndex());
    QString visited;
    for (const QString &row : targets)
        visited += captionOf(row);
    setWindowTitle((run.aborted ? QStringLiteral("File Statistics for drive(s) incomplete ... "
                                                 "aborted.")
                                : QStringLiteral("Statistics completed for drives ") + visited) +
                   QStringLiteral(" - kept run of ") +
                   QLocale().toString(run.started, QLocale::ShortFormat));
    setStatus(run.status);
    return true;
}

void TfrmStatistics::showFolderDrive(const QString &folder)
{
    // The Space page shows the drive that holds the folder.
    const QChar letter =
        MountTable::driveOfPath(Volumes::current().drives(), QFile::encodeName(folder));
    TPickList &drives = *m_space->pckStatDrive;
    const QStringList rows = drives.Items();
    for (int i = 0; i < rows.size(); ++i)
        if (!rows[i].isEmpty() && rows[i][0] == letter && !drives.Checked(i)) {
            drives.setChecked(i, true);
            m_space->doDiskSize();
        }
}

FilesWindow *TfrmStatistics::showFiles(const ListRow &row)
{
    if (m_collecting || !m_statsCollected)
        return nullptr;
    auto *window = new FilesWindow(FileListPages::listedRow(m_stats, row), m_lists, this,
                                   m_stats.options().countOnDisk);
    connect(window, &FilesWindow::trashed, this, &TfrmStatistics::noteTrashed);
    for (const QByteArray &path : m_trashed)
        window->dropMovedAway(path);
    // A kept run's files may have gone since.
    if (m_keptOnShow)
        window->markMissing();
    window->show();
    return window;
}

FoldersWindow *TfrmStatistics::showFolders()
{
    if (m_collecting || !m_statsCollected || !m_lists.hasFolderTree())
        return nullptr;
    // One Folders window for the run on show.
    if (m_folders) {
        m_folders->raise();
        m_folders->activateWindow();
        return m_folders;
    }
    auto *window =
        new FoldersWindow(m_lists.folders(), m_stats.options().countOnDisk, m_trashed, this);
    connect(window, &FoldersWindow::trashed, this, &TfrmStatistics::noteTrashed);
    m_folders = window;
    window->show();
    return window;
}

void TfrmStatistics::forgetFolders()
{
    // The window reads the run's folder records: it goes before they change.
    delete m_folders;
    m_trashed.clear();
}

void TfrmStatistics::noteTrashed(const QByteArray &path)
{
    if (m_trashed.contains(path))
        return;
    m_trashed.append(path);
    if (m_folders)
        m_folders->drop(path);
    // The pages keep the run's figures; the status line says the disk has changed since.
    static const QString changed = QStringLiteral(" - changed since this run: ");
    QString status = statusText();
    const qsizetype at = status.indexOf(changed);
    if (at >= 0)
        status.truncate(at);
    setStatus(status + changed + intToGrouped(m_trashed.size()) +
              (m_trashed.size() == 1 ? QStringLiteral(" item moved to the trash")
                                     : QStringLiteral(" items moved to the trash")));
}

void TfrmStatistics::scan(const std::function<CollectionRun::State()> &walk)
{
    setStatus(QString());
    disenable(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (walk() == CollectionRun::State::CannotOpen)
        showError(CollectionRun::cannotOpenText(RunTarget::fromRow(currentDrive)));
    rebuildPages(m_run.fileSystem());
    m_unreadable = m_run.unreadable();
    btUnreadable->setVisible(m_unreadable.count() > 0);
    m_space->btLargestFolders->setEnabled(m_lists.hasFolderTree());
    setStatus(finishedStatusText(m_stats.filesProcessed, m_stats.filesFound, m_abortRequested,
                                 m_unreadable.count(), m_unreadable.skipped()));
    QApplication::restoreOverrideCursor();
    disenable(true);
}

void TfrmStatistics::showProgress()
{
    const qint64 seconds = m_walkClock.elapsed() / 1000;
    lblProgress->setText(
        intToGrouped(m_run.walker().filesSoFar()) + QStringLiteral(" files, ") +
        QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0')));
}

void TfrmStatistics::rebuildPages(const QString &fileSystem)
{
    if (m_stats.options().PickList1.size() == 1) {
        m_overhang->setFileSystem(fileSystem);
        if (!m_overhang->doOverHang(m_stats, m_clusterSize))
            OvcNotebook1->setTabEnabled(Overhang, false);
    }
    // The heads of files decide some types; a file on a hung mount must not freeze the window.
    const QHash<QByteArray, QString> described =
        waitOffThread([this] { return FileListPages::ambiguousTypes(m_stats, m_lists); });
    m_types->doFileTypes(m_stats, described);
    m_sizes->doFileSizes(m_stats);
    m_attributes->doFileAttrs(m_stats);
    for (DatePage *page : m_dates)
        page->fillGridDates(m_stats);
    m_combined->fillCombinedGridDates(m_stats);
    m_times->doFileTimes(m_stats);
    doFileAges();
    m_types->SortbyExtensionClick(TypesPage::SortByExtension);
}

void TfrmStatistics::doFileAges()
{
    m_combined->chart->undoZoom();
    for (DatePage *page : m_dates)
        page->rebuildChart(m_stats);
    m_combined->rebuildChart(m_stats);
}

FilesWindow *TfrmStatistics::showUnreadableFolders()
{
    if (m_collecting || !m_statsCollected)
        return nullptr;
    auto *window = new FilesWindow(m_unreadable, this);
    window->show();
    return window;
}

void TfrmStatistics::rgAccessClick()
{
    const int index = OvcNotebook1->currentIndex();
    BandPage *page = index == Combined ? static_cast<BandPage *>(m_combined)
                     : index >= Access && index <= Modified
                         ? static_cast<BandPage *>(m_dates[index - Access])
                         : nullptr;
    if (!page)
        return;
    page->showChosenView();
    if (!page->listingChosen())
        doFileAges();
}

QColor TfrmStatistics::buttonFace()
{
    return QApplication::palette().color(QPalette::Button);
}

void TfrmStatistics::changeBackgroundColor(const QColor &colour)
{
    auto recolour = [&colour](QWidget *widget, std::initializer_list<QPalette::ColorRole> roles) {
        QPalette colours = widget->palette();
        for (QPalette::ColorRole role : roles)
            colours.setColor(role, colour);
        widget->setPalette(colours);
    };
    recolour(this, {QPalette::Window});
    recolour(OvcNotebook1, {QPalette::Window});
    for (Chart *chart : findChildren<Chart *>()) {
        chart->backColor = colour;
        chart->update();
    }
    for (TPickList *list : findChildren<TPickList *>())
        list->setColor(colour);
    for (ReportGrid *grid : findChildren<ReportGrid *>())
        if (grid != m_types->gridTypes)
            recolour(grid, {QPalette::Base, QPalette::Button});
}

namespace {

// The listing as the user sees it: its heading row, then every row with any text.
TextTable tableOf(const ReportGrid &grid)
{
    TextTable table;
    for (int c = 0; c < grid.columnCount(); ++c) {
        table.headings.append(grid.cell(c, 0));
        table.rightAligned.append(grid.rightAligned().contains(c));
    }
    for (int r = 1; r < grid.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < grid.columnCount(); ++c)
            cells.append(grid.cell(c, r));
        if (!cells.join(QString()).trimmed().isEmpty())
            table.rows.append(cells);
    }
    return table;
}

} // namespace

void TfrmStatistics::btExportClick()
{
    const int page = OvcNotebook1->currentIndex();
    const ReportGrid *listing = nullptr;
    const Chart *chart = nullptr;
    if (page == Types) {
        if (m_types->chartPie->isVisible())
            chart = m_types->chartPie;
        else
            listing = m_types->gridTypes;
    } else if (page == Time) {
        chart = m_times->Chart4;
    } else if (auto *bands = qobject_cast<BandPage *>(OvcNotebook1->currentWidget())) {
        if (bands->listingChosen())
            listing = bands->grid;
        else
            chart = bands->chart;
    }
    QString error;
    const QString path = PageExporter::choosePath(
        this,
        listing ? QStringList{QStringLiteral("csv")}
                : QStringList{QStringLiteral("png"), QStringLiteral("svg"), QStringLiteral("pdf")},
        &error);
    if (path.isEmpty()) {
        if (!error.isEmpty())
            showError(error);
        return;
    }
    if (listing) {
        error = PageExporter::writeCsv(path, tableOf(*listing));
    } else if (chart) {
        error = PageExporter::writePicture(
            path, chart->size(),
            [chart](QPainter &painter, const QRectF &area) { chart->paint(painter, area); });
    } else {
        // The Space, Overhang and Attribute pages as they stand on the screen, at twice its
        // resolution: drawn into a picture first, since an SVG painter clips no child widget
        // and measures text at another resolution.
        QWidget *shown = OvcNotebook1->currentWidget();
        QImage picture(shown->size() * 2, QImage::Format_ARGB32_Premultiplied);
        picture.setDevicePixelRatio(2);
        picture.fill(shown->palette().color(QPalette::Window));
        shown->render(&picture);
        error = PageExporter::writePicture(
            path, shown->size(), [&picture](QPainter &painter, const QRectF &area) {
                painter.setRenderHint(QPainter::SmoothPixmapTransform);
                painter.drawImage(area, picture);
            });
    }
    if (!error.isEmpty())
        showError(error);
}

void TfrmStatistics::btPrintClick()
{
    PrintTarget &target = PrintTarget::current();
    const int page = OvcNotebook1->currentIndex();
    // Charts and pictures of the window carry a title as the listing does; a folder's path
    // with its hidden controls escaped.
    const QString drive = withoutHiddenControls(currentDrive);
    const QString title = OvcNotebook1->tabText(page) + QStringLiteral(" for drive ") + drive;
    if (page == Types) {
        if (m_types->chartPie->isVisible()) {
            target.previewChart(*m_types->chartPie, title, this);
            return;
        }
        QPrinter printer(QPrinter::HighResolution);
        if (!target.choosePrinter(printer, this))
            return;
        // With the space on disk, its column is printed too.
        const bool onDisk = m_types->gridTypes->columnCount() > ReportTables::onDiskColumn;
        PagePrinter::printGrid(
            printer, *m_types->gridTypes, QStringLiteral("File types for drive ") + drive,
            onDisk ? QList<int>{80, 219, 120, 75, 82, 90} : QList<int>{80, 219, 120, 75, 82},
            onDisk ? QList<int>{2, 3, 4, 5} : QList<int>{2, 3, 4});
        return;
    }
    Chart *chart = nullptr;
    if (page == Time)
        chart = m_times->Chart4;
    else if (auto *bands = qobject_cast<BandPage *>(OvcNotebook1->currentWidget()))
        chart = bands->listingChosen() ? nullptr : bands->chart;
    if (chart) {
        target.previewChart(*chart, title, this);
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    if (!target.choosePrinter(printer, this))
        return;
    changeBackgroundColor(Qt::white);
    PagePrinter::printPicture(printer, *this, title);
    changeBackgroundColor(buttonFace());
}
