#include "FolderTreeModel.h"

#include "common/FileNameText.h"
#include "common/Utility.h"

#include <QLocale>

namespace {

QString sizeText(qint64 bytes)
{
    return QLocale().formattedDataSize(bytes, 1);
}

QString shareText(double share)
{
    return QLocale().toString(share * 100, 'f', 1) + QStringLiteral(" %");
}

} // namespace

FolderTreeModel::FolderTreeModel(FolderTree &tree, bool onDisk, QObject *parent)
    : QAbstractItemModel(parent), m_tree(tree)
{
    m_columns = {Name, Size};
    if (onDisk)
        m_columns.append(OnDisk);
    m_columns.append({Files, Share});
}

int FolderTreeModel::columnOf(Column kind) const
{
    return int(m_columns.indexOf(kind));
}

const std::vector<quint32> &FolderTreeModel::childrenOf(const QModelIndex &parent) const
{
    return parent.isValid() ? m_tree.node(folderAt(parent)).children : m_tree.roots();
}

QModelIndex FolderTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column < 0 || column >= m_columns.size() || row < 0)
        return {};
    const std::vector<quint32> &children = childrenOf(parent);
    return size_t(row) < children.size() ? createIndex(row, column, quintptr(children[row]))
                                         : QModelIndex();
}

QModelIndex FolderTreeModel::indexOf(quint32 folder, int column) const
{
    if (!m_tree.contains(folder) || !m_tree.isPresent(folder))
        return {};
    return createIndex(int(m_tree.node(folder).row), column, quintptr(folder));
}

quint32 FolderTreeModel::folderAt(const QModelIndex &index) const
{
    return index.isValid() ? quint32(index.internalId()) : FolderRecords::noParent;
}

QModelIndex FolderTreeModel::parent(const QModelIndex &child) const
{
    const quint32 folder = folderAt(child);
    return m_tree.contains(folder) ? indexOf(m_tree.node(folder).parent) : QModelIndex();
}

int FolderTreeModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() && parent.column() != 0)
        return 0;
    return int(childrenOf(parent).size());
}

int FolderTreeModel::columnCount(const QModelIndex &) const
{
    return int(m_columns.size());
}

double FolderTreeModel::shareOf(quint32 folder) const
{
    if (!m_tree.contains(folder))
        return 0;
    const FolderTree::Node &node = m_tree.node(folder);
    qint64 whole = 0;
    if (m_tree.contains(node.parent))
        whole = m_tree.node(node.parent).bytes;
    else
        for (const quint32 root : m_tree.roots())
            whole += m_tree.node(root).bytes;
    return whole > 0 ? std::clamp(double(node.bytes) / double(whole), 0.0, 1.0) : 0.0;
}

QVariant FolderTreeModel::data(const QModelIndex &index, int role) const
{
    const quint32 folder = folderAt(index);
    if (!m_tree.contains(folder))
        return {};
    const FolderTree::Node &node = m_tree.node(folder);
    const Column kind = kindOf(index.column());
    switch (role) {
    case Qt::DisplayRole:
        switch (kind) {
        case Name:
            return printableFileName(m_tree.name(folder));
        case Size:
            return sizeText(node.bytes);
        case OnDisk:
            return sizeText(node.allocated);
        case Files:
            return intToGrouped(node.files);
        case Share:
            return shareText(shareOf(folder));
        }
        break;
    case Qt::ToolTipRole:
        return printableFileName(m_tree.path(folder)) + u'\n' + intToGrouped(node.bytes) +
               QStringLiteral(" bytes in ") + intToGrouped(node.files) +
               QStringLiteral(" files, ") + shareText(shareOf(folder)) +
               QStringLiteral(" of the folder above");
    case Qt::TextAlignmentRole:
        return kind == Name ? QVariant() : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    case shareRole:
        return shareOf(folder);
    case bytesRole:
        return kind == OnDisk ? node.allocated : kind == Files ? node.files : node.bytes;
    default:
        break;
    }
    return {};
}

QVariant FolderTreeModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return {};
    if (role == Qt::TextAlignmentRole)
        return m_columns[section] == Name ? QVariant()
                                          : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    switch (m_columns[section]) {
    case Name:
        return QStringLiteral("Folder");
    case Size:
        return QStringLiteral("Size");
    case OnDisk:
        return QStringLiteral("On disk");
    case Files:
        return QStringLiteral("Files");
    case Share:
        return QStringLiteral("Share");
    }
    return {};
}

void FolderTreeModel::announceSums(quint32 from)
{
    // Every figure of the folders above changed, and the shares of their neighbours; each of
    // them, smaller now, moves down to its place among its siblings, largest first.
    for (quint32 id = from; m_tree.contains(id); id = m_tree.node(id).parent) {
        const QModelIndex at = indexOf(id);
        const QModelIndex above = at.parent();
        const quint32 row = m_tree.node(id).row;
        const quint32 sorted = m_tree.sortedRow(id);
        // (A move down names the row it goes before, one past where it ends.)
        if (sorted != row && beginMoveRows(above, int(row), int(row), above,
                                           int(sorted > row ? sorted + 1 : sorted))) {
            m_tree.moveToRow(id, sorted);
            endMoveRows();
        }
        const int rows = rowCount(above);
        if (rows > 0)
            Q_EMIT dataChanged(index(0, 0, above), index(rows - 1, columnCount() - 1, above));
    }
    Q_EMIT sumsChanged(from);
}

bool FolderTreeModel::drop(const QByteArray &path)
{
    const FolderTree::Found found = m_tree.find(path);
    if (!m_tree.contains(found.folder))
        return false;
    if (!found.file.isEmpty()) {
        if (!m_tree.removeFile(found.folder, found.file))
            return false;
        announceSums(found.folder);
        return true;
    }
    const QModelIndex at = indexOf(found.folder);
    const quint32 parent = m_tree.node(found.folder).parent;
    beginRemoveRows(at.parent(), at.row(), at.row());
    m_tree.removeFolder(found.folder);
    endRemoveRows();
    if (m_tree.contains(parent))
        announceSums(parent);
    else
        Q_EMIT sumsChanged(found.folder);
    return true;
}
