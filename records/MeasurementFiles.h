// The measurement files: A-scans (*.dtf), bands (*.btf) and maps (*.mtf), each in the current
// form (a five-line "KSN3" header and one record text per record) and in the old form (a
// positional configuration text and the samples per record). One implementation serves the three
// kinds.
//
// Saving writes a temporary file beside the target and renames it over the target only when
// everything was written, so a failed save leaves the previous file as it was. Loading reads into
// a new list: the caller's list changes only when the file was recognised and either at least one
// whole record was read or the file was read to its end (so a complete file announcing no
// records empties the list); it then holds exactly the records read, with count equal to its
// length.
//
// Results: 0 success, 1 failure (refused save, write error, unrecognised file, a file that ends
// early, a record without its samples, a value that does not fit, no memory for a record). A file
// that cannot be opened for loading raises platform::text::IoError.
#pragma once

#include "records/BaseAScanUnit.h"
#include "records/BaseBandUnit.h"
#include "records/BaseMapUnit.h"

#include <cstdint>
#include <filesystem>

// The first line of a record in the old form.
inline constexpr const char* OldFormSignature = "CONFIG_VERSION:1";
// The value of the first header line of the current form.
inline constexpr const char* FileSignature = "KSN3";

// ---- A-scans --------------------------------------------------------------------------------

// The marked records of the list; refused when none is marked or the list's length is not count.
int SaveAScansToFile(const std::filesystem::path& path, const PAscansSet& list,
                     std::uint16_t count);
int SaveAScansToOldFile(const std::filesystem::path& path, const PAscansSet& list,
                        std::uint16_t count);
// The one record, marked or not; refused without a record.
int SaveSelectedAScanToFile(const std::filesystem::path& path, TBaseAScanCell* record);
// Either form, recognised by the first line.
int LoadAScansFromFile(const std::filesystem::path& path, PAscansSet& list, std::uint16_t& count);
int LoadAScansFromOldFile(const std::filesystem::path& path, PAscansSet& list,
                          std::uint16_t& count);

// ---- Bands ----------------------------------------------------------------------------------

int SaveBandsToFile(const std::filesystem::path& path, const PBandsSet& list, std::uint16_t count);
int SaveBandsToOldFile(const std::filesystem::path& path, const PBandsSet& list,
                       std::uint16_t count);
int SaveSelectedBandToFile(const std::filesystem::path& path, TBaseBandCell* record);
int LoadBandsFromFile(const std::filesystem::path& path, PBandsSet& list, std::uint16_t& count);
int LoadBandsFromOldFile(const std::filesystem::path& path, PBandsSet& list, std::uint16_t& count);

// ---- Maps -----------------------------------------------------------------------------------

int SaveMapsToFile(const std::filesystem::path& path, const PMapsSet& list, std::uint16_t count);
int SaveMapsToOldFile(const std::filesystem::path& path, const PMapsSet& list, std::uint16_t count);
int SaveSelectedMapToFile(const std::filesystem::path& path, TBaseMapCell* record);
int LoadMapsFromFile(const std::filesystem::path& path, PMapsSet& list, std::uint16_t& count);
int LoadMapsFromOldFile(const std::filesystem::path& path, PMapsSet& list, std::uint16_t& count);
