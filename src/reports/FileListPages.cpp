#include "FileListPages.h"

#include "ReportPage.h"
#include "collection/FolderTree.h"
#include "collection/StatAccumulators.h"
#include "common/FileNameText.h"
#include "common/NumberPattern.h"
#include "common/RegionalSettings.h"
#include "common/Utility.h"
#include "platform/DirEntry.h"
#include "platform/FileTypeRegistry.h"

#include <QDateTime>
#include <QTime>

#include <functional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString slotLabel(int slot)
{
    return QTime(slot / 2, slot % 2 ? 30 : 0).toString(RegionalSettings::current().shortTimeFormat);
}

} // namespace

ListedRow FileListPages::typesRow(const StatAccumulators &stats, const QByteArray &key)
{
    const int index = stats.findType(key);
    const qint64 files = index >= 0 ? stats.lbTypes.row(index).files : 0;
    return {ReportPage::title(ReportPage::Types),
            key.isEmpty() ? QStringLiteral("(no extension)") : printableFileName(key),
            ListRow{ListRow::Extension, 0, key}, files};
}

ListedRow FileListPages::sizesRow(const StatAccumulators &stats, int band)
{
    return {ReportPage::title(ReportPage::Sizes), ReportPage::sizeBandLabel(band),
            ListRow{ListRow::SizeBand, band, {}},
            band >= 1 && band <= 12 ? qint64(stats.sizeCount[size_t(band)]) : 0};
}

ListedRow FileListPages::ageRow(const StatAccumulators &stats, ListRow::Kind stamp, int band)
{
    const int s = stamp - ListRow::AccessedAge;
    return {ReportPage::title(ReportPage::datePage(s)), ReportPage::ageBandLabel(band),
            ListRow{stamp, band, {}},
            band >= 0 && band <= 9 ? qint64(stats.ageCounts(s)[size_t(band)]) : 0};
}

ListedRow FileListPages::attributeRow(const StatAccumulators &stats, quint32 bit)
{
    const QString label = ReportPage::attributeLabel(bit);
    if (label.isEmpty())
        return {};
    return {ReportPage::title(ReportPage::Attribute), label,
            ListRow{ListRow::Attribute, int(bit), {}}, stats.attributeFigures(bit).files};
}

ListedRow FileListPages::slotRow(const StatAccumulators &stats, ListRow::Kind stamp, int slot)
{
    const int s = stamp - ListRow::AccessedSlot;
    return {ReportPage::title(ReportPage::Time),
            ReportPage::title(ReportPage::datePage(s)) + u' ' + slotLabel(slot),
            ListRow{stamp, slot, {}},
            slot > 0 && slot < 48 ? qint64(stats.slots(s)[size_t(slot)]) : 0};
}

QString FileListPages::menuText(const ListRow &row)
{
    switch (row.kind) {
    case ListRow::AccessedAge:
    case ListRow::AccessedSlot:
        return QStringLiteral("&Access");
    case ListRow::CreatedAge:
    case ListRow::CreatedSlot:
        return QStringLiteral("&Created");
    case ListRow::ModifiedAge:
    case ListRow::ModifiedSlot:
        return QStringLiteral("&Modified");
    default:
        return QStringLiteral("&Files");
    }
}

ListedRow FileListPages::listedRow(const StatAccumulators &stats, const ListRow &row)
{
    switch (row.kind) {
    case ListRow::Extension:
        return typesRow(stats, row.key);
    case ListRow::SizeBand:
        return sizesRow(stats, row.index);
    case ListRow::AccessedAge:
    case ListRow::CreatedAge:
    case ListRow::ModifiedAge:
        return ageRow(stats, row.kind, row.index);
    case ListRow::AccessedSlot:
    case ListRow::CreatedSlot:
    case ListRow::ModifiedSlot:
        return slotRow(stats, row.kind, row.index);
    case ListRow::Attribute:
        return attributeRow(stats, quint32(row.index));
    }
    return {};
}

