#pragma once

#include "FolderRecords.h"

#include <QByteArray>

#include <unordered_map>
#include <vector>

// Every folder of a run as a tree: each folder's files and bytes with everything beneath it,
// its subfolders in order of the bytes they hold (largest first). Made from the run's folder
// records once the walk is over, which it reads (names, a folder's own files) and must outlive
// it; a window opens it level by level.
class FolderTree {
public:
    struct Node {
        quint32 parent = FolderRecords::noParent;
        quint32 row = 0; // its place among its parent's children (or the roots)
        // Its own files and everything beneath it.
        qint64 files = 0;
        qint64 bytes = 0;
        qint64 allocated = 0;
        std::vector<quint32> children; // largest first
    };

    explicit FolderTree(const FolderRecords &records);

    // The folders the walks started from.
    const std::vector<quint32> &roots() const { return m_roots; }
    const Node &node(quint32 folder) const { return m_nodes[folder]; }
    quint32 count() const { return quint32(m_nodes.size()); }
    bool contains(quint32 folder) const { return folder < m_nodes.size(); }
    // Its own name; a root's is its whole path.
    QByteArray name(quint32 folder) const { return m_records.nameOf(folder); }
    QByteArray path(quint32 folder) const;
    // The path of a file of folder's own.
    QByteArray filePath(quint32 folder, const QByteArray &name) const;
    // What folder holds of its own (not beneath it), less what was moved away since the run.
    FolderRecords::Contents own(quint32 folder) const;
    // A folder still in the tree: its chain of parents reaches a root.
    bool isPresent(quint32 folder) const;

    // The folder (and, for a file of its own, the file's name) at path; noParent when the tree
    // holds no such folder or file.
    struct Found {
        quint32 folder = FolderRecords::noParent;
        QByteArray file; // empty for the folder itself
    };
    Found find(const QByteArray &path) const;

    // Something moved away since the run (to the trash): it leaves the tree, and its files and
    // bytes leave the sums of the folders above it.
    void removeFolder(quint32 folder);
    bool removeFile(quint32 folder, const QByteArray &name);
    // The row folder belongs at among its siblings, largest first, after its bytes shrank.
    quint32 sortedRow(quint32 folder) const;
    // Moves folder to row among its siblings (the others keep their order).
    void moveToRow(quint32 folder, quint32 row);

private:
    const std::vector<quint32> &siblingsOf(quint32 folder) const;
    bool before(quint32 a, quint32 b) const;
    void subtract(quint32 from, qint64 files, qint64 bytes, qint64 allocated);
    void renumber(std::vector<quint32> &siblings);

    const FolderRecords &m_records;
    std::vector<Node> m_nodes;
    std::vector<quint32> m_roots;
    // Files of a folder's own moved away since the run, by folder.
    std::unordered_map<quint32, std::vector<FolderRecords::File>> m_removedFiles;
};
