// Fonts by face name. The faces the program's forms and pictures ask for are mapped onto font
// files of Debian packages that are loaded explicitly, so text looks and measures the same on
// every machine whatever the desktop's font configuration says. Needs a QGuiApplication.
#pragma once

#include "platform/gfx/Canvas.h"

#include <QFont>
#include <QString>

#include <string_view>

namespace platform::gfx {

// Loads the font files once; answers false when none of them could be loaded.
bool ensureFontsLoaded();

// The family that stands in for a face name: Arial and MS Sans Serif -> Liberation Sans,
// Times New Roman -> Liberation Serif, Courier New -> Liberation Mono, Tahoma -> Wine's Tahoma
// (DejaVu Sans without it); any other name -> Liberation Sans.
QString substituteFamily(std::string_view faceName);

// The Qt font for a TFont drawn on a device of `devicePpi` pixels per inch: a height given at
// the font's PixelsPerInch is scaled to the device. Text is drawn without antialiasing.
QFont resolveFont(const TFont& font, int devicePpi);

// Windows-1251 bytes as a Qt string.
QString fromCp1251(std::string_view text);

} // namespace platform::gfx
