#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Assembles long-form PSI/SI sections (ISO/IEC 13818-1) from the 188-byte packets of one PID,
// checks length, current_next_indicator and CRC_32, and hands each good section to the derived
// table's Parse. The caller filters by PID.
class SectionParse {
public:
    // Longest possible section: a 12-bit section_length plus the three bytes before it.
    static constexpr size_t kMaxSectionSize = 0x0FFF + 3;

protected:
    // Whether this parser handles the table whose table_id starts `buffer`.
    virtual bool IsTargetTable(uint8_t tableId) const = 0;
    // Parses the complete, checked section at the start of `buffer` and empties `buffer`.
    virtual void Parse() = 0;
    // Whether `buffer` starts with a complete, valid section of this parser.
    virtual bool IsSectionComplete() const;

public:
    virtual ~SectionParse() = 0;
    // Takes one packet: `begin` is its sync byte, `end` one past its last byte (begin + 188).
    virtual void PushPacket(const uint8_t* begin, const uint8_t* end);
    // Drops everything assembled.
    virtual void Reset();

    // The section being assembled, from its table_id on; empty between sections. It never holds
    // more than that section's own bytes (kMaxSectionSize at most), so a section that fails its
    // checks cannot make it grow until the next payload-unit start.
    std::vector<uint8_t> buffer;

protected:
    // section_length + 3 of the section in `buffer`; 0 while fewer than 3 bytes are in.
    size_t SectionSize() const;

private:
    // Appends what the section in progress can use; whether any byte was added.
    bool Append(const uint8_t* first, const uint8_t* last);
};
