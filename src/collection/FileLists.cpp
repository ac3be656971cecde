#include "FileLists.h"

#include "ExtensionTable.h"
#include "StatAccumulators.h"
#include "platform/DirEntry.h"

#include <optional>
#include <string_view>

namespace {

constexpr quint32 attributeBits[] = {faReadOnly, faHidden, faSystem, faArchive};

} // namespace

// Inlined where the kind is known, so that a file offered to its eleven rows costs no switch.
Q_ALWAYS_INLINE int FileLists::fixedIndex(ListRow::Kind kind, int index)
{
    switch (kind) {
    case ListRow::SizeBand:
        return index >= 1 && index <= 12 ? index : -1;
    case ListRow::AccessedAge:
    case ListRow::CreatedAge:
    case ListRow::ModifiedAge:
        return index >= 0 && index < 10 ? 13 + 10 * (kind - ListRow::AccessedAge) + index : -1;
    case ListRow::AccessedSlot:
    case ListRow::CreatedSlot:
    case ListRow::ModifiedSlot:
        return index >= 0 && index < 48 ? 43 + 48 * (kind - ListRow::AccessedSlot) + index : -1;
    case ListRow::Attribute:
        for (int bit = 0; bit < 4; ++bit)
            if (quint32(index) == attributeBits[bit])
                return 187 + bit;
        return -1;
    case ListRow::Extension:
        break;
    }
    return -1;
}

Q_ALWAYS_INLINE TopFiles *FileLists::fixedList(ListRow::Kind kind, int index)
{
    const int at = fixedIndex(kind, index);
    return at < 0 ? nullptr : &m_fixed[size_t(at)];
}

void FileLists::offer(const FileRows &rows, const DirEntry &entry, quint32 folder)
{
    std::optional<KeptFile> file;
    auto offerTo = [&](TopFiles *list) {
        if (!list || !list->wouldKeep(entry.size, entry.name))
            return;
        if (!file)
            file = KeptFile{entry.name,
                            folder,
                            entry.attributes,
                            entry.size,
                            entry.allocated,
                            entry.accessed.packed(),
                            entry.created.packed(),
                            entry.modified.packed()};
        list->offer(*file, m_limit);
    };
    offerTo(fixedList(ListRow::SizeBand, rows.sizeBand));
    for (int stamp = 0; stamp < 3; ++stamp) {
        offerTo(fixedList(ListRow::Kind(ListRow::AccessedAge + stamp), rows.ageBands[stamp]));
        // As the Time page counts them: from the second slot on.
        if (rows.slots[stamp] > 0)
            offerTo(fixedList(ListRow::Kind(ListRow::AccessedSlot + stamp), rows.slots[stamp]));
    }
    for (const quint32 bit : attributeBits)
        if (rows.attributes & bit)
            offerTo(fixedList(ListRow::Attribute, int(bit)));
    TopFiles *list = nullptr;
    if (!m_found.find(rows.extension, list)) {
        ExtensionTable::KeyBuffer buffer;
        QByteArrayView key;
        if (ExtensionTable::makeKey(rows.extension, buffer, key, m_anyLength)) {
            const std::string_view name(key.data(), size_t(key.size()));
            auto found = m_extensions.find(name);
            if (found == m_extensions.end())
                found = m_extensions.emplace(std::string(name), TopFiles()).first;
            list = &found->second;
        }
        m_found.put(rows.extension, list);
    }
    offerTo(list);
}

void FileLists::merge(const FileLists &other)
{
    for (size_t i = 0; i < m_fixed.size(); ++i)
        m_fixed[i].merge(other.m_fixed[i], m_limit);
    for (const auto &[key, list] : other.m_extensions)
        m_extensions[key].merge(list, m_limit);
}

void FileLists::addTarget(const QString &target, quint32 root)
{
    m_targets.push_back({target, m_folders.largestBelow(root, m_limit), root});
    m_wholeTree = m_folderFiles;
}

std::vector<KeptFile> FileLists::files(const ListRow &row) const
{
    if (row.kind == ListRow::Extension) {
        const auto found =
            m_extensions.find(std::string_view(row.key.constData(), size_t(row.key.size())));
        return found == m_extensions.end() ? std::vector<KeptFile>() : found->second.sorted();
    }
    const int at = fixedIndex(row.kind, row.index);
    return at < 0 ? std::vector<KeptFile>() : m_fixed[size_t(at)].sorted();
}

QByteArray FileLists::path(const KeptFile &file) const
{
    return m_folders.path(file.folder, file.name);
}

void FileLists::clear()
{
    m_fixed = {};
    m_extensions.clear();
    m_found.clear();
    m_folders.clear();
    m_targets.clear();
    m_wholeTree = false;
}

void FileLists::swap(FileLists &other)
{
    std::swap(m_limit, other.m_limit);
    std::swap(m_anyLength, other.m_anyLength);
    std::swap(m_wholeTree, other.m_wholeTree);
    std::swap(m_fixed, other.m_fixed);
    m_extensions.swap(other.m_extensions);
    m_folders.swap(other.m_folders);
    std::swap(m_targets, other.m_targets);
    // The lists found belong to the map they came from.
    m_found.clear();
    other.m_found.clear();
}