QList<ListedRow> FileListPages::rowsOf(const StatAccumulators &stats)
{
    QList<ListedRow> rows;
    for (const ExtensionRow &row : stats.lbTypes.rows())
        rows.append(typesRow(stats, row.key));
    for (int band = 12; band >= 1; --band)
        rows.append(sizesRow(stats, band));
    for (int stamp = 0; stamp < 3; ++stamp)
        for (int band = 9; band >= 0; --band)
            rows.append(ageRow(stats, ListRow::Kind(ListRow::AccessedAge + stamp), band));
    for (const quint32 bit : {faHidden, faReadOnly, faSystem, faArchive})
        rows.append(attributeRow(stats, bit));
    for (int stamp : {2, 1, 0})
        for (int slot = 1; slot < 48; ++slot)
            rows.append(slotRow(stats, ListRow::Kind(ListRow::AccessedSlot + stamp), slot));
    rows.removeIf([](const ListedRow &row) { return row.files <= 0; });
    return rows;
}

namespace {

// The first bytes of a file, for its type; empty when it cannot be read.
QByteArray headOf(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return QByteArray();
    QByteArray head(4096, Qt::Uninitialized);
    struct stat st {};
    ssize_t got = -1;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
        got = ::read(fd, head.data(), size_t(head.size()));
    ::close(fd);
    head.resize(got > 0 ? qsizetype(got) : 0);
    return head;
}

QString describe(const FileTypeRegistry &registry, const QString &typeName)
{
    const QString description = registry.defaultValue(typeName);
    return description.isEmpty() ? typeName : description;
}

} // namespace

QHash<QByteArray, QString> FileListPages::ambiguousTypes(const StatAccumulators &stats,
                                                         const FileLists &lists)
{
    const FileTypeRegistry &registry = FileTypeRegistry::current();
    QHash<QByteArray, QString> described;
    for (const ExtensionRow &row : stats.lbTypes.rows()) {
        const QString key = QString::fromLocal8Bit(row.key);
        const QStringList candidates = key.isEmpty() ? QStringList() : registry.typeNames(key);
        if (candidates.size() < 2)
            continue;
        QString type;
        const std::vector<KeptFile> files = lists.files(ListRow{ListRow::Extension, 0, row.key});
        // An empty head (an empty file, or one that cannot be read) tells nothing.
        const QByteArray head = files.empty() ? QByteArray() : headOf(lists.path(files.front()));
        if (!head.isEmpty())
            type = registry.typeOfContent(key, head);
        if (!type.isEmpty()) {
            described.insert(row.key, describe(registry, type));
            continue;
        }
        QStringList descriptions;
        for (const QString &candidate : candidates)
            descriptions.append(describe(registry, candidate));
        described.insert(row.key, descriptions.join(QStringLiteral(" or ")));
    }
    return described;
}

QString FileListPages::listedText(qsizetype listed, qint64 files)
{
    if (listed >= files)
        return files == 1 ? QStringLiteral("1 file")
                          : QStringLiteral("all ") + intToGrouped(files) + QStringLiteral(" files");
    return QStringLiteral("the %1 largest of %2 files").arg(listed).arg(intToGrouped(files));
}

QString FileListPages::dateText(PackedFileDate date)
{
    // Stamps are kept as local time already: written as they are, with no time zone to ask.
    const std::optional<CivilDateTime> time = unpackFileDate(date);
    if (!time)
        return QString();
    return QString::asprintf("%04d-%02d-%02d ", time->year, time->month, time->day) +
           QTime(time->hour, time->minute, time->second)
               .toString(RegionalSettings::current().shortTimeFormat);
}

QLatin1StringView FileListPages::isoDateText(PackedFileDate date, IsoDateBuffer &buffer)
{
    const std::optional<CivilDateTime> time = unpackFileDate(date);
    if (!time)
        return QLatin1StringView();
    // Written digit by digit: a list of files asks this three times a file.
    auto put = [&buffer](int at, int value, int digits) {
        for (int i = at + digits - 1; i >= at; --i, value /= 10)
            buffer[size_t(i)] = char('0' + value % 10);
    };
    put(0, time->year, 4);
    buffer[4] = '-';
    put(5, time->month, 2);
    buffer[7] = '-';
    put(8, time->day, 2);
    buffer[10] = 'T';
    put(11, time->hour, 2);
    buffer[13] = ':';
    put(14, time->minute, 2);
    buffer[16] = ':';
    put(17, time->second, 2);
    return QLatin1StringView(buffer.data(), qsizetype(buffer.size()));
}

