#include "reports/engine/RptFormat.h"

#include "platform/text/Numbers.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

struct Scientific {
    std::string digits; // significant digits, the first before the decimal point
    int exponent = 0;
};

// `decimals` digits after the first one, rounded on the exact binary value.
Scientific scientific(double magnitude, int decimals) {
    std::string buffer(static_cast<std::size_t>(decimals) + 32, '\0');
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                                         std::chars_format::scientific, decimals);
    (void)ec;
    const std::string_view text(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
    const std::size_t e = text.find('e');
    Scientific out;
    out.digits.push_back(text[0]);
    if (e > 2) {
        out.digits.append(text.substr(2, e - 2));
    }
    const std::string_view exp = text.substr(e + 1);
    const bool negative = exp.front() == '-';
    std::from_chars(exp.data() + 1, exp.data() + exp.size(), out.exponent);
    if (negative) {
        out.exponent = -out.exponent;
    }
    return out;
}

bool allZeros(std::string_view s) {
    return s.find_first_not_of('0') == std::string_view::npos;
}

// One section of a mask, read once for its placeholders.
struct Layout {
    int intPlaceholders = 0;
    int intZeros = 0; // placeholders from the first "0" before the decimal point
    int decPlaceholders = 0;
    int decZeros = 0; // placeholders up to the last "0" after the decimal point
    bool thousands = false;
    bool scientific = false;
};

bool isExponentAt(std::string_view s, std::size_t i) {
    return (s[i] == 'E' || s[i] == 'e') && i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-');
}

Layout readLayout(std::string_view section) {
    Layout l;
    bool afterPoint = false;
    bool zeroSeen = false;
    for (std::size_t i = 0; i < section.size(); ++i) {
        const char c = section[i];
        if (c == '\'' || c == '"') {
            i = section.find(c, i + 1);
            continue;
        }
        if (isExponentAt(section, i)) {
            l.scientific = true;
            break;
        }
        if (c == '.' && !afterPoint) {
            afterPoint = true;
        } else if (c == ',' && !afterPoint) {
            l.thousands = true;
        } else if (c == '0' || c == '#') {
            if (afterPoint) {
                ++l.decPlaceholders;
                if (c == '0') {
                    l.decZeros = l.decPlaceholders;
                }
            } else {
                ++l.intPlaceholders;
                zeroSeen = zeroSeen || c == '0';
                if (zeroSeen) {
                    ++l.intZeros;
                }
            }
        }
    }
    return l;
}

