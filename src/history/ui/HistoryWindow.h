#pragma once

#include "history/HistoryStore.h"

#include <QDialog>

class ComparisonWindow;
class QLabel;
class QPushButton;
class QTableWidget;

// The kept runs, newest first: when, which targets, the mode and options, files and bytes counted,
// aborted or not. One run picked opens on the statistics window's pages; two picked are
// compared; any picked can be deleted, after a question whose default is No.
class HistoryWindow : public QDialog {
    Q_OBJECT

public:
    enum Column { Started, Targets, Mode, Options, Files, Bytes, Aborted, ColumnCount };

    explicit HistoryWindow(const QString &databasePath, QWidget *parent = nullptr);

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
    QPushButton *btOpen;
    QPushButton *btCompare;
    QPushButton *btDelete;
    QPushButton *btClose;

Q_SIGNALS:
    // A kept run, with its tables and archive, to show on the pages.
    void openRun(const KeptRun &run);

private:
    QList<KeptRun> pickedRuns() const;
    // A history that cannot be read: asks whether to set it aside and start a new one.
    void offerToSetAside();
    void updateButtons();
    // The kept run of id with its tables, or nothing after saying why.
    std::optional<KeptRun> load(qint64 id);

    QString m_path;
    HistoryStore m_store;
    bool m_loading = false;
    QList<KeptRun> m_runs;
};
