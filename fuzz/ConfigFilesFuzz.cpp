// Configuration files, recognised by their first line (current or legacy form).
#include "ConfigChecks.h"

#include "config/ConfigSetUnit.h"
#include "platform/text/LineFile.h"
#include "platform/text/Numbers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ownLanguageTexts();
    static fuzz::InputFile input("configs.ctf");
    const auto& path = input.write(data, size);
    for (const bool legacy : {false, true}) {
        PConfigsSet set;
        std::uint16_t count = 0;
        try {
            legacy ? LoadLegacyConfigSet(path, set, count) : LoadConfigSet(path, set, count);
        } catch (const platform::text::RangeError&) {
            continue; // a value wider than its field, refused as the loaders promise
        } catch (const platform::text::ConversionError&) {
            continue; // a header value that is not a number, refused as the loaders promise
        }
        fuzz::check(set.size() == count, "the set is as long as its count");
        for (const auto& c : set) {
            fuzz::check(c != nullptr, "no empty slot");
            fuzz::checkValid(*c);
        }
    }
    return 0;
}
