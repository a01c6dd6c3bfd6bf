#include "config/LocalStringsUnit.h"

#include "platform/text/LineFile.h"
#include "platform/ui/Memo.h"
#include "platform/ui/MessageBox.h"

#include <algorithm>
#include <array>
#include <system_error>
#include <vector>

namespace {



const char* const kTitle = "Language File Error";
const char* const kOpenError = "Wrong language file! Reinstall language file! Error #12!";

struct LanguageList {
    const char* fileName;
    std::uint64_t requiredLines;
    const char* sizeError;
    std::filesystem::path path;
    std::vector<std::string> texts; // texts[n] is entry n; texts[0] is always empty
};

enum ListIndex { ErrMsgs = 0, Captions = 1, TxtVarValues = 2 };

std::array<LanguageList, 3>& lists() {
    static std::array<LanguageList, 3> all = {{
        {"errmsgs.str", 89, "Wrong errmsgs.str file size! Reinstall language file! Error #12!", {},
         {}},
        {"captions.str", 378, "Wrong caption.str file size! Reinstall language file! Error #12!",
         {}, {}},
        {"txtvarvalues.str", 33,
         "Wrong txtvarvalues.str file size! Reinstall language file! Error #14!", {}, {}},
    }};
    return all;
}

void showFatal(const char* text) {
    platform::ui::messageBoxes().show(text, kTitle, platform::ui::MessageIcon::Error,
                                      platform::ui::MessageButtons::Ok);
}

std::string textAfterColon(std::string_view line) {
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) {
        return {};
    }
    return std::string(line.substr(colon + 1));
}

bool loadList(LanguageList& list, const std::filesystem::path& folder) {
    const std::filesystem::path path = folder / list.fileName;
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        return false;
    }
    std::vector<std::string> texts;
    try {
        platform::text::LineReader reader(path);
        texts.emplace_back(); // entry 0
        std::string_view line;
        bool header = true;
        while (reader.next(line)) {
            if (header) {
                header = false;
                continue;
            }
            texts.push_back(textAfterColon(line));
        }
        if (reader.lineNumber() != list.requiredLines) {
            showFatal(list.sizeError);
            return false;
        }
    } catch (const platform::text::IoError&) {
        showFatal(kOpenError);
        return false;
    }
    list.path = path;
    list.texts = std::move(texts);
    return true;
}

std::string lookup(ListIndex which, int n) {
    const LanguageList& list = lists()[which];
    if (list.path.empty() || n <= 0 || static_cast<size_t>(n) >= list.texts.size()) {
        return {};
    }
    return list.texts[static_cast<size_t>(n)];
}

void warnTooLong() {
    platform::ui::messageBoxes().show(GetErrMsgString(83), GetErrMsgString(82),
                                      platform::ui::MessageIcon::Warning,
                                      platform::ui::MessageButtons::Ok);
}

} // namespace

bool LoadLanguageFiles(const std::filesystem::path& programFilePath) {
    const std::filesystem::path folder = programFilePath.parent_path() / "strings";
    for (LanguageList& list : lists()) {
        if (!loadList(list, folder)) {
            return false;
        }
    }
    return true;
}

void UnloadLanguageFiles() {
    for (LanguageList& list : lists()) {
        list.path.clear();
        list.texts.clear();
    }
}

std::string GetCaptionString(int n) {
    return lookup(Captions, n);
}

std::string GetErrMsgString(int n) {
    return lookup(ErrMsgs, n);
}

std::string GetTxtVarValueString(int n) {
    return lookup(TxtVarValues, n);
}

std::uint16_t CountTextLines(const std::string& text) {
    std::uint32_t count = 1;
    for (size_t i = 0; i + 2 < text.size(); ++i) {
        if (text[i] == '\r' && text[i + 1] == '\n') {
            ++count;
            ++i;
        }
    }
    return static_cast<std::uint16_t>(std::min<std::uint32_t>(count, 0xFFFF));
}

bool FitMemoText(platform::ui::Memo* memo, int maxLines, int maxLineLength, int maxListLines) {
    if (!memo) {
        return true;
    }
    if (memo->tag() != 0) {
        memo->setTag(0);
        return true;
    }
    bool result = true;
    bool warned = false;
    std::string text = memo->text();

    if (maxLines > 0 && maxLineLength > 0 && !text.empty()) {
        int column = 0;
        int lines = 1;
        // Where the excess begins: the line break before the first line past the limit.
        size_t cutAt = std::string::npos;
        size_t i = 0;
        while (i < text.size()) {
            const bool lineBreak =
                text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
            if (lineBreak && i + 2 < text.size()) {
                column = 0;
                ++lines;
                if (lines > maxLines) {
                    cutAt = i;
                    break;
                }
                i += 2;
                continue;
            }
            ++column;
            if (column >= maxLineLength && i + 1 < text.size() && !lineBreak &&
                !(text[i + 1] == '\r' && i + 2 < text.size() && text[i + 2] == '\n')) {
                text.insert(i + 1, "\r\n");
                column = 0;
                ++lines;
                if (lines > maxLines) {
                    cutAt = i + 1;
                    break;
                }
                i += 3;
                continue;
            }
            ++i;
        }
        if (cutAt != std::string::npos && cutAt >= 2) {
            text.erase(cutAt);
        }
        if (text != memo->text()) {
            memo->setTag(1);
            memo->setText(text);
            memo->moveCaretToEnd();
            warnTooLong();
            warned = true;
        }
    }

    if (maxListLines != 0 && memo->lineCount() > maxListLines) {
        warnTooLong();
        warned = true;
        for (int line = memo->lineCount() - 1; line >= maxListLines; --line) {
            memo->setTag(1);
            memo->deleteLine(line);
        }
        memo->moveCaretToEnd();
        text = memo->text();
    }

    if (maxLines > 0 && maxLineLength > 0) {
        if (CountTextLines(memo->text()) > maxLines) {
            result = false;
            warnTooLong();
            warned = true;
        }
        const size_t limit = static_cast<size_t>(maxLines) * static_cast<size_t>(maxLineLength) +
                             2 * static_cast<size_t>(maxLines - 1);
        if (text.size() > limit) {
            text.erase(limit);
            if (!warned) {
                warnTooLong();
            }
            result = false;
        }
    }

    if (text != memo->text()) {
        memo->setTag(1);
        memo->setText(text);
        memo->moveCaretToEnd();
    }
    memo->setSelectionLength(0);
    return result;
}

std::string FormatPageCountCaption(const std::string& format, int pageCount) {
    const size_t pos = format.find("%d");
    if (pos == std::string::npos) {
        return format;
    }
    std::string out = format.substr(0, pos);
    out += std::to_string(pageCount);
    out += format.substr(pos + 2);
    return out;
}
