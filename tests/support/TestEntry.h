#pragma once

#include "platform/DirEntry.h"

// A listing entry as the walker would hand it over: all three dates the same local time.
inline DirEntry testEntry(const QByteArray &name, qint64 size, quint32 attributes = faArchive,
                          PackedFileDate date = packFileDate(CivilDateTime{2026, 12, 1, 12, 0, 0}))
{
    DirEntry entry;
    entry.name = name;
    entry.size = size;
    entry.attributes = attributes;
    entry.accessed = entry.created = entry.modified = LocalFileTime::fromPacked(date);
    return entry;
}
