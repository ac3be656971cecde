#include "StatAccumulators.h"

#include "LinkedFiles.h"
#include "common/Utility.h"
#include "filetypes/TypeRow.h"
#include "platform/LocalTimeZone.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

StatAccumulators::StatAccumulators()
{
    setCurrentDrive(QString());
    m_today = LocalTimeZone::todayDayNumber();
}

bool StatAccumulators::crunchNumbers(const QString &dirText, const DirEntry &entry, FileRows *rows)
{
    if (filesProcessed % 3 == 0)
        showStatus(dirText);
    if (!isThisSelected(entry.name))
        return false;

    const qint64 size = entry.size;
    ++filesFound;
    // A file met under several names takes its space once: under the first name met.
    qint64 allocated = entry.allocated;
    if (entry.links > 1 && m_links && !m_links->firstName(entry.device, entry.inode)) {
        ++onDisk.linkedNames;
        onDisk.linkedBytes += double(allocated);
        allocated = 0;
    }
    const double onDiskBytes = double(allocated);
    onDisk.files += onDiskBytes;
    FileRows own;
    FileRows &found = rows ? *rows : own;
    found.allocated = allocated;
    found.attributes = entry.attributes;
    collectFileAttr(entry.attributes, size);
    // The stamps come on the local clock: a band and a slot are a division each.
    const LocalFileTime *const times[] = {&entry.accessed, &entry.created, &entry.modified};
    AgeBands *const ageCounts[] = {&accessedAgeCount, &createdAgeCount, &modifiedAgeCount};
    AgeBands *const ageBytes[] = {&accessedAgeBytes, &createdAgeBytes, &modifiedAgeBytes};
    HalfHourSlots *const slots[] = {&accessedSlots, &createdSlots, &modifiedSlots};
    for (size_t stamp = 0; stamp < 3; ++stamp) {
        const int age = ageToIndex(fileAgeDays(*times[stamp]));
        (*ageCounts[stamp])[size_t(age)] += 1;
        (*ageBytes[stamp])[size_t(age)] += double(size);
        onDisk.ages[stamp][size_t(age)] += onDiskBytes;
        found.ageBands[stamp] = age;
        // Only slots above 0 are counted: stamps from 00:00 to 00:29 land in no slot.
        const int slot = halfHourSlot(*times[stamp]);
        if (slot > 0)
            (*slots[stamp])[size_t(slot)] += 1;
        found.slots[stamp] = slot;
    }
    found.extension = fileNameExtension(entry.name);
    if (!lbTypes.insertType(found.extension, size, false, allocated)) {
        ++unlistedFiles;
        unlistedBytes += size;
        onDisk.unlisted += onDiskBytes;
    }
    const int band = sizeBand(size);
    found.sizeBand = band;
    sizeCount[size_t(band)] += 1;
    sizeBytes[size_t(band)] += double(size);
    onDisk.sizes[size_t(band)] += onDiskBytes;
    const quint32 bits[] = {faReadOnly, faHidden, faSystem, faArchive};
    for (size_t i = 0; i < 4; ++i)
        if (entry.attributes & bits[i])
            onDisk.attributes[i] += onDiskBytes;
    if (m_options.collectOverhang)
        addOverhang(size);
    return true;
}

void StatAccumulators::showStatus(const QString &dirText) const
{
    if (m_statusObserver)
        m_statusObserver(m_statusPrefix + dirText);
}

void StatAccumulators::merge(StatAccumulators &&other)
{
    lbTypes.merge(std::move(other.lbTypes));
    addFigures(other);
}

void StatAccumulators::merge(const StatAccumulators &other)
{
    lbTypes.merge(other.lbTypes);
    addFigures(other);
}

