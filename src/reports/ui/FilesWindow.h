#pragma once

#include "collection/FileLists.h"

#include <QDialog>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>

class PathActions;
class QLabel;
class UnreadableFolders;
class QLineEdit;
class QPushButton;
class QTableView;
struct ListedRow;

// The files behind a row of a page, or the folders a run could not read: a listing sorted by
// clicking a heading, narrowed by a filter as one types, whose picked row can be opened, shown
// in the file manager (also by a double click or Enter), its path copied, or a file moved to
// the trash (its row then leaves the listing).
class FilesWindow : public QDialog {
    Q_OBJECT

public:
    enum Column { Name, Folder, Size, Modified, Created, Accessed, Attributes, OnDisk };

    // The kept files of row, from lists; with onDisk, a last column of the space each takes.
    FilesWindow(const ListedRow &row, const FileLists &lists, QWidget *parent = nullptr,
                bool onDisk = false);
    // The folders a run could not read, with the reasons.
    explicit FilesWindow(const UnreadableFolders &folders, QWidget *parent = nullptr);

    // The whole path of the row on show in the listing, as the file system's bytes.
    QByteArray pathAt(int viewRow) const;
    int shownRows() const { return m_proxy.rowCount(); }
    // Something at path was moved away since the run: its row, and those beneath it, go.
    void dropMovedAway(const QByteArray &path);
    // Greys the rows whose files are no longer on disk (a kept run's, say), each with a
    // tooltip, and says how many in the title; their number. Looked at off the window's thread.
    int markMissing();

    QTableView *listing;
    QLineEdit *edFilter;
    PathActions *actions;
    QPushButton *btClose;

Q_SIGNALS:
    void trashed(const QByteArray &path, qint64 bytes);

private:
    void build(const QStringList &headings);
    void addRow(const QList<QStandardItem *> &cells, const QByteArray &path, qint64 bytes = 0,
                bool folder = false);
    void updateButtons();

    void fitColumns();

    QStandardItemModel m_model;
    QSortFilterProxyModel m_proxy;
};
