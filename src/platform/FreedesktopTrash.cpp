#include "FreedesktopTrash.h"

#include <QDateTime>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString reasonOf(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Makes folder and the folders above it that are missing, the new ones for the user alone.
bool makeFolders(const QByteArray &folder)
{
    struct stat status {};
    if (::stat(folder.constData(), &status) == 0)
        return S_ISDIR(status.st_mode);
    const qsizetype slash = folder.lastIndexOf('/');
    if (slash > 0 && !makeFolders(folder.left(slash)))
        return false;
    return ::mkdir(folder.constData(), 0700) == 0 || errno == EEXIST;
}

// A trash folder of ours: a real folder (not a link) the user owns, with files/ and info/.
bool usableTrash(const QByteArray &trash)
{
    if (!makeFolders(trash))
        return false;
    struct stat status {};
    if (::lstat(trash.constData(), &status) != 0 || !S_ISDIR(status.st_mode) ||
        status.st_uid != ::getuid())
        return false;
    for (const char *sub : {"/files", "/info"})
        if (::mkdir((trash + sub).constData(), 0700) != 0 && errno != EEXIST)
            return false;
    return true;
}

// The highest folder above path on path's file system.
QByteArray topFolderOf(const QByteArray &path, dev_t device)
{
    QByteArray top = path;
    for (;;) {
        const qsizetype slash = top.lastIndexOf('/');
        const QByteArray parent = slash <= 0 ? QByteArray("/") : top.left(slash);
        struct stat status {};
        if (parent == top || ::stat(parent.constData(), &status) != 0 || status.st_dev != device)
            return top;
        top = parent;
    }
}

} // namespace

QByteArray FreedesktopTrash::homeTrash()
{
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    // A relative XDG_DATA_HOME names no place of its own: the trash is then under HOME.
    if (dataHome.startsWith('/'))
        return dataHome + "/Trash";
    return qgetenv("HOME") + "/.local/share/Trash";
}

QByteArray FreedesktopTrash::moveToTrash(const QByteArray &path, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return QByteArray();
    };
    QByteArray source = path;
    while (source.size() > 1 && source.endsWith('/'))
        source.chop(1);
    struct stat item {};
    if (!source.startsWith('/') || ::lstat(source.constData(), &item) != 0)
        return fail(reasonOf(source.startsWith('/') ? errno : EINVAL));

    // The home trash where the item is on the home's file system; else the file system's own.
    QByteArray trash = homeTrash();
    QByteArray recordedPath = source;
    struct stat trashStatus {};
    const bool home = qgetenv("HOME").startsWith('/') && usableTrash(trash) &&
                      ::stat(trash.constData(), &trashStatus) == 0 &&
                      trashStatus.st_dev == item.st_dev;
    if (!home) {
        const QByteArray top = topFolderOf(source, item.st_dev);
        const QByteArray uid = QByteArray::number(::getuid());
        const QByteArray shared = (top == "/" ? QByteArray() : top) + "/.Trash";
        struct stat sharedStatus {};
        // A shared .Trash is used only when it is a real, sticky folder: anything else could
        // be a trap laid by another user.
        if (::lstat(shared.constData(), &sharedStatus) == 0 && S_ISDIR(sharedStatus.st_mode) &&
            (sharedStatus.st_mode & S_ISVTX) && usableTrash(shared + '/' + uid))
            trash = shared + '/' + uid;
        else if (usableTrash(shared + '-' + uid))
            trash = shared + '-' + uid;
        else
            return fail(QStringLiteral("this file system has no trash the user may use"));
        // In a trash of the file system's own, paths are kept from its top folder.
        if (top != "/" && source.startsWith(top + '/'))
            recordedPath = source.mid(top.size() + 1);
    }

    // A name of its own in the trash, reserved by creating its record exclusively.
    const QByteArray name = source.mid(source.lastIndexOf('/') + 1);
    QByteArray trashedName;
    int record = -1;
    for (int attempt = 1; attempt < 10000 && record < 0; ++attempt) {
        trashedName = attempt == 1 ? name : name + '.' + QByteArray::number(attempt);
        record = ::open((trash + "/info/" + trashedName + ".trashinfo").constData(),
                        O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (record < 0 && errno != EEXIST)
            return fail(reasonOf(errno));
    }
    if (record < 0)
        return fail(QStringLiteral("the trash holds too many items of that name"));
    const QByteArray info =
        "[Trash Info]\nPath=" + recordedPath.toPercentEncoding("/") + "\nDeletionDate=" +
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toLatin1() +
        '\n';
    const QByteArray infoPath = trash + "/info/" + trashedName + ".trashinfo";
    const bool written = ::write(record, info.constData(), size_t(info.size())) == info.size();
    const int writeError = errno;
    ::close(record);
    if (!written) {
        ::unlink(infoPath.constData());
        return fail(reasonOf(writeError));
    }
    const QByteArray target = trash + "/files/" + trashedName;
    if (::rename(source.constData(), target.constData()) != 0) {
        const int renameError = errno;
        ::unlink(infoPath.constData());
        return fail(renameError == EXDEV ? QStringLiteral("the trash is on another file system")
                                         : reasonOf(renameError));
    }
    return target;
}
