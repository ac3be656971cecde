#include "FilesWindow.h"

#include "collection/UnreadableFolders.h"
#include "common/FileNameText.h"
#include "common/Utility.h"
#include "platform/Shell.h"
#include "reports/FileListPages.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QUrl>
#include <QVBoxLayout>

namespace {

constexpr int pathRole = Qt::UserRole + 1;
constexpr int sortRole = Qt::UserRole + 2;

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

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : path.left(slash);
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
        addRow(cells, lists.path(file));
    }
    setWindowTitle(row.name() + QStringLiteral(" - ") +
                   FileListPages::listedText(qsizetype(files.size()), row.files));
    listing->sortByColumn(Size, Qt::DescendingOrder);
    fitColumns();
    updateButtons();
}

FilesWindow::FilesWindow(const FileLists &lists, QWidget *parent, bool onDisk) : QDialog(parent)
{
    QStringList headings{QStringLiteral("Folder"), QStringLiteral("Drive"), QStringLiteral("Size")};
    if (onDisk)
        headings.append(QStringLiteral("On disk"));
    build(headings);
    int folders = 0;
    for (const FileLists::TargetFolders &target : lists.largestFolders())
        for (const FolderRecords::Total &folder : target.folders) {
            const QByteArray path = lists.folderPath(folder.folder);
            QList<QStandardItem *> cells{textCell(printableFileName(path)), textCell(target.target),
                                         numberCell(folder.bytes)};
            if (onDisk)
                cells.append(numberCell(folder.allocated));
            addRow(cells, path + '/');
            ++folders;
        }
    setWindowTitle(QStringLiteral("Largest folders - ") + intToGrouped(folders) +
                   QStringLiteral(" folders"));
    // Here the sizes are the last column: the folders take the room to spare.
    listing->horizontalHeader()->setStretchLastSection(false);
    listing->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    listing->sortByColumn(2, Qt::DescendingOrder);
    fitColumns();
    updateButtons();
}

FilesWindow::FilesWindow(const UnreadableFolders &folders, QWidget *parent) : QDialog(parent)
{
    build({QStringLiteral("Folder"), QStringLiteral("Reason")});
    for (const UnreadableFolders::Folder &folder : folders.folders())
        addRow({textCell(printableFileName(folder.path)), textCell(folder.reason())}, folder.path);
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
    btOpenFolder = new QPushButton(QStringLiteral("&Open folder"));
    btCopyPath = new QPushButton(QStringLiteral("Copy &path"));
    btClose = new QPushButton(QStringLiteral("Close"));
    btClose->setDefault(true);

    auto *filterRow = new QHBoxLayout;
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(edFilter);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btOpenFolder);
    buttons->addWidget(btCopyPath);
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
    connect(listing, &QTableView::activated, this, &FilesWindow::openFolder);
    connect(btOpenFolder, &QPushButton::clicked, this, &FilesWindow::openFolder);
    connect(btCopyPath, &QPushButton::clicked, this, &FilesWindow::copyPath);
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

void FilesWindow::addRow(const QList<QStandardItem *> &cells, const QByteArray &path)
{
    cells.first()->setData(path, pathRole);
    m_model.appendRow(cells);
}

QByteArray FilesWindow::pathAt(int viewRow) const
{
    return m_proxy.index(viewRow, 0).data(pathRole).toByteArray();
}

void FilesWindow::updateButtons()
{
    const bool chosen = listing->currentIndex().isValid();
    btOpenFolder->setEnabled(chosen);
    btCopyPath->setEnabled(chosen);
}

void FilesWindow::openFolder()
{
    const QModelIndex current = listing->currentIndex();
    if (!current.isValid())
        return;
    const QByteArray folder = folderOf(pathAt(current.row()));
    // Handed over as a file address, never to a shell.
    if (!Shell::current().openUrl(QUrl::fromLocalFile(QFile::decodeName(folder)).toString()))
        showError(QStringLiteral("Unable to open ") + printableFileName(folder));
}

void FilesWindow::copyPath()
{
    const QModelIndex current = listing->currentIndex();
    if (!current.isValid())
        return;
    QByteArray path = pathAt(current.row());
    if (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    // The real bytes as a file address, for programs that take one; as text, the name as
    // the listing shows it, every byte kept and nothing hidden.
    auto *copied = new QMimeData;
    copied->setUrls({QUrl::fromEncoded("file://" + path.toPercentEncoding("/"))});
    copied->setText(printableFileName(path));
    QApplication::clipboard()->setMimeData(copied);
}
