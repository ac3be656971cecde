#pragma once

#include <QtGlobal>

#include <functional>

// A file system object by its device and inode, as a key of a hash set.
struct FileIdentity {
    quint64 device;
    quint64 inode;
    bool operator==(const FileIdentity &) const = default;

    struct Hash {
        size_t operator()(const FileIdentity &id) const
        {
            return std::hash<quint64>()(id.inode * 0x9E3779B97F4A7C15ull ^ id.device);
        }
    };
};