void StatAccumulators::addFigures(const StatAccumulators &other)
{
    auto add = [](auto &sums, const auto &more) {
        for (size_t i = 0; i < sums.size(); ++i)
            sums[i] += more[i];
    };
    add(onDisk.sizes, other.onDisk.sizes);
    for (size_t stamp = 0; stamp < 3; ++stamp)
        add(onDisk.ages[stamp], other.onDisk.ages[stamp]);
    add(onDisk.attributes, other.onDisk.attributes);
    onDisk.files += other.onDisk.files;
    onDisk.unlisted += other.onDisk.unlisted;
    onDisk.folders += other.onDisk.folders;
    onDisk.linkedNames += other.onDisk.linkedNames;
    onDisk.linkedBytes += other.onDisk.linkedBytes;
    add(sizeCount, other.sizeCount);
    add(sizeBytes, other.sizeBytes);
    add(accessedAgeCount, other.accessedAgeCount);
    add(accessedAgeBytes, other.accessedAgeBytes);
    add(createdAgeCount, other.createdAgeCount);
    add(createdAgeBytes, other.createdAgeBytes);
    add(modifiedAgeCount, other.modifiedAgeCount);
    add(modifiedAgeBytes, other.modifiedAgeBytes);
    add(modifiedSlots, other.modifiedSlots);
    add(createdSlots, other.createdSlots);
    add(accessedSlots, other.accessedSlots);
    readOnlyCount += other.readOnlyCount;
    readOnlyBytes += other.readOnlyBytes;
    hiddenCount += other.hiddenCount;
    hiddenBytes += other.hiddenBytes;
    systemCount += other.systemCount;
    systemBytes += other.systemBytes;
    archiveCount += other.archiveCount;
    archiveBytes += other.archiveBytes;
    overhang4K += other.overhang4K;
    overhang8K += other.overhang8K;
    overhang16K += other.overhang16K;
    overhang32K += other.overhang32K;
    overhang64K += other.overhang64K;
    filesProcessed += other.filesProcessed;
    filesFound += other.filesFound;
    unlistedFiles += other.unlistedFiles;
    unlistedBytes += other.unlistedBytes;
}

void StatAccumulators::addOverhang(qint64 size)
{
    double *const sums[] = {&overhang4K, &overhang8K, &overhang16K, &overhang32K, &overhang64K};
    // The sizes are powers of two: what a file uses of its last cluster is its low bits.
    static_assert(std::all_of(clusterSizes.begin(), clusterSizes.end(),
                              [](qint64 cluster) { return (cluster & (cluster - 1)) == 0; }));
    const quint64 bytes = quint64(std::max<qint64>(size, 0));
    for (size_t i = 0; i < clusterSizes.size(); ++i) {
        const quint64 used = bytes & quint64(clusterSizes[i] - 1);
        if (used != 0)
            *sums[i] += double(quint64(clusterSizes[i]) - used);
    }
}

void StatAccumulators::insertType(QByteArrayView ext, qint64 size, bool registerOnly)
{
    lbTypes.insertType(ext, size, registerOnly);
}

int StatAccumulators::findType(QByteArrayView key) const
{
    return lbTypes.findType(key);
}

int StatAccumulators::ageToIndex(qint64 ageDays)
{
    if (ageDays < 0)
        return 0;
    static constexpr qint64 upperBounds[] = {7, 30, 60, 120, 365, 730, 1095, 1460};
    int band = 1;
    for (qint64 bound : upperBounds) {
        if (ageDays <= bound)
            return band;
        ++band;
    }
    return band;
}

qint64 StatAccumulators::fileAgeDays(LocalFileTime time) const
{
    return time.isRecorded() ? std::llabs(m_today - time.dayNumber()) : -1;
}

int StatAccumulators::halfHourSlot(LocalFileTime time)
{
    return time.isRecorded() ? time.secondOfDay() / 1800 : -1;
}

int StatAccumulators::sizeBand(qint64 size)
{
    if (size <= 16384)
        return 1;
    // Band b holds (2^(b+12), 2^(b+13)]: the bit width of size - 1 is b + 13.
    const int band = int(std::bit_width(quint64(size - 1))) - 13;
    return band > sizeBandCount ? sizeBandCount : band;
}

