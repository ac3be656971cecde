#include "FilesWindow.h"

#include "PathActions.h"
#include "collection/UnreadableFolders.h"
#include "common/FileNameText.h"
#include "common/Utility.h"
#include "reports/FileListPages.h"
#include "widgets/OffThread.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

#include <cerrno>
#include <sys/stat.h>

namespace {

constexpr int pathRole = Qt::UserRole + 1;
constexpr int sortRole = Qt::UserRole + 2;
constexpr int bytesRole = Qt::UserRole + 3;
constexpr int folderRole = Qt::UserRole + 4;

QStandardItem *textCell(const QString &text, const QVariant &sortKey = QVariant())
{
    auto *item = new QStandardItem(text);
    item->setEditable(false);
    item->setData(sortKey.isValid() ? sortKey : QVariant(text.toLower()), sortRole);
    return item;
}

QStandardItem *numberCell(qint64 value)
{
    QStandardItem *item = textCell(intToGrouped(value), value);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

QStandardItem *dateCell(PackedFileDate date)
{
    // Packed dates sort as their numbers: year first, then month, day and time.
    return textCell(FileListPages::dateText(date), quint32(date));
}

} // namespace

FilesWindow::FilesWindow(const ListedRow &row, const FileLists &lists, QWidget *parent, bool onDisk)
    : QDialog(parent)
{
    QStringList headings{QStringLiteral("Name"),      QStringLiteral("Folder"),
                         QStringLiteral("Size"),      QStringLiteral("Modified"),
                         QStringLiteral("Created"),   QStringLiteral("Accessed"),
                         QStringLiteral("Attributes")};
    if (onDisk)
        headings.append(QStringLiteral("On disk"));
    build(headings);
    const std::vector<KeptFile> files = lists.files(row.row);
    for (const KeptFile &file : files) {
        const QByteArray folder = lists.folderPath(file.folder);
        QList<QStandardItem *> cells{textCell(printableFileName(file.name)),
                                     textCell(printableFileName(folder)),
                                     numberCell(file.size),
                                     dateCell(file.modified),
                                     dateCell(file.created),
                                     dateCell(file.accessed),
                                     textCell(FileListPages::attributeText(file.attributes))};
        if (onDisk)
            cells.append(numberCell(file.allocated));
        addRow(cells, lists.path(file), file.size);
    }
    setWindowTitle(row.name() + QStringLiteral(" - ") +
                   FileListPages::listedText(qsizetype(files.size()), row.files));
    listing->sortByColumn(Size, Qt::DescendingOrder);
    fitColumns();
    updateButtons();
}

FilesWindow::FilesWindow(const UnreadableFolders &folders, QWidget *parent) : QDialog(parent)
{
    build({QStringLiteral("Folder"), QStringLiteral("Reason")});
    for (const UnreadableFolders::Folder &folder : folders.folders())
        addRow({textCell(printableFileName(folder.path)), textCell(folder.reason())}, folder.path,
               0, true);
    // A folder that could not be read cannot be weighed: nothing goes to the trash from here.
    actions->setTrashAllowed(false);
    const qint64 kept = qint64(folders.folders().size());
    setWindowTitle(QStringLiteral("Unreadable folders - ") +
                   (kept < folders.count()
                        ? QStringLiteral("the first %1 of %2 folders")
                              .arg(intToGrouped(kept), intToGrouped(folders.count()))
                        : intToGrouped(kept) + QStringLiteral(" folders")));
    listing->horizontalHeader()->setStretchLastSection(false);
    listing->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    listing->sortByColumn(0, Qt::AscendingOrder);
    fitColumns();
    updateButtons();
}

void FilesWindow::build(const QStringList &headings)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    m_model.setHorizontalHeaderLabels(headings);
    m_proxy.setSourceModel(&m_model);
    m_proxy.setSortRole(sortRole);
    m_proxy.setFilterKeyColumn(-1);
    m_proxy.setFilterCaseSensitivity(Qt::CaseInsensitive);

    auto *filterLabel = new QLabel(QStringLiteral("&Filter:"));
    edFilter = new QLineEdit;
    edFilter->setClearButtonEnabled(true);
    edFilter->setPlaceholderText(QStringLiteral("Part of a name or folder"));
    filterLabel->setBuddy(edFilter);
    listing = new QTableView;
    listing->setModel(&m_proxy);
    listing->setSortingEnabled(true);
    listing->setSelectionBehavior(QAbstractItemView::SelectRows);
    listing->setSelectionMode(QAbstractItemView::SingleSelection);
    listing->setEditTriggers(QAbstractItemView::NoEditTriggers);
    listing->setWordWrap(false);
    listing->verticalHeader()->hide();
    listing->verticalHeader()->setDefaultSectionSize(listing->fontMetrics().height() + 6);
    listing->horizontalHeader()->setStretchLastSection(true);
    actions = new PathActions(this);
    btClose = new QPushButton(QStringLiteral("Close"));
    btClose->setDefault(true);

