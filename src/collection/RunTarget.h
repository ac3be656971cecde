#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// One target of a collection run: a drive of the drive table, or a folder walked as if it were
// a drive. A folder is always named by its absolute path, so that a run kept today and compared
// tomorrow from another folder still means the same tree.
struct RunTarget {
    QString name;      // the drive row, or the folder's absolute path
    QByteArray folder; // the folder's path as the file system's bytes; empty for a drive

    bool isFolder() const { return !folder.isEmpty(); }
    bool operator==(const RunTarget &) const = default;

    // A row of a run's list: a folder row (it begins with "/") is its own path.
    static RunTarget fromRow(const QString &row);
    static QList<RunTarget> fromRows(const QStringList &rows);
    // A folder as typed: made absolute against the current folder and cleaned ("." and ".."
    // resolved by name, symbolic links left as they are).
    static RunTarget fromFolder(const QByteArray &path);
    static QStringList namesOf(const QList<RunTarget> &targets);

    // Where its walk starts: the drive's mount point or the folder; empty for a drive that is
    // not in the drive table.
    QByteArray rootPath() const;
    // The file system it is on ("ext4", "vfat"); empty when unknown.
    QString fileSystem() const;
    // The bytes per cluster the Overhang page marks; 0 when the target does not answer.
    qint32 clusterSize() const;
    // A drive the table knows and that answers now; a folder always is (its walk says otherwise).
    bool isReady() const;
};
