#include "LocalTimeZone.h"

#include <array>
#include <atomic>
#include <ctime>
#include <memory>

namespace {

// One UTC day per window; 4096 windows hold eleven years of time stamps without a collision.
constexpr qint64 windowSeconds = 86400;
constexpr size_t cacheSize = 4096;

std::atomic<unsigned> zoneGeneration{1};

long zoneOffsetUncached(qint64 utcSeconds)
{
    const time_t t = static_cast<time_t>(utcSeconds);
    tm local{};
    if (!localtime_r(&t, &local))
        return 0;
    return local.tm_gmtoff;
}

struct OffsetWindow {
    qint64 window = 0;
    unsigned generation = 0; // 0: empty slot
    bool uniform = false;    // no zone change inside the window
    long offset = 0;
};

using OffsetCache = std::array<OffsetWindow, cacheSize>;

// Per thread, so that a conversion never waits for another thread's; made on first use, so
// threads that convert nothing carry none.
OffsetCache &offsetCache()
{
    thread_local std::unique_ptr<OffsetCache> cache = std::make_unique<OffsetCache>();
    return *cache;
}

qint64 floorWindow(qint64 seconds)
{
    const qint64 w = seconds / windowSeconds;
    return w * windowSeconds > seconds ? w - 1 : w;
}

} // namespace

void LocalTimeZone::reload()
{
    tzset();
    zoneGeneration.fetch_add(1);
}

long LocalTimeZone::offsetAt(qint64 utcSeconds)
{
    static const bool zoneRead = (tzset(), true);
    Q_UNUSED(zoneRead);
    const qint64 window = floorWindow(utcSeconds);
    OffsetWindow &slot = offsetCache()[static_cast<size_t>(window) % cacheSize];
    const unsigned generation = zoneGeneration.load(std::memory_order_relaxed);
    if (slot.generation != generation || slot.window != window) {
        const qint64 start = window * windowSeconds;
        slot.window = window;
        slot.generation = generation;
        slot.offset = zoneOffsetUncached(start);
        // Zone changes are months apart, so equal offsets at both ends of a day mean none
        // happens inside it; the few days that hold one are never served from the cache.
        slot.uniform = zoneOffsetUncached(start + windowSeconds - 1) == slot.offset;
    }
    return slot.uniform ? slot.offset : zoneOffsetUncached(utcSeconds);
}

CivilDateTime LocalTimeZone::toLocal(qint64 utcSeconds)
{
    return CivilDateTime::fromSecondsSinceEpoch(utcSeconds + offsetAt(utcSeconds));
}

LocalFileTime LocalTimeZone::localFileTime(qint64 utcSeconds)
{
    // Well outside the recorded years whatever the zone; also keeps the arithmetic in range.
    constexpr qint64 earliest = 315532800 - 2 * 86400; // 1979-12-30 UTC
    constexpr qint64 latest = 4354819200 + 2 * 86400;  // 2108-01-03 UTC
    if (utcSeconds < earliest || utcSeconds > latest)
        return {};
    return LocalFileTime::fromLocalSeconds(utcSeconds + offsetAt(utcSeconds));
}

qint64 LocalTimeZone::todayDayNumber()
{
    return toLocal(static_cast<qint64>(std::time(nullptr))).dayNumber();
}