    auto *filterRow = new QHBoxLayout;
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(edFilter);
    auto *buttons = new QHBoxLayout;
    actions->addButtonsTo(buttons);
    buttons->addStretch();
    buttons->addWidget(btClose);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(filterRow);
    layout->addWidget(listing);
    layout->addLayout(buttons);

    connect(edFilter, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_proxy.setFilterFixedString(text);
        updateButtons();
    });
    connect(listing->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &FilesWindow::updateButtons);
    connect(listing, &QTableView::activated, actions, &PathActions::showInFileManager);
    listing->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(listing, &QTableView::customContextMenuRequested, this, [this](const QPoint &at) {
        if (listing->indexAt(at).isValid())
            actions->menu()->popup(listing->viewport()->mapToGlobal(at));
    });
    connect(actions, &PathActions::trashed, this, [this](const QByteArray &path, qint64 bytes) {
        dropMovedAway(path);
        Q_EMIT trashed(path, bytes);
    });
    connect(btClose, &QPushButton::clicked, this, &QDialog::close);
}

void FilesWindow::fitColumns()
{
    // Every column as wide as its widest cell, names and folders up to a third of the screen
    // each; the window as wide as the columns need, within the screen.
    listing->resizeColumnsToContents();
    const int cap = std::max(240, screen()->availableGeometry().width() / 3);
    int width = 2 * listing->frameWidth() + listing->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < m_model.columnCount(); ++c) {
        listing->setColumnWidth(c, std::min(listing->columnWidth(c) + 8, cap));
        width += listing->columnWidth(c);
    }
    const int room = screen()->availableGeometry().width() - 40;
    resize(std::clamp(width + 24, 640, std::max(640, room)), 480);
}

void FilesWindow::addRow(const QList<QStandardItem *> &cells, const QByteArray &path, qint64 bytes,
                         bool folder)
{
    cells.first()->setData(path, pathRole);
    cells.first()->setData(bytes, bytesRole);
    cells.first()->setData(folder, folderRole);
    m_model.appendRow(cells);
}

int FilesWindow::markMissing()
{
    QList<QByteArray> paths;
    for (int row = 0; row < m_model.rowCount(); ++row)
        paths.append(m_model.item(row, 0)->data(pathRole).toByteArray());
    // A folder on a mount that does not answer never freezes the window.
    const QList<bool> gone = waitOffThread([paths] {
        QList<bool> missing;
        for (const QByteArray &path : paths) {
            struct stat st {};
            missing.append(::lstat(path.constData(), &st) != 0 && errno == ENOENT);
        }
        return missing;
    });
    int count = 0;
    const QBrush grey = palette().brush(QPalette::Disabled, QPalette::Text);
    for (int row = 0; row < gone.size() && row < m_model.rowCount(); ++row) {
        if (!gone[row])
            continue;
        ++count;
        for (int column = 0; column < m_model.columnCount(); ++column)
            if (QStandardItem *item = m_model.item(row, column)) {
                item->setForeground(grey);
                item->setToolTip(QStringLiteral("No longer on disk: moved or deleted since the "
                                                "run"));
            }
    }
    if (count > 0)
        setWindowTitle(windowTitle() + QStringLiteral(" (%1 no longer on disk)").arg(count));
    return count;
}

QByteArray FilesWindow::pathAt(int viewRow) const
{
    return m_proxy.index(viewRow, 0).data(pathRole).toByteArray();
}

void FilesWindow::updateButtons()
{
    const QModelIndex current = listing->currentIndex();
    if (!current.isValid()) {
        actions->setPicked({}, 0, false);
        return;
    }
    const QModelIndex first = m_proxy.index(current.row(), 0);
    actions->setPicked(pathAt(current.row()), first.data(bytesRole).toLongLong(),
                       first.data(folderRole).toBool());
}

void FilesWindow::dropMovedAway(const QByteArray &path)
{
    // The row of path, and those of everything beneath it.
    for (int row = m_model.rowCount(); row-- > 0;) {
        const QByteArray rowPath = m_model.item(row, 0)->data(pathRole).toByteArray();
        if (rowPath == path || rowPath.startsWith(path + '/'))
            m_model.removeRow(row);
    }
    updateButtons();
}
