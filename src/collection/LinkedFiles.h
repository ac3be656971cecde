#pragma once

#include "FileIdentity.h"

#include <QSet>
#include <QtGlobal>

#include <mutex>

// The files of a run with more than one name (hard links), by device and inode: the space such
// a file takes is counted under the first of its names any worker meets, once per run. Shared by
// the workers; only files with several links ever come here, so it stays small.
class LinkedFiles {
public:
    // True for the first name of the file met in this run.
    bool firstName(quint64 device, quint64 inode);
    void clear();

private:
    std::mutex m_mutex;
    QSet<FileIdentity> m_seen;
};
