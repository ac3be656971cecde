#include "FoldersWindow.h"

#include "FolderTreemap.h"
#include "PathActions.h"
#include "common/FileNameText.h"
#include "common/Utility.h"
#include "widgets/ShareBarDelegate.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QTreeView>
#include <QVBoxLayout>

FoldersWindow::FoldersWindow(const FolderRecords &records, bool onDisk,
                             const QByteArrayList &movedAway, QWidget *parent)
    : QDialog(parent), m_tree(records), m_model(m_tree, onDisk)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    for (const QByteArray &path : movedAway)
        m_model.drop(path);

    btUp = new QPushButton(QStringLiteral("&Up"));
    btUp->setToolTip(QStringLiteral("The folder above (Backspace)"));
    btUp->setAutoDefault(false);
    lblPath = new QLabel;
    lblPath->setTextFormat(Qt::PlainText);
    lblPath->setTextInteractionFlags(Qt::TextSelectableByMouse);
    tree = new QTreeView;
    tree->setModel(&m_model);
    tree->setUniformRowHeights(true);
    tree->setAllColumnsShowFocus(true);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->setContextMenuPolicy(Qt::CustomContextMenu);
    tree->setItemDelegateForColumn(m_model.columnOf(FolderTreeModel::Share),
                                   new ShareBarDelegate(FolderTreeModel::shareRole, tree));
    // The figures as wide as "999.9 MiB" needs, the share a bar; the names take the rest.
    QHeaderView *header = tree->header();
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(40);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    const int figure = tree->fontMetrics().horizontalAdvance(QStringLiteral("9,999,999")) + 16;
    for (int c = 1; c < m_model.columnCount(); ++c) {
        header->setSectionResizeMode(c, QHeaderView::Interactive);
        header->resizeSection(c, figure);
    }
    header->resizeSection(m_model.columnOf(FolderTreeModel::Share), 80);
    treemap = new FolderTreemap(m_tree);
    auto *split = new QSplitter(Qt::Horizontal);
    split->addWidget(tree);
    split->addWidget(treemap);
    split->setStretchFactor(0, 5);
    split->setStretchFactor(1, 6);
    split->setChildrenCollapsible(false);

    actions = new PathActions(this);
    btClose = new QPushButton(QStringLiteral("Close"));
    btClose->setAutoDefault(false);
    lblChanged = new QLabel;
    lblChanged->hide();

    auto *top = new QHBoxLayout;
    top->addWidget(btUp);
    top->addWidget(lblPath, 1);
    auto *buttons = new QHBoxLayout;
    actions->addButtonsTo(buttons);
    buttons->addStretch();
    buttons->addWidget(btClose);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);
    layout->addWidget(lblChanged);

    // Backspace goes out wherever the keys are.
    auto *up = new QAction(this);
    up->setShortcut(Qt::Key_Backspace);
    addAction(up);
    connect(up, &QAction::triggered, this, &FoldersWindow::goUp);
    connect(btUp, &QPushButton::clicked, this, &FoldersWindow::goUp);
    connect(btClose, &QPushButton::clicked, this, &QDialog::close);
    connect(tree->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &FoldersWindow::folderPicked);
    connect(tree, &QTreeView::customContextMenuRequested, this, [this](const QPoint &at) {
        if (tree->indexAt(at).isValid())
            actions->menu()->popup(tree->viewport()->mapToGlobal(at));
    });
    connect(treemap, &FolderTreemap::picked, this, &FoldersWindow::tilePicked);
    connect(treemap, &FolderTreemap::enterRequested, this, &FoldersWindow::showFolder);
    connect(treemap, &FolderTreemap::upRequested, this, &FoldersWindow::goUp);
    connect(treemap, &FolderTreemap::openRequested, actions, &PathActions::open);
    connect(treemap, &FolderTreemap::menuRequested, this, [this](const QPoint &at) {
        if (!actions->picked().isEmpty())
            actions->menu()->popup(at);
    });
    connect(&m_model, &FolderTreeModel::sumsChanged, treemap, &FolderTreemap::refresh);
    connect(actions, &PathActions::trashed, this, [this](const QByteArray &path, qint64 bytes) {
        drop(path);
        ++m_trashedHere;
        lblChanged->setText(QStringLiteral("changed since this run: %1 items moved to the trash")
                                .arg(intToGrouped(m_trashedHere)));
        lblChanged->show();
        Q_EMIT trashed(path, bytes);
    });

    qint64 bytes = 0;
    for (const quint32 root : m_tree.roots())
        bytes += m_tree.node(root).bytes;
    setWindowTitle(QStringLiteral("Folders - %1 folders, %2")
                       .arg(intToGrouped(m_tree.count()), QLocale().formattedDataSize(bytes, 1)));
    resize(1000, 620);
    split->setSizes({460, 540});
    if (!m_tree.roots().empty())
        showFolder(m_tree.roots().front());
    tree->setFocus();
}

quint32 FoldersWindow::folderShown() const
{
    return treemap->folder();
}

void FoldersWindow::showFolder(quint32 folder)
{
    const QModelIndex at = m_model.indexOf(folder);
    if (!at.isValid())
        return;
    tree->setCurrentIndex(at);
    tree->scrollTo(at);
    // Set again even when the tree's pick did not move (a tile of it was picked before).
    folderPicked(at);
}

void FoldersWindow::folderPicked(const QModelIndex &current)
{
    if (m_following)
        return;
    const quint32 folder = m_model.folderAt(current);
    if (!m_tree.contains(folder))
        return;
    tree->expand(current);
    treemap->setFolder(folder);
    actions->setPicked(m_tree.path(folder), m_tree.node(folder).bytes, true);
    showPathOf(folder);
    btUp->setEnabled(m_tree.contains(m_tree.node(folder).parent));
}

void FoldersWindow::showPathOf(quint32 folder)
{
    lblPath->setText(printableFileName(m_tree.path(folder)));
}

void FoldersWindow::followInTree(quint32 folder)
{
    const QModelIndex at = m_model.indexOf(folder);
    if (!at.isValid())
        return;
    m_following = true;
    tree->setCurrentIndex(at);
    tree->scrollTo(at);
    m_following = false;
}

void FoldersWindow::tilePicked(int tile)
{
    if (tile < 0 || tile >= treemap->tiles().size()) {
        actions->setPicked({}, 0, false);
        return;
    }
    const FolderTile &picked = treemap->tiles()[tile];
    if (picked.kind == FolderTile::SmallerFiles) {
        // The rest of a folder's files cannot be acted on as one.
        actions->setPicked({}, 0, false);
        followInTree(picked.folder);
        return;
    }
    actions->setPicked(treemap->pathOf(picked), picked.bytes, picked.kind == FolderTile::Folder);
    followInTree(picked.folder);
    lblPath->setText(printableFileName(treemap->pathOf(picked)));
}

void FoldersWindow::goUp()
{
    const quint32 folder = folderShown();
    if (m_tree.contains(folder) && m_tree.contains(m_tree.node(folder).parent))
        showFolder(m_tree.node(folder).parent);
}

bool FoldersWindow::drop(const QByteArray &path)
{
    const quint32 shown = folderShown();
    if (!m_model.drop(path))
        return false;
    // The folder on show, or one above it, went: the nearest folder left is shown.
    quint32 left = shown;
    while (m_tree.contains(left) && !m_tree.isPresent(left))
        left = m_tree.node(left).parent;
    if (left != shown && m_tree.contains(left))
        showFolder(left);
    else
        treemap->refresh();
    return true;
}
