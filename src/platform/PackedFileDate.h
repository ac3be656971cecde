#pragma once

#include <QtGlobal>

#include <optional>

// A local date and time in the DOS file-date layout: the date in the high 16 bits (bits 15-9
// year - 1980, 8-5 month, 4-0 day), the time in the low 16 bits (bits 15-11 hour, 10-5 minute,
// 4-0 second / 2). 0 means that no date is recorded.
using PackedFileDate = quint32;

struct CivilDateTime {
    int year = 1980;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;

    // Days since 1970-01-01 of the date part, by the proleptic Gregorian calendar.
    qint64 dayNumber() const;
    static CivilDateTime fromDayNumber(qint64 days);
    static CivilDateTime fromSecondsSinceEpoch(qint64 seconds);
};

// 0 for a date before 1980-01-01 or after 2107-12-31; seconds are halved, rounding down.
PackedFileDate packFileDate(const CivilDateTime &dateTime);

// The fields of a packed date, or nothing when they do not form a real date and time
// (month 0 or 13, 30 February, hour 24, a seconds field above 29, ...). 0 unpacks to nothing.
std::optional<CivilDateTime> unpackFileDate(PackedFileDate date);
