// The errors the drawing-surface layer raises and the texts it builds them from.
#pragma once

#include <stdexcept>
#include <string>

class EDirectXError : public std::runtime_error {
public:
    explicit EDirectXError(const std::string& what) : std::runtime_error(what) {}
};
class EDirectDrawError : public EDirectXError {
public:
    using EDirectXError::EDirectXError;
};
class EDirectDrawPaletteError : public EDirectDrawError {
public:
    using EDirectDrawError::EDirectDrawError;
};
class EDirectDrawClipperError : public EDirectDrawError {
public:
    using EDirectDrawError::EDirectDrawError;
};
class EDirectDrawSurfaceError : public EDirectDrawError {
public:
    using EDirectDrawError::EDirectDrawError;
};
class ESurfaceViewError : public std::runtime_error {
public:
    explicit ESurfaceViewError(const std::string& what) : std::runtime_error(what) {}
};

// The layer's texts.
namespace SurfaceTexts {
constexpr const char* DirectDraw = "DirectDraw";
constexpr const char* Direct3DRM = "Direct3D RetainedMode";
constexpr const char* Clipper = "Clipper";
constexpr const char* Surface = "Surface";
constexpr const char* PrimarySurface = "Primary Surface";
constexpr const char* NotMade = "%s not made";
constexpr const char* CannotMade = "%s cannot be made";
constexpr const char* CannotInitialized = "%s cannot be initialized";
constexpr const char* FormNotFound = "Form not found";
constexpr const char* Device3DNotFound = "3D device not found";
constexpr const char* DisplayModeCannotChange = "Display mode cannot be changed (%dx%d %dbit)";
constexpr const char* InvalidDisplayBitCount = "It should be either of 8 or 16 or 24 or 32";
} // namespace SurfaceTexts

// One "%s" of a layer text filled in.
std::string FormatSurfaceText(const char* text, const std::string& name);
