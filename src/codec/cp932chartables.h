#pragma once

#include <array>
#include <cstdint>

// Per-character CP932 tables for loops that convert one character at a time (the RTF writer and
// reader, the byte count of the editor), built once from the CP932 codec.
namespace codec::cp932
{

inline constexpr char16_t kNoChar = 0xFFFF; // a noncharacter: CP932 never decodes to it

struct CharTables {
    // For every BMP code unit that CP932 holds exactly (encoding and decoding again gives the
    // same character): its byte count in bits 0-7 and the bytes in bits 8-15 and 16-23.
    // 0 for everything else, including the C0 and C1 controls and DEL.
    std::array<std::uint32_t, 0x10000> encode;
    // The character of a single byte, kNoChar for lead bytes and bytes that are no character.
    std::array<char16_t, 0x100> single;
    // The character of a lead byte followed by a trail byte (index lead * 256 + trail),
    // kNoChar when the pair is no character.
    std::array<char16_t, 0x10000> pair;
    std::array<bool, 0x100> isLead;
};

// Thread-safe; built on first use.
const CharTables &charTables();

} // namespace codec::cp932
