// Both text forms of a configuration: the parameter-numbered form (first byte even) and the
// positional form of older files (odd).
#include "ConfigChecks.h"

#include "platform/text/LineFile.h"
#include "platform/text/Numbers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ownLanguageTexts();
    static fuzz::InputFile input("config.txt");
    if (size < 1) {
        return 0;
    }
    const auto& path = input.write(data + 1, size - 1);
    platform::text::LineReader file(path);
    TBaseConfigCell c(1, 1, 1);
    c.ResetAll(1);
    try {
        if (data[0] % 2 == 0) {
            ReadParamBlock(c, file);
            fuzz::checkValid(c);
        } else if (ReadLegacyBlock(c, file, false) == 0) {
            fuzz::checkValid(c);
            fuzz::checkPixelsAndTimesAgree(c);
        }
    } catch (const platform::text::RangeError&) {
        // A value wider than its field raises a range error: a refusal, not a finding.
    }
    return 0;
}
