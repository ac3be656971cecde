#pragma once

#include "collection/CollectionRun.h"
#include "collection/FileLists.h"
#include "collection/StatAccumulators.h"
#include "collection/UnreadableFolders.h"
#include "reports/ChartColorTable.h"
#include "reports/ReportPage.h"

#include <QDateTime>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

#include <atomic>
#include <functional>

class Anchors;
class FilesWindow;
class FoldersWindow;
class HistoryWindow;
struct KeptRun;
class AttributePage;
class CombinedPage;
class DatePage;
class OverhangPage;
class QFrame;
class QLabel;
class QPushButton;
class QTabWidget;
class SizesPage;
class SpacePage;
class TimePage;
class TypesPage;

// The statistics window: ten report pages, the collection run that fills them, abort, the
// panel over the pages while nothing is collected, and the pie rotation.
class TfrmStatistics : public QDialog {
    Q_OBJECT

public:
    using enum ReportPage::Page;

    explicit TfrmStatistics(QWidget *parent = nullptr);

    // The whole collection run: wizard, capacity check, start message, every chosen drive.
    void btOKClick();
    // The step of one target: walk (which walks currentDrive), then every page rebuilt from the
    // accumulators and the finished status line.
    void scan(const std::function<CollectionRun::State()> &walk);
    void disenable(bool enabled);
    void btCancelClick();
    void btAbortClick();
    void btPrintClick();
    // Lists the kept runs, to open, compare or delete; returns the window.
    HistoryWindow *btHistoryClick();
    // Shows a kept run on the pages as it finished (not during a run); false after saying why
    // when it cannot be shown.
    bool showKeptRun(const KeptRun &run);
    // Saves the page on show: a listing as CSV, a chart or the page's picture as PNG, SVG or
    // PDF, as the file name the user gives says.
    void btExportClick();
    // Gives the window, its notebook, charts, pick lists and grids (but the Types listing)
    // this background.
    void changeBackgroundColor(const QColor &colour);
    static QColor buttonFace();
    void Timer1Timer();
    void OvcNotebook1PageChanged(int index);
    // The program is ending: a walk unwinds, and the program quits once the run has returned.
    void requestTermination();

    SpacePage *space() const { return m_space; }
    TypesPage *types() const { return m_types; }
    SizesPage *sizes() const { return m_sizes; }
    OverhangPage *overhang() const { return m_overhang; }
    DatePage *datePage(int index) const { return m_dates[index - Access]; }
    CombinedPage *combined() const { return m_combined; }
    AttributePage *attributes() const { return m_attributes; }
    TimePage *times() const { return m_times; }
    // Rebuilds the charts of the four date pages, each by its own view choice.
    void doFileAges();
    // A view choice of a date page or of the Combined page.
    void rgAccessClick();
    const StatAccumulators &stats() const { return m_stats; }
    const FileLists &lists() const { return m_lists; }
    // Opens a window of the files behind row of the last run (none during a run or before the
    // first); returns it, or nullptr.
    FilesWindow *showFiles(const ListRow &row);
    // Opens the Folders window of the run on show (its folder tree and treemap), or brings the
    // open one to the front; nullptr during a run or for a run kept without its folders.
    FoldersWindow *showFolders();
    // What was moved to the trash from a window of this run, since the run.
    const QByteArrayList &trashed() const { return m_trashed; }
    // Opens a window of the folders the run on show could not read, with the reasons.
    FilesWindow *showUnreadableFolders();
    const UnreadableFolders &unreadableFolders() const { return m_unreadable; }
    bool collecting() const { return m_collecting; }
    bool statsCollected() const { return m_statsCollected; }
    QString statusText() const;
    qint32 clusterSize() const { return m_clusterSize; }

    QTabWidget *OvcNotebook1;
    QPushButton *btOK;
    QPushButton *btPrint;
    QPushButton *btExport;
    QPushButton *btHistory;
    QPushButton *btFolders;
    QPushButton *btCancel;
    QPushButton *btAbort;
    QLabel *StatusBar1;
    QPushButton *btUnreadable;
    QLabel *lblProgress;
    QFrame *pnlNotYet;
    QLabel *lblNotYet;
    QFrame *pnlAd;
    QTimer Timer1;
    ChartColorTable colorTable;
    QString currentDrive;

Q_SIGNALS:
    // The status line changed (also during a walk, through the accumulators' status text).
    void statusChanged(const QString &text);

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void FormShow();
    void showProgress();
    void setStatus(const QString &text);
    void applyNotYetRule(int index);
    // fileSystem: the Overhang page's, for a single target.
    void rebuildPages(const QString &fileSystem);
    // Keeps the run just finished in the history; a failure is added to the status line.
    void keepRun();
    // The history chosen by the environment or the settings, else the default file.
    static QString historyLocation();
    void pieClicked();
    void setPieTimer(bool running);

    void showFolderDrive(const QString &folder);
    // Closes the Folders window and forgets what was trashed: the run on show changes.
    void forgetFolders();
    // Something of the run on show went to the trash: the Folders window drops it, the status
    // line counts it.
    void noteTrashed(const QByteArray &path);

    StatAccumulators m_stats;
    // The largest files of every row and folders of every drive of the run on show.
    FileLists m_lists;
    QPointer<FoldersWindow> m_folders;
    QByteArrayList m_trashed;
    CollectionRun m_run{m_stats, m_lists};
    // The folders the run on show could not read.
    UnreadableFolders m_unreadable;
    Anchors *m_anchors = nullptr;
    QPointer<HistoryWindow> m_history;
    bool m_historyOpening = false; // a History window is reading the runs
    SpacePage *m_space;
    TypesPage *m_types;
    SizesPage *m_sizes;
    OverhangPage *m_overhang;
    DatePage *m_dates[3];
    CombinedPage *m_combined;
    AttributePage *m_attributes;
    TimePage *m_times;
    std::atomic<bool> m_abortRequested{false};
    std::atomic<bool> m_terminating{false};
    bool m_collecting = false;
    bool m_statsCollected = false;
    bool m_timerBusy = false;
    bool m_opening = false;    // a kept run is being read
    bool m_keptOnShow = false; // the pages show a run from the history
    QTimer m_progressTimer;
    QElapsedTimer m_walkClock;
    qint32 m_clusterSize = 0;
};