void StatAccumulators::registerChosenTypes()
{
    if (!m_options.includeSelected)
        return;
    for (const QString &row : m_options.PickList2)
        insertType(extractExtension(row).toUtf8(), 0, true);
}

std::array<const StatAccumulators::AgeBands *, 2> StatAccumulators::ageTables(int stamp) const
{
    Q_ASSERT(stamp >= 0 && stamp < 3);
    switch (stamp) {
    case 0:
        return {&accessedAgeCount, &accessedAgeBytes};
    case 1:
        return {&createdAgeCount, &createdAgeBytes};
    default:
        return {&modifiedAgeCount, &modifiedAgeBytes};
    }
}

const StatAccumulators::HalfHourSlots &StatAccumulators::slots(int stamp) const
{
    Q_ASSERT(stamp >= 0 && stamp < 3);
    return stamp == 0 ? accessedSlots : stamp == 1 ? createdSlots : modifiedSlots;
}

double StatAccumulators::attributeOnDisk(quint32 bit) const
{
    const quint32 bits[] = {faReadOnly, faHidden, faSystem, faArchive};
    for (size_t i = 0; i < 4; ++i)
        if (bits[i] == bit)
            return onDisk.attributes[i];
    return 0;
}

StatAccumulators::AttributeFigures StatAccumulators::attributeFigures(quint32 bit) const
{
    switch (bit) {
    case faReadOnly:
        return {readOnlyCount, readOnlyBytes};
    case faHidden:
        return {hiddenCount, hiddenBytes};
    case faSystem:
        return {systemCount, systemBytes};
    case faArchive:
        return {archiveCount, archiveBytes};
    default:
        return {};
    }
}

void StatAccumulators::collectFileAttr(quint32 attributes, qint64 size)
{
    const double bytes = double(size);
    if (attributes & faReadOnly) {
        ++readOnlyCount;
        readOnlyBytes += bytes;
    }
    if (attributes & faHidden) {
        ++hiddenCount;
        hiddenBytes += bytes;
    }
    if (attributes & faSystem) {
        ++systemCount;
        systemBytes += bytes;
    }
    if (attributes & faArchive) {
        ++archiveCount;
        archiveBytes += bytes;
    }
}

void StatAccumulators::clearVariables()
{
    lbTypes.clear();
    sizeCount = {};
    sizeBytes = {};
    for (AgeBands *bands : {&accessedAgeCount, &accessedAgeBytes, &createdAgeCount,
                            &createdAgeBytes, &modifiedAgeCount, &modifiedAgeBytes})
        *bands = {};
    modifiedSlots = {};
    createdSlots = {};
    accessedSlots = {};
    readOnlyCount = hiddenCount = systemCount = archiveCount = 0;
    readOnlyBytes = hiddenBytes = systemBytes = archiveBytes = 0;
    overhang4K = overhang8K = overhang16K = overhang32K = overhang64K = 0;
    filesProcessed = filesFound = 0;
    unlistedFiles = unlistedBytes = 0;
    onDisk = SpaceOnDisk();
    m_today = LocalTimeZone::todayDayNumber();
}

void StatAccumulators::setOptions(const CollectionOptions &options)
{
    m_options = options;
    lbTypes.setAnyLength(options.listLongExtensions);
    m_filter = TypeFilter(options.allFiles, options.includeSelected, options.excludeSelected,
                          options.PickList2);
}

void StatAccumulators::setCurrentDrive(const QString &driveRow)
{
    m_statusPrefix =
        QStringLiteral("Processing drive ") + driveRow + QStringLiteral(" ... standby : ");
}

void StatAccumulators::setStatusObserver(std::function<void(const QString &)> observer)
{
    m_statusObserver = std::move(observer);
}
