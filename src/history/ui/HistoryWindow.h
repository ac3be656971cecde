#pragma once

#include "history/HistoryStore.h"

#include <QDialog>

class ComparisonWindow;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

// The kept runs, newest first: when, on which host by whom, which targets, the mode and options,
// files and bytes counted, aborted or not; those of one host where one is chosen. One run picked
// opens on the statistics window's pages; two picked are compared (across hosts too); any
// picked can be deleted, after a question whose default is No. The history is read and written
// off the window's thread: a server that is slow to answer never freezes it.
class HistoryWindow : public QDialog {
    Q_OBJECT

public:
    enum Column { Started, Host, Targets, Mode, Options, Files, Bytes, Aborted, ColumnCount };

    // location: the history's file or connection string (HistoryLocation).
    explicit HistoryWindow(const QString &location, QWidget *parent = nullptr);

    // Reads the kept runs again; a database that cannot be read is said above the list.
    void refresh();
    void btOpenClick();
    // Opens the change from the older of the two picked runs to the newer, after a question
    // when they looked at other targets or with other options; returns it.
    ComparisonWindow *btCompareClick();
    void btDeleteClick();
    // Picks the runs at these rows of the list (tests and keyboard alike).
    void pickRows(const QList<int> &rows);

    QTableWidget *runList;
    QLabel *lblState;
    // "All hosts", then every host of the kept runs.
    QComboBox *cbHost;
    QPushButton *btOpen;
    QPushButton *btCompare;
    QPushButton *btDelete;
    QPushButton *btClose;

Q_SIGNALS:
    // A kept run, with its tables and archive, to show on the pages.
    void openRun(const KeptRun &run);

private:
    QList<KeptRun> pickedRuns() const;
    static QString shownHost(const KeptRun &run);
    // Fills the list with the runs of the host chosen.
    void showRuns();
    // A history that cannot be read: asks whether to set it aside and start a new one.
    void offerToSetAside();
    void updateButtons();
    // The kept run of id with its tables, or nothing after saying why.
    std::optional<KeptRun> load(qint64 id);

    // Reads or writes the history off the window's thread, with a store of that thread's own;
    // nothing while another such call is under way.
    template <typename Work> auto withStore(Work work);

    QString m_location;
    QString m_error; // of the last reading or writing
    bool m_busy = false;
    QList<KeptRun> m_runs;  // every kept run
    QList<KeptRun> m_shown; // those listed, row by row
};
