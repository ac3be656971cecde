#pragma once

#include "PackedFileDate.h"

// Conversion of file times to local time by the time-zone rules in force on each date (a summer
// file keeps its summer hour in winter). The zone is read once; reload() reads it again after TZ
// changed. Offsets are cached per day, so a walk costs no system call per file and a zone
// look-up only per new day of time stamps.
class LocalTimeZone {
public:
    static void reload();

    // Seconds east of UTC in force at the instant utcSeconds.
    static long offsetAt(qint64 utcSeconds);
    static CivilDateTime toLocal(qint64 utcSeconds);
    // A file time on the local clock; not recorded outside 1980-01-01 to 2107-12-31 local time.
    static LocalFileTime localFileTime(qint64 utcSeconds);
    // The local day number (days since 1970-01-01) of the present moment.
    static qint64 todayDayNumber();
};
