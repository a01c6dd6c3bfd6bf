// The program's name as the window system and the application object know it.
#pragma once

namespace app {

// The application title keeps its trailing blank; the window caption comes from the language
// files.
inline constexpr const char* ApplicationTitle = "Tollerbank 3 ";

} // namespace app
