// The instrument's own character set: the 86 characters it can show in a configuration name, with
// their instrument codes, and the case table the name editor uses to keep typed text inside it.
#pragma once

#include <array>
#include <cstdint>
#include <string>

struct TCharMapEntry {
    std::uint8_t code;       // the instrument's code
    unsigned char character; // the Windows-1251 character
};

struct TCaseMapEntry {
    unsigned char lower;
    unsigned char upper;
};

extern const std::array<TCharMapEntry, 86> CharMapTable;
extern const std::array<TCaseMapEntry, 54> CaseMapTable;

// The character of an instrument code; a space for a code the instrument does not have.
std::string InstrCodeToChar(std::uint8_t code);

// The instrument code of the text's first character; 32 (space) for a character outside the set
// and for an empty text.
std::uint8_t CharToInstrCode(const std::string& text);

// The upper-case partner of a character from the case table; other characters are returned as
// they are (d, i, m, n and s stay lower-case: the instrument has them).
unsigned char CaseMapChar(unsigned char c);
