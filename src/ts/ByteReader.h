#pragma once

#include <cstddef>
#include <cstdint>

// Big-endian reader over a byte range that cannot over-read: a read past the end yields 0 and
// sets a sticky failure flag, so a parser reads its layout straight through and checks Ok() once
// before it trusts what it read.
class ByteReader {
public:
    ByteReader(const uint8_t* begin, size_t size) : cursor(begin), end(begin + size) {}

    bool Ok() const { return ok; }
    bool AtEnd() const { return cursor == end; }
    size_t Remaining() const { return static_cast<size_t>(end - cursor); }
    const uint8_t* Position() const { return cursor; }

    uint8_t U8() {
        if (!Has(1)) return 0;
        return *cursor++;
    }

    uint16_t U16() {
        if (!Has(2)) return 0;
        const uint16_t value = static_cast<uint16_t>((cursor[0] << 8) | cursor[1]);
        cursor += 2;
        return value;
    }

    uint32_t U32() {
        if (!Has(4)) return 0;
        const uint32_t value = static_cast<uint32_t>(cursor[0]) << 24 |
                               static_cast<uint32_t>(cursor[1]) << 16 |
                               static_cast<uint32_t>(cursor[2]) << 8 | cursor[3];
        cursor += 4;
        return value;
    }

    // The next byte without consuming it.
    uint8_t PeekU8() {
        if (!Has(1)) return 0;
        return *cursor;
    }

    void Skip(size_t count) {
        if (Has(count)) cursor += count;
    }

    // The next `count` bytes as a reader of their own; this reader moves past them.
    ByteReader Sub(size_t count) {
        if (!Has(count)) return ByteReader(cursor, 0, false);
        ByteReader sub(cursor, count);
        cursor += count;
        return sub;
    }

private:
    ByteReader(const uint8_t* begin, size_t size, bool state)
        : cursor(begin), end(begin + size), ok(state) {}

    bool Has(size_t count) {
        if (ok && count <= Remaining()) return true;
        ok = false;
        cursor = end;
        return false;
    }

    const uint8_t* cursor;
    const uint8_t* end;
    bool ok = true;
};