// The section's text for a non-negative magnitude; `zero` tells whether every written digit is 0.
std::string formatSection(std::string_view section, double magnitude, bool& zero) {
    const Layout l = readLayout(section);
    const auto& settings = platform::text::formatSettings();
    std::string intDigits;
    std::string fracDigits;
    int exponent = 0;
    if (l.scientific) {
        Scientific s = scientific(magnitude, l.decPlaceholders);
        intDigits = s.digits.substr(0, 1);
        fracDigits = s.digits.substr(1);
        exponent = magnitude == 0.0 ? 0 : s.exponent;
    } else {
        std::string text(400 + static_cast<std::size_t>(l.decPlaceholders), '\0');
        const auto [end, ec] = std::to_chars(text.data(), text.data() + text.size(), magnitude,
                                             std::chars_format::fixed, l.decPlaceholders);
        (void)ec;
        text.resize(static_cast<std::size_t>(end - text.data()));
        const std::size_t point = text.find('.');
        intDigits = text.substr(0, point);
        if (point != std::string::npos) {
            fracDigits = text.substr(point + 1);
        }
        if (intDigits == "0") {
            intDigits.clear();
        }
    }
    zero = allZeros(intDigits) && allZeros(fracDigits);
    while (static_cast<int>(fracDigits.size()) > l.decZeros && fracDigits.back() == '0') {
        fracDigits.pop_back();
    }

    const int width = std::max(static_cast<int>(intDigits.size()), l.intZeros);
    const std::string padded = std::string(width - intDigits.size(), '0') + intDigits;
    std::string out;
    auto emitDigit = [&](int index) {
        out.push_back(padded[static_cast<std::size_t>(index)]);
        const int fromRight = width - 1 - index;
        if (l.thousands && fromRight > 0 && fromRight % 3 == 0) {
            out.push_back(settings.thousandSeparator);
        }
    };
    auto emitLeadingDigits = [&](int count) {
        for (int i = 0; i < count; ++i) {
            emitDigit(i);
        }
    };

    int intSeen = 0;
    int decSeen = 0;
    bool afterPoint = false;
    for (std::size_t i = 0; i < section.size(); ++i) {
        const char c = section[i];
        if (c == '\'' || c == '"') {
            const std::size_t close = section.find(c, i + 1);
            out.append(section.substr(i + 1, close - i - 1));
            i = close;
        } else if (l.scientific && isExponentAt(section, i)) {
            out.push_back(c);
            if (exponent < 0) {
                out.push_back('-');
            } else if (section[i + 1] == '+') {
                out.push_back('+');
            }
            i += 2;
            int digits = 0;
            while (i < section.size() && section[i] == '0') {
                ++digits;
                ++i;
            }
            std::string e = std::to_string(std::abs(exponent));
            out.append(std::string(std::max(0, digits - static_cast<int>(e.size())), '0') + e);
            out.append(section.substr(i));
            break;
        } else if (c == '.' && !afterPoint) {
            afterPoint = true;
            if (l.intPlaceholders == 0) {
                emitLeadingDigits(width);
            }
            if (!fracDigits.empty()) {
                out.push_back(settings.decimalSeparator);
            }
        } else if (c == ',') {
            // a flag, not a character of the text
        } else if ((c == '0' || c == '#') && !afterPoint) {
            const int fromRight = l.intPlaceholders - 1 - intSeen;
            if (intSeen == 0 && width > l.intPlaceholders) {
                emitLeadingDigits(width - l.intPlaceholders);
            }
            if (fromRight < width) {
                emitDigit(width - 1 - fromRight);
            }
            ++intSeen;
        } else if (c == '0' || c == '#') {
            if (decSeen < static_cast<int>(fracDigits.size())) {
                out.push_back(fracDigits[static_cast<std::size_t>(decSeen)]);
            }
            ++decSeen;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

} // namespace

std::string RptFloatToText(double value) {
    if (std::isnan(value)) {
        return "NAN";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-INF" : "INF";
    }
    if (value == 0.0) {
        return "0";
    }
    Scientific s = scientific(std::fabs(value), 14);
    while (s.digits.size() > 1 && s.digits.back() == '0') {
        s.digits.pop_back();
    }
    const char separator = platform::text::formatSettings().decimalSeparator;
    std::string out = value < 0 ? "-" : "";
    const int e = s.exponent;
    if (e >= -5 && e < 15) {
        if (e < 0) {
            out += '0';
            out += separator;
            out.append(static_cast<std::size_t>(-e - 1), '0');
            out += s.digits;
        } else {
            const auto intLength = static_cast<std::size_t>(e + 1);
            if (s.digits.size() <= intLength) {
                out += s.digits;
                out.append(intLength - s.digits.size(), '0');
            } else {
                out += s.digits.substr(0, intLength);
                out += separator;
                out += s.digits.substr(intLength);
            }
        }
    } else {
        out += s.digits[0];
        if (s.digits.size() > 1) {
            out += separator;
            out += s.digits.substr(1);
        }
        out += 'E';
        out += std::to_string(e);
    }
    return out;
}

std::optional<std::string> RptFormatFloat(std::string_view mask, double value) {
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    std::vector<std::string_view> sections;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= mask.size(); ++i) {
        if (i < mask.size() && (mask[i] == '\'' || mask[i] == '"')) {
            i = mask.find(mask[i], i + 1);
            if (i == std::string_view::npos) {
                return std::nullopt;
            }
        } else if (i == mask.size() || mask[i] == ';') {
            if (sections.size() < 3) {
                sections.push_back(mask.substr(start, i - start));
            }
            start = i + 1;
        }
    }
    if (sections[0].empty()) {
        return RptFloatToText(value);
    }
    const bool negative = value < 0;
    bool zero = false;
    if (negative && sections.size() > 1 && !sections[1].empty()) {
        std::string out = formatSection(sections[1], -value, zero);
        if (!zero || sections.size() < 3 || sections[2].empty()) {
            return out;
        }
    } else {
        std::string out = formatSection(sections[0], std::fabs(value), zero);
        if (!zero || sections.size() < 3 || sections[2].empty()) {
            return negative && !zero ? "-" + out : out;
        }
    }
    return formatSection(sections[2], 0.0, zero);
}
