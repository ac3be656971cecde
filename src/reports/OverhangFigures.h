#pragma once

#include <QString>

#include <array>

class StatAccumulators;

// What the Overhang page and the report show of the cluster-overhang sums: per cluster size
// (4K to 64K) the wasted bytes and their share of the space the files would take, the row of
// the drive's own cluster size, and the texts of the result strip.
struct OverhangFigures {
    static constexpr int rowCount = 5;
    static const std::array<const char *, rowCount> fatSizes;
    static const std::array<const char *, rowCount> fat32Sizes;
    static const std::array<const char *, rowCount> clusterCaptions;

    double totalBytes = 0;
    std::array<double, rowCount> waste{};
    std::array<double, rowCount> percentWasted{};
    int clusterRow = -1; // -1: the drive's cluster size is none of the five
    QString filesText;
    QString totalText;
    QString actualText; // empty when clusterRow is -1

    // No bytes counted: the page is disabled and nothing is shown.
    bool hasFiles() const { return totalBytes > 0; }

    static OverhangFigures compute(const StatAccumulators &stats, qint32 clusterSize);
    static int rowOfClusterSize(qint32 clusterSize);
    // FAT file systems (and an unknown one) have the FAT texts; any other its own.
    static bool isFat(const QString &fileSystem);
    // "Cluster overhang for FAT and FAT32 drives", or "Cluster overhang for ext4 drives".
    static QString title(const QString &fileSystem);
    // The headings of the two columns of FAT partition sizes: as the page always had them on
    // FAT, and on any other file system as what they are there, a comparison with FAT.
    static std::array<QString, 2> fatHeadings(const QString &fileSystem);
};
