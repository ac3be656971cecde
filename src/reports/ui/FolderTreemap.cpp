#include "FolderTreemap.h"

#include "common/FileNameText.h"
#include "common/Utility.h"
#include "filetypes/TypeRow.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QLocale>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QToolTip>

namespace {

constexpr int captionHeight = 15;

QColor colourOf(ChartColor colour)
{
    return QColor::fromRgb(QRgb(colour));
}

} // namespace

FolderTreemap::FolderTreemap(const FolderTree &tree, QWidget *parent)
    : QWidget(parent), m_tree(tree)
{
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(160, 120);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FolderTreemap::setFolder(quint32 folder)
{
    m_folder = folder;
    m_picked = -1;
    relayout();
}

void FolderTreemap::refresh()
{
    QByteArray pickedPath;
    if (m_picked >= 0)
        pickedPath = pathOf(m_tiles[m_picked]);
    relayout();
    m_picked = -1;
    for (qsizetype i = 0; i < m_tiles.size() && !pickedPath.isEmpty(); ++i)
        if (pathOf(m_tiles[i]) == pickedPath)
            m_picked = int(i);
    update();
}

void FolderTreemap::relayout()
{
    FolderTiles::Options options;
    options.caption = captionHeight;
    options.border = 2;
    options.smallest = 6;
    m_tiles =
        m_tree.contains(m_folder) && m_tree.isPresent(m_folder)
            ? FolderTiles::layout(m_tree, m_folder, QRectF(rect()).adjusted(1, 1, -1, -1), options)
            : QList<FolderTile>();
    update();
}

void FolderTreemap::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    refresh();
}

QByteArray FolderTreemap::pathOf(const FolderTile &tile) const
{
    switch (tile.kind) {
    case FolderTile::Folder:
        return m_tree.path(tile.folder);
    case FolderTile::File:
        return m_tree.filePath(tile.folder, tile.file);
    case FolderTile::SmallerFiles:
        break;
    }
    return {};
}

QString FolderTreemap::tileText(const FolderTile &tile) const
{
    switch (tile.kind) {
    case FolderTile::Folder:
        return printableFileName(m_tree.name(tile.folder));
    case FolderTile::File:
        return printableFileName(tile.file);
    case FolderTile::SmallerFiles:
        return intToGrouped(tile.files) + QStringLiteral(" smaller files");
    }
    return {};
}

void FolderTreemap::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    if (m_tiles.isEmpty()) {
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("No files here"));
        return;
    }
    QFont small = font();
    small.setPixelSize(11);
    painter.setFont(small);
    const QColor folderFace = palette().color(QPalette::Button);
    for (const FolderTile &tile : m_tiles) {
        const QRectF area = tile.rect;
        switch (tile.kind) {
        case FolderTile::Folder: {
            // Deeper folders a shade darker, so that the levels read apart.
            painter.fillRect(area, folderFace.darker(100 + 8 * tile.depth));
            break;
        }
        case FolderTile::File: {
            const QColor colour = colourOf(m_colours.colorOfKey(fileNameExtension(tile.file)));
            QLinearGradient cushion(area.topLeft(), area.bottomRight());
            cushion.setColorAt(0, colour.lighter(135));
            cushion.setColorAt(1, colour.darker(125));
            painter.fillRect(area, cushion);
            break;
        }
        case FolderTile::SmallerFiles:
            painter.fillRect(area, palette().color(QPalette::Mid));
            painter.fillRect(area, QBrush(palette().color(QPalette::Dark), Qt::BDiagPattern));
            break;
        }
        painter.setPen(QColor(0, 0, 0, 110));
        painter.drawRect(area.adjusted(0, 0, -0.5, -0.5));
        // A name where it fits: a folder's in its caption band, a file's in its middle.
        const QRectF textArea = tile.kind == FolderTile::Folder
                                    ? QRectF(area.left() + 3, area.top(), area.width() - 6,
                                             std::min<double>(captionHeight, area.height()))
                                    : area.adjusted(3, 2, -3, -2);
        if (textArea.width() > 24 && textArea.height() >= 12) {
            const QString text = painter.fontMetrics().elidedText(tileText(tile), Qt::ElideMiddle,
                                                                  int(textArea.width()));
            const QColor behind = tile.kind == FolderTile::File
                                      ? colourOf(m_colours.colorOfKey(fileNameExtension(tile.file)))
                                      : folderFace;
            painter.setPen(behind.lightness() > 140 ? Qt::black : Qt::white);
            painter.drawText(
                textArea,
                (tile.kind == FolderTile::Folder ? Qt::AlignLeft | Qt::AlignTop : Qt::AlignCenter) |
                    Qt::TextSingleLine,
                text);
        }
    }
    if (m_picked >= 0) {
        QPen pen(palette().color(QPalette::Highlight), 3);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(m_tiles[m_picked].rect.adjusted(1.5, 1.5, -1.5, -1.5));
    }
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(1, 1, -1, -1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

void FolderTreemap::pickTile(int tile)
{
    m_picked = tile >= 0 && tile < m_tiles.size() ? tile : -1;
    update();
    Q_EMIT picked(m_picked);
}

int FolderTreemap::itemOf(int tile) const
{
    while (tile >= 0 && m_tiles[tile].parent >= 0)
        tile = m_tiles[tile].parent;
    return tile;
}

void FolderTreemap::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton)
        pickTile(FolderTiles::tileAt(m_tiles, event->position()));
    QWidget::mousePressEvent(event);
}

