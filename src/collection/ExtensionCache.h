#pragma once

#include <QByteArrayView>

#include <array>
#include <cstring>

// What a table found for an extension, found again for the same bytes without upper-casing,
// counting characters or hashing a string: extensions of up to eight bytes, as the file system
// gives them, are packed into a number and looked up in 256 slots, one multiplication away. A
// slot holds the extension met last of those that share it; longer extensions are never kept.
// The owner clears the cache whenever what it found may no longer hold.
template <typename Value> class ExtensionCache {
public:
    bool find(QByteArrayView ext, Value &value) const
    {
        quint64 key = 0;
        if (!pack(ext, key))
            return false;
        const Slot &slot = m_slots[slotOf(key, ext.size())];
        if (!slot.used || slot.key != key || slot.length != ext.size())
            return false;
        value = slot.value;
        return true;
    }

    void put(QByteArrayView ext, const Value &value)
    {
        quint64 key = 0;
        if (pack(ext, key))
            m_slots[slotOf(key, ext.size())] = Slot{key, quint8(ext.size()), true, value};
    }

    void clear() { m_slots = {}; }

private:
    struct Slot {
        quint64 key = 0;
        quint8 length = 0; // the key's bytes: a NUL byte is a byte like any other
        bool used = false;
        Value value{};
    };

    static bool pack(QByteArrayView ext, quint64 &key)
    {
        if (ext.size() > qsizetype(sizeof key))
            return false;
        if (!ext.isEmpty())
            std::memcpy(&key, ext.data(), size_t(ext.size()));
        return true;
    }
    static size_t slotOf(quint64 key, qsizetype length)
    {
        return size_t(((key ^ quint64(length)) * 0x9E3779B97F4A7C15ULL) >> 56);
    }

    std::array<Slot, 256> m_slots{};
};
