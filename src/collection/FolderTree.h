#pragma once

#include "FolderRecords.h"

#include <QByteArray>

#include <vector>

// Every folder of a run as a tree: each folder's own files and everything beneath it, its
// subfolders in order of the bytes they hold (largest first), and its largest files. Made from
// the run's folder records once the walk is over; a window opens it level by level.
class FolderTree {
public:
    struct Node {
        quint32 parent = FolderRecords::noParent;
        QByteArray name; // a root's whole path
        FolderRecords::Contents own;
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
    QByteArray path(quint32 folder) const;

private:
    std::vector<Node> m_nodes;
    std::vector<quint32> m_roots;
};
