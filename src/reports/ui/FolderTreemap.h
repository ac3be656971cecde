#pragma once

#include "reports/ChartColorTable.h"
#include "reports/FolderTiles.h"

#include <QWidget>

// The treemap of one folder: its subfolders (each drawn as its own items where there is room),
// its largest files coloured by extension, the rest of its files as one hatched tile. A click
// picks a tile, a double click goes into a folder (or opens a file), Backspace goes out; the
// arrows move the pick among the folder's items, Enter goes in, and a tooltip gives path, size
// and share.
class FolderTreemap : public QWidget {
    Q_OBJECT

public:
    explicit FolderTreemap(const FolderTree &tree, QWidget *parent = nullptr);

    // The folder on show; the pick is cleared.
    void setFolder(quint32 folder);
    quint32 folder() const { return m_folder; }
    // Picks the tile of the folder's item at index (in the order of itemsOf), -1 for none.
    void pickTile(int tile);
    int pickedTile() const { return m_picked; }
    const QList<FolderTile> &tiles() const { return m_tiles; }
    // The whole path of a tile, the file system's bytes.
    QByteArray pathOf(const FolderTile &tile) const;
    // The tiles anew (after something left the tree), keeping the pick where it still is.
    void refresh();
    QSize sizeHint() const override { return {480, 360}; }

Q_SIGNALS:
    // A tile was picked (by a click or the keys): its index in tiles().
    void picked(int tile);
    // Go into folder (a double click or Enter on a folder's tile).
    void enterRequested(quint32 folder);
    void upRequested();
    // A double click or Enter on a file.
    void openRequested();
    void menuRequested(const QPoint &globalPos);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    bool event(QEvent *event) override;

private:
    void relayout();
    // The tile of the folder's own items (depth 0) that holds tile.
    int itemOf(int tile) const;
    void activate(int tile);
    QString tileText(const FolderTile &tile) const;

    const FolderTree &m_tree;
    // The charts' standard palette: an extension has the same colour in every treemap.
    ChartColorTable m_colours;
    quint32 m_folder = FolderRecords::noParent;
    QList<FolderTile> m_tiles;
    int m_picked = -1;
};
