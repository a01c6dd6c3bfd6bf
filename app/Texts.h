// The language texts as the windows show them: looked up by number and turned into Unicode at the
// edge of the user interface.
#pragma once

#include <QString>

#include <string>

namespace app {

QString toQt(const std::string& cp1251);
std::string fromQt(const QString& text);

QString caption(int n);
QString errMsg(int n);
QString txtVar(int n);

// A hint that names the key running the command: the bold key, then the caption.
QString keyHint(const char* prefix, int captionNumber);

} // namespace app
