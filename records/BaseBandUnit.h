// A band (B-scan): a row of A-scans taken along a line under one configuration. Beside the A-scan
// record it keeps what turns the band into a picture: a colour table of one colour per absolute
// amplitude 0..360 built from one of four palettes over a hue range, the scan cursor, the shift
// of a band wider than its view, and the arithmetic of the colour gradator's two handles.
#pragma once

#include "platform/gfx/Bitmap.h"
#include "records/BaseAScanUnit.h"
#include "records/WorkImage.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

constexpr std::size_t ColorTableSize = 361;

enum TPaletteKind : std::uint8_t {
    PaletteBinary = 0,      // white below the upper bound, black from it on
    PaletteDirectGrey = 1,  // white at the lower bound to black at the upper
    PaletteInverseGrey = 2, // black at the lower bound to white at the upper
    PaletteThermal = 3,     // blue, green, yellow, red
};

// Arguments of BuildPalette (and of the drawing operations) that keep what the band holds.
constexpr std::uint8_t KeepPalette = 255;
constexpr std::uint16_t KeepBound = 65535;

// The most A-scans a band may hold.
constexpr std::uint32_t MaxBandScans = 901;

namespace platform::gfx {
class PresentTarget;
class ReportImageTarget;
} // namespace platform::gfx
namespace views {
class CursorLayer;
}

class TBaseBandCell : public TBaseAScanCell {
public:
    // One A-scan of 4097 zero samples, binary palette over 0..359 with screen colours.
    TBaseBandCell();

    // ---- Geometry -------------------------------------------------------------------------------

    // Releases the samples; BAND_LAST_ASCAN and BAND_CURRENT_ASCAN become 0, the row and column
    // counts stay. Nothing happens when there are no samples.
    virtual void ClearData();

    // Makes the band n A-scans long (n >= 1, else platform::text::RangeError), each of N
    // samples; samples that fit are kept. BAND_LAST_ASCAN becomes n - 1.
    void SetScanCount(std::uint16_t n);

    // Selects A-scan j when the band has it.
    void SetCurrentScan(std::uint16_t j);

    // After a reading over the link: the TVG curve is rebuilt and applied to every A-scan (no
    // echo search); the palette starts afresh: binary, 0 .. the strobe 1 level in hue, no shift.
    void ProcessReceived() override;

    // Width of one A-scan in the band view: 2, 4, 8 or 16 pixels.
    std::uint32_t PixelsPerAScan() const;

    // A click at x in the band view: the scan cursor goes to the A-scan under it.
    virtual void SetCursorColumnFromMouse(std::uint16_t x);

    // A click along the depth axis moves the marker and cursor 1, whatever the cursor count.
    void SetMarkerFromMouse(std::uint16_t x, std::uint16_t width) override;

    // Whether a view w pixels wide needs a shift bar, and its number of positions.
    bool GetShiftRange(std::uint16_t w, std::uint16_t& positions) const;

    // ---- Colours --------------------------------------------------------------------------------

    // The A-scan colours, white background, grey scale, and the palette rebuilt.
    void SetColorScheme(std::uint8_t scheme) override;

    // Fills the colour table. KeepPalette / KeepBound take the band's own kind and bounds; the
    // arguments serve this build only. Equal bounds give a hard threshold; reversed bounds are
    // built swapped.
    void BuildPalette(std::uint8_t kind, std::uint16_t low, std::uint16_t high);

    // The colour of an absolute amplitude; amplitudes outside 0..360 take the nearest entry.
    TColor ColorAt(std::int64_t amplitude) const;

    // The colour gradator, w pixels wide, shows hue h at x = h (w - 2) / 359 + 1. The handle
    // near x: 1 the lower bound, 2 the upper, 0 none.
    std::uint8_t HitColorGradator(std::uint16_t w, std::uint16_t x) const;
    // Moves a handle to x, keeping the bounds more than 20 apart; the caller rebuilds the palette.
    void DragColorGradator(std::uint16_t w, std::uint8_t handle, std::uint16_t x);

    // ---- Record text ----------------------------------------------------------------------------

    void SetField(std::uint16_t index, std::string_view value) override;
    std::string GetFieldValue(std::uint16_t index) override;
    void SaveToOldText(platform::text::AtomicFileWriter& file) override;
    bool ReadAllSamples(platform::text::LineReader& file) override;

    // ---- Views (BandViews.cpp) ------------------------------------------------------------------
    // kind: a palette for this drawing (KeepPalette keeps the band's); scheme as for the A-scan
    // views (KeepScheme keeps the band's). Both are restored on every way out.

