// The rules of editing a configuration by hand, kept apart from the widgets: which parameter each
// row of the configurations page's grids edits, what may be typed into a parameter's editor and
// how the typed text is made ready for the model, the pictures of the parameter buttons, and how
// the name editor is prepared.
#pragma once

#include "config/BaseConfigObjectUnit.h"
#include "platform/text/Numbers.h"

#include <QPoint>
#include <QRect>

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace app {

// A grid row that edits no parameter.
inline constexpr std::uint16_t NoParam = 65535;

// The value grids of the configurations page, in the order the page keeps them.
enum class ParamGrid : int { MeasureConditions = 0, First, Second, Third, Fourth };
inline constexpr int ParamGridCount = 5;

// The parameters of a group grid's rows; the measure-conditions rows depend on the configuration
// shown (MeasureConditionRows).
std::span<const std::uint16_t> GroupGridRows(ParamGrid grid);
int ParamGridRowCount(ParamGrid grid);

// Rows of the measure-conditions grid for a configuration of that scale dimension: strobe 1 in
// microseconds (72, 74) or, for a millimetre scale, in millimetres (81, 82); then 84 and 59.
std::array<std::uint16_t, 4> MeasureConditionRows(std::uint8_t scaleDimension);

// ---- Parameter buttons

// The parameters the six buttons step, in button order (screen type, strobe signalling,
// comparator and measure algorithms, signal type, TVG).
inline constexpr std::array<int, 6> ParamButtonParams = {40, 33, 38, 26, 39, 49};

// The picture a button shows for its parameter's value; 0 for a parameter without a button.
int ParamButtonImageIndex(int param, double value);

// ---- Typed values

// What an editor accepts: only digits (and the grouping mark) or any character, and how many
// digits at most (0: no limit). The limit comes from the parameter's largest value, not from the
// edit mask's length, so every valid value can be typed; validation still decides.
struct TParamEditSpec {
    bool digitsOnly = false;
    int maxDigits = 0;
    bool operator==(const TParamEditSpec&) const = default;
};

// displayDecimals: digits the parameter's display string shows after the decimal separator.
TParamEditSpec ParamEditSpec(int number, const TEditorItem& item, int displayDecimals);

// Digits after the decimal separator in a display string (0 when it has none).
int DisplayDecimals(std::string_view display, char decimalSeparator);

// Whether an editor may hold this text (typed or pasted).
bool ParamEditTextAcceptable(std::string_view text, const TParamEditSpec& rule,
                             const platform::text::FormatSettings& fs);

// The character filter of the grids and their editors: digits and the user's separators; the
// editors also take backspace. No sign can be typed.
bool ParamKeyPasses(char32_t c, bool inEditor, const platform::text::FormatSettings& fs);

// Removes grouping marks from typed text: a thousand separator goes only where exactly three
// digits follow it and no decimal separator comes after it, so "2,700" is 2700 while "0,5"
// typed with the wrong mark reaches validation unchanged and is refused there.
std::string StripThousandSeparators(std::string_view text,
                                    const platform::text::FormatSettings& fs);

// ---- The name editor

// What the string-parameter dialog is given to rename a configuration (texts in Windows-1251).
struct TNameEditSetup {
    std::string label;
    std::string allowedChars; // every character the instrument can show
    std::string mapFromChars; // lower-case letters it cannot show ...
    std::string mapToChars;   // ... and the capitals typed in their place
    std::string editMask;     // maxLength optional characters, blank placeholder
    int maxLength = 0;
    std::string text;
};

// Instruments that put the slot number before the name leave it 19 characters, others 22.
TNameEditSetup NameEditSetup(const TBaseConfigCell& config);

// The name a confirmed dialog gives (its placeholder blanks at the end removed), and whether it
// differs from the old one: confirming the text unedited is no change.
std::string ConfirmedName(std::string_view edited);
bool NameChanged(std::string_view oldName, std::string_view edited);

// Where the name dialog goes so that its edit field's top-left corner lies at the pointer's x,
// 12 pixels above the pointer minus the field's height; kept inside the available screen area.
// field: the edit field inside the dialog; dialogSize: the dialog's outer size.
QPoint NameDialogPosition(QPoint pointer, QRect field, QSize dialogSize, QRect available);

} // namespace app
