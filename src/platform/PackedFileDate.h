#pragma once

#include <QtGlobal>

#include <limits>
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

// A file time read on the local wall clock: seconds since 1970-01-01 00:00 local time. The age
// bands and half-hour slots are counted from it directly; it is packed only for the pages and
// lists that show a date. Only the years the packed layout holds (1980 through 2107) are
// recorded; any other time, and one the file system does not keep, is not.
class LocalFileTime {
public:
    LocalFileTime() = default;
    // Not recorded outside 1980-01-01 00:00:00 to 2107-12-31 23:59:59.
    static LocalFileTime fromLocalSeconds(qint64 seconds);
    // 0 is not recorded; fields that form no real date stand for 1980-01-01 00:00, as the
    // packed layout's earliest moment.
    static LocalFileTime fromPacked(PackedFileDate date);

    bool isRecorded() const { return m_seconds != notRecorded; }
    // Days since 1970-01-01 and the second of that day; only for a recorded time.
    qint64 dayNumber() const { return m_seconds / 86400; }
    int secondOfDay() const { return int(m_seconds % 86400); }
    // 0 when not recorded.
    PackedFileDate packed() const;

    bool operator==(const LocalFileTime &) const = default;

private:
    static constexpr qint64 notRecorded = std::numeric_limits<qint64>::min();
    qint64 m_seconds = notRecorded;
};
