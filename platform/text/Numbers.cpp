#include "platform/text/Numbers.h"

#include <cfenv>
#include <charconv>
#include <clocale>
#include <cstring>
#include <langinfo.h>
#include <locale.h>

namespace platform::text {

namespace {

// 2^63 as a double: the first value that no longer fits into int64.
constexpr double kTwo63 = 9223372036854775808.0;

void checkConvertible(double value) {
    if (!std::isfinite(value) || value >= kTwo63 || value < -kTwo63) {
        throw RangeError("Range check error");
    }
}

FormatSettings& settingsStorage() {
    static FormatSettings settings;
    return settings;
}

} // namespace

std::int64_t roundHalfEven(double value) {
    checkConvertible(value);
    // nearbyint follows the current rounding mode, which the program never changes from
    // round-to-nearest-even.
    const double r = std::nearbyint(value);
    checkConvertible(r);
    return static_cast<std::int64_t>(r);
}

std::int64_t truncateTowardZero(double value) {
    checkConvertible(value);
    return static_cast<std::int64_t>(std::trunc(value));
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    return s;
}

std::optional<std::int64_t> parseInteger(std::string_view s) {
    s = trimBlanks(s);
    if (!s.empty() && s.front() == '+') {
        s.remove_prefix(1);
        if (!s.empty() && s.front() == '-') {
            return std::nullopt;
        }
    }
    if (s.empty()) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    const auto* end = s.data() + s.size();
    const auto [ptr, ec] = std::from_chars(s.data(), end, value);
    if (ec != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return value;
}

std::int64_t parseIntegerOr(std::string_view s, std::int64_t fallback) {
    return parseInteger(s).value_or(fallback);
}

std::optional<double> parseReal(std::string_view s, char decimalSeparator) {
    s = trimBlanks(s);
    if (!s.empty() && s.front() == '+') {
        s.remove_prefix(1);
    }
    if (s.empty() || s.size() > 256) {
        return std::nullopt;
    }
    // from_chars knows only '.', so the user's separator is swapped in a small copy; a '.' in text
    // that uses another separator is not a number.
    char buffer[257];
    size_t n = 0;
    for (char c : s) {
        if (c == decimalSeparator) {
            c = '.';
        } else if (c == '.' && decimalSeparator != '.') {
            return std::nullopt;
        }
        // from_chars would also accept "inf", "nan" and hexadecimal floats; a file never holds them.
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' ||
              c == 'E')) {
            return std::nullopt;
        }
        buffer[n++] = c;
    }
    double value = 0;
    const auto [ptr, ec] = std::from_chars(buffer, buffer + n, value);
    if (ec != std::errc() || ptr != buffer + n || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

double parseRealOr(std::string_view s, double fallback, char decimalSeparator) {
    return parseReal(s, decimalSeparator).value_or(fallback);
}

const FormatSettings& formatSettings() {
    return settingsStorage();
}

void setFormatSettings(const FormatSettings& settings) {
    settingsStorage() = settings;
}

FormatSettings userFormatSettings() {
    FormatSettings result;
    locale_t loc = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    if (loc == static_cast<locale_t>(nullptr)) {
        return result;
    }
    const char* dec = nl_langinfo_l(RADIXCHAR, loc);
    const char* thou = nl_langinfo_l(THOUSEP, loc);
    if (dec && std::strlen(dec) == 1) {
        result.decimalSeparator = dec[0];
    }
    if (thou && std::strlen(thou) == 1) {
        result.thousandSeparator = thou[0];
    }
    freelocale(loc);
    if (result.thousandSeparator == result.decimalSeparator) {
        result.thousandSeparator = result.decimalSeparator == ',' ? '.' : ',';
    }
    return result;
}

std::string formatInteger(std::int64_t value) {
    char buffer[32];
    const auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    (void)ec;
    return std::string(buffer, ptr);
}

std::string formatFixed(double value, int decimals, char separator, int precision) {
    if (std::isnan(value)) {
        return "NAN";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-INF" : "INF";
    }
    if (decimals < 0) {
        decimals = 0;
    }
    if (decimals > 18) {
        decimals = 18;
    }
    if (precision < 1) {
        precision = 1;
    }
    char buffer[400];
    const double magnitude = std::fabs(value);
    int intDigits = 0;
    if (magnitude >= 1.0) {
        intDigits = static_cast<int>(std::floor(std::log10(magnitude))) + 1;
    }
    if (intDigits > precision) {
        const auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value,
                                             std::chars_format::scientific, precision - 1);
        (void)ec;
        std::string out(buffer, ptr);
        for (char& c : out) {
            if (c == '.') {
                c = separator;
            }
        }
        return out;
    }
    const int written = std::min(decimals, std::max(0, precision - intDigits));
    const auto [ptr, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, written);
    (void)ec;
    std::string out(buffer, ptr);
    if (written < decimals) {
        if (written == 0) {
            out.push_back('.');
        }
        out.append(static_cast<size_t>(decimals - written), '0');
    }
    // A value that rounds to zero is written without its sign.
    if (!out.empty() && out.front() == '-' &&
        out.find_first_not_of("0.", 1) == std::string::npos) {
        out.erase(0, 1);
    }
    for (char& c : out) {
        if (c == '.') {
            c = separator;
        }
    }
    return out;
}

std::string stripThousandSeparators(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    const char sep = formatSettings().thousandSeparator;
    for (char c : s) {
        if (c != sep) {
            out.push_back(c);
        }
    }
    return out;
}

} // namespace platform::text
