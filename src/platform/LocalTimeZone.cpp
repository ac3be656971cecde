#include "LocalTimeZone.h"

#include <array>
#include <atomic>
#include <ctime>
#include <limits>
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

constexpr qint32 emptyWindow = std::numeric_limits<qint32>::min();
constexpr qint32 nonUniform = std::numeric_limits<qint32>::min();

// A day's offset in 8 bytes: the cache takes 32 KB, about what a core keeps nearest.
struct OffsetWindow {
    qint32 window = emptyWindow;
    qint32 offset = 0; // nonUniform: the zone changes inside that day
};
struct OffsetCache {
    unsigned generation = 0; // of the zone its offsets were read under
    std::array<OffsetWindow, cacheSize> windows{};
};

// Per thread, so that a conversion never waits for another thread's; made on first use, so
// threads that convert nothing carry none. The plain pointer costs no guard on each call; its
// owner frees the cache when the thread ends.
OffsetCache &offsetCache()
{
    thread_local OffsetCache *cache = nullptr;
    if (!cache) [[unlikely]] {
        thread_local const std::unique_ptr<OffsetCache> owner = std::make_unique<OffsetCache>();
        cache = owner.get();
    }
    return *cache;
}

qint64 floorWindow(qint64 seconds)
{
    const qint64 w = seconds / windowSeconds;
    return w * windowSeconds > seconds ? w - 1 : w;
}

// The offset at utcSeconds where the cache has none: read from the zone (read first on the
// first call), and kept for its day when that day can be kept.
[[gnu::noinline]] long offsetMissed(qint64 utcSeconds)
{
    static const bool zoneRead = (tzset(), true);
    Q_UNUSED(zoneRead);
    const qint64 window = floorWindow(utcSeconds);
    if (window <= emptyWindow || window > std::numeric_limits<qint32>::max())
        return zoneOffsetUncached(utcSeconds); // no file time the walk records
    OffsetCache &cache = offsetCache();
    const unsigned generation = zoneGeneration.load(std::memory_order_relaxed);
    if (cache.generation != generation) {
        cache.windows.fill(OffsetWindow{});
        cache.generation = generation;
    }
    OffsetWindow &slot = cache.windows[static_cast<size_t>(window) % cacheSize];
    if (slot.window != window) {
        const qint64 start = window * windowSeconds;
        const long offset = zoneOffsetUncached(start);
        slot.window = qint32(window);
        // Zone changes are months apart, so equal offsets at both ends of a day mean none
        // happens inside it; the few days that hold one are never served from the cache.
        slot.offset =
            zoneOffsetUncached(start + windowSeconds - 1) == offset ? qint32(offset) : nonUniform;
    }
    return slot.offset != nonUniform ? slot.offset : zoneOffsetUncached(utcSeconds);
}

// The offset at utcSeconds: one look-up while its day is kept and the zone is the one it was
// kept under. Asked three times a file, so the look-up is made where it is asked.
inline long cachedOffset(qint64 utcSeconds)
{
    const qint64 window = floorWindow(utcSeconds);
    const OffsetCache &cache = offsetCache();
    const OffsetWindow &slot = cache.windows[static_cast<size_t>(window) % cacheSize];
    if (window > emptyWindow && slot.window == window && slot.offset != nonUniform &&
        cache.generation == zoneGeneration.load(std::memory_order_relaxed)) [[likely]]
        return slot.offset;
    return offsetMissed(utcSeconds);
}

} // namespace

void LocalTimeZone::reload()
{
    tzset();
    zoneGeneration.fetch_add(1);
}

long LocalTimeZone::offsetAt(qint64 utcSeconds)
{
    return cachedOffset(utcSeconds);
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
    return LocalFileTime::fromLocalSeconds(utcSeconds + cachedOffset(utcSeconds));
}

qint64 LocalTimeZone::todayDayNumber()
{
    return toLocal(static_cast<qint64>(std::time(nullptr))).dayNumber();
}
