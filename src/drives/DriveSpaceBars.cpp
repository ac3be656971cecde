#include "DriveSpaceBars.h"

#include "DriveServices.h"
#include "common/NumberPattern.h"

namespace {

constexpr double gigabyte = 1073741824.0;

} // namespace

DriveSpaceBars measureDriveBars(const QStringList &rows, bool withTotal)
{
    DriveSpaceBars result;
    double lastFree = 0;
    for (const QString &row : rows) {
        if (row.isEmpty() || !isDriveReady(row[0]))
            continue;
        const DiskSpace space = getDiskSpace(row[0]);
        if (space.totalBytes < 0)
            continue;
        ++result.drivesShown;
        result.freeBytes += space.freeBytes;
        result.totalBytes += space.totalBytes;
        const double free = space.freeBytes / gigabyte;
        const double total = space.totalBytes / gigabyte;
        result.bars.append({QString(row[0]), total - free, free});
        lastFree = free;
    }
    const double freeSum = result.freeBytes / gigabyte;
    const double totalSum = result.totalBytes / gigabyte;
    if (withTotal && freeSum != lastFree)
        result.bars.append({QStringLiteral("Total"), totalSum - freeSum, freeSum});
    return result;
}

QString percentFree(double freeBytes, double totalBytes)
{
    if (totalBytes <= 0)
        return QStringLiteral("0.0");
    // Two decimals, rounded, and then the last one cut off, as the titles always showed it.
    QString text = formatFloat(QStringLiteral("#,##0.00"), freeBytes * 100 / totalBytes);
    text.chop(1);
    return text;
}
