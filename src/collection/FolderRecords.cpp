#include "FolderRecords.h"

#include <QVarLengthArray>

#include <algorithm>
#include <cstring>

quint32 FolderRecords::add(quint32 parent, const QByteArray &name)
{
    const std::lock_guard lock(m_mutex);
    m_records.push_back({parent, 0, 0, name, 0, {}});
    return quint32(m_records.size() - 1);
}

namespace {

bool largerFile(const FolderRecords::File &a, const FolderRecords::File &b)
{
    return a.size != b.size ? a.size > b.size : a.name < b.name;
}

} // namespace

void FolderRecords::Contents::add(const QByteArray &name, qint64 size, qint64 allocatedBytes)
{
    count(size, allocatedBytes);
    // Most files are turned away by one comparison with the smallest kept.
    if (largest.size() == keptFilesPerFolder && size <= largest.back().size)
        return;
    File file{name, size, allocatedBytes};
    largest.insert(std::upper_bound(largest.begin(), largest.end(), file, largerFile),
                   std::move(file));
    if (largest.size() > keptFilesPerFolder)
        largest.pop_back();
}

void FolderRecords::Contents::merge(Contents &&other)
{
    files += other.files;
    bytes += other.bytes;
    allocated += other.allocated;
    // Most folders are taken in once, by the one worker that listed them: their files come
    // in order already.
    if (largest.empty()) {
        largest = std::move(other.largest);
        return;
    }
    for (File &file : other.largest)
        largest.push_back(std::move(file));
    std::sort(largest.begin(), largest.end(), largerFile);
    if (largest.size() > keptFilesPerFolder)
        largest.resize(keptFilesPerFolder);
}

void FolderRecords::addContents(quint32 folder, Contents &&contents)
{
    const std::lock_guard lock(m_mutex);
    Record &record = m_records[folder];
    Contents mine{record.files, record.bytes, record.allocated, std::move(record.largest)};
    mine.merge(std::move(contents));
    record.files = mine.files;
    record.bytes = mine.bytes;
    record.allocated = mine.allocated;
    record.largest = std::move(mine.largest);
}

FolderRecords::Contents FolderRecords::contentsOf(quint32 folder, bool withFiles) const
{
    const std::lock_guard lock(m_mutex);
    const Record &record = m_records.at(folder);
    if (!withFiles)
        return Contents{record.files, record.bytes, record.allocated, {}};
    return Contents{record.files, record.bytes, record.allocated, record.largest};
}

quint32 FolderRecords::count() const
{
    const std::lock_guard lock(m_mutex);
    return quint32(m_records.size());
}

QByteArray FolderRecords::joinedPath(quint32 folder, const QByteArrayView *leaf) const
{
    const std::lock_guard lock(m_mutex);
    // On the stack for any folder less than 32 levels deep: lists ask this for every file.
    QVarLengthArray<QByteArrayView, 32> names;
    for (quint32 id = folder; id < m_records.size(); id = m_records[id].parent)
        names.push_back(m_records[id].name);
    std::reverse(names.begin(), names.end());
    // Names are joined by a slash, but none is put first or after a name that ends in one (a
    // root such as "/"); the leaf always follows a slash. One allocation, room for every slash.
    qsizetype room = leaf ? leaf->size() + 1 : 0;
    for (const QByteArrayView name : names)
        room += name.size() + 1;
    QByteArray text(room, Qt::Uninitialized);
    char *const out = text.data();
    qsizetype at = 0;
    auto put = [&](QByteArrayView name) {
        if (!name.isEmpty())
            std::memcpy(out + at, name.data(), size_t(name.size()));
        at += name.size();
    };
    for (const QByteArrayView name : names) {
        if (at > 0 && out[at - 1] != '/')
            out[at++] = '/';
        put(name);
    }
    if (leaf) {
        if (at == 0 || out[at - 1] != '/')
            out[at++] = '/';
        put(*leaf);
    }
    text.truncate(at);
    return text;
}

quint32 FolderRecords::parentOf(quint32 folder) const
{
    const std::lock_guard lock(m_mutex);
    return m_records.at(folder).parent;
}

QByteArray FolderRecords::nameOf(quint32 folder) const
{
    const std::lock_guard lock(m_mutex);
    return m_records.at(folder).name;
}

std::vector<FolderRecords::Total> FolderRecords::largestBelow(quint32 root, int n) const
{
    const std::lock_guard lock(m_mutex);
    if (root >= m_records.size() || n <= 0)
        return {};
    // Children come after their parents: one pass up from the last adds every folder's total
    // into its parent's, another down from the root marks what lies below it.
    const size_t count = m_records.size();
    std::vector<qint64> totals(count - root);
    std::vector<qint64> allocated(count - root);
    for (size_t id = count; id-- > root;) {
        totals[id - root] += m_records[id].bytes;
        allocated[id - root] += m_records[id].allocated;
        const quint32 parent = m_records[id].parent;
        if (id != root && parent >= root && parent < count) {
            totals[parent - root] += totals[id - root];
            allocated[parent - root] += allocated[id - root];
        }
    }
    std::vector<bool> below(count - root, false);
    below[0] = true;
    std::vector<Total> found;
    for (size_t id = size_t(root) + 1; id < count; ++id) {
        const quint32 parent = m_records[id].parent;
        if (parent >= root && parent < id && below[parent - root]) {
            below[id - root] = true;
            found.push_back({quint32(id), totals[id - root], allocated[id - root]});
        }
    }
    const auto larger = [](const Total &a, const Total &b) {
        return a.bytes != b.bytes ? a.bytes > b.bytes : a.folder < b.folder;
    };
    const size_t keep = std::min(found.size(), size_t(n));
    std::partial_sort(found.begin(), found.begin() + qsizetype(keep), found.end(), larger);
    found.resize(keep);
    return found;
}

void FolderRecords::clear()
{
    const std::lock_guard lock(m_mutex);
    m_records.clear();
}

void FolderRecords::swap(FolderRecords &other)
{
    const std::scoped_lock lock(m_mutex, other.m_mutex);
    m_records.swap(other.m_records);
}
