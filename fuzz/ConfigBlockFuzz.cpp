// The 256-byte configuration block as the instrument sends it.
#include "ConfigChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ownLanguageTexts();
    if (size < 1) {
        return 0;
    }
    pByteArray block(data + 1, data + size);
    block.resize(std::max<std::size_t>(block.size(), ConfigBlockSize), 0);
    TBaseConfigCell c(1, 1, 1);
    ParseInstrumentBlock(c, block, 1 + data[0] % 20);
    fuzz::checkValid(c);
    fuzz::checkPixelsAndTimesAgree(c);
    // What was accepted travels back unchanged.
    pByteArray again(ConfigBlockSize, 0);
    TBaseConfigCell sent = c;
    BuildInstrumentBlock(sent, again, 1 + data[0] % 20);
    TBaseConfigCell back(1, 1, 1);
    ParseInstrumentBlock(back, again, 1 + data[0] % 20);
    fuzz::checkValid(back);
    return 0;
}
