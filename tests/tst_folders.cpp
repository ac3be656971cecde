#include "collection/RunSettings.h"
#include "drives/ui/whichdrv.h"
#include "platform/ProfileFile.h"
#include "reports/FolderTreeModel.h"
#include "reports/ui/FilesWindow.h"
#include "reports/ui/FolderTreemap.h"
#include "reports/ui/FoldersWindow.h"
#include "reports/ui/PathActions.h"
#include "reports/ui/SpacePage.h"
#include "reports/ui/StatisticsWindow.h"
#include "support/FakeVolumes.h"
#include "support/RecordingMessages.h"
#include "support/TestEnvironment.h"
#include "support/TestTree.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTreeView>

namespace {

// The path of every tile of the folder's own items (depth 0), in the treemap's order.
QByteArrayList itemPaths(const FolderTreemap &treemap)
{
    QByteArrayList paths;
    for (const FolderTile &tile : treemap.tiles())
        if (tile.depth == 0)
            paths.append(tile.kind == FolderTile::SmallerFiles ? QByteArray("(smaller)")
                                                               : treemap.pathOf(tile));
    return paths;
}

int tileOf(const FolderTreemap &treemap, const QByteArray &path)
{
    for (qsizetype i = 0; i < treemap.tiles().size(); ++i)
        if (treemap.pathOf(treemap.tiles()[i]) == path)
            return int(i);
    return -1;
}

} // namespace