void FolderTreemap::activate(int tile)
{
    if (tile < 0 || tile >= m_tiles.size())
        return;
    const FolderTile &chosen = m_tiles[tile];
    if (chosen.kind == FolderTile::Folder)
        Q_EMIT enterRequested(chosen.folder);
    else if (chosen.kind == FolderTile::File)
        Q_EMIT openRequested();
}

void FolderTreemap::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int tile = FolderTiles::tileAt(m_tiles, event->position());
    // A double click on a file deep inside opens it; on a folder's frame it goes into that one.
    activate(tile);
}

void FolderTreemap::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Backspace:
        Q_EMIT upRequested();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        activate(m_picked);
        return;
    case Qt::Key_Right:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Up: {
        // The folder's own items, in order of size.
        QList<int> items;
        for (qsizetype i = 0; i < m_tiles.size(); ++i)
            if (m_tiles[i].depth == 0)
                items.append(int(i));
        if (items.isEmpty())
            return;
        const bool forward = event->key() == Qt::Key_Right || event->key() == Qt::Key_Down;
        const qsizetype at = items.indexOf(itemOf(m_picked));
        const qsizetype next =
            at < 0 ? 0 : std::clamp<qsizetype>(at + (forward ? 1 : -1), 0, items.size() - 1);
        pickTile(items[next]);
        return;
    }
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}

void FolderTreemap::contextMenuEvent(QContextMenuEvent *event)
{
    if (event->reason() != QContextMenuEvent::Mouse && m_picked >= 0)
        Q_EMIT menuRequested(mapToGlobal(m_tiles[m_picked].rect.center().toPoint()));
    else
        Q_EMIT menuRequested(event->globalPos());
}

bool FolderTreemap::event(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    auto *help = static_cast<QHelpEvent *>(event);
    const int tile = FolderTiles::tileAt(m_tiles, help->pos());
    if (tile < 0) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    const FolderTile &shown = m_tiles[tile];
    const qint64 whole = m_tree.contains(m_folder) ? m_tree.node(m_folder).bytes : 0;
    QString where = shown.kind == FolderTile::SmallerFiles
                        ? printableFileName(m_tree.path(shown.folder)) + u'\n' + tileText(shown)
                        : printableFileName(pathOf(shown));
    const double share = whole > 0 ? 100.0 * double(shown.bytes) / double(whole) : 0;
    QToolTip::showText(help->globalPos(),
                       where + u'\n' + QLocale().formattedDataSize(shown.bytes, 1) +
                           QStringLiteral(" (") + intToGrouped(shown.bytes) +
                           QStringLiteral(" bytes), ") + QLocale().toString(share, 'f', 1) +
                           QStringLiteral(" % of ") + printableFileName(m_tree.name(m_folder)),
                       this, shown.rect.toRect());
    return true;
}
