#include "FolderTiles.h"

#include "Treemap.h"

#include <algorithm>

QList<FolderTile> FolderTiles::itemsOf(const FolderTree &tree, quint32 folder)
{
    QList<FolderTile> items;
    if (!tree.contains(folder))
        return items;
    for (const quint32 child : tree.node(folder).children) {
        const FolderTree::Node &node = tree.node(child);
        if (node.bytes > 0)
            items.append({FolderTile::Folder, {}, child, {}, node.bytes, node.files, 0, -1});
    }
    const FolderRecords::Contents own = tree.own(folder);
    qint64 keptBytes = 0;
    for (const FolderRecords::File &file : own.largest) {
        keptBytes += file.size;
        if (file.size > 0)
            items.append({FolderTile::File, {}, folder, file.name, file.size, 1, 0, -1});
    }
    const qint64 rest = own.files - qint64(own.largest.size());
    if (rest > 0 && own.bytes - keptBytes > 0)
        items.append(
            {FolderTile::SmallerFiles, {}, folder, {}, own.bytes - keptBytes, rest, 0, -1});
    std::stable_sort(items.begin(), items.end(),
                     [](const FolderTile &a, const FolderTile &b) { return a.bytes > b.bytes; });
    return items;
}

QList<FolderTile> FolderTiles::layout(const FolderTree &tree, quint32 folder, const QRectF &area,
                                      const Options &options)
{
    QList<FolderTile> tiles;
    // Each pass lays out the items of one folder tile in the area left inside it.
    struct Pending {
        quint32 folder;
        QRectF area;
        int depth;
        int parent;
    };
    std::vector<Pending> pending{{folder, area, 0, -1}};
    for (size_t next = 0; next < pending.size(); ++next) {
        const Pending open = pending[next];
        QList<FolderTile> items = itemsOf(tree, open.folder);
        QList<double> values;
        values.reserve(items.size());
        for (const FolderTile &item : items)
            values.append(double(item.bytes));
        const QList<QRectF> rects = Treemap::layout(values, open.area);
        for (qsizetype i = 0; i < items.size(); ++i) {
            if (rects[i].width() < 1 || rects[i].height() < 1)
                continue;
            if (tiles.size() >= options.maxTiles)
                return tiles;
            FolderTile tile = std::move(items[i]);
            tile.rect = rects[i];
            tile.depth = open.depth;
            tile.parent = open.parent;
            tiles.append(std::move(tile));
            const FolderTile &added = tiles.last();
            const QRectF inside = added.rect.adjusted(
                options.border, options.border + options.caption, -options.border, -options.border);
            if (added.kind == FolderTile::Folder && open.depth + 1 < options.maxDepth &&
                inside.width() >= options.smallest && inside.height() >= options.smallest)
                pending.push_back({added.folder, inside, open.depth + 1, int(tiles.size() - 1)});
        }
    }
    return tiles;
}

int FolderTiles::tileAt(const QList<FolderTile> &tiles, const QPointF &point)
{
    // Children come after their parents: the last tile that holds the point is the innermost.
    for (qsizetype i = tiles.size(); i-- > 0;)
        if (tiles[i].rect.contains(point))
            return int(i);
    return -1;
}
