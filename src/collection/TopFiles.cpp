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
    if (limit <= 0)
        return;
    if (int(m_heap.size()) < limit) {
        m_heap.push_back(file);
        std::push_heap(m_heap.begin(), m_heap.end(), comesBefore);
        updateFloor(limit);
        return;
    }
    if (!comesBefore(file, m_heap.front()))
        return;
    std::pop_heap(m_heap.begin(), m_heap.end(), comesBefore);
    m_heap.back() = file;
    std::push_heap(m_heap.begin(), m_heap.end(), comesBefore);
    updateFloor(limit);
}

void TopFiles::updateFloor(int limit)
{
    m_floor = int(m_heap.size()) < limit ? -1 : m_heap.front().size;
}

void TopFiles::merge(const TopFiles &other, int limit)
{
    for (const KeptFile &file : other.m_heap)
        offer(file, limit);
}

std::vector<KeptFile> TopFiles::sorted() const
{
    std::vector<KeptFile> files = m_heap;
    std::sort(files.begin(), files.end(), comesBefore);
    return files;
}
