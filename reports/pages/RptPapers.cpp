#include "reports/pages/RptPapers.h"

#include <cmath>

namespace {

constexpr double kInch = 25.4;

// Widths and lengths in millimetres of the paper codes 1..68.
constexpr TPaperDimensions kPapers[69] = {
    {0, 0},
    {8.5 * kInch, 11 * kInch},      // 1 Letter
    {8.5 * kInch, 11 * kInch},      // 2 Letter Small
    {11 * kInch, 17 * kInch},       // 3 Tabloid
    {17 * kInch, 11 * kInch},       // 4 Ledger
    {8.5 * kInch, 14 * kInch},      // 5 Legal
    {5.5 * kInch, 8.5 * kInch},     // 6 Statement
    {7.25 * kInch, 10.5 * kInch},   // 7 Executive
    {297, 420},                     // 8 A3
    {210, 297},                     // 9 A4
    {210, 297},                     // 10 A4 Small
    {148, 210},                     // 11 A5
    {250, 354},                     // 12 B4
    {182, 257},                     // 13 B5
    {8.5 * kInch, 13 * kInch},      // 14 Folio
    {215, 275},                     // 15 Quarto
    {10 * kInch, 14 * kInch},       // 16
    {11 * kInch, 17 * kInch},       // 17
    {8.5 * kInch, 11 * kInch},      // 18 Note
    {3.875 * kInch, 8.875 * kInch}, // 19 Envelope #9
    {4.125 * kInch, 9.5 * kInch},   // 20 Envelope #10
    {4.5 * kInch, 10.375 * kInch},  // 21 Envelope #11
    {4.75 * kInch, 11 * kInch},     // 22 Envelope #12
    {5 * kInch, 11.5 * kInch},      // 23 Envelope #14
    {17 * kInch, 22 * kInch},       // 24 C sheet
    {22 * kInch, 34 * kInch},       // 25 D sheet
    {34 * kInch, 44 * kInch},       // 26 E sheet
    {110, 220},                     // 27 Envelope DL
    {162, 229},                     // 28 Envelope C5
    {324, 458},                     // 29 Envelope C3
    {229, 324},                     // 30 Envelope C4
    {114, 162},                     // 31 Envelope C6
    {114, 229},                     // 32 Envelope C65
    {250, 353},                     // 33 Envelope B4
    {176, 250},                     // 34 Envelope B5
    {176, 125},                     // 35 Envelope B6
    {110, 230},                     // 36 Envelope Italy
    {3.875 * kInch, 7.5 * kInch},   // 37 Envelope Monarch
    {3.625 * kInch, 6.5 * kInch},   // 38 6 3/4 Envelope
    {14.875 * kInch, 11 * kInch},   // 39 US Std Fanfold
    {8.5 * kInch, 12 * kInch},      // 40 German Std Fanfold
    {8.5 * kInch, 13 * kInch},      // 41 German Legal Fanfold
    {250, 353},                     // 42 B4 (ISO)
    {100, 148},                     // 43 Japanese Postcard
    {9 * kInch, 11 * kInch},        // 44
    {10 * kInch, 11 * kInch},       // 45
    {15 * kInch, 11 * kInch},       // 46
    {220, 220},                     // 47 Envelope Invite
    {100, 100},                     // 48 reserved
    {100, 100},                     // 49 reserved
    {9.5 * kInch, 12 * kInch},      // 50 Letter Extra
    {9.5 * kInch, 15 * kInch},      // 51 Legal Extra
    {11.69 * kInch, 18 * kInch},    // 52 Tabloid Extra
    {236, 322},                     // 53 A4 Extra
    {8.5 * kInch, 11 * kInch},      // 54 Letter Transverse
    {210, 297},                     // 55 A4 Transverse
    {9.5 * kInch, 12 * kInch},      // 56 Letter Extra Transverse
    {227, 356},                     // 57 SuperA
    {305, 487},                     // 58 SuperB
    {8.5 * kInch, 12.69 * kInch},   // 59 Letter Plus
    {210, 330},                     // 60 A4 Plus
    {148, 210},                     // 61 A5 Transverse
    {182, 257},                     // 62 B5 (JIS) Transverse
    {322, 445},                     // 63 A3 Extra
    {174, 235},                     // 64 A5 Extra
    {201, 276},                     // 65 B5 (ISO) Extra
    {420, 594},                     // 66 A2
    {297, 420},                     // 67 A3 Transverse
    {322, 445},                     // 68 A3 Extra Transverse
};

constexpr int kBinCodes[kBinCount] = {1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 14, 14};

} // namespace

int PaperCode(TRptPaperSize size) {
    const int n = int(size);
    if (size == TRptPaperSize::Custom) {
        return 256;
    }
    return n >= 0 && n <= 68 ? n : 0;
}

TPaperDimensions PaperDimensions(TRptPaperSize size) {
    const int n = int(size);
    return n >= 1 && n <= 68 ? kPapers[n] : TPaperDimensions{};
}

int PaperNameId(TRptPaperSize size) {
    const int p = int(size);
    if (p == 0) {
        return 65134;
    }
    if (p == 1) {
        return 65135;
    }
    if (p >= 2 && p <= 17) {
        return 65102 + p;
    }
    if (p >= 18 && p <= 33) {
        return 65070 + p;
    }
    if (p >= 34 && p <= 49) {
        return 65038 + p;
    }
    if (p >= 50 && p <= 65) {
        return 65006 + p;
    }
    if (p >= 66 && p <= 68) {
        return 64974 + p;
    }
    return 65043;
}

TRptPaperSize PaperSizeOfDimensions(double widthMm, double lengthMm, double toleranceMm) {
    for (int n = 1; n <= 68; ++n) {
        if (std::fabs(kPapers[n].Width - widthMm) <= toleranceMm &&
            std::fabs(kPapers[n].Length - lengthMm) <= toleranceMm) {
            return TRptPaperSize(n);
        }
    }
    return TRptPaperSize::Default;
}

int BinCode(TRptBin bin) {
    const int n = int(bin);
    return n >= 0 && n < kBinCount ? kBinCodes[n] : 7;
}

TRptBin BinOfCode(int code) {
    for (int i = 0; i < kBinCount; ++i) {
        if (kBinCodes[i] == code) {
            return TRptBin(i);
        }
    }
    return TRptBin::First;
}
