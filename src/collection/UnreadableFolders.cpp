#include "UnreadableFolders.h"

#include <algorithm>
#include <cstring>

QString UnreadableFolders::Folder::reason() const
{
    return QString::fromLocal8Bit(std::strerror(error));
}

void UnreadableFolders::add(QByteArray path, int error)
{
    ++m_count;
    m_folders.push_back({std::move(path), error});
    m_sorted = false;
    // Sorted and cut back only now and then: a tree of locked folders costs one sort per
    // thousand of them.
    if (m_folders.size() >= 2 * keptLimit)
        trim();
}

void UnreadableFolders::merge(const UnreadableFolders &other)
{
    m_count += other.m_count;
    m_skipped += other.m_skipped;
    m_folders.insert(m_folders.end(), other.m_folders.begin(), other.m_folders.end());
    m_sorted = false;
    trim();
}

void UnreadableFolders::clear()
{
    m_folders.clear();
    m_sorted = true;
    m_count = 0;
    m_skipped = 0;
}

const std::vector<UnreadableFolders::Folder> &UnreadableFolders::folders() const
{
    trim();
    return m_folders;
}

void UnreadableFolders::restore(std::vector<Folder> folders, qint64 count)
{
    m_folders = std::move(folders);
    m_sorted = false;
    trim();
    m_count = std::max(count, qint64(m_folders.size()));
}

void UnreadableFolders::trim() const
{
    if (m_sorted)
        return;
    std::sort(m_folders.begin(), m_folders.end(),
              [](const Folder &a, const Folder &b) { return a.path < b.path; });
    if (m_folders.size() > keptLimit)
        m_folders.resize(keptLimit);
    m_sorted = true;
}
