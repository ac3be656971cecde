#include "TopFiles.h"

#include <algorithm>

bool TopFiles::comesBefore(const KeptFile &a, const KeptFile &b)
{
    if (a.size != b.size)
        return a.size > b.size;
    return a.name < b.name;
}

void TopFiles::offer(const KeptFile &file, int limit)
{
    if (limit <= 0 || !wouldKeep(file.size, file.name))
        return;
    m_limit = size_t(limit);
    m_files.push_back(file);
    if (m_files.size() >= 2 * m_limit)
        trim();
}

void TopFiles::trim() const
{
    if (m_files.size() <= m_limit)
        return;
    const auto last = m_files.begin() + qsizetype(m_limit) - 1;
    std::nth_element(m_files.begin(), last, m_files.end(), comesBefore);
    m_files.resize(m_limit);
    m_floorSize = m_files.back().size;
    m_floorName = m_files.back().name;
}

void TopFiles::merge(const TopFiles &other, int limit)
{
    for (const KeptFile &file : other.unsorted())
        offer(file, limit);
}

const std::vector<KeptFile> &TopFiles::unsorted() const
{
    trim();
    return m_files;
}

std::vector<KeptFile> TopFiles::sorted() const
{
    std::vector<KeptFile> files = unsorted();
    std::sort(files.begin(), files.end(), comesBefore);
    return files;
}
