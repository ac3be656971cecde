#pragma once

#include "collection/StatAccumulators.h"

#include <QStringList>

// Every table and counter of a run as lines of text, for comparing two runs whole.
inline QStringList statsFigures(const StatAccumulators &stats)
{
    QStringList lines;
    auto add = [&](const char *name, const auto &values) {
        QStringList numbers;
        for (double value : values)
            numbers.append(QString::number(value, 'f', 0));
        lines.append(QLatin1String(name) + u' ' + numbers.join(u','));
    };
    for (const ExtensionRow &row : stats.lbTypes.rows())
        lines.append(row.text() + u'\t' + QString::number(row.allocated));
    add("sizeCount", stats.sizeCount);
    add("sizeBytes", stats.sizeBytes);
    add("accessedAgeCount", stats.accessedAgeCount);
    add("accessedAgeBytes", stats.accessedAgeBytes);
    add("createdAgeCount", stats.createdAgeCount);
    add("createdAgeBytes", stats.createdAgeBytes);
    add("modifiedAgeCount", stats.modifiedAgeCount);
    add("modifiedAgeBytes", stats.modifiedAgeBytes);
    add("modifiedSlots", stats.modifiedSlots);
    add("createdSlots", stats.createdSlots);
    add("accessedSlots", stats.accessedSlots);
    add("attributes", std::array<double, 8>{double(stats.readOnlyCount), stats.readOnlyBytes,
                                            double(stats.hiddenCount), stats.hiddenBytes,
                                            double(stats.systemCount), stats.systemBytes,
                                            double(stats.archiveCount), stats.archiveBytes});
    add("overhang", std::array<double, 5>{stats.overhang4K, stats.overhang8K, stats.overhang16K,
                                          stats.overhang32K, stats.overhang64K});
    add("files", std::array<double, 2>{double(stats.filesProcessed), double(stats.filesFound)});
    add("unlisted",
        std::array<double, 2>{double(stats.unlistedFiles), double(stats.unlistedBytes)});
    const StatAccumulators::SpaceOnDisk &space = stats.onDisk;
    add("onDiskSizes", space.sizes);
    for (const auto &bands : space.ages)
        add("onDiskAges", bands);
    add("onDiskAttributes", space.attributes);
    add("onDisk", std::array<double, 5>{space.files, space.unlisted, space.folders,
                                        double(space.linkedNames), space.linkedBytes});
    return lines;
}
