#include "RunArchive.h"

#include "FileLists.h"
#include "StatAccumulators.h"

#include <QDataStream>
#include <QIODevice>

#include <algorithm>
#include <unordered_map>

namespace {

constexpr quint32 magic = 0x51525531; // "QRU1"
constexpr quint16 format = 1;

template <typename Array> void writeArray(QDataStream &out, const Array &values)
{
    for (const auto value : values)
        out << value;
}

template <typename Array> void readArray(QDataStream &in, Array &values)
{
    for (auto &value : values)
        in >> value;
}

void writeFile(QDataStream &out, const KeptFile &file, quint32 folder)
{
    out << file.name << folder << file.attributes << file.size << file.accessed << file.created
        << file.modified;
}

KeptFile readFile(QDataStream &in)
{
    KeptFile file;
    in >> file.name >> file.folder >> file.attributes >> file.size >> file.accessed >>
        file.created >> file.modified;
    return file;
}

} // namespace

QByteArray RunArchive::write(const StatAccumulators &stats, const FileLists &lists)
{
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << magic << format;

    const CollectionOptions &options = stats.options();
    out << options.allFiles << options.includeSelected << options.excludeSelected
        << options.PickList1 << options.PickList2 << options.collectOverhang
        << options.enterHiddenFolders << options.listLongExtensions << stats.today();
    out << quint32(stats.lbTypes.rowCount());
    for (const ExtensionRow &row : stats.lbTypes.rows())
        out << row.key << row.files << row.bytes;
    for (const auto *bands : {&stats.sizeCount, &stats.sizeBytes})
        writeArray(out, *bands);
    for (const auto *bands :
         {&stats.accessedAgeCount, &stats.accessedAgeBytes, &stats.createdAgeCount,
          &stats.createdAgeBytes, &stats.modifiedAgeCount, &stats.modifiedAgeBytes})
        writeArray(out, *bands);
    for (const auto *slots : {&stats.modifiedSlots, &stats.createdSlots, &stats.accessedSlots})
        writeArray(out, *slots);
    out << stats.readOnlyCount << stats.readOnlyBytes << stats.hiddenCount << stats.hiddenBytes
        << stats.systemCount << stats.systemBytes << stats.archiveCount << stats.archiveBytes;
    out << stats.overhang4K << stats.overhang8K << stats.overhang16K << stats.overhang32K
        << stats.overhang64K;
    out << stats.filesProcessed << stats.filesFound << stats.unlistedFiles << stats.unlistedBytes;
    writeLists(out, lists);
    return qCompress(data);
}

void RunArchive::writeLists(QDataStream &out, const FileLists &lists)
{
    // Only the folders a kept file or a largest folder names go along, with their ancestors,
    // numbered anew in their old order (a parent still comes before its children).
    std::vector<quint32> needed;
    auto need = [&](const std::vector<KeptFile> &files) {
        for (const KeptFile &file : files)
            needed.push_back(file.folder);
    };
    std::vector<std::vector<KeptFile>> fixed;
    for (const TopFiles &list : lists.m_fixed) {
        fixed.push_back(list.sorted());
        need(fixed.back());
    }
    std::vector<std::pair<std::string, std::vector<KeptFile>>> extensions;
    for (const auto &[key, list] : lists.m_extensions) {
        extensions.emplace_back(key, list.sorted());
        need(extensions.back().second);
    }
    std::sort(extensions.begin(), extensions.end(),
              [](const auto &a, const auto &b) { return a.first < b.first; });
    for (const FileLists::TargetFolders &target : lists.m_targets)
        for (const FolderRecords::Total &total : target.folders)
            needed.push_back(total.folder);
    const quint32 count = lists.m_folders.count();
    std::vector<bool> wanted(count, false);
    for (quint32 folder : needed)
        for (quint32 id = folder; id < count && !wanted[id]; id = lists.m_folders.parentOf(id))
            wanted[id] = true;
    std::unordered_map<quint32, quint32> renumbered;
    std::vector<quint32> kept;
    for (quint32 id = 0; id < count; ++id)
        if (wanted[id]) {
            renumbered.emplace(id, quint32(kept.size()));
            kept.push_back(id);
        }

    out << qint32(lists.m_limit) << lists.m_anyLength << quint32(kept.size());
    for (quint32 id : kept) {
        const quint32 parent = lists.m_folders.parentOf(id);
        const auto found = renumbered.find(parent);
        out << (found == renumbered.end() ? FolderRecords::noParent : found->second)
            << lists.m_folders.nameOf(id);
    }
    auto writeFiles = [&](const std::vector<KeptFile> &files) {
        out << quint32(files.size());
        for (const KeptFile &file : files)
            writeFile(out, file, renumbered.at(file.folder));
    };
    for (const std::vector<KeptFile> &files : fixed)
        writeFiles(files);
    out << quint32(extensions.size());
    for (const auto &[key, files] : extensions) {
        out << QByteArray::fromStdString(key);
        writeFiles(files);
    }
    out << quint32(lists.m_targets.size());
    for (const FileLists::TargetFolders &target : lists.m_targets) {
        out << target.target << quint32(target.folders.size());
        for (const FolderRecords::Total &total : target.folders)
            out << renumbered.at(total.folder) << total.bytes;
    }
}

