#include "RunArchive.h"

#include "FileLists.h"
#include "StatAccumulators.h"
#include "UnreadableFolders.h"

#include <QtEndian>

#include <zlib.h>

#include <optional>

#include <bit>
#include <cmath>
#include <cstring>

#include <algorithm>
#include <string_view>

// Figures big-endian, byte strings and lists with their length first. Written by hand rather
// than through a data stream: a run keeps hundreds of thousands of small fields, and the
// stream's device call per field was most of the time it took to keep a run.
class RunArchive::Writer {
public:
    QByteArray data;
    // The format written: every field there is.
    int version() const;

    template <typename T> Writer &operator<<(T value) requires std::is_arithmetic_v<T>
    {
        if constexpr (std::is_same_v<T, double>) {
            return *this << std::bit_cast<quint64>(value);
        } else if constexpr (std::is_same_v<T, bool>) {
            return *this << quint8(value);
        } else {
            const T big = qToBigEndian(value);
            data.append(reinterpret_cast<const char *>(&big), sizeof big);
            return *this;
        }
    }
    Writer &operator<<(const QByteArray &bytes)
    {
        *this << quint32(bytes.size());
        data.append(bytes);
        return *this;
    }
    Writer &operator<<(const QString &text) { return *this << text.toUtf8(); }
    Writer &operator<<(const QStringList &texts)
    {
        *this << quint32(texts.size());
        for (const QString &text : texts)
            *this << text;
        return *this;
    }
    // Writes a field where the same list of fields serves writing and reading (Reader's &).
    template <typename T> Writer &operator&(const T &value) { return *this << value; }
};

// Reads what Writer wrote; anything short or out of place turns ok() false for good, and
// every later read gives zeroes.
class RunArchive::Reader {
public:
    explicit Reader(const QByteArray &data) : m_at(data.constData()), m_end(m_at + data.size()) {}
    // The format of the archive being read; fields it came after are not read.
    int version() const { return m_version; }
    void setVersion(int version) { m_version = version; }
    bool ok() const { return m_ok; }
    bool atEnd() const { return m_at == m_end; }

    template <typename T> Reader &operator>>(T &value) requires std::is_arithmetic_v<T>
    {
        if constexpr (std::is_same_v<T, double>) {
            quint64 bits = 0;
            *this >> bits;
            value = std::bit_cast<double>(bits);
        } else if constexpr (std::is_same_v<T, bool>) {
            quint8 byte = 0;
            *this >> byte;
            value = byte != 0;
        } else {
            value = T{};
            if (take(sizeof value))
                value = qFromBigEndian<T>(m_at - sizeof value);
        }
        return *this;
    }
    Reader &operator>>(QByteArray &bytes)
    {
        quint32 size = 0;
        *this >> size;
        bytes = take(size) ? QByteArray(m_at - size, qsizetype(size)) : QByteArray();
        return *this;
    }
    Reader &operator>>(QString &text)
    {
        QByteArray bytes;
        *this >> bytes;
        text = QString::fromUtf8(bytes);
        return *this;
    }
    Reader &operator>>(QStringList &texts)
    {
        quint32 count = 0;
        *this >> count;
        texts.clear();
        for (quint32 i = 0; i < count && m_ok; ++i) {
            QString text;
            *this >> text;
            texts.append(text);
        }
        return *this;
    }
    // Reads a field where the same list of fields serves writing and reading (Writer's &).
    template <typename T> Reader &operator&(T &value) { return *this >> value; }

private:
    bool take(size_t size)
    {
        if (!m_ok || size_t(m_end - m_at) < size)
            return m_ok = false;
        m_at += size;
        return true;
    }
    const char *m_at;
    const char *m_end;
    bool m_ok = true;
    int m_version = 0;
};

