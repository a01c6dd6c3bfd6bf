// The properties every configuration a reader accepts must have: each parameter passes
// validation, and where the pixels are the truth the times are those of the pixels.
#pragma once

#include "FuzzSupport.h"

#include "config/BaseConfigObjectUnit.h"
#include "config/LocalStringsUnit.h"

#include <cmath>
#include <string>

namespace fuzz {

// The program's own language files, once: file headers and default names come from them.
inline void ownLanguageTexts() {
    static const bool loaded = [] {
        quietMessageBoxes();
        return LoadLanguageFiles(std::filesystem::path(TB_SOURCE_DIR) / "program");
    }();
    check(loaded, "the program's language files load");
}

inline void checkValid(const TBaseConfigCell& c) {
    TBaseConfigCell copy = c;
    std::string message;
    for (int n = 0; n < ParamCount; ++n) {
        check(copy.ValidateParam(n, message), "an accepted configuration passes validation");
    }
}

inline void checkPixelsAndTimesAgree(const TBaseConfigCell& c) {
    for (std::size_t k = 0; k < 2; ++k) {
        check(std::abs(c.StrobeBeginTime[k] - c.PixelToTime(c.StrobeBeginPixel[k])) < 1e-9,
              "strobe begin time from its pixel");
        check(std::abs(c.StrobeBeginTime[k] + c.StrobeLengthTime[k] -
                       c.PixelToTime(c.StrobeEndPixel[k])) < 1e-9,
              "strobe end time from its pixel");
        check(std::abs(c.CursorTime[k] - c.PixelToTime(c.CursorPixel[k])) < 1e-9,
              "cursor time from its pixel");
        check(c.CursorPixel[k] < 320, "cursor on the picture");
    }
    check(c.BandCurrentAScan <= c.BandLastAScan, "current A-scan not after the last");
}

} // namespace fuzz
