#pragma once

#include "collection/FolderTree.h"
#include "reports/FolderTreeModel.h"

#include <QDialog>

class FolderTreemap;
class PathActions;
class QLabel;
class QPushButton;
class QTreeView;

// Where a run's space is: its folders as a tree (opened level by level, largest first) beside
// the treemap of the folder picked there; what is picked in either can be opened, shown in the
// file manager, its path copied, or moved to the trash, after which it leaves the tree and the
// treemap (the pages keep the run's figures).
class FoldersWindow : public QDialog {
    Q_OBJECT

public:
    // The folders of records (the run's, which must outlive the window); onDisk: the run counted
    // the space on disk; movedAway: what was moved to the trash since the run.
    FoldersWindow(const FolderRecords &records, bool onDisk, const QByteArrayList &movedAway,
                  QWidget *parent = nullptr);

    // The folder picked in the tree and on show in the treemap.
    void showFolder(quint32 folder);
    quint32 folderShown() const;
    // Out to the folder above the one on show.
    void goUp();
    // Something at path was moved away (from this window or another): it leaves the tree.
    bool drop(const QByteArray &path);
    const FolderTree &folderTree() const { return m_tree; }
    const FolderTreeModel &model() const { return m_model; }

    QTreeView *tree;
    FolderTreemap *treemap;
    QPushButton *btUp;
    QLabel *lblPath;
    PathActions *actions;
    QLabel *lblChanged;
    QPushButton *btClose;

Q_SIGNALS:
    void trashed(const QByteArray &path, qint64 bytes);

private:
    void folderPicked(const QModelIndex &current);
    void tilePicked(int tile);
    void followInTree(quint32 folder);
    void showPathOf(quint32 folder);

    FolderTree m_tree;
    FolderTreeModel m_model;
    // The tree follows a tile picked in the treemap without the treemap changing folder.
    bool m_following = false;
    int m_trashedHere = 0;
};