namespace {

constexpr quint32 magic = 0x51525531; // "QRU1"
// The most an archive may expand to. A run of a whole disk with lists of 100 files per row
// takes a few megabytes; anything claiming more is damaged or made up, and is refused before
// memory is taken for it.
constexpr qsizetype maxExpanded = 256 * 1024 * 1024;
// No figure of a run comes near this; sums of such figures stay within 64 bits.
constexpr double maxFigure = 4.6e18;

// The block as qCompress wrote it (its expanded size, big-endian, then a zlib stream),
// expanded to at most the size it claims, which must be within maxExpanded; nothing when it is
// not such a block.
std::optional<QByteArray> expand(const QByteArray &data)
{
    if (data.size() < 4)
        return std::nullopt;
    const quint32 claimed = qFromBigEndian<quint32>(data.constData());
    if (claimed > quint32(maxExpanded))
        return std::nullopt;
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return std::nullopt;
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData() + 4));
    stream.avail_in = uInt(data.size() - 4);
    // Grown as the stream gives more, never past what the block claims: a block that claims
    // much and holds little takes little.
    QByteArray out;
    int result = Z_OK;
    while (result == Z_OK) {
        const qsizetype done = qsizetype(stream.total_out);
        const qsizetype room = std::min<qsizetype>(
            qsizetype(claimed), std::max<qsizetype>(2 * done, 16 * data.size() + 65536));
        if (room <= done)
            break;
        out.resize(room);
        stream.next_out = reinterpret_cast<Bytef *>(out.data() + done);
        stream.avail_out = uInt(room - done);
        result = inflate(&stream, Z_NO_FLUSH);
    }
    const bool whole = result == Z_STREAM_END && stream.total_out == claimed;
    inflateEnd(&stream);
    if (!whole)
        return std::nullopt;
    out.resize(qsizetype(claimed));
    return out;
}

bool plausible(double figure)
{
    return std::isfinite(figure) && figure >= 0 && figure <= maxFigure;
}

bool plausible(qint64 figure)
{
    return figure >= 0 && double(figure) <= maxFigure;
}
// 2 added the unreadable folders; 3 the space on disk; 4 the folders to skip and the whole
// folder tree (every folder with its own files).
constexpr quint16 format = 4;

// The options of a run, in the archive's order: io is a Writer (options const) or a Reader.
template <typename Io, typename Options> void transferOptions(Io &io, Options &options)
{
    io &options.allFiles &options.includeSelected &options.excludeSelected &options
        .PickList1 &options.PickList2 &options.collectOverhang &options.enterHiddenFolders &options
        .listLongExtensions;
    if (io.version() >= 3)
        io &options.countOnDisk;
    if (io.version() >= 4)
        io &options.skipFolders;
}

// The space on disk beside the figures (format 3 on).
template <typename Io, typename Space> void transferSpace(Io &io, Space &space)
{
    if (io.version() < 3)
        return;
    for (auto &value : space.sizes)
        io &value;
    for (auto &bands : space.ages)
        for (auto &value : bands)
            io &value;
    for (auto &value : space.attributes)
        io &value;
    io &space.files &space.unlisted &space.folders &space.linkedNames &space.linkedBytes;
}

// Every figure of a run but its type rows, in the archive's order.
template <typename Io, typename Stats> void transferFigures(Io &io, Stats &stats)
{
    for (auto *bands : {&stats.sizeCount, &stats.sizeBytes})
        for (auto &value : *bands)
            io &value;
    for (auto *bands : {&stats.accessedAgeCount, &stats.accessedAgeBytes, &stats.createdAgeCount,
                        &stats.createdAgeBytes, &stats.modifiedAgeCount, &stats.modifiedAgeBytes})
        for (auto &value : *bands)
            io &value;
    for (auto *slots : {&stats.modifiedSlots, &stats.createdSlots, &stats.accessedSlots})
        for (auto &value : *slots)
            io &value;
    io &stats.readOnlyCount &stats.readOnlyBytes &stats.hiddenCount &stats.hiddenBytes &stats
        .systemCount &stats.systemBytes &stats.archiveCount &stats.archiveBytes;
    io &stats.overhang4K &stats.overhang8K &stats.overhang16K &stats.overhang32K &stats.overhang64K;
    io &stats.filesProcessed &stats.filesFound &stats.unlistedFiles &stats.unlistedBytes;
    transferSpace(io, stats.onDisk);
}

