#pragma once

#include "PackedFileDate.h"

#include <QByteArray>

// Attribute bits of a listing entry, with the values the reports count them by.
enum FileAttribute : quint32 {
    faReadOnly = 1,
    faHidden = 2,
    faSystem = 4,
    faDirectory = 16,
    faArchive = 32,
};

// One entry of a directory listing. The name is the file system's bytes, decoded only for
// display; the times are on the local clock, not recorded where the file system keeps none.
struct DirEntry {
    QByteArray name;
    qint64 size = 0;
    // The space it takes on disk (its allocated blocks), and how many names it has.
    qint64 allocated = 0;
    quint32 links = 1;
    quint32 attributes = 0;
    LocalFileTime accessed;
    LocalFileTime created;
    LocalFileTime modified;
    // Identity of the object, for the walk's check against entering a folder twice.
    quint64 device = 0;
    quint64 inode = 0;
    // The entry is the root of another mount (a folder, or a file bound over another file).
    bool otherMount = false;
    quint64 mountId = 0; // 0 where the kernel reports none
};
