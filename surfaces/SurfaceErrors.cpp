#include "surfaces/SurfaceErrors.h"

std::string FormatSurfaceText(const char* text, const std::string& name) {
    std::string s(text);
    const auto p = s.find("%s");
    if (p != std::string::npos) {
        s.replace(p, 2, name);
    }
    return s;
}
