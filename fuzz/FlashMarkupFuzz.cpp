// The flash markup block as the instrument sends it.
#include "FuzzSupport.h"

#include "config/AbsConfigObjectUnit.h"

#include <cmath>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TCorvantaAbsConfigCell markup;
    markup.ParseBlock(fuzz::bytes(data, size));
    const bool valid = markup.IsValid();
    (void)markup.MemoryEnd();
    for (const auto& angles : {markup.GetAreaAngles(), markup.GetOccupiedAngles()}) {
        fuzz::check(std::isfinite(angles.AScans) && std::isfinite(angles.Maps) &&
                        std::isfinite(angles.Bands),
                    "finite angles");
    }
    std::vector<std::uint8_t> block(TCorvantaAbsConfigCell::BlockSize, 0);
    markup.BuildBlock(block);
    TCorvantaAbsConfigCell back;
    back.ParseBlock(block);
    fuzz::check(back.IsValid() == valid || !valid, "a valid markup stays valid on its way back");
    return 0;
}
