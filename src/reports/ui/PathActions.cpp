#include "PathActions.h"

#include "common/FileNameText.h"
#include "common/Utility.h"
#include "platform/Messages.h"
#include "platform/Shell.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QClipboard>
#include <QFile>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>

#include <sys/stat.h>

namespace {

QByteArray withoutTrailingSlash(QByteArray path)
{
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    return path;
}

} // namespace

PathActions::PathActions(QWidget *window) : QObject(window), m_window(window)
{
    btOpen = new QPushButton(QStringLiteral("&Open"));
    btOpen->setToolTip(QStringLiteral("Open with the desktop's default application"));
    btShow = new QPushButton(QStringLiteral("Show in file &manager"));
    btCopyPath = new QPushButton(QStringLiteral("Copy &path"));
    btTrash = new QPushButton(QStringLiteral("Move to &Trash"));
    btTrash->setToolTip(QStringLiteral("Move to the desktop's trash, from where it can be put "
                                       "back (Delete)"));
    for (QPushButton *button : {btOpen, btShow, btCopyPath, btTrash})
        button->setAutoDefault(false);
    m_menu = new QMenu(window);
    m_menu->addAction(QStringLiteral("Open"), this, &PathActions::open);
    m_menu->addAction(QStringLiteral("Show in file manager"), this,
                      &PathActions::showInFileManager);
    m_menu->addAction(QStringLiteral("Copy path"), this, &PathActions::copyPath);
    m_menu->addSeparator();
    m_trashAction =
        m_menu->addAction(QStringLiteral("Move to Trash"), this, &PathActions::moveToTrash);
    // Delete in the window asks to move the picked item to the trash.
    auto *deleteKey = new QAction(window);
    deleteKey->setShortcut(QKeySequence::Delete);
    deleteKey->setShortcutContext(Qt::WindowShortcut);
    window->addAction(deleteKey);
    connect(deleteKey, &QAction::triggered, this, [this] {
        if (btTrash->isEnabled())
            moveToTrash();
    });
    connect(btOpen, &QPushButton::clicked, this, &PathActions::open);
    connect(btShow, &QPushButton::clicked, this, &PathActions::showInFileManager);
    connect(btCopyPath, &QPushButton::clicked, this, &PathActions::copyPath);
    connect(btTrash, &QPushButton::clicked, this, &PathActions::moveToTrash);
    update();
}

void PathActions::addButtonsTo(QBoxLayout *row)
{
    for (QPushButton *button : {btOpen, btShow, btCopyPath, btTrash})
        row->addWidget(button);
}

void PathActions::setPicked(const QByteArray &path, qint64 bytes, bool folder)
{
    m_path = path.isEmpty() ? QByteArray() : withoutTrailingSlash(path);
    m_bytes = bytes;
    m_folder = folder;
    update();
}

void PathActions::setTrashAllowed(bool allowed)
{
    m_trashAllowed = allowed;
    update();
}

void PathActions::update()
{
    const bool picked = !m_path.isEmpty();
    for (QPushButton *button : {btOpen, btShow, btCopyPath})
        button->setEnabled(picked);
    btTrash->setEnabled(picked && m_trashAllowed);
    btTrash->setVisible(m_trashAllowed);
    const QList<QAction *> actions = m_menu->actions();
    for (QAction *action : actions)
        action->setEnabled(picked);
    m_trashAction->setEnabled(picked && m_trashAllowed);
    m_trashAction->setVisible(m_trashAllowed);
}

bool PathActions::open()
{
    if (m_path.isEmpty())
        return false;
    // A program is never started from here: its own file manager can, with its own questions.
    struct stat status {};
    if (::stat(m_path.constData(), &status) == 0 && S_ISREG(status.st_mode) &&
        (status.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH))) {
        showError(printableFileName(m_path) +
                  QStringLiteral(" is a program; it is not started from here. Use \"Show in "
                                 "file manager\" to find it."));
        return false;
    }
    // Handed over as a file address, never to a shell.
    if (!Shell::current().openUrl(
            QUrl::fromEncoded("file://" + m_path.toPercentEncoding("/")).toString())) {
        showError(QStringLiteral("Unable to open ") + printableFileName(m_path));
        return false;
    }
    return true;
}

bool PathActions::showInFileManager()
{
    if (m_path.isEmpty())
        return false;
    if (!Shell::current().showInFileManager(m_path)) {
        showError(QStringLiteral("Unable to show ") + printableFileName(m_path) +
                  QStringLiteral(" in the file manager"));
        return false;
    }
    return true;
}

void PathActions::copyPath()
{
    if (m_path.isEmpty())
        return;
    // The real bytes as a file address, for programs that take one; as text, the name as the
    // listing shows it, every byte kept and nothing hidden.
    auto *copied = new QMimeData;
    copied->setUrls({QUrl::fromEncoded("file://" + m_path.toPercentEncoding("/"))});
    copied->setText(printableFileName(m_path));
    QApplication::clipboard()->setMimeData(copied);
}

bool PathActions::moveToTrash()
{
    if (m_path.isEmpty() || !m_trashAllowed)
        return false;
    const QString what = m_folder ? QStringLiteral("the folder") : QStringLiteral("the file");
    if (!Messages::current().confirm(QStringLiteral("Move %1 \"%2\" (%3, %4 bytes) to the trash?")
                                         .arg(what, printableFileName(m_path),
                                              QLocale().formattedDataSize(m_bytes, 1),
                                              intToGrouped(m_bytes))))
        return false;
    QString reason;
    if (!Shell::current().moveToTrash(m_path, &reason)) {
        showError(QStringLiteral("Unable to move ") + printableFileName(m_path) +
                  QStringLiteral(" to the trash: ") + reason);
        return false;
    }
    const QByteArray path = m_path;
    const qint64 bytes = m_bytes;
    setPicked({}, 0, false);
    Q_EMIT trashed(path, bytes);
    return true;
}