// A kept file; folder is the number its folder has in the archive.
template <typename Io, typename File, typename Folder>
void transferFile(Io &io, File &file, Folder &folder)
{
    io &file.name &folder &file.attributes &file.size &file.accessed &file.created &file.modified;
    if (io.version() >= 3)
        io &file.allocated;
}

} // namespace

int RunArchive::Writer::version() const
{
    return format;
}

QByteArray RunArchive::write(const StatAccumulators &stats, const FileLists &lists,
                             const UnreadableFolders &unreadable)
{
    Writer out;
    out << magic << format;

    transferOptions(out, stats.options());
    out << stats.today();
    out << quint32(stats.lbTypes.rowCount());
    for (const ExtensionRow &row : stats.lbTypes.rows())
        out << row.key << row.files << row.bytes << row.allocated;
    transferFigures(out, stats);
    writeLists(out, lists);
    out << unreadable.count() << quint32(unreadable.folders().size());
    for (const UnreadableFolders::Folder &folder : unreadable.folders())
        out << folder.path << qint32(folder.error);
    out << unreadable.skipped();
    // The fastest level: most of what it leaves is names, and keeping a run must be quick.
    return qCompress(out.data, 1);
}

void RunArchive::writeLists(Writer &out, const FileLists &lists)
{
    std::vector<std::pair<std::string_view, const TopFiles *>> extensions;
    for (const auto &[key, list] : lists.m_extensions)
        extensions.emplace_back(key, &list);
    std::sort(extensions.begin(), extensions.end());
    // Only the folders a kept file or a largest folder names go along, with their ancestors,
    // numbered anew in their old order (a parent still comes before its children).
    const quint32 count = lists.m_folders.count();
    std::vector<bool> wanted(count, false);
    qsizetype bytes = 0;
    auto need = [&](quint32 folder) {
        for (quint32 id = folder; id < count && !wanted[id]; id = lists.m_folders.parentOf(id))
            wanted[id] = true;
    };
    auto needFiles = [&](const TopFiles &list) {
        for (const KeptFile &file : list.unsorted()) {
            need(file.folder);
            bytes += file.name.size() + 56;
        }
    };
    for (const TopFiles &list : lists.m_fixed)
        needFiles(list);
    for (const auto &[key, list] : extensions)
        needFiles(*list);
    for (const FileLists::TargetFolders &target : lists.m_targets)
        for (const FolderRecords::Total &total : target.folders)
            need(total.folder);
    // With the folder tree, every folder goes along with its own files.
    if (lists.m_wholeTree)
        wanted.assign(count, true);
    std::vector<quint32> renumbered(count, FolderRecords::noParent);
    std::vector<quint32> kept;
    for (quint32 id = 0; id < count; ++id)
        if (wanted[id]) {
            renumbered[id] = quint32(kept.size());
            kept.push_back(id);
            bytes += 64;
        }
    // One allocation instead of a dozen copies of a buffer of megabytes.
    out.data.reserve(out.data.size() + bytes + 4096);

    out << qint32(lists.m_limit) << lists.m_anyLength << quint32(kept.size()) << lists.m_wholeTree;
    for (quint32 id : kept) {
        const quint32 parent = lists.m_folders.parentOf(id);
        out << (parent < count ? renumbered[parent] : FolderRecords::noParent)
            << lists.m_folders.nameOf(id);
        if (!lists.m_wholeTree)
            continue;
        const FolderRecords::Contents own = lists.m_folders.contentsOf(id);
        out << own.files << own.bytes << own.allocated << quint8(own.largest.size());
        for (const FolderRecords::File &file : own.largest)
            out << file.name << file.size << file.allocated;
    }
    auto writeFiles = [&](const TopFiles &list) {
        out << quint32(list.unsorted().size());
        for (const KeptFile &file : list.unsorted())
            transferFile(out, file, renumbered[file.folder]);
    };
    for (const TopFiles &list : lists.m_fixed)
        writeFiles(list);
    out << quint32(extensions.size());
    for (const auto &[key, list] : extensions) {
        out << QByteArray(key.data(), qsizetype(key.size()));
        writeFiles(*list);
    }
    out << quint32(lists.m_targets.size());
    for (const FileLists::TargetFolders &target : lists.m_targets) {
        out << target.target
            << (target.root < count ? renumbered[target.root] : FolderRecords::noParent)
            << quint32(target.folders.size());
        for (const FolderRecords::Total &total : target.folders)
            out << renumbered[total.folder] << total.bytes << total.allocated;
    }
}

