#pragma once

#include "CollectionOptions.h"
#include "ExtensionTable.h"
#include "filetypes/TypeFilter.h"
#include "platform/DirEntry.h"
#include "platform/PackedFileDate.h"

#include <QString>

#include <array>
#include <functional>

class LinkedFiles;

// The rows of the pages a counted file falls in. Stamps in the order accessed, created,
// modified; a slot of -1 or 0 is counted in none.
struct FileRows {
    int sizeBand = 0;
    std::array<int, 3> ageBands{};
    std::array<int, 3> slots{};
    quint32 attributes = 0;
    QByteArrayView extension;
    qint64 allocated = 0; // the space counted for it on disk (0 for a name counted before)
};

// Everything a collection run learns about the files it meets; the report pages read nothing
// else. Zeroed by clearVariables at the start of a run, then grown by crunchNumbers across all
// drives of the run. Sizes and counts are 64-bit throughout, so a file of 2 GiB or more counts
// at its true size.
class StatAccumulators {
public:
    static constexpr int sizeBandCount = 12;
    static constexpr int ageBandCount = 10;
    static constexpr int slotCount = 48;
    static constexpr std::array<qint64, 5> clusterSizes{4096, 8192, 16384, 32768, 65536};

    using SizeBands = std::array<double, sizeBandCount + 1>; // bands 1 to 12; 0 is unused
    using AgeBands = std::array<double, ageBandCount>;       // 0 is "Not recorded"
    using HalfHourSlots = std::array<double, slotCount>;

    StatAccumulators();

    // Folds one file of the folder dirText into every table, if the type filter lets it pass.
    // Every third file met (by filesProcessed, which the walker increments afterwards) the
    // status observer hears "Processing drive <currentDrive> ... standby : <dirText>".
    // Returns whether the file was counted, and then, when rows is given, the rows it fell in.
    bool crunchNumbers(const QString &dirText, const DirEntry &entry, FileRows *rows = nullptr);
    // The status observer hears "Processing drive <currentDrive> ... standby : <dirText>".
    void showStatus(const QString &dirText) const;
    // Adds every table and counter of other, a part of the same run (same options and day).
    void merge(const StatAccumulators &other);
    // The same, taking other's extension rows where this run has none yet (other is left
    // without them).
    void merge(StatAccumulators &&other);

    void insertType(QByteArrayView ext, qint64 size, bool registerOnly);
    int findType(QByteArrayView key) const;
    static int ageToIndex(qint64 ageDays);
    // Whole days between the run's day and time, either way; -1 for a time that is not recorded.
    qint64 fileAgeDays(LocalFileTime time) const;
    // 2 * hour, + 1 from minute 30 on; -1 for a time that is not recorded.
    static int halfHourSlot(LocalFileTime time);
    static int sizeBand(qint64 size);
    void collectFileAttr(quint32 attributes, qint64 size);
    bool isThisSelected(QByteArrayView fileName) const { return m_filter.isThisSelected(fileName); }

    // Gives each type chosen for an include run a row, with files or without; nothing for the
    // other modes.
    void registerChosenTypes();

    // The tables of a time stamp: 0 accessed, 1 created, 2 modified.
    const AgeBands &ageCounts(int stamp) const { return *ageTables(stamp)[0]; }
    const AgeBands &ageBytes(int stamp) const { return *ageTables(stamp)[1]; }
    const HalfHourSlots &slots(int stamp) const;
    // The files and bytes of an attribute bit (faHidden, faReadOnly, faSystem, faArchive); zeros
    // for any other.
    struct AttributeFigures {
        qint64 files = 0;
        double bytes = 0;
    };
    AttributeFigures attributeFigures(quint32 bit) const;
    // The bytes wasted for each of clusterSizes, in order.
    std::array<double, 5> overhangSums() const
    {
        return {overhang4K, overhang8K, overhang16K, overhang32K, overhang64K};
    }

    // Zeroes every table and counter, and takes today's date for the ages of the new run.
    // The options stay as they are.
    void clearVariables();

    const CollectionOptions &options() const { return m_options; }
    void setOptions(const CollectionOptions &options);
    // The drive row walked now, named in the status text.
    void setCurrentDrive(const QString &driveRow);
    void setStatusObserver(std::function<void(const QString &)> observer);
    // Whether anyone is shown the status text: without, a walk never builds one.
    bool showsStatus() const { return bool(m_statusObserver); }
    // Where the space of files with several names is counted once (the run's workers share
    // it); none: each name counts its file's space.
    void setLinkedFiles(LinkedFiles *links) { m_links = links; }
    // The day the ages are counted from (days since 1970-01-01, local).
    void setToday(qint64 dayNumber) { m_today = dayNumber; }
    qint64 today() const { return m_today; }

    ExtensionTable lbTypes;

    SizeBands sizeCount{};
    SizeBands sizeBytes{};

    AgeBands accessedAgeCount{};
    AgeBands accessedAgeBytes{};
    AgeBands createdAgeCount{};
    AgeBands createdAgeBytes{};
    AgeBands modifiedAgeCount{};
    AgeBands modifiedAgeBytes{};

    HalfHourSlots modifiedSlots{};
    HalfHourSlots createdSlots{};
    HalfHourSlots accessedSlots{};

    qint64 readOnlyCount = 0;
    double readOnlyBytes = 0;
    qint64 hiddenCount = 0;
    double hiddenBytes = 0;
    qint64 systemCount = 0;
    double systemBytes = 0;
    qint64 archiveCount = 0;
    double archiveBytes = 0;

    double overhang4K = 0;
    double overhang8K = 0;
    double overhang16K = 0;
    double overhang32K = 0;
    double overhang64K = 0;

    // Files met by the walk (counted or not) and files counted.
    qint64 filesProcessed = 0;
    qint64 filesFound = 0;
    // Counted files whose extension is too long for a row of the extension table.
    qint64 unlistedFiles = 0;
    qint64 unlistedBytes = 0;

    // The space the counted files take on disk (their allocated blocks), beside every table of
    // bytes; a file with several names counted under the first name met. Kept on every run;
    // shown where the run counts space on disk.
    struct SpaceOnDisk {
        SizeBands sizes{};
        std::array<AgeBands, 3> ages{};     // per stamp
        std::array<double, 4> attributes{}; // read-only, hidden, system, archive
        double files = 0;                   // of every counted file
        double unlisted = 0;                // of the files with longer extensions
        double folders = 0;                 // the folders' own, of every folder entered
        qint64 linkedNames = 0;             // names of files already counted under another name
        double linkedBytes = 0;             // the space those names would have added
    };
    SpaceOnDisk onDisk;
    // The on-disk figure of an attribute bit.
    double attributeOnDisk(quint32 bit) const;

private:
    // Every table but the extension rows, and every counter.
    void addFigures(const StatAccumulators &other);
    std::array<const AgeBands *, 2> ageTables(int stamp) const;
    void addOverhang(qint64 size);

    CollectionOptions m_options;
    TypeFilter m_filter;
    QString m_statusPrefix;
    std::function<void(const QString &)> m_statusObserver;
    LinkedFiles *m_links = nullptr;
    qint64 m_today = 0;
};
