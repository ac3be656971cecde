#include "OverhangFigures.h"

#include "collection/StatAccumulators.h"
#include "common/Utility.h"

#include <QStringList>

const std::array<const char *, OverhangFigures::rowCount> OverhangFigures::fatSizes{
    "255 MB", "256 MB - 511 MB", "512 MB - 1023 MB", "1 GB - 2 GB", "2 GB - 4 GB"};
const std::array<const char *, OverhangFigures::rowCount> OverhangFigures::fat32Sizes{
    "Less than 8GB", "Less than 16GB", "Less than 32GB", "32GB or more", ""};
const std::array<const char *, OverhangFigures::rowCount> OverhangFigures::clusterCaptions{
    "4K", "8K", "16K", "32K", "64K"};

int OverhangFigures::rowOfClusterSize(qint32 clusterSize)
{
    for (int row = 0; row < rowCount; ++row)
        if (StatAccumulators::clusterSizes[size_t(row)] == clusterSize)
            return row;
    return -1;
}

OverhangFigures OverhangFigures::compute(const StatAccumulators &stats, qint32 clusterSize)
{
    OverhangFigures figures;
    for (int band = 1; band <= 12; ++band)
        figures.totalBytes += stats.sizeBytes[size_t(band)];
    if (!figures.hasFiles())
        return figures;
    figures.waste = stats.overhangSums();
    for (int row = 0; row < rowCount; ++row)
        figures.percentWasted[size_t(row)] =
            100 * figures.waste[size_t(row)] / (figures.totalBytes + figures.waste[size_t(row)]);
    figures.clusterRow = rowOfClusterSize(clusterSize);

    // The unit follows the files' own total, also for the space they really take.
    const bool kilobytes = figures.totalBytes < 1048576;
    auto scaled = [kilobytes](double bytes) {
        return kilobytes ? floatToGrouped(bytes / 1024) + QStringLiteral(" KB")
                         : floatToGrouped(bytes / 1048576) + QStringLiteral(" MB");
    };
    figures.filesText =
        QStringLiteral("Number of files scanned: ") + intToGrouped(stats.filesFound);
    figures.totalText = QStringLiteral("Total file sizes: ") + scaled(figures.totalBytes);
    if (figures.clusterRow >= 0)
        figures.actualText = QStringLiteral("Actual space used ") +
                             scaled(figures.totalBytes + figures.waste[size_t(figures.clusterRow)]);
    return figures;
}

bool OverhangFigures::isFat(const QString &fileSystem)
{
    static const QStringList fat{QStringLiteral("vfat"), QStringLiteral("msdos"),
                                 QStringLiteral("fat"), QStringLiteral("umsdos")};
    return fileSystem.isEmpty() || fat.contains(fileSystem.toLower());
}

std::array<QString, 2> OverhangFigures::fatHeadings(const QString &fileSystem)
{
    if (isFat(fileSystem))
        return {QStringLiteral("FAT Partion size"), QStringLiteral("FAT 32 Size")};
    return {QStringLiteral("If FAT, partition"), QStringLiteral("If FAT32, partition")};
}

QString OverhangFigures::title(const QString &fileSystem)
{
    if (isFat(fileSystem))
        return QStringLiteral("Cluster overhang for FAT and FAT32 drives");
    return QStringLiteral("Cluster overhang for ") + fileSystem + QStringLiteral(" drives");
}
