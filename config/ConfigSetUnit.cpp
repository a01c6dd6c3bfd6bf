// Reading and writing configuration files.
#include "config/ConfigSetUnit.h"

#include "config/LocalStringsUnit.h"
#include "platform/text/LineFile.h"
#include "platform/text/Numbers.h"

namespace text = platform::text;

namespace {

const char* const kSignature = "KSN3";

template <typename T> T headerNumber(const std::string& line) {
    const auto v = text::parseInteger(HeaderValue(line));
    if (!v) {
        throw text::ConversionError("'" + HeaderValue(line) + "' is not a valid integer value");
    }
    return text::checkedCast<T>(*v);
}

bool completeSet(const PConfigsSet& set, std::uint16_t count) {
    if (count == 0 || set.size() != count) {
        return false;
    }
    for (const auto& slot : set) {
        if (!slot) {
            return false;
        }
    }
    return true;
}

bool blankLine(std::string_view line) {
    return text::trimBlanks(line).empty();
}

} // namespace

std::vector<std::string> FormatFileHeader(const TFileHeader& h) {
    return {
        GetCaptionString(111) + kSignature,
        GetCaptionString(112) + text::formatInteger(h.Kind),
        GetCaptionString(113) + text::formatInteger(h.Version),
        GetCaptionString(114) + text::formatInteger(h.Variant),
        GetCaptionString(115) + text::formatInteger(h.Count),
    };
}

std::string HeaderValue(const std::string& line) {
    const size_t colon = line.find(':');
    return colon == std::string::npos ? std::string() : line.substr(colon + 1);
}

TFileHeader ParseFileHeader(const std::string& kindLine, const std::string& versionLine,
                            const std::string& variantLine, const std::string& countLine) {
    TFileHeader h;
    h.Kind = headerNumber<std::uint8_t>(kindLine);
    h.Version = headerNumber<std::uint8_t>(versionLine);
    h.Variant = headerNumber<std::uint8_t>(variantLine);
    h.Count = headerNumber<std::uint16_t>(countLine);
    return h;
}

int SaveConfigSet(const std::filesystem::path& path, PConfigsSet& set, std::uint16_t count) {
    if (!completeSet(set, count)) {
        return 1;
    }
    try {
        text::AtomicFileWriter file(path);
        const TBaseConfigCell& first = *set.front();
        for (const auto& line : FormatFileHeader(
                 {first.DeviceKind, first.DeviceVersion, first.DeviceVariant, count})) {
            file.writeLine(line);
        }
        for (auto& config : set) {
            WriteParamBlock(*config, file);
        }
        file.commit();
    } catch (const text::IoError&) {
        return 1;
    }
    return 0;
}

int SaveLegacyConfigSet(const std::filesystem::path& path, PConfigsSet& set, std::uint16_t count) {
    if (!completeSet(set, count)) {
        return 1;
    }
    try {
        text::AtomicFileWriter file(path);
        for (const auto& config : set) {
            WriteLegacyBlock(*config, file);
        }
        file.commit();
    } catch (const text::IoError&) {
        return 1;
    }
    return 0;
}

int LoadConfigSet(const std::filesystem::path& path, PConfigsSet& set, std::uint16_t& count) {
    TFileHeader header;
    PConfigsSet loaded;
    {
        text::LineReader file(path);
        std::string_view view;
        if (!file.next(view) || HeaderValue(std::string(view)) != kSignature) {
            return LoadLegacyConfigSet(path, set, count);
        }
        std::string lines[4];
        for (auto& line : lines) {
            if (!file.next(view)) {
                return 1; // ends inside its header
            }
            line = view;
        }
        header = ParseFileHeader(lines[0], lines[1], lines[2], lines[3]);
        if (header.Count > MaxConfigsPerFile) {
            return 1;
        }
        loaded.reserve(header.Count);
        while (loaded.size() < header.Count && !file.atEnd()) {
            std::unique_ptr<TBaseConfigCell> slot;
            TBaseConfigCell& config =
                NewConfigCell(header.Kind, header.Version, header.Variant, slot);
            if (ReadParamBlock(config, file) != 0) {
                break; // a block cut short is not a configuration
            }
            loaded.push_back(std::move(slot));
        }
    }
    const bool complete = loaded.size() == header.Count;
    count = static_cast<std::uint16_t>(loaded.size());
    set = std::move(loaded);
    return complete ? 0 : 1;
}

int LoadLegacyConfigSet(const std::filesystem::path& path, PConfigsSet& set, std::uint16_t& count) {
    PConfigsSet loaded;
    {
        text::LineReader file(path);
        while (loaded.size() < MaxConfigsPerFile && !file.atEnd()) {
            std::unique_ptr<TBaseConfigCell> slot;
            TBaseConfigCell& config = NewConfigCell(1, 1, 1, slot);
            // A block whose version line is not 1 is passed over line by line.
            if (ReadLegacyBlock(config, file, false) == 0) {
                loaded.push_back(std::move(slot));
            }
        }
        if (loaded.size() == MaxConfigsPerFile) {
            std::string_view view;
            while (file.next(view)) {
                if (!blankLine(view)) {
                    return 1; // more configurations than a file may hold
                }
            }
        }
    }
    if (loaded.empty()) {
        return 1;
    }
    count = static_cast<std::uint16_t>(loaded.size());
    set = std::move(loaded);
    return 0;
}
