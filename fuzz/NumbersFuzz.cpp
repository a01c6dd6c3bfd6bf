// Number parsing and formatting: what parses formats back to the same value.
#include "FuzzSupport.h"

#include "platform/text/Numbers.h"

#include <cmath>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace text = platform::text;
    const std::string_view s(reinterpret_cast<const char*>(data), size);
    (void)text::trimBlanks(s);
    if (const auto v = text::parseInteger(s)) {
        fuzz::check(text::parseInteger(text::formatInteger(*v)) == v, "integers round trip");
    }
    for (const char separator : {'.', ','}) {
        if (const auto v = text::parseReal(s, separator)) {
            if (std::isfinite(*v)) {
                const std::string f = text::formatFixed(*v, 3, separator);
                fuzz::check(text::parseReal(f, separator).has_value(), "fixed text reads back");
            }
        }
        (void)text::parseRealOr(s, 1.5, separator);
    }
    (void)text::stripThousandSeparators(s);
    try {
        (void)text::roundTo<std::int32_t>(text::parseRealOr(s, 0.0));
    } catch (const text::RangeError&) {
    }
    return 0;
}
