// The bitmap stream (file header, info header, colour table, pixel rows).
#include "FuzzSupport.h"

#include "surfaces/DIB.h"

#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TDIB dib;
    try {
        dib.LoadFromBytes(fuzz::bytes(data, size));
    } catch (const std::exception&) {
        return 0;
    }
    // What was read writes and reads back as the same picture.
    const auto saved = dib.SaveToBytes();
    TDIB back;
    back.LoadFromBytes(saved);
    fuzz::check(back.Width() == dib.Width() && back.Height() == dib.Height(),
                "a bitmap read back has its size");
    return 0;
}
