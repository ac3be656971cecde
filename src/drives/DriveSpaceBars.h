#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Used and free space of drives as the drive charts stack them, in GB (2^30 bytes).
struct DriveBar {
    QString label; // the drive letter, or "Total"
    double usedGigabytes = 0;
    double freeGigabytes = 0;
};

struct DriveSpaceBars {
    QList<DriveBar> bars;
    int drivesShown = 0;
    double freeBytes = 0;
    double totalBytes = 0;
};

// Measures the ready drives of rows (each row's first character is its letter), one bar each.
// With withTotal, a last bar "Total" of all of them follows when the free space of all differs
// from that of the last drive measured: so not for a single drive, nor when every drive but
// the last has no free space.
DriveSpaceBars measureDriveBars(const QStringList &rows, bool withTotal);

// The free share of a drive as the pies title it: the percentage with two decimals, the last
// one dropped (45.678 gives "45.6"); "0.0" for a drive of no capacity.
QString percentFree(double freeBytes, double totalBytes);
