#include "config/CharMappingUnit.h"

namespace {

constexpr std::array<TCharMapEntry, 86> buildCharMap() {
    std::array<TCharMapEntry, 86> t{};
    size_t i = 0;
    for (int d = 0; d < 10; ++d) {
        t[i++] = {static_cast<std::uint8_t>('0' + d), static_cast<unsigned char>('0' + d)};
    }
    t[i++] = {46, '.'};
    t[i++] = {44, ','};
    t[i++] = {35, '#'};
    t[i++] = {42, 176}; // degree sign
    t[i++] = {32, ' '};
    for (int c = 0; c < 26; ++c) {
        // The instrument's Latin capitals sit at the lower-case codes.
        t[i++] = {static_cast<std::uint8_t>(97 + c), static_cast<unsigned char>(65 + c)};
    }
    t[i++] = {45, '-'};
    t[i++] = {43, '+'};
    t[i++] = {37, '%'};
    t[i++] = {58, ':'};
    t[i++] = {36, '*'};
    for (int c = 0; c < 32; ++c) {
        // So do its Cyrillic capitals.
        t[i++] = {static_cast<std::uint8_t>(224 + c), static_cast<unsigned char>(192 + c)};
    }
    t[i++] = {126, '\\'};
    t[i++] = {68, 'd'};
    t[i++] = {77, 'm'};
    t[i++] = {85, 181}; // micro sign
    t[i++] = {83, 's'};
    t[i++] = {73, 'i'};
    t[i++] = {78, 'n'};
    t[i++] = {95, '>'};
    return t;
}

constexpr std::array<TCaseMapEntry, 54> buildCaseMap() {
    std::array<TCaseMapEntry, 54> t{};
    size_t i = 0;
    for (char c = 'a'; c <= 'z'; ++c) {
        if (c == 'd' || c == 'i' || c == 'm' || c == 'n' || c == 's') {
            continue;
        }
        t[i++] = {static_cast<unsigned char>(c), static_cast<unsigned char>(c - 'a' + 'A')};
    }
    for (int c = 0; c < 32; ++c) {
        t[i++] = {static_cast<unsigned char>(224 + c), static_cast<unsigned char>(192 + c)};
    }
    t[i++] = {184, 197}; // small io to capital ie
    return t;
}

} // namespace

const std::array<TCharMapEntry, 86> CharMapTable = buildCharMap();
const std::array<TCaseMapEntry, 54> CaseMapTable = buildCaseMap();

std::string InstrCodeToChar(std::uint8_t code) {
    char result = ' ';
    for (const auto& e : CharMapTable) {
        if (e.code == code) {
            result = static_cast<char>(e.character);
        }
    }
    return std::string(1, result);
}

std::uint8_t CharToInstrCode(const std::string& text) {
    std::uint8_t result = 32;
    if (text.empty()) {
        return result;
    }
    const auto c = static_cast<unsigned char>(text[0]);
    for (const auto& e : CharMapTable) {
        if (e.character == c) {
            result = e.code;
        }
    }
    return result;
}

unsigned char CaseMapChar(unsigned char c) {
    for (const auto& e : CaseMapTable) {
        if (e.lower == c) {
            return e.upper;
        }
    }
    return c;
}