bool RunArchive::read(const QByteArray &data, StatAccumulators &stats, FileLists &lists,
                      UnreadableFolders &unreadable)
{
    stats.clearVariables();
    lists.clear();
    unreadable.clear();
    const std::optional<QByteArray> bytes = expand(data);
    if (!bytes)
        return false;
    Reader in(*bytes);
    quint32 mark = 0;
    quint16 version = 0;
    in >> mark >> version;
    if (!in.ok() || mark != magic || version < 1 || version > format)
        return false;
    in.setVersion(version);

    CollectionOptions options;
    qint64 today = 0;
    transferOptions(in, options);
    in >> today;
    quint32 typeRows = 0;
    in >> typeRows;
    std::vector<ExtensionRow> rows;
    for (quint32 i = 0; i < typeRows && in.ok(); ++i) {
        ExtensionRow row;
        in >> row.key >> row.files >> row.bytes;
        if (version >= 3)
            in >> row.allocated;
        rows.push_back(row);
    }
    transferFigures(in, stats);
    stats.setOptions(options);
    stats.setToday(today);
    const bool uniqueTypes = stats.lbTypes.restore(std::move(rows));
    bool done = in.ok() && uniqueTypes && plausibleFigures(stats) && readLists(in, lists);
    if (done && version >= 2) {
        qint64 count = 0;
        quint32 kept = 0;
        in >> count >> kept;
        std::vector<UnreadableFolders::Folder> folders;
        for (quint32 i = 0; i < kept && in.ok() && i < UnreadableFolders::keptLimit; ++i) {
            UnreadableFolders::Folder folder;
            qint32 error = 0;
            in >> folder.path >> error;
            folder.error = error;
            folders.push_back(std::move(folder));
        }
        qint64 skipped = 0;
        if (version >= 4)
            in >> skipped;
        done = in.ok() && kept <= UnreadableFolders::keptLimit && count >= qint64(kept) &&
               plausible(skipped);
        unreadable.restore(std::move(folders), count);
        unreadable.restoreSkipped(skipped);
    }
    if (!done || !in.atEnd()) {
        stats.clearVariables();
        lists.clear();
        unreadable.clear();
        return false;
    }
    return true;
}

