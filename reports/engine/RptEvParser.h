// The parser of the expression language: a recursive-descent reading of the text into the
// prefix-ordered element list the evaluator runs. Used by TRptEvaluator only.
#pragma once

#include "reports/engine/RptEval.h"

#include <string_view>
#include <vector>

struct TRptEvParseContext {
    const TRptFunctionLibrary& library;
    const std::vector<const TRptDataSet*>& dataSets;
    const TRptEvEnvironment* environment; // may be null
    const TRptEvEnvironment* global;      // may be null
};

// Fills `fifo` (which must be empty) with the expression's elements. A text that cannot be read
// gives a list of one error element with the message of the first fault.
void RptParseExpression(std::string_view text, const TRptEvParseContext& context, TRptFiFo& fifo);

// The character between function arguments, the same for the whole engine ("," unless set).
char RptArgumentSeparator();
void RptSetArgumentSeparator(char separator);
