#include "FolderTree.h"

#include <QList>

#include <algorithm>

FolderTree::FolderTree(const FolderRecords &records) : m_records(records)
{
    const quint32 count = records.count();
    m_nodes.resize(count);
    for (quint32 id = 0; id < count; ++id) {
        Node &node = m_nodes[id];
        const FolderRecords::Contents own = records.contentsOf(id, false);
        node.parent = records.parentOf(id);
        node.files = own.files;
        node.bytes = own.bytes;
        node.allocated = own.allocated;
    }
    // A folder's id is larger than its parent's: one pass from the last adds each folder's
    // totals into its parent's.
    for (quint32 id = count; id-- > 0;) {
        const quint32 parent = m_nodes[id].parent;
        if (parent >= id) {
            m_nodes[id].parent = FolderRecords::noParent;
            m_roots.push_back(id);
            continue;
        }
        m_nodes[parent].files += m_nodes[id].files;
        m_nodes[parent].bytes += m_nodes[id].bytes;
        m_nodes[parent].allocated += m_nodes[id].allocated;
        m_nodes[parent].children.push_back(id);
    }
    std::reverse(m_roots.begin(), m_roots.end());
    renumber(m_roots);
    for (Node &node : m_nodes) {
        std::sort(node.children.begin(), node.children.end(),
                  [this](quint32 a, quint32 b) { return before(a, b); });
        renumber(node.children);
    }
}

bool FolderTree::before(quint32 a, quint32 b) const
{
    return m_nodes[a].bytes != m_nodes[b].bytes ? m_nodes[a].bytes > m_nodes[b].bytes : a < b;
}

const std::vector<quint32> &FolderTree::siblingsOf(quint32 folder) const
{
    const quint32 parent = m_nodes[folder].parent;
    return parent < m_nodes.size() ? m_nodes[parent].children : m_roots;
}

quint32 FolderTree::sortedRow(quint32 folder) const
{
    const std::vector<quint32> &siblings = siblingsOf(folder);
    // Where it would stand among the others, which are still in order.
    quint32 row = 0;
    for (const quint32 other : siblings)
        if (other != folder && before(other, folder))
            ++row;
    return row;
}

void FolderTree::moveToRow(quint32 folder, quint32 row)
{
    const quint32 parent = m_nodes[folder].parent;
    std::vector<quint32> &siblings = parent < m_nodes.size() ? m_nodes[parent].children : m_roots;
    siblings.erase(siblings.begin() + m_nodes[folder].row);
    siblings.insert(siblings.begin() + std::min<size_t>(row, siblings.size()), folder);
    renumber(siblings);
}

void FolderTree::renumber(std::vector<quint32> &siblings)
{
    for (size_t row = 0; row < siblings.size(); ++row)
        m_nodes[siblings[row]].row = quint32(row);
}

QByteArray FolderTree::path(quint32 folder) const
{
    return folder < m_nodes.size() ? m_records.path(folder) : QByteArray();
}

QByteArray FolderTree::filePath(quint32 folder, const QByteArray &name) const
{
    QByteArray folderPath = path(folder);
    if (!folderPath.endsWith('/'))
        folderPath += '/';
    return folderPath + name;
}

FolderRecords::Contents FolderTree::own(quint32 folder) const
{
    if (folder >= m_nodes.size())
        return {};
    FolderRecords::Contents contents = m_records.contentsOf(folder);
    const auto removed = m_removedFiles.find(folder);
    if (removed == m_removedFiles.end())
        return contents;
    for (const FolderRecords::File &file : removed->second) {
        contents.files -= 1;
        contents.bytes -= file.size;
        contents.allocated -= file.allocated;
        std::erase_if(contents.largest,
                      [&file](const FolderRecords::File &kept) { return kept.name == file.name; });
    }
    return contents;
}

bool FolderTree::isPresent(quint32 folder) const
{
    for (quint32 id = folder; id < m_nodes.size();) {
        const Node &node = m_nodes[id];
        const std::vector<quint32> &siblings =
            node.parent < m_nodes.size() ? m_nodes[node.parent].children : m_roots;
        if (node.row >= siblings.size() || siblings[node.row] != id)
            return false;
        if (node.parent >= m_nodes.size())
            return true;
        id = node.parent;
    }
    return false;
}

FolderTree::Found FolderTree::find(const QByteArray &path) const
{
    QByteArray wanted = path;
    while (wanted.size() > 1 && wanted.endsWith('/'))
        wanted.chop(1);
    for (const quint32 root : m_roots) {
        QByteArray rootPath = m_records.nameOf(root);
        if (wanted == rootPath)
            return {root, {}};
        if (!rootPath.endsWith('/'))
            rootPath += '/';
        if (!wanted.startsWith(rootPath))
            continue;
        const QList<QByteArray> names = wanted.mid(rootPath.size()).split('/');
        quint32 folder = root;
        for (qsizetype i = 0; i < names.size(); ++i) {
            const std::vector<quint32> &children = m_nodes[folder].children;
            const auto child = std::find_if(children.begin(), children.end(), [&](quint32 id) {
                return m_records.nameOf(id) == names[i];
            });
            if (child != children.end()) {
                folder = *child;
                continue;
            }
            // The last name may be a file of the folder's own.
            if (i + 1 == names.size())
                for (const FolderRecords::File &file : own(folder).largest)
                    if (file.name == names[i])
                        return {folder, file.name};
            return {};
        }
        return {folder, {}};
    }
    return {};
}

void FolderTree::subtract(quint32 from, qint64 files, qint64 bytes, qint64 allocated)
{
    for (quint32 id = from; id < m_nodes.size(); id = m_nodes[id].parent) {
        Node &node = m_nodes[id];
        node.files -= files;
        node.bytes -= bytes;
        node.allocated -= allocated;
    }
}

void FolderTree::removeFolder(quint32 folder)
{
    if (!isPresent(folder))
        return;
    const Node &node = m_nodes[folder];
    const quint32 parent = node.parent;
    std::vector<quint32> &siblings = parent < m_nodes.size() ? m_nodes[parent].children : m_roots;
    siblings.erase(siblings.begin() + node.row);
    renumber(siblings);
    if (parent < m_nodes.size())
        subtract(parent, node.files, node.bytes, node.allocated);
}

bool FolderTree::removeFile(quint32 folder, const QByteArray &name)
{
    if (!isPresent(folder))
        return false;
    for (const FolderRecords::File &file : own(folder).largest)
        if (file.name == name) {
            m_removedFiles[folder].push_back(file);
            subtract(folder, 1, file.size, file.allocated);
            return true;
        }
    return false;
}
