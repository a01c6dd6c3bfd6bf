// The engine's paper sizes and paper bins with their device-mode codes. The sizes are the
// engine's own table in millimetres (they are not any toolkit's idea of the same codes), and
// every size the engine hands to a printer comes from here.
#pragma once

#include <cstdint>

enum class TRptPaperSize : int {
    Default,
    Letter,
    LetterSmall,
    Tabloid,
    Ledger,
    Legal,
    Statement,
    Executive,
    A3,
    A4,
    A4Small,
    A5,
    B4,
    B5,
    Folio,
    Quarto,
    qr10X14,
    qr11X17,
    Note,
    Env9,
    Env10,
    Env11,
    Env12,
    Env14,
    CSheet,
    DSheet,
    ESheet,
    EnvDL,
    EnvC5,
    EnvC3,
    EnvC4,
    EnvC6,
    EnvC65,
    EnvB4,
    EnvB5,
    EnvB6,
    EnvItaly,
    EnvMonarch,
    EnvPersonal,
    FanfoldUS,
    FanfoldStdGerman,
    FanfoldLglGerman,
    ISO_B4,
    JapanesePostcard,
    qr9X11,
    qr10X11,
    qr15X11,
    EnvInvite,
    Reserved48,
    Reserved49,
    LetterExtra,
    LegalExtra,
    TabloidExtra,
    A4Extra,
    LetterTransverse,
    A4Transverse,
    LetterExtraTransverse,
    SuperA,
    SuperB,
    LetterPlus,
    A4Plus,
    A5Transverse,
    B5Transverse,
    A3Extra,
    A5Extra,
    B5Extra,
    A2,
    A3Transverse,
    A3ExtraTransverse,
    Custom
};

constexpr int kPaperSizeCount = 70;

enum class TRptBin : int {
    First,
    Upper,
    Lower,
    Middle,
    Manual,
    Envelope,
    EnvManual,
    Auto,
    Tractor,
    SmallFormat,
    LargeFormat,
    LargeCapacity,
    Cassette,
    Last
};

constexpr int kBinCount = 14;

struct TPaperDimensions {
    double Width = 0; // millimetres, portrait
    double Length = 0;
};

// The device-mode paper code: the ordinal for 0..68, 256 (user-defined) for the custom size.
int PaperCode(TRptPaperSize size);
// The size of a paper with a code; zero for Default and the custom size, which take the
// printer's.
TPaperDimensions PaperDimensions(TRptPaperSize size);
// The identifier of the engine text naming the size.
int PaperNameId(TRptPaperSize size);
// The first coded size (1..68) whose width and length both lie within `toleranceMm` of the
// given ones; Default when none does.
TRptPaperSize PaperSizeOfDimensions(double widthMm, double lengthMm, double toleranceMm = 1.0);

int BinCode(TRptBin bin);
// The first bin with the code; First when none has it.
TRptBin BinOfCode(int code);
