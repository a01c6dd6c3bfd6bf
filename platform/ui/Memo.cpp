#include "platform/ui/Memo.h"

namespace platform::ui {

void TextMemo::setText(const std::string& text) {
    text_ = text;
    ++setTextCalls_;
}

std::vector<std::string> TextMemo::splitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t pos = text.find("\r\n", start);
        if (pos == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, pos - start));
        start = pos + 2;
    }
    return lines;
}

std::string TextMemo::joinLines(const std::vector<std::string>& lines) {
    std::string out;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            out += "\r\n";
        }
        out += lines[i];
    }
    return out;
}

int TextMemo::lineCount() const {
    return static_cast<int>(splitLines(text_).size());
}

void TextMemo::deleteLine(int index) {
    auto lines = splitLines(text_);
    if (index < 0 || index >= static_cast<int>(lines.size())) {
        return;
    }
    lines.erase(lines.begin() + index);
    text_ = joinLines(lines);
}

} // namespace platform::ui
