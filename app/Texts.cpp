#include "app/Texts.h"

#include "config/LocalStringsUnit.h"
#include "platform/text/Cp1251.h"

namespace app {

QString toQt(const std::string& cp1251) {
    return QString::fromStdString(platform::text::cp1251ToUtf8(cp1251));
}

std::string fromQt(const QString& text) {
    return platform::text::utf8ToCp1251(text.toStdString());
}

QString caption(int n) { return toQt(GetCaptionString(n)); }
QString errMsg(int n) { return toQt(GetErrMsgString(n)); }
QString txtVar(int n) { return toQt(GetTxtVarValueString(n)); }

QString keyHint(const char* prefix, int captionNumber) {
    return QString::fromLatin1(prefix) + caption(captionNumber);
}

} // namespace app
