#include "LinkedFiles.h"

bool LinkedFiles::firstName(quint64 device, quint64 inode)
{
    const std::lock_guard lock(m_mutex);
    const qsizetype before = m_seen.size();
    m_seen.insert({device, inode});
    return m_seen.size() > before;
}

void LinkedFiles::clear()
{
    const std::lock_guard lock(m_mutex);
    m_seen.clear();
}
