#include "LinkedFiles.h"

bool LinkedFiles::firstName(quint64 device, quint64 inode)
{
    const std::lock_guard lock(m_mutex);
    return m_seen.insert({device, inode}).second;
}

void LinkedFiles::clear()
{
    const std::lock_guard lock(m_mutex);
    m_seen.clear();
}
