// Numbers as report text: the general float-to-text conversion every result of the engine uses,
// and the user's numeric masks ("0.00", "#,##0.0;(#,##0.0);'nil'") of expressions and of the
// FORMATNUMERIC function. Both write the user's decimal and thousand separators.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// General format: 15 significant digits, trailing zeros dropped, fixed notation for
// 1e-5 <= |v| < 1e15, otherwise mantissa, "E" and the exponent without "+" or leading zeros.
// 2.5 -> "2.5", 1/3 -> "0.333333333333333", 1e20 -> "1E20", 1e-6 -> "1E-6". Infinities and NaN
// are "INF", "-INF" and "NAN".
std::string RptFloatToText(double value);

// A number formatted by a mask of up to three sections separated by ";" (positive, negative,
// zero; an empty negative or zero section falls back to the first). In a section "0" is a digit
// always written, "#" a digit written only when significant, the first "." the decimal point and
// a "," among the integer digits turns on thousand separators; "E+", "E-", "e+", "e-" followed
// by "0"s write an exponent; text in single or double quotes and every other character stand as
// they are. An empty mask (or an empty first section) gives RptFloatToText. No result for a
// value that is not finite or a mask with an unclosed quote.
std::optional<std::string> RptFormatFloat(std::string_view mask, double value);
