#include "FolderTree.h"

#include <algorithm>

FolderTree::FolderTree(const FolderRecords &records)
{
    const quint32 count = records.count();
    m_nodes.resize(count);
    for (quint32 id = 0; id < count; ++id) {
        Node &node = m_nodes[id];
        node.parent = records.parentOf(id);
        node.name = records.nameOf(id);
        node.own = records.contentsOf(id);
        node.files = node.own.files;
        node.bytes = node.own.bytes;
        node.allocated = node.own.allocated;
    }
    // A folder's id is larger than its parent's: one pass from the last adds each folder's
    // totals into its parent's.
    for (quint32 id = count; id-- > 0;) {
        const quint32 parent = m_nodes[id].parent;
        if (parent >= id) {
            m_roots.push_back(id);
            continue;
        }
        m_nodes[parent].files += m_nodes[id].files;
        m_nodes[parent].bytes += m_nodes[id].bytes;
        m_nodes[parent].allocated += m_nodes[id].allocated;
        m_nodes[parent].children.push_back(id);
    }
    std::reverse(m_roots.begin(), m_roots.end());
    for (Node &node : m_nodes)
        std::sort(node.children.begin(), node.children.end(), [this](quint32 a, quint32 b) {
            return m_nodes[a].bytes != m_nodes[b].bytes ? m_nodes[a].bytes > m_nodes[b].bytes
                                                        : a < b;
        });
}

QByteArray FolderTree::path(quint32 folder) const
{
    std::vector<const QByteArray *> names;
    for (quint32 id = folder; id < m_nodes.size(); id = m_nodes[id].parent) {
        names.push_back(&m_nodes[id].name);
        if (m_nodes[id].parent >= id)
            break;
    }
    QByteArray text;
    for (auto name = names.rbegin(); name != names.rend(); ++name) {
        if (!text.isEmpty() && !text.endsWith('/'))
            text += '/';
        text += **name;
    }
    return text;
}
