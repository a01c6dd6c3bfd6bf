// The program's run-time texts: three numbered lists read from the language files in the
// "strings" folder beside the program, so that the program can be localised by replacing them.
// The files are checked and read once at start-up; lookups answer from memory.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace platform::ui {
class Memo;
}

// Reads errmsgs.str, captions.str and txtvarvalues.str from the folder "strings" beside the
// program file. False means the program cannot run: a missing file answers false silently, an
// unreadable file or one with the wrong number of lines shows the fatal message first. Lists read
// before a failure stay loaded.
bool LoadLanguageFiles(const std::filesystem::path& programFilePath);

// Entry n of each list: the text after the first colon of line n + 1 (empty for entry 0, for
// entries past the end, for a line without a colon and before the list was loaded).
std::string GetCaptionString(int n);
std::string GetErrMsgString(int n);
std::string GetTxtVarValueString(int n);

// Forgets every loaded list (for tests and a re-load).
void UnloadLanguageFiles();

// The number of lines of a text: 1, plus 1 for every CR LF followed by at least one character.
std::uint16_t CountTextLines(const std::string& text);

// Keeps a memo's text within maxLines lines of at most maxLineLength characters (and, when
// maxListLines is non-zero, within that many list lines), warning the user when it cuts. Called
// from the memo's change handler; answers true when the text needed no cutting. A null memo
// answers true.
bool FitMemoText(platform::ui::Memo* memo, int maxLines, int maxLineLength, int maxListLines);

// Caption 153 is a page-number format holding one "%d"; this fills it without ever handing a text
// from a file to a printf-style formatter.
std::string FormatPageCountCaption(const std::string& format, int pageCount);
