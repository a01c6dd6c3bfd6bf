// Expressions as a user types them into the expression builder, checked as its Validate button
// checks them against an environment and a data set, then prepared once and evaluated again and
// again: plainly, step by step over the data set's records and after a reset. The same expression
// gives the same result every time (the clock's functions aside).
#include "FuzzSupport.h"

#include "reports/engine/RptDataSet.h"
#include "reports/engine/RptEval.h"
#include "reports/pages/RptError.h"
#include "reports/preview/RptExpressionBuilder.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

namespace {

using R = TRptEvResult;

// Floats compared bit for bit: a NaN is the same NaN again.
bool same(const R& a, const R& b) {
    if (a.Kind() != b.Kind()) {
        return false;
    }
    if (a.Kind() == rtFloat) {
        const double x = a.AsFloat();
        const double y = b.AsFloat();
        return std::memcmp(&x, &y, sizeof x) == 0;
    }
    return a == b;
}

TRptMemoryDataSet& items() {
    static TRptMemoryDataSet* const ds = [] {
        auto* d = new TRptMemoryDataSet("Items", {{"x", TRptFieldType::Integer},
                                                  {"w", TRptFieldType::Float},
                                                  {"name", TRptFieldType::String},
                                                  {"ok", TRptFieldType::Boolean},
                                                  {"blob", TRptFieldType::Other}});
        const char* names[] = {"b", "a", "c"};
        for (int i = 0; i < 3; ++i) {
            d->AppendRow({R::Integer(i - 1), R::Float(0.5 * (i + 1)), R::String(names[i]),
                          R::Boolean(i == 1), R::Integer(0)});
        }
        d->Open();
        return d;
    }();
    return *ds;
}

TRptEvEnvironment& environment() {
    static TRptEvEnvironment* const env = [] {
        auto* e = new TRptEvEnvironment();
        e->Add("TAX", "10*0.8");
        e->Add("Title", "'Report ' + STR(TAX)");
        e->Add("Loop", "Loop + 1");
        e->Add("Total", "SUM(x) + TAX");
        return e;
    }();
    return *env;
}

std::string validated(const std::string& text) {
    items().First();
    try {
        return ValidateExpression(text, &environment(), {&items()});
    } catch (const ERptError& e) {
        return std::string("raised: ") + e.what();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string upper = text;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    const bool clock =
        upper.find("TIME") != std::string::npos || upper.find("DATE") != std::string::npos;

    const std::string first = validated(text);
    fuzz::check(clock || validated(text) == first, "validating twice gives the same message");

    TRptEvaluator evaluator;
    evaluator.SetEnvironment(&environment());
    evaluator.DataSets = {&items()};
    try {
        evaluator.Prepare(RemoveLineBreaks(text));
    } catch (const ERptError&) {
        return 0;
    }
    items().First();
    const R before = evaluator.Value();
    fuzz::check(clock || same(evaluator.Value(), before), "evaluating twice gives the same result");
    if (evaluator.HasAggregate()) {
        for (items().First(); !items().Eof(); items().Next()) {
            evaluator.AggregateStep();
        }
        const R afterAll = evaluator.Value();
        fuzz::check(clock || same(evaluator.Value(), afterAll),
                    "evaluating an aggregate twice gives the same result");
        evaluator.Reset();
        items().First();
        fuzz::check(clock || same(evaluator.Value(), before),
                    "a reset aggregate gives what it gave before its first step");
    }
    return 0;
}
