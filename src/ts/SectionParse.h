#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <type_traits>
#include <vector>

// Assembles long-form PSI/SI sections (ISO/IEC 13818-1) from the 188-byte packets of one PID,
// checks length, current_next_indicator and CRC_32, and hands each good section to the derived
// table's Parse. Sections may be packed: one can start right after the previous one ends, in the
// same packet, and each is parsed in stream order; 0xFF where a section would begin is stuffing
// and ends the packet's sections. The caller filters by PID.
//
// Packets as multiplexers send them: the payload starts after an adaptation field; a packet
// without payload carries nothing; a packet repeated with the same continuity counter and bytes
// is taken once; a gap in the counter, a repeat with other bytes or transport_error_indicator
// drops the section being assembled, and nothing else.
class SectionParse {
public:
    // Longest possible section: a 12-bit section_length plus the three bytes before it.
    static constexpr size_t kMaxSectionSize = 0x0FFF + 3;

protected:
    // The longest section_length the derived table allows (ISO/IEC 13818-1 gives PSI 1021,
    // ISO/IEC 13818-6 and ARIB's SI 4093). A longer one is dropped as soon as its header is in,
    // together with the rest of its packet, where no section can be found after it.
    size_t maxSectionLength = 0x0FFF;

    // Whether this parser handles the table whose table_id starts `buffer`.
    virtual bool IsTargetTable(uint8_t tableId) const = 0;
    // Parses the complete, checked section at the start of `buffer` and empties `buffer`. The
    // derived results then describe this section alone.
    virtual void Parse() = 0;
    // Whether `buffer` starts with a complete, valid section of this parser.
    virtual bool IsSectionComplete() const;

public:
    virtual ~SectionParse() = 0;
    // Takes one packet: `begin` is its sync byte, `end` one past its last byte (begin + 188).
    virtual void PushPacket(const uint8_t* begin, const uint8_t* end);
    // The same, calling onSection() right after each section parsed from this packet, while the
    // derived results still hold that section's; a packet can complete several sections.
    template <typename OnSection>
    void PushPacket(const uint8_t* begin, const uint8_t* end, OnSection&& onSection) {
        using Callable = std::remove_reference_t<OnSection>;
        const SectionHandler handler{
            [](const void* callable) { (*static_cast<Callable*>(const_cast<void*>(callable)))(); },
            std::addressof(onSection)};
        const HandlerScope scope(*this, handler);
        PushPacket(begin, end);
    }
    // Drops everything assembled.
    virtual void Reset();

    // The section being assembled, from its table_id on; empty between sections. It never holds
    // more than that section's own bytes (kMaxSectionSize at most); a section that fails its
    // checks is dropped as soon as all its bytes are in.
    std::vector<uint8_t> buffer;

protected:
    // section_length + 3 of the section in `buffer`; 0 while fewer than 3 bytes are in.
    size_t SectionSize() const;

private:
    struct SectionHandler {
        void (*call)(const void* callable) = nullptr;
        const void* callable = nullptr;
    };
    // Restores the previous handler however the push ends.
    class HandlerScope {
    public:
        HandlerScope(SectionParse& owner, SectionHandler handler)
            : parser(owner), previous(owner.sectionHandler) {
            parser.sectionHandler = handler;
        }
        ~HandlerScope() { parser.sectionHandler = previous; }
        HandlerScope(const HandlerScope&) = delete;
        HandlerScope& operator=(const HandlerScope&) = delete;

    private:
        SectionParse& parser;
        SectionHandler previous;
    };

    // Takes the sections that start at `first`, one after another, up to `last`.
    void TakeSections(const uint8_t* first, const uint8_t* last);
    // Parses the section in `buffer` if it passes its checks, tells the handler, and empties
    // `buffer` either way.
    void Finish();
    // Appends what the section in progress can use; returns the first byte not taken.
    const uint8_t* Append(const uint8_t* first, const uint8_t* last);

    enum class Continuity { Continues, Repeat, Broken };
    // How the packet follows the one before (Broken drops the section in progress); remembers it
    // for the next call.
    Continuity Intake(const uint8_t* begin, const uint8_t* end);
    // Payload of the packet, past any adaptation field; null when it has none.
    static const uint8_t* Payload(const uint8_t* begin, const uint8_t* end);

    SectionHandler sectionHandler;
    // The last packet taken (its header and payload), to tell a repeat and a counter gap.
    std::array<uint8_t, 188> lastPacket{};
    bool counterKnown = false;
};
