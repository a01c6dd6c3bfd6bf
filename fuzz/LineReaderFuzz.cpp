// The line reader: every byte of the file is in exactly one line or line end, whatever ends the
// lines.
#include "FuzzSupport.h"

#include "platform/text/LineFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::InputFile input("lines.txt");
    const auto& path = input.write(data, size);
    platform::text::LineReader reader(path);
    fuzz::check(reader.bytesLeft() == size, "the whole file is left before reading");
    std::size_t bytes = 0;
    std::size_t breaks = 0;
    std::string_view line;
    while (reader.next(line)) {
        bytes += line.size();
        fuzz::check(reader.bytesLeft() <= size - bytes, "what is left shrinks");
    }
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\n') {
            breaks += i > 0 && data[i - 1] == '\r' ? 2 : 1;
        }
    }
    fuzz::check(bytes + breaks == size, "lines and line ends make up the file");
    fuzz::check(reader.atEnd() && reader.bytesLeft() == 0, "nothing left at the end");
    fuzz::check(platform::text::countLines(path) == reader.lineNumber(), "lines counted alike");
    return 0;
}
