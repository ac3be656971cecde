#include "PackedFileDate.h"

namespace {

// Whole-number floor division, for the day arithmetic of dates before 1970.
qint64 floorDiv(qint64 a, qint64 b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month)
{
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

} // namespace

// Civil-date arithmetic on 400-year eras (Howard Hinnant's days_from_civil / civil_from_days).
qint64 CivilDateTime::dayNumber() const
{
    const qint64 y = year - (month <= 2);
    const qint64 era = floorDiv(y, 400);
    const qint64 yearOfEra = y - era * 400;
    const qint64 dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const qint64 dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

CivilDateTime CivilDateTime::fromDayNumber(qint64 days)
{
    days += 719468;
    const qint64 era = floorDiv(days, 146097);
    const qint64 dayOfEra = days - era * 146097;
    const qint64 yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const qint64 dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const qint64 monthIndex = (5 * dayOfYear + 2) / 153;
    CivilDateTime result;
    result.day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    result.month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    result.year = static_cast<int>(yearOfEra + era * 400 + (result.month <= 2));
    return result;
}

CivilDateTime CivilDateTime::fromSecondsSinceEpoch(qint64 seconds)
{
    const qint64 days = floorDiv(seconds, 86400);
    const qint64 secondOfDay = seconds - days * 86400;
    CivilDateTime result = fromDayNumber(days);
    result.hour = static_cast<int>(secondOfDay / 3600);
    result.minute = static_cast<int>(secondOfDay / 60 % 60);
    result.second = static_cast<int>(secondOfDay % 60);
    return result;
}

PackedFileDate packFileDate(const CivilDateTime &t)
{
    if (t.year < 1980 || t.year > 2107)
        return 0;
    const quint32 date = quint32(t.year - 1980) << 9 | quint32(t.month) << 5 | quint32(t.day);
    const quint32 time = quint32(t.hour) << 11 | quint32(t.minute) << 5 | quint32(t.second / 2);
    return date << 16 | time;
}

std::optional<CivilDateTime> unpackFileDate(PackedFileDate packed)
{
    if (packed == 0)
        return std::nullopt;
    const quint32 date = packed >> 16;
    const quint32 time = packed & 0xFFFF;
    CivilDateTime t;
    t.year = static_cast<int>(date >> 9) + 1980;
    t.month = static_cast<int>(date >> 5 & 0xF);
    t.day = static_cast<int>(date & 0x1F);
    t.hour = static_cast<int>(time >> 11);
    t.minute = static_cast<int>(time >> 5 & 0x3F);
    t.second = static_cast<int>(time & 0x1F) * 2;
    if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > daysInMonth(t.year, t.month) ||
        t.hour > 23 || t.minute > 59 || t.second > 59)
        return std::nullopt;
    return t;
}

LocalFileTime LocalFileTime::fromLocalSeconds(qint64 seconds)
{
    constexpr qint64 first = 315532800; // 1980-01-01 00:00:00
    constexpr qint64 end = 4354819200;  // 2108-01-01 00:00:00
    LocalFileTime time;
    if (seconds >= first && seconds < end)
        time.m_seconds = seconds;
    return time;
}

LocalFileTime LocalFileTime::fromPacked(PackedFileDate date)
{
    if (date == 0)
        return {};
    const CivilDateTime t = unpackFileDate(date).value_or(CivilDateTime{});
    return fromLocalSeconds(t.dayNumber() * 86400 + t.hour * 3600 + t.minute * 60 + t.second);
}

PackedFileDate LocalFileTime::packed() const
{
    return isRecorded() ? packFileDate(CivilDateTime::fromSecondsSinceEpoch(m_seconds)) : 0;
}