class TestFolders : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // A home of the test's own, with no trash yet: the trash is made where the desktop
        // looks for it.
        pinTestEnvironment();
        qunsetenv("XDG_DATA_HOME");
    }

    // A run over a tree made here: the Folders window shows its folders largest first, the
    // treemap of the folder picked; clicks, double clicks and keys move through it; a file and
    // a folder go to the trash of a private home (after a question whose No keeps them) and
    // leave the tree at once, the pages keeping the run's figures.
    void foldersWindowDrillsAndTrashes()
    {
        TestTree tree;
        tree.folder("big");
        tree.folder("big/inner");
        tree.folder("small");
        tree.folder("node_modules");
        tree.file("big/inner/video.mkv", 300000);
        tree.file("big/a.txt", 50000);
        tree.file("small/b.txt", 1000);
        tree.file("top.doc", 20000);
        tree.file("node_modules/skipped.js", 5000);
        QFile::remove(ProfileFile::defaultPath());
        FakeVolumes volumes;
        volumes.addDrive(u'c', dtFixed, QStringLiteral("TEST"), tree.root(),
                         VolumeSpace{1ull << 34, 1ull << 33, 4096});
        volumes.current = u'c';
        RecordingMessages messages;
        TfrmStatistics statistics;
        statistics.show();
        QVERIFY(!statistics.btFolders->isEnabled());
        // The wizard's second page names a folder to skip; it is remembered for the next run.
        QTimer::singleShot(0, [] {
            auto *wizard = qobject_cast<TfrmWhichDrive *>(QApplication::activeModalWidget());
            QVERIFY(wizard);
            wizard->btNext1->click();
            QTest::keyClicks(wizard->edSkipFolders, QStringLiteral("node_modules; *.cache"));
            wizard->btNext2->click();
        });
        statistics.btOKClick();
        QCOMPARE(RunSettings::read(ProfileFile(ProfileFile::defaultPath())).skipFolders,
                 QStringList({"node_modules", "*.cache"}));
        QFile::remove(ProfileFile::defaultPath());
        QCOMPARE(statistics.stats().filesProcessed, qint64(4));
        QVERIFY2(statistics.statusText().endsWith(QStringLiteral(" - 1 folder skipped")),
                 qPrintable(statistics.statusText()));

        QVERIFY(statistics.btFolders->isEnabled());
        statistics.btFolders->click();
        auto *window = statistics.findChild<FoldersWindow *>();
        QVERIFY(window);
        // "Largest folders..." leads to the same window.
        statistics.space()->btLargestFolders->click();
        QCOMPARE(statistics.findChildren<FoldersWindow *>().size(), 1);

        // The root: its sums, and its folders largest first.
        const FolderTreeModel &model = window->model();
        const QModelIndex root = model.index(0, 0);
        QCOMPARE(root.data().toString(), QFile::decodeName(tree.root()));
        QCOMPARE(model.index(0, model.columnOf(FolderTreeModel::Files)).data().toString(),
                 QStringLiteral("4"));
        QCOMPARE(model.rowCount(root), 2); // the skipped folder is not there
        QCOMPARE(model.index(0, 0, root).data().toString(), QStringLiteral("big"));
        QCOMPARE(model.index(0, model.columnOf(FolderTreeModel::Share), root)
                     .data(FolderTreeModel::shareRole)
                     .toDouble(),
                 350000.0 / 371000.0);
        FolderTreemap &treemap = *window->treemap;
        QCOMPARE(itemPaths(treemap),
                 QByteArrayList({tree.path("big"), tree.path("top.doc"), tree.path("small")}));

        // A click on the big folder's tile picks it, and the tree follows without the treemap
        // changing folder; a double click goes in; Backspace and "Up" go out.
        const int big = tileOf(treemap, tree.path("big"));
        QTest::mouseClick(&treemap, Qt::LeftButton, {},
                          treemap.tiles()[big].rect.topLeft().toPoint() + QPoint(3, 3));
        QCOMPARE(treemap.pickedTile(), big);
        QCOMPARE(model.folderAt(window->tree->currentIndex()), treemap.tiles()[big].folder);
        QCOMPARE(window->folderShown(), model.folderAt(root));
        QCOMPARE(window->actions->picked(), tree.path("big"));
        QTest::mouseDClick(&treemap, Qt::LeftButton, {},
                           treemap.tiles()[big].rect.topLeft().toPoint() + QPoint(3, 3));
        QCOMPARE(itemPaths(treemap),
                 QByteArrayList({tree.path("big/inner"), tree.path("big/a.txt")}));
        QTest::keyClick(&treemap, Qt::Key_Backspace);
        QCOMPARE(window->folderShown(), model.folderAt(root));
        // The keys alone: the arrows pick among the items, Enter goes in.
        treemap.setFocus();
        QTest::keyClick(&treemap, Qt::Key_Right);
        QCOMPARE(treemap.pathOf(treemap.tiles()[treemap.pickedTile()]), tree.path("big"));
        QTest::keyClick(&treemap, Qt::Key_Return);
        QCOMPARE(window->lblPath->text(), QFile::decodeName(tree.path("big")));
        window->btUp->click();
        QVERIFY(!window->btUp->isEnabled());

        // Move to Trash asks, naming the file and its size; No keeps it.
        QTest::keyClick(&treemap, Qt::Key_Right);
        QTest::keyClick(&treemap, Qt::Key_Right);
        QCOMPARE(window->actions->picked(), tree.path("top.doc"));
        messages.answer = false;
        window->actions->btTrash->click();
        QVERIFY(messages.log.last().startsWith(QStringLiteral("Confirm: Move the file \"")));
        QVERIFY(messages.log.last().contains(QStringLiteral("20,000 bytes")));
        QVERIFY(QFile::exists(tree.path("top.doc")));
        // Yes: the file is in the trash with its record, gone from the tree and the treemap;
        // the sums above it shrink, the pages keep the run's figures.
        messages.answer = true;
        window->actions->btTrash->click();
        const QString trash = QDir::homePath() + QStringLiteral("/.local/share/Trash");
        QVERIFY(!QFile::exists(tree.path("top.doc")));
        QVERIFY(QFile::exists(trash + QStringLiteral("/files/top.doc")));
        QFile record(trash + QStringLiteral("/info/top.doc.trashinfo"));
        QVERIFY(record.open(QIODevice::ReadOnly));
        QVERIFY(record.readAll().startsWith(
            "[Trash Info]\nPath=" + tree.path("top.doc").toPercentEncoding("/") +
            "\nDeletionDate="));
        QCOMPARE(itemPaths(treemap), QByteArrayList({tree.path("big"), tree.path("small")}));
        QCOMPARE(model.index(0, model.columnOf(FolderTreeModel::Files)).data().toString(),
                 QStringLiteral("3"));
        QCOMPARE(statistics.stats().filesProcessed, qint64(4));
        QVERIFY(statistics.statusText().endsWith(
            QStringLiteral(" - changed since this run: 1 item moved to the trash")));
        QVERIFY(window->lblChanged->isVisible());

        // A folder from the tree, by the Delete key: its row goes.
        QApplication::setActiveWindow(window);
        window->tree->setFocus();
        window->tree->setCurrentIndex(model.index(1, 0, model.index(0, 0)));
        QCOMPARE(window->actions->picked(), tree.path("small"));
        QTest::keyClick(window->tree, Qt::Key_Delete);
        QVERIFY(QFile::exists(trash + QStringLiteral("/files/small/b.txt")));
        QCOMPARE(model.rowCount(model.index(0, 0)), 1);
        QVERIFY(statistics.statusText().endsWith(QStringLiteral(": 2 items moved to the trash")));

        // A file moved away from a Files window leaves the Folders window too.
        FilesWindow *files =
            statistics.showFiles(ListRow{ListRow::Extension, 0, QByteArrayLiteral(".TXT")});
        QVERIFY(files);
        QCOMPARE(files->shownRows(), 1);
        files->listing->setCurrentIndex(files->listing->model()->index(0, 0));
        files->actions->btTrash->click();
        QCOMPARE(files->shownRows(), 0);
        QCOMPARE(itemPaths(treemap), QByteArrayList({tree.path("big")}));
        treemap.setFolder(model.folderAt(model.index(0, 0, model.index(0, 0))));
        QCOMPARE(itemPaths(treemap), QByteArrayList({tree.path("big/inner")}));
        // Closed and opened again, the window still leaves out what went.
        window->close();
        QApplication::processEvents();
        window = statistics.showFolders();
        QVERIFY(window);
        QCOMPARE(window->model().rowCount(window->model().index(0, 0)), 1);
    }
};

QTEST_MAIN(TestFolders)
#include "tst_folders.moc"