bool RunArchive::read(const QByteArray &data, StatAccumulators &stats, FileLists &lists)
{
    stats.clearVariables();
    lists.clear();
    const QByteArray bytes = qUncompress(data);
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 mark = 0;
    quint16 version = 0;
    in >> mark >> version;
    if (in.status() != QDataStream::Ok || mark != magic || version != format)
        return false;

    CollectionOptions options;
    qint64 today = 0;
    in >> options.allFiles >> options.includeSelected >> options.excludeSelected >>
        options.PickList1 >> options.PickList2 >> options.collectOverhang >>
        options.enterHiddenFolders >> options.listLongExtensions >> today;
    quint32 typeRows = 0;
    in >> typeRows;
    std::vector<ExtensionRow> rows;
    for (quint32 i = 0; i < typeRows && in.status() == QDataStream::Ok; ++i) {
        ExtensionRow row;
        in >> row.key >> row.files >> row.bytes;
        rows.push_back(row);
    }
    for (auto *bands : {&stats.sizeCount, &stats.sizeBytes})
        readArray(in, *bands);
    for (auto *bands : {&stats.accessedAgeCount, &stats.accessedAgeBytes, &stats.createdAgeCount,
                        &stats.createdAgeBytes, &stats.modifiedAgeCount, &stats.modifiedAgeBytes})
        readArray(in, *bands);
    for (auto *slots : {&stats.modifiedSlots, &stats.createdSlots, &stats.accessedSlots})
        readArray(in, *slots);
    in >> stats.readOnlyCount >> stats.readOnlyBytes >> stats.hiddenCount >> stats.hiddenBytes >>
        stats.systemCount >> stats.systemBytes >> stats.archiveCount >> stats.archiveBytes;
    in >> stats.overhang4K >> stats.overhang8K >> stats.overhang16K >> stats.overhang32K >>
        stats.overhang64K;
    in >> stats.filesProcessed >> stats.filesFound >> stats.unlistedFiles >> stats.unlistedBytes;
    stats.setOptions(options);
    stats.setToday(today);
    stats.lbTypes.restore(std::move(rows));
    if (in.status() != QDataStream::Ok || !readLists(in, lists) || !in.atEnd()) {
        stats.clearVariables();
        lists.clear();
        return false;
    }
    return true;
}

bool RunArchive::readLists(QDataStream &in, FileLists &lists)
{
    qint32 limit = 0;
    quint32 folders = 0;
    in >> limit >> lists.m_anyLength >> folders;
    lists.m_limit = std::max(limit, 0);
    for (quint32 id = 0; id < folders && in.status() == QDataStream::Ok; ++id) {
        quint32 parent = 0;
        QByteArray name;
        in >> parent >> name;
        // A parent always comes first: anything else would make a path go round in circles.
        if (parent != FolderRecords::noParent && parent >= id)
            return false;
        lists.m_folders.add(parent, name);
    }
    auto readFiles = [&](TopFiles &list) {
        quint32 count = 0;
        in >> count;
        for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
            const KeptFile file = readFile(in);
            if (file.folder >= folders)
                return false;
            list.offer(file, lists.m_limit);
        }
        return in.status() == QDataStream::Ok;
    };
    for (TopFiles &list : lists.m_fixed)
        if (!readFiles(list))
            return false;
    quint32 extensions = 0;
    in >> extensions;
    for (quint32 i = 0; i < extensions && in.status() == QDataStream::Ok; ++i) {
        QByteArray key;
        in >> key;
        if (!readFiles(lists.m_extensions[key.toStdString()]))
            return false;
    }
    quint32 targets = 0;
    in >> targets;
    for (quint32 i = 0; i < targets && in.status() == QDataStream::Ok; ++i) {
        FileLists::TargetFolders target;
        quint32 count = 0;
        in >> target.target >> count;
        for (quint32 j = 0; j < count && in.status() == QDataStream::Ok; ++j) {
            FolderRecords::Total total;
            in >> total.folder >> total.bytes;
            if (total.folder >= folders)
                return false;
            target.folders.push_back(total);
        }
        lists.m_targets.push_back(std::move(target));
    }
    return in.status() == QDataStream::Ok;
}
