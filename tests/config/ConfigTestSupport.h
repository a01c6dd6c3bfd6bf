// Shared pieces of the configuration tests: small language files with known texts, a temporary
// folder, a configuration whose every parameter differs from its default, and a readable list of
// the differences between two configurations.
#pragma once

#include "config/BaseConfigObjectUnit.h"
#include "config/LocalStringsUnit.h"
#include "platform/text/LineFile.h"
#include "platform/text/Numbers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace tbtest {

// A folder under the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tb-config-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) {
            throw std::runtime_error("mkdtemp failed");
        }
        path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Writes bytes exactly as given (no line-end translation).
inline void writeBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

inline std::string readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Lines joined with CR LF, each line ended.
inline std::string crlf(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

using TextOverrides = std::map<int, std::string>;

// The three language files with the required line counts, loaded for the lifetime of the object.
// Entry n is "Cap<n>", "[E<n>]" and "W<n>" unless overridden; the defaults below give the
// texts the configuration code reads known, short values.
class LanguageFiles {
public:
    explicit LanguageFiles(TextOverrides captions = {}, TextOverrides errmsgs = {},
                           TextOverrides words = {}) {
        TextOverrides caps = {{111, "Signature:"},      {112, "Device kind:"},
                              {113, "Device version:"}, {114, "Device variant:"},
                              {115, "Configurations:"}, {177, "Comment"},
                              {200, "NONAME"}};
        TextOverrides txt = {{2, "Off"},   {3, "On"},    {4, "Single"}, {5, "Dual"},
                             {8, "One"},   {9, "Two"},   {10, "us"},    {11, "mm"},
                             {12, "None"}, {13, "Half"}, {14, "Full"},  {15, "Both"}};
        for (auto& [n, s] : captions) {
            caps[n] = s;
        }
        for (auto& [n, s] : words) {
            txt[n] = s;
        }
        std::filesystem::create_directories(folder_ / "strings");
        write("captions.str", 378, "Cap", "", caps);
        write("errmsgs.str", 89, "[E", "]", errmsgs);
        write("txtvarvalues.str", 33, "W", "", txt);
        UnloadLanguageFiles();
        if (!LoadLanguageFiles(folder_ / "program")) {
            throw std::runtime_error("language fixture not loaded");
        }
    }
    ~LanguageFiles() { UnloadLanguageFiles(); }

private:
    void write(const std::string& name, int lines, const std::string& prefix,
               const std::string& suffix, const TextOverrides& overrides) {
        std::vector<std::string> out{"Header of " + name};
        for (int n = 1; n < lines; ++n) {
            const auto it = overrides.find(n);
            out.push_back(
                std::to_string(n) + ":" +
                (it != overrides.end() ? it->second : prefix + std::to_string(n) + suffix));
        }
        writeBytes(folder_ / "strings" / name, crlf(out));
    }

    TempFolder folder_;
};

// Restores the user's separators when a test changed them.
class ScopedSeparators {
public:
    explicit ScopedSeparators(char decimal, char thousand = ' ')
        : saved_(platform::text::formatSettings()) {
        platform::text::setFormatSettings({decimal, thousand});
    }
    ~ScopedSeparators() { platform::text::setFormatSettings(saved_); }

private:
    platform::text::FormatSettings saved_;
};

// A valid configuration in which nearly every field differs from its default (strobe times and
// pixels agree, both map steps differ, times carry two decimals).
inline TBaseConfigCell variedConfig() {
    TBaseConfigCell c(1, 1, 1);
    c.ResetAll(7);
    c.DeviceKind = 2;
    c.DeviceVersion = 9;
    c.DeviceVariant = 1;
    c.ConfigIndex = 12;
    c.ConfigName = "WELD 7";
    c.ConfigStrings = {"first line", "second: with colon", "  third  "};
    c.ConfigStringsCount = 3;
    c.MapVerticPoints = 20;
    c.MapHorizPoints = 15;
    c.MapVerticStep = 20;
    c.MapHorizStep = 30;
    c.MapScanningOrder = 1;
    c.MapCursorVertical = 5;
    c.MapCursorHorizontal = 7;
    c.MapAuxAreaContent = 2;
    c.BandLastAScan = 300;
    c.BandCurrentAScan = 120;
    c.BandStep = 20;
    c.BandElementWidthIndex = 2;
    c.BandAutoEnd = 1;
    c.BandShift = 50;
    c.AScanRange = 2048;
    c.StrobeBeginPixel = {20, 60};
    c.StrobeEndPixel = {100, 150};
    c.StrobeBeginTime = {128.0, 384.0};  // pixels 20 and 60 at 2048
    c.StrobeLengthTime = {512.0, 576.0}; // ends at pixels 100 and 150
    c.StrobeLevel = {55, 70};
    c.CursorCount = 1;
    c.CursorPixel = {200, 300};
    c.CursorTime = {12.34, 56.78};
    c.CursorZoomPixel = {10, 220};
    c.CursorZoomTime = {3.5, 7.25};
    c.CursorInZoom = {1, 0};
    c.StrobeEnabled = {2, 1};
    c.ScaleDimension = 1;
    c.FullOverviewPrint = 2;
    c.SignalCatchAlgorithm = 1;
    c.SignalType = 2;
    c.ScreenType = 0x25;
    c.PrevScreenType = 0x13;
    c.SearchLevel = 50;
    c.CutOffLevel = 20;
    c.IndexMarkMks = 5;
    c.IndexMarkMm = 9;
    c.DotsPerCell = 33.25;
    c.DotsPerCellPrev = 30.5;
    for (int i = 0; i < TgvPointCount; ++i) {
        c.TgvGain[static_cast<size_t>(i)] = static_cast<std::uint8_t>(i % 25);
        c.TgvPos[static_cast<size_t>(i)] = static_cast<std::uint16_t>(i * 60 + 3);
    }
    c.TgvEnabled = 1;
    c.TgvPrevState = 1;
    c.TgvCursorPos = 500;
    c.TgvActivePoints = 12;
    c.ProbeFrequencyIndex = 7;
    c.ProbeDelay = 100;
    c.ProbeType = 1;
    c.ZonderVoltageIndex = 2;
    c.ZonderPeriods = 2.5;
    c.RefreshFrequency = 15;
    c.FilterBandIndex = 1;
    c.AttenuatorCount1 = 40;
    c.AttenuatorCount2 = 12;
    c.AveragerIndex = 3;
    c.BarkerOrder = 7;
    c.Velocity = 5920;
    c.GlobalWorkTime = 1234;
    c.SnapYear = 24;
    c.SnapMonth = 5;
    c.SnapDay = 17;
    c.SnapHour = 13;
    c.SnapMinute = 45;
    c.SnapSecond = 59;
    c.AuxTime = 42.42;
    c.BuildTgvCurve();
    c.Modified = 0;
    return c;
}

// The parameter-numbered text of a configuration reset with number 1, worked out by hand.
// clang-format off
inline const std::vector<std::string> kResetText = {
    "0:1", "1:1", "2:1", "3:1", "4:1", "5:NONAME", "6:10", "7:10",
    "8:10", "9:10", "10:0", "11:10", "12:10", "13:0", "14:0", "15:0",
    "16:10", "17:0", "18:0", "19:0", "20:30", "21:50", "22:100", "23:90",
    "24:10", "25:30", "26:0", "27:100", "28:100", "29:100", "30:100", "31:0",
    "32:0", "33:0", "34:0", "35:0", "36:0", "37:1024", "38:0", "39:0",
    "40:0", "41:0", "42:10", "43:0", "44:1", "45:0", "46:40000",
    "47:0:28:28:28:28:28:28:28:28:28:28:28:28:28:28:28:28:28:28:28:28:28:28:28:28:28:28:28:28:"
    "30:28:28:",
    "48:0:64:128:192:256:320:384:448:512:576:640:704:768:832:896:960:1024:1088:1152:1216:1280:"
    "1344:1408:1472:1536:1600:1664:1728:1792:1024:1920:1984:",
    "49:0", "50:30", "51:30", "52:1", "53:30", "54:0", "55:0", "56:5",
    "57:10", "58:0", "59:30", "60:30", "61:1", "62:1", "63:2700", "64:0",
    "65:7", "66:0", "67:0", "68:0", "69:0", "70:0", "71:10", "72:3000",
    "73:5000", "74:10000", "75:9000", "76:100", "77:100", "78:100", "79:100", "80:0",
    "81:40", "82:135", "83:0", "84:95", "65534:",
};
// clang-format on

// The differences between two configurations, parameter by parameter and field by field, for
// failure messages; empty when they are equal.
inline std::string differences(const TBaseConfigCell& a, const TBaseConfigCell& b) {
    std::string out;
    for (int n = 0; n < ParamCount; ++n) {
        if (a.GetParamRawString(n) != b.GetParamRawString(n) ||
            a.GetParamValue(n) != b.GetParamValue(n)) {
            out += "param " + std::to_string(n) + ": '" + a.GetParamRawString(n) + "' vs '" +
                   b.GetParamRawString(n) + "'\n";
        }
    }
    auto field = [&out](const char* name, auto x, auto y) {
        if (x != y) {
            out += std::string(name) + " differs\n";
        }
    };
    field("StrobeBeginTime", a.StrobeBeginTime, b.StrobeBeginTime);
    field("StrobeLengthTime", a.StrobeLengthTime, b.StrobeLengthTime);
    field("CursorTime", a.CursorTime, b.CursorTime);
    field("CursorZoomTime", a.CursorZoomTime, b.CursorZoomTime);
    field("DotsPerCell", a.DotsPerCell, b.DotsPerCell);
    field("DotsPerCellPrev", a.DotsPerCellPrev, b.DotsPerCellPrev);
    field("TgvPrevState", a.TgvPrevState, b.TgvPrevState);
    field("ConfigStrings", a.ConfigStrings, b.ConfigStrings);
    field("Modified", a.Modified, b.Modified);
    field("TgvCurve", a.TgvCurve, b.TgvCurve);
    if (out.empty() && !(a == b)) {
        out = "some field differs\n";
    }
    return out;
}

} // namespace tbtest
