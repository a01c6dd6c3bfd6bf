// The pictures of the main window's buttons, tabs and mode indicators, drawn by the program itself:
// the 28-entry image list the pages index by parameter value, and the tool-bar icons.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace surfaces {

inline constexpr int kControlButtonImageCount = 28;
inline constexpr int kControlButtonImageSize = 16;

// Entries of the image list; the parameter-driven groups start at these offsets.
namespace button_image {
inline constexpr int TabShown = 0;
inline constexpr int TabHidden = 1;
inline constexpr int SignalType = 3;        // detected, half-wave, radio
inline constexpr int ScreenType = 6;        // six screen layouts
inline constexpr int StrobeAlgorithm = 12;  // peak, edge
inline constexpr int Tvg = 14;              // off, on
inline constexpr int Signalling = 17;       // strobe signalling, three states
inline constexpr int MeasureAlgorithm = 20; // one cursor, two cursors
inline constexpr int NoRecord = 22;
inline constexpr int LineWidth = 24; // 1, 2, 4, 8
} // namespace button_image

// Picture `index` of the image list, 16 x 16 with a transparent background. Unused entries and
// indexes outside the list give a fully transparent picture of the same size. Drawn once, then
// kept; needs the application object.
QPixmap ControlButtonImage(int index);

enum class ToolIconId {
    Receive,
    Send,
    Load,
    Save,
    Copy,
    First,
    Prev,
    Next,
    Last,
    Comments,
    Print,
    Preview,
    Disconnect,
    Apply,
    Undo,
    Erase,
    PaletteThermal,
    PaletteBinary,
    PaletteDirectGrey,
    PaletteInverseGrey,
    SwitchParams,
    LineWidth,
};
inline constexpr int kToolIconCount = static_cast<int>(ToolIconId::LineWidth) + 1;

// The icon of a tool button, 16 x 16; drawn once, then kept.
QIcon ToolIcon(ToolIconId id);

} // namespace surfaces
