#pragma once

#include "collection/FileLists.h"

#include <QDialog>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>

class QLabel;
class UnreadableFolders;
class QLineEdit;
class QPushButton;
class QTableView;
struct ListedRow;

// The files behind a row of a page, the largest folders of the last run's targets, or the
// folders it could not read: a
// listing sorted by clicking a heading, narrowed by a filter as one types, from which a
// file's folder opens in the desktop's file manager or its path goes to the clipboard.
class FilesWindow : public QDialog {
    Q_OBJECT

public:
    enum Column { Name, Folder, Size, Modified, Created, Accessed, Attributes, OnDisk };

    // The kept files of row, from lists; with onDisk, a last column of the space each takes.
    FilesWindow(const ListedRow &row, const FileLists &lists, QWidget *parent = nullptr,
                bool onDisk = false);
    // The largest folders of every target of lists, with onDisk the space their files take.
    explicit FilesWindow(const FileLists &lists, QWidget *parent = nullptr, bool onDisk = false);
    // The folders a run could not read, with the reasons.
    explicit FilesWindow(const UnreadableFolders &folders, QWidget *parent = nullptr);

    // The whole path of the row on show in the listing, as the file system's bytes.
    QByteArray pathAt(int viewRow) const;
    int shownRows() const { return m_proxy.rowCount(); }

    QTableView *listing;
    QLineEdit *edFilter;
    QPushButton *btOpenFolder;
    QPushButton *btCopyPath;
    QPushButton *btClose;

private:
    void build(const QStringList &headings);
    void addRow(const QList<QStandardItem *> &cells, const QByteArray &path);
    void openFolder();
    void copyPath();
    void updateButtons();
    void fitColumns();

    QStandardItemModel m_model;
    QSortFilterProxyModel m_proxy;
};