QLatin1StringView FileListPages::attributeLetters(quint32 attributes, AttributeBuffer &buffer)
{
    qsizetype size = 0;
    for (const auto &[bit, letter] : {std::pair{faReadOnly, 'R'}, std::pair{faHidden, 'H'},
                                      std::pair{faSystem, 'S'}, std::pair{faArchive, 'A'}})
        if (attributes & bit)
            buffer[size_t(size++)] = letter;
    return QLatin1StringView(buffer.data(), size);
}

QString FileListPages::attributeText(quint32 attributes)
{
    AttributeBuffer buffer;
    return attributeLetters(attributes, buffer).toString();
}

QList<TextTable> FileListPages::filesTables(const QList<ListedRow> &rows, const FileLists &lists)
{
    QList<TextTable> tables;
    for (const ListedRow &row : rows) {
        if (tables.isEmpty() || !tables.last().title.endsWith(u' ' + row.page)) {
            TextTable table;
            table.title = QStringLiteral("Largest files by ") + row.page;
            table.headings = QStringList{row.page, QStringLiteral("Size"),
                                         QStringLiteral("Modified"), QStringLiteral("Path")};
            table.rightAligned = {false, true, false, false};
            tables.append(table);
        }
        const std::vector<KeptFile> files = lists.files(row.row);
        for (const KeptFile &file : files)
            tables.last().rows.append({row.label, intToGrouped(file.size), dateText(file.modified),
                                       printableFileName(lists.path(file))});
    }
    return tables;
}

QList<TextTable> FileListPages::folderTables(const FileLists &lists)
{
    QList<TextTable> tables;
    for (const FileLists::TargetFolders &target : lists.largestFolders()) {
        if (target.folders.empty())
            continue;
        TextTable table;
        table.title = QStringLiteral("Largest folders of ") + target.target;
        table.headings = QStringList{QStringLiteral("Size"), QStringLiteral("Folder")};
        table.rightAligned = {true, false};
        for (const FolderRecords::Total &folder : target.folders)
            table.rows.append(
                {intToGrouped(folder.bytes), printableFileName(lists.folderPath(folder.folder))});
        tables.append(table);
    }
    return tables;
}

TextTable FileListPages::folderTreeTable(const FolderTree &tree, int depth, bool onDisk,
                                         bool indented)
{
    TextTable table;
    table.title = QStringLiteral("Folders");
    table.headings = QStringList{QStringLiteral("Folder"), QStringLiteral("Size")};
    if (onDisk)
        table.headings.append(QStringLiteral("On disk"));
    table.headings.append({QStringLiteral("Files"), QStringLiteral("Share")});
    table.rightAligned = QList<bool>(table.headings.size(), true);
    table.rightAligned[0] = false;
    qint64 rootBytes = 0;
    for (const quint32 root : tree.roots())
        rootBytes += tree.node(root).bytes;
    const std::function<void(quint32, int, qint64)> add = [&](quint32 folder, int level,
                                                              qint64 whole) {
        const FolderTree::Node &node = tree.node(folder);
        const QString name = indented
                                 ? QString(2 * level, u' ') + printableFileName(tree.name(folder))
                                 : printableFileName(tree.path(folder));
        QStringList row{name, intToGrouped(node.bytes)};
        if (onDisk)
            row.append(intToGrouped(node.allocated));
        const double share = whole > 0 ? 100.0 * double(node.bytes) / double(whole) : 0;
        row.append({intToGrouped(node.files),
                    formatFloat(QStringLiteral("0.0"), share) + QStringLiteral(" %")});
        table.rows.append(row);
        if (level < depth)
            for (const quint32 child : node.children)
                add(child, level + 1, node.bytes);
    };
    for (const quint32 root : tree.roots())
        add(root, 0, rootBytes);
    return table;
}