bool RunArchive::plausibleFigures(const StatAccumulators &stats)
{
    // Figures that are no count of files or bytes (not finite, negative, or too large to add
    // up) are a damaged archive, whatever else it holds.
    bool sound = true;
    auto check = [&sound](auto figure) { sound = sound && plausible(figure); };
    for (auto *bands : {&stats.sizeCount, &stats.sizeBytes})
        std::for_each(bands->begin(), bands->end(), check);
    for (int stamp = 0; stamp < 3; ++stamp) {
        std::for_each(stats.ageCounts(stamp).begin(), stats.ageCounts(stamp).end(), check);
        std::for_each(stats.ageBytes(stamp).begin(), stats.ageBytes(stamp).end(), check);
        std::for_each(stats.slots(stamp).begin(), stats.slots(stamp).end(), check);
    }
    for (const quint32 bit : {faReadOnly, faHidden, faSystem, faArchive}) {
        check(stats.attributeFigures(bit).files);
        check(stats.attributeFigures(bit).bytes);
    }
    for (const double waste : stats.overhangSums())
        check(waste);
    const StatAccumulators::SpaceOnDisk &space = stats.onDisk;
    std::for_each(space.sizes.begin(), space.sizes.end(), check);
    for (const auto &bands : space.ages)
        std::for_each(bands.begin(), bands.end(), check);
    std::for_each(space.attributes.begin(), space.attributes.end(), check);
    for (const double figure : {space.files, space.unlisted, space.folders, space.linkedBytes})
        check(figure);
    check(space.linkedNames);
    for (const qint64 counter :
         {stats.filesProcessed, stats.filesFound, stats.unlistedFiles, stats.unlistedBytes})
        check(counter);
    double files = 0, bytes = 0;
    for (const ExtensionRow &row : stats.lbTypes.rows()) {
        check(row.files);
        check(row.bytes);
        check(row.allocated);
        files += double(row.files);
        bytes += double(row.bytes);
    }
    check(files);
    check(bytes);
    return sound;
}

bool RunArchive::readLists(Reader &in, FileLists &lists)
{
    qint32 limit = 0;
    quint32 folders = 0;
    in >> limit >> lists.m_anyLength >> folders;
    if (in.version() >= 4)
        in >> lists.m_wholeTree;
    lists.m_limit = std::max(limit, 0);
    for (quint32 id = 0; id < folders && in.ok(); ++id) {
        quint32 parent = 0;
        QByteArray name;
        in >> parent >> name;
        // A parent always comes first: anything else would make a path go round in circles.
        if (parent != FolderRecords::noParent && parent >= id)
            return false;
        lists.m_folders.add(parent, name);
        if (!lists.m_wholeTree)
            continue;
        FolderRecords::Contents own;
        quint8 kept = 0;
        in >> own.files >> own.bytes >> own.allocated >> kept;
        if (kept > FolderRecords::keptFilesPerFolder || kept > own.files || !plausible(own.files) ||
            !plausible(own.bytes) || !plausible(own.allocated))
            return false;
        for (quint8 i = 0; i < kept && in.ok(); ++i) {
            FolderRecords::File file;
            in >> file.name >> file.size >> file.allocated;
            if (!plausible(file.size) || !plausible(file.allocated) || file.size > own.bytes)
                return false;
            own.largest.push_back(std::move(file));
        }
        lists.m_folders.addContents(id, std::move(own));
    }
    auto readFiles = [&](TopFiles &list) {
        quint32 count = 0;
        in >> count;
        for (quint32 i = 0; i < count && in.ok(); ++i) {
            KeptFile file;
            transferFile(in, file, file.folder);
            if (file.folder >= folders || !plausible(file.size) || !plausible(file.allocated))
                return false;
            list.offer(file, lists.m_limit);
        }
        return in.ok();
    };
    for (TopFiles &list : lists.m_fixed)
        if (!readFiles(list))
            return false;
    quint32 extensions = 0;
    in >> extensions;
    for (quint32 i = 0; i < extensions && in.ok(); ++i) {
        QByteArray key;
        in >> key;
        if (!readFiles(lists.m_extensions[key.toStdString()]))
            return false;
    }
    quint32 targets = 0;
    in >> targets;
    for (quint32 i = 0; i < targets && in.ok(); ++i) {
        FileLists::TargetFolders target;
        quint32 count = 0;
        in >> target.target;
        if (in.version() >= 4)
            in >> target.root;
        if (target.root != FolderRecords::noParent && target.root >= folders)
            return false;
        in >> count;
        for (quint32 j = 0; j < count && in.ok(); ++j) {
            FolderRecords::Total total;
            in >> total.folder >> total.bytes;
            if (in.version() >= 3)
                in >> total.allocated;
            if (total.folder >= folders || !plausible(total.bytes) || !plausible(total.allocated))
                return false;
            target.folders.push_back(total);
        }
        lists.m_targets.push_back(std::move(target));
    }
    return in.ok();
}
