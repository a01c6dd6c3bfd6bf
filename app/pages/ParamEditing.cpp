#include "app/pages/ParamEditing.h"

#include "config/CharMappingUnit.h"
#include "config/LocalStringsUnit.h"

#include <algorithm>
#include <cmath>

namespace app {

namespace {

constexpr std::array<std::uint16_t, 4> kFirstRows = {54, 52, 53, 63};
constexpr std::array<std::uint16_t, 5> kSecondRows = {35, 55, 56, 57, 61};
constexpr std::array<std::uint16_t, 1> kThirdRows = {58};
constexpr std::array<std::uint16_t, 4> kFourthRows = {16, 9, NoParam, NoParam};

bool isDigit(char32_t c) {
    return c >= U'0' && c <= U'9';
}

int digitsOf(std::int64_t v) {
    v = v < 0 ? -v : v;
    int n = 1;
    while (v >= 10) {
        v /= 10;
        ++n;
    }
    return n;
}

} // namespace

std::span<const std::uint16_t> GroupGridRows(ParamGrid grid) {
    switch (grid) {
    case ParamGrid::First:
        return kFirstRows;
    case ParamGrid::Second:
        return kSecondRows;
    case ParamGrid::Third:
        return kThirdRows;
    case ParamGrid::Fourth:
        return kFourthRows;
    case ParamGrid::MeasureConditions:
        break;
    }
    return {};
}

int ParamGridRowCount(ParamGrid grid) {
    return grid == ParamGrid::MeasureConditions ? 4 : static_cast<int>(GroupGridRows(grid).size());
}

std::array<std::uint16_t, 4> MeasureConditionRows(std::uint8_t scaleDimension) {
    if (scaleDimension != 0) {
        return {ASCAN_STROB1_BEGIN_MM, ASCAN_STROB1_LENGTH_MM, ASCAN_STROB1_GAIN_DB,
                ANL_ATTENUATOR_COUNT1};
    }
    return {ASCAN_STROB1_BEGIN_TIME, ASCAN_STROB1_LENGTH_TIME, ASCAN_STROB1_GAIN_DB,
            ANL_ATTENUATOR_COUNT1};
}

int ParamButtonImageIndex(int param, double value) {
    const int v = std::isfinite(value) && std::fabs(value) < 1e6
                      ? static_cast<int>(platform::text::roundHalfEven(value))
                      : 0;
    switch (param) {
    case GEN_SCREEN_TYPE:
        return (v & 15) + 6;
    case ASCAN_STROB1_ENABLED:
        return v + 17;
    case ASCAN_SIGNAL_CATCH_ALGORYTHM:
        return v + 12;
    case ASCAN_KURSORS_QUANT:
        return v + 20;
    case GEN_SIGNAL_TYPE:
        return v + 3;
    case GEN_TGV_ENABLED:
        return v + 14;
    default:
        return 0;
    }
}

TParamEditSpec ParamEditSpec(int number, const TEditorItem& item, int displayDecimals) {
    TParamEditSpec rule;
    rule.digitsOnly =
        !item.EditMask.empty() && std::all_of(item.EditMask.begin(), item.EditMask.end(),
                                              [](char c) { return c == '0' || c == '9'; });
    if (number < 0 || number >= ParamCount) {
        return rule;
    }
    const TParamDescriptor& d = ParamDescriptorTable[static_cast<std::size_t>(number)];
    switch (d.Kind) {
    case PK_INTEGER:
    case PK_LIST:
        rule.maxDigits = std::max(digitsOf(d.IntMax), digitsOf(d.IntMin));
        break;
    case PK_REAL: {
        const double largest = std::max(std::fabs(d.RealMax), std::fabs(d.RealMin));
        rule.maxDigits =
            digitsOf(static_cast<std::int64_t>(largest)) + std::max(0, displayDecimals);
        break;
    }
    default:
        break;
    }
    return rule;
}

int DisplayDecimals(std::string_view display, char decimalSeparator) {
    const auto at = display.find(decimalSeparator);
    if (at == std::string_view::npos) {
        return 0;
    }
    int n = 0;
    for (std::size_t i = at + 1; i < display.size() && isDigit(display[i]); ++i) {
        ++n;
    }
    return n;
}

bool ParamEditTextAcceptable(std::string_view text, const TParamEditSpec& rule,
                             const platform::text::FormatSettings& fs) {
    int digits = 0;
    for (char c : text) {
        if (isDigit(static_cast<unsigned char>(c))) {
            ++digits;
        } else if (rule.digitsOnly && c != fs.thousandSeparator) {
            return false;
        }
    }
    return rule.maxDigits <= 0 || digits <= rule.maxDigits;
}

bool ParamKeyPasses(char32_t c, bool inEditor, const platform::text::FormatSettings& fs) {
    if (isDigit(c)) {
        return true;
    }
    if (c == static_cast<unsigned char>(fs.thousandSeparator) ||
        c == static_cast<unsigned char>(fs.decimalSeparator)) {
        return true;
    }
    return inEditor && c == U'\b';
}

std::string StripThousandSeparators(std::string_view text,
                                    const platform::text::FormatSettings& fs) {
    const char sep = fs.thousandSeparator;
    if (sep == fs.decimalSeparator) {
        return std::string(text);
    }
    const auto lastDecimal = text.rfind(fs.decimalSeparator);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == sep) {
            const bool threeDigits = i + 3 < text.size() && isDigit(text[i + 1]) &&
                                     isDigit(text[i + 2]) && isDigit(text[i + 3]) &&
                                     (i + 4 == text.size() || !isDigit(text[i + 4]));
            const bool decimalAfter = lastDecimal != std::string_view::npos && lastDecimal > i;
            if (threeDigits && !decimalAfter) {
                continue;
            }
        }
        out.push_back(text[i]);
    }
    return out;
}

// ---- The name editor

TNameEditSetup NameEditSetup(const TBaseConfigCell& config) {
    TNameEditSetup s;
    s.label = GetCaptionString(50) + " " + std::to_string(config.ConfigNumber);
    for (const TCharMapEntry& e : CharMapTable) {
        s.allowedChars.push_back(static_cast<char>(e.character));
    }
    for (const TCaseMapEntry& e : CaseMapTable) {
        s.mapFromChars.push_back(static_cast<char>(e.lower));
        s.mapToChars.push_back(static_cast<char>(e.upper));
    }
    s.maxLength = UsesSlotPrefix(config) ? 19 : static_cast<int>(MaxConfigNameLength);
    s.editMask = std::string(static_cast<std::size_t>(s.maxLength), 'c') + ";1; ";
    s.text = config.ConfigName;
    return s;
}

std::string ConfirmedName(std::string_view edited) {
    const auto end = edited.find_last_not_of(' ');
    return std::string(end == std::string_view::npos ? std::string_view()
                                                     : edited.substr(0, end + 1));
}

bool NameChanged(std::string_view oldName, std::string_view edited) {
    return ConfirmedName(edited) != ConfirmedName(oldName);
}

QPoint NameDialogPosition(QPoint pointer, QRect field, QSize dialogSize, QRect available) {
    int left = pointer.x() - field.left();
    int top = pointer.y() - field.top() - field.height() - 12;
    if (available.isValid()) {
        left = std::clamp(left, available.left(),
                          std::max(available.left(), available.right() + 1 - dialogSize.width()));
        top = std::clamp(top, available.top(),
                         std::max(available.top(), available.bottom() + 1 - dialogSize.height()));
    }
    return {left, top};
}

} // namespace app
