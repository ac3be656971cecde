#pragma once

#include <QtGlobal>

#include <mutex>
#include <unordered_set>

// The files of a run with more than one name (hard links), by device and inode: the space such
// a file takes is counted under the first of its names any worker meets, once per run. Shared by
// the workers; only files with several links ever come here, so it stays small.
class LinkedFiles {
public:
    // True for the first name of the file met in this run.
    bool firstName(quint64 device, quint64 inode);
    void clear();

private:
    struct Identity {
        quint64 device;
        quint64 inode;
        bool operator==(const Identity &) const = default;
    };
    struct IdentityHash {
        size_t operator()(const Identity &id) const
        {
            return std::hash<quint64>()(id.inode * 0x9E3779B97F4A7C15ull ^ id.device);
        }
    };
    std::mutex m_mutex;
    std::unordered_set<Identity, IdentityHash> m_seen;
};
