#pragma once

#include <QHashFunctions>
#include <QtGlobal>

// A file system object by its device and inode, as a key of a hash set.
struct FileIdentity {
    quint64 device;
    quint64 inode;
    bool operator==(const FileIdentity &) const = default;
};

// For QSet: open addressing with a power-of-two table, so that a folder entered and left costs
// no node allocated and no division (a walk asks for every folder it enters).
inline size_t qHash(const FileIdentity &id, size_t seed = 0) noexcept
{
    return qHashMulti(seed, id.device, id.inode);
}
