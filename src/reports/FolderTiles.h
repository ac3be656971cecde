#pragma once

#include "collection/FolderTree.h"

#include <QList>
#include <QRectF>

// One rectangle of a folder's treemap: a subfolder (drawn as its own tiles where there is room),
// one of a folder's largest files, or the rest of a folder's files as one.
struct FolderTile {
    enum Kind { Folder, File, SmallerFiles };
    Kind kind = Folder;
    QRectF rect;
    quint32 folder = 0; // the folder itself, or the one the files are in
    QByteArray file;    // a File's name
    qint64 bytes = 0;
    qint64 files = 0; // the files it stands for
    int depth = 0;    // 0: an item of the folder on show
    int parent = -1;  // the index of the tile it lies in
};

// The tiles of a folder's treemap, computed apart from any drawing: squarified, by bytes, each
// folder's items laid inside its rectangle below a caption band, level by level while there is
// room. Parents come before their children.
namespace FolderTiles {

struct Options {
    double caption = 0;  // the band at the top of a folder tile that holds its name
    double border = 1;   // the frame between a folder's edge and its items
    double smallest = 3; // no tile is split into items below this many pixels a side
    int maxDepth = 6;
    int maxTiles = 20000;
};

// A folder's items: its subfolders, its largest files and the rest of its files as one tile,
// largest first, each with its bytes (rect left empty).
QList<FolderTile> itemsOf(const FolderTree &tree, quint32 folder);

QList<FolderTile> layout(const FolderTree &tree, quint32 folder, const QRectF &area,
                         const Options &options);

// The last (innermost) tile at point, or -1.
int tileAt(const QList<FolderTile> &tiles, const QPointF &point);

} // namespace FolderTiles
