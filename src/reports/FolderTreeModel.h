#pragma once

#include "collection/FolderTree.h"

#include <QAbstractItemModel>

// The folders of a run as a tree for a view: name, size, space on disk (when the run counted it),
// files, and the share of its parent's bytes; subfolders largest first. Rows are made as the
// view opens them (a folder's children are counted, never built ahead). Sizes are the folder's
// own files and everything beneath it.
class FolderTreeModel : public QAbstractItemModel {
    Q_OBJECT

public:
    enum Column { Name, Size, OnDisk, Files, Share };
    // The share of the parent's bytes, 0 to 1 (a root: of all the roots).
    static constexpr int shareRole = Qt::UserRole + 1;
    // The bytes of a figure column, for sorting or exact display.
    static constexpr int bytesRole = Qt::UserRole + 2;

    FolderTreeModel(FolderTree &tree, bool onDisk, QObject *parent = nullptr);

    const FolderTree &tree() const { return m_tree; }
    // The column of kind, or -1 when this model has none.
    int columnOf(Column kind) const;
    Column kindOf(int column) const { return m_columns.value(column, Name); }
    QModelIndex indexOf(quint32 folder, int column = 0) const;
    quint32 folderAt(const QModelIndex &index) const;
    // The share of its parent's bytes that folder holds.
    double shareOf(quint32 folder) const;

    // Something at path was moved away (to the trash): a folder's row goes, the sums above it
    // shrink. False when the tree holds nothing at path.
    bool drop(const QByteArray &path);

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

Q_SIGNALS:
    // The sums of folder and those above it changed (something beneath it was dropped).
    void sumsChanged(quint32 folder);

private:
    const std::vector<quint32> &childrenOf(const QModelIndex &parent) const;
    void announceSums(quint32 from);

    FolderTree &m_tree;
    QList<Column> m_columns;
};