    // Fills the surface with the background colour and shows it.
    virtual void ClearSurface(platform::gfx::PresentTarget& control);
    // A new transparent picture w x h (key: colour table entry 0) holding the cursor lines.
    void DrawOverlay(std::uint8_t scheme, int w, int h, platform::gfx::TBitmap& bitmap);
    // The cursor lines over a picture w x h, drawn where `layer` puts them.
    virtual void DrawCursorLines(std::uint8_t scheme, int w, int h, views::CursorLayer& layer);
    // The cached picture with fresh cursor lines.
    virtual void RedrawToSurfaceView(platform::gfx::PresentTarget& control);
    // Renders the picture anew into the cache at the surface's size, with cursor lines.
    virtual void DrawToSurfaceView(std::uint8_t kind, std::uint8_t scheme,
                                   platform::gfx::PresentTarget& control);
    // Picture and cursor lines at the report image's size; the cache is not touched.
    virtual void DrawToReport(std::uint8_t kind, std::uint8_t scheme,
                              platform::gfx::ReportImageTarget& image);
    // The band picture, w x h, into the bitmap (made when there is none).
    virtual void RenderImage(std::uint8_t kind, std::uint8_t scheme,
                             std::unique_ptr<platform::gfx::TBitmap>& bitmap, int w, int h);
    // The scan-direction ruler: variant 0 above the picture, 1 below it.
    void DrawScanMarkupToSurfaceView(std::uint8_t scheme, int variant,
                                     platform::gfx::PresentTarget& control);
    void DrawScanMarkupToReport(std::uint8_t scheme, int variant,
                                platform::gfx::ReportImageTarget& image);
    // The colour table as a strip with the two hue handles.
    void DrawColorGradatorToSurfaceView(platform::gfx::PresentTarget& control,
                                        std::uint8_t kind = KeepPalette);
    // Merges the work images over W x h and, when asked, smooths with a k x k box; only for
    // bands of more than three A-scans.
    void FilterImage(TWorkImage& imageB, TWorkImage& imageA, int W, int h, int k, bool smooth);
    // Whether FilterImage works on this band's pictures.
    bool FiltersImages() const;

    // ---- Fields ---------------------------------------------------------------------------------

    TWorkImage WorkImageA;
    TWorkImage WorkImageB;
    // The last picture DrawToSurfaceView rendered, for redrawing with fresh cursors.
    std::unique_ptr<platform::gfx::TBitmap> BandPicture;

    std::uint16_t BandRecordIndex = 0;
    TColor BackgroundColor = 0xFFFFFF;
    TColor ScaleColor = 0x808080;
    TColor CursorColor = 0x0000FF;
    std::uint8_t PaletteKind = PaletteBinary;
    std::array<TColor, ColorTableSize> ColorTable{};
    TColor LowHandleColor = 0x0000FF;
    TColor HighHandleColor = 0x0000FF;

protected:
    std::uint16_t LastFieldIndex() const override { return 10; }
    std::uint16_t SamplesFieldIndex() const override { return 6; }
    TRecordShape AnnouncedShape() const override {
        return {1, Config->BandLastAScan + 1u, SampleCount()};
    }
    void WriteFieldLines(std::uint16_t index, platform::text::AtomicFileWriter& file) override;
    bool ReadFieldLines(std::uint16_t index, platform::text::LineReader& file) override;
    std::uint16_t ResetNumber() const override { return BandRecordIndex; }
    std::uint32_t ConformAfterLoad() override;

    // Applies the text of one of the fields bands and maps share (identity, comments, scheme,
    // palette, hue bounds); false for another index.
    bool SetSharedField(std::uint16_t index, std::string_view value);
    // Their values; false for another index.
    bool GetSharedFieldValue(std::uint16_t index, std::string& value);

    // N, checked against the A-scan slot before the samples are read.
    std::uint32_t CheckedSampleCount() const;
};

using PBandsSet = std::vector<std::unique_ptr<TBaseBandCell>>;

bool EraseBand(PBandsSet& list, std::uint16_t index, std::uint16_t& count);

// Builds another palette into a band for one drawing and the band's own again on every way out.
// KeepPalette keeps the band's palette.
class TPaletteOverride {
public:
    TPaletteOverride(TBaseBandCell& band, std::uint8_t kind);
    ~TPaletteOverride();
    TPaletteOverride(const TPaletteOverride&) = delete;
    TPaletteOverride& operator=(const TPaletteOverride&) = delete;

private:
    TBaseBandCell& band_;
    bool applied_;
};
