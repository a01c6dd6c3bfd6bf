// Configuration sets and the configuration files (*.ctf) that keep them: the current form, a
// five-line "KSN3" header followed by parameter-numbered blocks, and the legacy form, a plain run
// of positional blocks.
#pragma once

#include "config/BaseConfigObjectUnit.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// Slots that own their configurations; the set travels with a separate count.
using PConfigsSet = std::vector<std::unique_ptr<TBaseConfigCell>>;

// The most configurations a file may hold; a file announcing more is refused.
constexpr std::uint16_t MaxConfigsPerFile = 100;

// The five header lines of configuration and measurement files: caption 111 + "KSN3", captions
// 112..114 + the identity bytes, caption 115 + the number of entries that follow.
struct TFileHeader {
    std::uint8_t Kind = 0;
    std::uint8_t Version = 0;
    std::uint8_t Variant = 0;
    std::uint16_t Count = 0;
};

std::vector<std::string> FormatFileHeader(const TFileHeader& header);

// The value of a header line: the text after its first colon.
std::string HeaderValue(const std::string& line);

// Parses header lines 2..5 (identity bytes and count). A value that is not a number raises
// platform::text::ConversionError, one too wide for its field platform::text::RangeError.
TFileHeader ParseFileHeader(const std::string& kindLine, const std::string& versionLine,
                            const std::string& variantLine, const std::string& countLine);

// Savers answer 0 when the file was written and 1 when they refused (count differs from the
// set's length, count 0, an empty slot) or the file could not be written; a failed save leaves
// the previous file as it was.
int SaveConfigSet(const std::filesystem::path& path, PConfigsSet& set, std::uint16_t count);
int SaveLegacyConfigSet(const std::filesystem::path& path, PConfigsSet& set, std::uint16_t count);

// Loaders read into a new set and replace `set` and `count` only when the file was recognised:
// afterwards the set holds exactly `count` configurations, each validated. LoadConfigSet answers
// 0 when the file held every configuration its header announced, 1 otherwise (a shorter file
// keeps what it held; a file that is not recognised, announces more than MaxConfigsPerFile or
// ends inside its header leaves the set alone). A file without the "KSN3" header is read as a
// legacy file. LoadLegacyConfigSet answers 0 when at least one configuration was read. A file
// that cannot be opened raises platform::text::IoError; a header value that is not a number or
// a value too wide for its field raises a conversion or range error, and the set stays as it was.
int LoadConfigSet(const std::filesystem::path& path, PConfigsSet& set, std::uint16_t& count);
int LoadLegacyConfigSet(const std::filesystem::path& path, PConfigsSet& set, std::uint16_t& count);
