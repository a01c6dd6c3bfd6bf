// The language files: the input stands in for one of the three (chosen by its first byte), the
// other two are the program's own.
#include "FuzzSupport.h"

#include "config/LocalStringsUnit.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::InputFile input("program");
    static const std::array<const char*, 3> names = {"errmsgs.str", "captions.str",
                                                     "txtvarvalues.str"};
    static const std::array<std::string, 3> own = [] {
        std::filesystem::create_directories(input.folder() / "strings");
        std::array<std::string, 3> texts;
        for (std::size_t i = 0; i < names.size(); ++i) {
            std::ifstream in(std::filesystem::path(TB_SOURCE_DIR) / "strings" / names[i],
                             std::ios::binary);
            texts[i].assign(std::istreambuf_iterator<char>(in), {});
        }
        return texts;
    }();
    if (size < 1) {
        return 0;
    }
    fuzz::quietMessageBoxes();
    const auto strings = input.folder() / "strings";
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i == data[0] % names.size()) {
            input.writeAt(strings / names[i], data + 1, size - 1);
        } else {
            input.writeAt(strings / names[i], reinterpret_cast<const std::uint8_t*>(own[i].data()),
                          own[i].size());
        }
    }
    UnloadLanguageFiles();
    LoadLanguageFiles(input.folder() / "program");
    for (int n = -1; n < 1100; n += 7) {
        (void)GetCaptionString(n);
        (void)GetErrMsgString(n);
        (void)GetTxtVarValueString(n);
    }
    return 0;
}
