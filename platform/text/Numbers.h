// Number parsing and formatting without locales, the user's separators for display strings, and
// the checked real-to-integer conversions every module uses.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace platform::text {

// A value that does not fit where it has to go (a real too large for an integer, an integer
// overflow, a value too wide for its field). Raised, never wrapped; the command layer reports it.
class RangeError : public std::range_error {
public:
    explicit RangeError(const std::string& what) : std::range_error(what) {}
};

// Text that should hold a number and does not (a header value of a file, for instance).
class ConversionError : public std::invalid_argument {
public:
    explicit ConversionError(const std::string& what) : std::invalid_argument(what) {}
};

// ---- Rounding ---------------------------------------------------------------------------------

// Nearest integer, halves to the even neighbour. Throws RangeError for NaN, infinities and values
// outside int64.
std::int64_t roundHalfEven(double value);

// Toward zero. Throws RangeError like roundHalfEven.
std::int64_t truncateTowardZero(double value);

// Checked narrowing of an integer to T; throws RangeError when it does not fit.
template <typename T>
T checkedCast(std::int64_t value) {
    if (value < static_cast<std::int64_t>(std::numeric_limits<T>::min()) ||
        value > static_cast<std::int64_t>(std::numeric_limits<T>::max())) {
        throw RangeError("Range check error");
    }
    return static_cast<T>(value);
}

template <typename T>
T roundTo(double value) {
    return checkedCast<T>(roundHalfEven(value));
}

template <typename T>
T truncTo(double value) {
    return checkedCast<T>(truncateTowardZero(value));
}

// ---- Parsing ----------------------------------------------------------------------------------

// Leading and trailing blanks (space, tab) removed.
std::string_view trimBlanks(std::string_view s);

// A whole decimal integer with an optional sign; blanks around it are allowed. Nothing else may
// follow. Returns nullopt for empty, malformed or out-of-range text.
std::optional<std::int64_t> parseInteger(std::string_view s);

// parseInteger with a fallback for anything it refuses.
std::int64_t parseIntegerOr(std::string_view s, std::int64_t fallback);

// A real number written with `decimalSeparator` (and optionally an exponent); blanks around it
// are allowed. Returns nullopt for malformed or non-finite text.
std::optional<double> parseReal(std::string_view s, char decimalSeparator = '.');

double parseRealOr(std::string_view s, double fallback, char decimalSeparator = '.');

// ---- The user's separators ---------------------------------------------------------------------

struct FormatSettings {
    char decimalSeparator = '.';
    char thousandSeparator = ',';
};

// The separators display strings use. Starts as '.' and ','; the program loads the user's own
// at start-up, tests set them explicitly.
const FormatSettings& formatSettings();
void setFormatSettings(const FormatSettings& settings);

// Reads the separators of the user's locale (LC_NUMERIC of the environment) without changing the
// process locale. Multi-byte separators fall back to the defaults.
FormatSettings userFormatSettings();

// ---- Formatting -------------------------------------------------------------------------------

std::string formatInteger(std::int64_t value);

// Fixed-point text with `decimals` digits after the separator and at most `precision` significant
// digits (further digits are written as zeros); values too large for `precision` digits come out
// in scientific notation. Halves follow the exact binary value. `separator` is the decimal mark.
std::string formatFixed(double value, int decimals, char separator, int precision = 15);

// Removes every thousand separator of the current settings (for text typed by the user).
std::string stripThousandSeparators(std::string_view s);

} // namespace platform::text
