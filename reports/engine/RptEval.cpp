#include "reports/engine/RptEval.h"

#include "platform/text/Numbers.h"
#include "reports/engine/RptEvParser.h"
#include "reports/engine/RptFormat.h"
#include "reports/pages/RptError.h"
#include "reports/pages/RptTexts.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <limits>

namespace {

enum : int {
    kTextErrorIn = 64963,
    kTextRecursive = 64964,
    kTextTrue = 64968,
    kTextFalse = 64969,
    kTextNotPrepared = 64970,
    kTextCannot = 64981,
    kTextAdd = 64982,
    kTextSubtract = 64983,
    kTextMultiply = 64984,
    kTextDivide = 64985,
    kTextBoolean = 64986,
    kTextString = 64987,
    kTextNumeric = 64988,
    kTextDivideBy0 = 64989,
    kTextNotCompatible = 64990,
    kTextFieldType = 64991,
};

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

TRptEvResult cannot(int verb, int kind) {
    return TRptEvResult::Error(RptFormatText(kTextCannot, {RptText(verb), RptText(kind)}));
}

TRptEvResult notCompatible(std::string_view op, int kind) {
    return TRptEvResult::Error(RptFormatText(kTextNotCompatible, {op, RptText(kind)}));
}

const char* operatorName(TRptEvOperator op) {
    switch (op) {
    case opLess:
        return "<";
    case opLessOrEqual:
        return "<=";
    case opGreater:
        return ">";
    case opGreaterOrEqual:
        return ">=";
    case opOr:
        return "OR";
    case opAnd:
        return "AND";
    default:
        return "";
    }
}

template <typename T> TRptEvResult compare(TRptEvOperator op, const T& l, const T& r) {
    switch (op) {
    case opLess:
        return TRptEvResult::Boolean(l < r);
    case opLessOrEqual:
        return TRptEvResult::Boolean(l <= r);
    case opGreater:
        return TRptEvResult::Boolean(l > r);
    case opGreaterOrEqual:
        return TRptEvResult::Boolean(l >= r);
    case opEqual:
        return TRptEvResult::Boolean(l == r);
    default:
        return TRptEvResult::Boolean(l != r);
    }
}

bool isComparison(TRptEvOperator op) {
    return op <= opUnequal;
}

// Integer arithmetic that would leave 32 bits is an error result, never a wrapped value.
TRptEvResult integerResult(std::int64_t value) {
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max()) {
        return TRptEvResult::Error(RptFormatText(kTextErrorIn, {"Integer overflow"}));
    }
    return TRptEvResult::Integer(static_cast<std::int32_t>(value));
}

TRptEvResult floatResult(double value) {
    if (!std::isfinite(value)) {
        return TRptEvResult::Error(RptFormatText(kTextErrorIn, {RptFloatToText(value)}));
    }
    return TRptEvResult::Float(value);
}

TRptEvResult onIntegers(TRptEvOperator op, std::int64_t l, std::int64_t r) {
    if (isComparison(op)) {
        return compare(op, l, r);
    }
    switch (op) {
    case opPlus:
        return integerResult(l + r);
    case opMinus:
        return integerResult(l - r);
    case opMul:
        return integerResult(l * r);
    case opDiv:
        if (r == 0) {
            return TRptEvResult::Error(RptText(kTextDivideBy0));
        }
        return floatResult(static_cast<double>(l) / static_cast<double>(r));
    case opOr:
        return TRptEvResult::Integer(static_cast<std::int32_t>(l | r));
    default:
        return TRptEvResult::Integer(static_cast<std::int32_t>(l & r));
    }
}

TRptEvResult onFloats(TRptEvOperator op, double l, double r) {
    if (isComparison(op)) {
        return compare(op, l, r);
    }
    switch (op) {
    case opPlus:
        return floatResult(l + r);
    case opMinus:
        return floatResult(l - r);
    case opMul:
        return floatResult(l * r);
    case opDiv:
        if (r == 0.0) {
            return TRptEvResult::Error(RptText(kTextDivideBy0));
        }
        return floatResult(l / r);
    default:
        return notCompatible(operatorName(op), kTextNumeric);
    }
}

TRptEvResult onStrings(TRptEvOperator op, const std::string& l, const std::string& r) {
    if (isComparison(op)) {
        return compare(op, l, r); // byte order: std::string compares as unsigned characters
    }
    switch (op) {
    case opPlus:
        return TRptEvResult::String(l + r);
    case opMinus:
        return cannot(kTextSubtract, kTextString);
    case opMul:
        return cannot(kTextMultiply, kTextString);
    case opDiv:
        return cannot(kTextDivide, kTextString);
    default:
        return notCompatible(operatorName(op), kTextString);
    }
}

TRptEvResult onBooleans(TRptEvOperator op, bool l, bool r) {
    switch (op) {
    case opEqual:
        return TRptEvResult::Boolean(l == r);
    case opUnequal:
        return TRptEvResult::Boolean(l != r);
    case opOr:
        return TRptEvResult::Boolean(l || r);
    case opAnd:
        return TRptEvResult::Boolean(l && r);
    case opPlus:
        return cannot(kTextAdd, kTextBoolean);
    case opMinus:
        return cannot(kTextSubtract, kTextBoolean);
    case opMul:
        return cannot(kTextMultiply, kTextBoolean);
    case opDiv:
        return cannot(kTextDivide, kTextBoolean);
    default:
        return notCompatible(operatorName(op), kTextBoolean);
    }
}

} // namespace

// ---- Operators --------------------------------------------------------------------------------

TRptEvResult RptApplyOperator(TRptEvOperator op, const TRptEvResult& left,
                              const TRptEvResult& right) {
    if (left.IsError()) {
        return left;
    }
    if (right.IsError()) {
        return right;
    }
    if (left.Kind() != right.Kind()) {
        if (left.IsNumeric() && right.IsNumeric()) {
            return onFloats(op, left.AsNumber(), right.AsNumber());
        }
        return onStrings(op, RptResultToText(left), RptResultToText(right));
    }
    switch (left.Kind()) {
    case rtInteger:
        return onIntegers(op, left.AsInteger(), right.AsInteger());
    case rtFloat:
        return onFloats(op, left.AsFloat(), right.AsFloat());
    case rtString:
        return onStrings(op, left.AsString(), right.AsString());
    default:
        return onBooleans(op, left.AsBoolean(), right.AsBoolean());
    }
}

TRptEvResult TRptEvElementOperator::Value(TRptFiFo& fifo) {
    const TRptEvResult left = fifo.NextValue();
    const TRptEvResult right = fifo.NextValue();
    return RptApplyOperator(op_, left, right);
}

TRptEvResult TRptEvElementNot::Value(TRptFiFo& fifo) {
    const TRptEvResult operand = fifo.NextValue();
    if (operand.IsError()) {
        return operand;
    }
    if (operand.Kind() != rtBoolean) {
        return TRptEvResult::Error(RptText(64952));
    }
    return TRptEvResult::Boolean(!operand.AsBoolean());
}

TRptEvResult TRptEvElementDataField::Value(TRptFiFo&) {
    const TRptFieldDef& field = dataSet_.Field(field_);
    if (field.Type == TRptFieldType::Other) {
        return TRptEvResult::Error(RptFormatText(kTextFieldType, {field.Name}));
    }
    return dataSet_.FieldValue(field_);
}

// ---- Functions --------------------------------------------------------------------------------

TRptEvResult TRptEvElementFunction::Value(TRptFiFo& fifo) {
    Args.clear();
    for (TRptEvElement* next = fifo.Peek(); next && !dynamic_cast<TRptEvElementArgumentEnd*>(next);
         next = fifo.Peek()) {
        Args.push_back(fifo.NextValue());
    }
    fifo.Next();
    if (fifo.Aggregate) {
        Aggregate();
    }
    return Calculate();
}

const TRptEvResult* TRptEvElementFunction::FirstError() const {
    for (const TRptEvResult& arg : Args) {
        if (arg.IsError()) {
            return &arg;
        }
    }
    return nullptr;
}

// ---- Embedded functions -----------------------------------------------------------------------

TRptEvEmbeddedFunction::TRptEvEmbeddedFunction(TRptEvEnvironment& environment,
                                               std::string expression)
    : environment_(environment), expression_(std::move(expression)) {}

TRptEvEmbeddedFunction::~TRptEvEmbeddedFunction() = default;

void TRptEvEmbeddedFunction::Prepare() {
    if (constant_ || (evaluator_ && evaluator_->Prepared())) {
        return;
    }
    evaluator_ = std::make_unique<TRptEvaluator>();
    evaluator_->preparesGlobal_ = false;
    evaluator_->SetEnvironment(&environment_);
    evaluator_->Prepare(expression_);
}

void TRptEvEmbeddedFunction::Unprepare() {
    evaluator_.reset();
}

void TRptEvEmbeddedFunction::SetExpression(std::string expression) {
    Unprepare();
    constant_.reset();
    expression_ = std::move(expression);
}

void TRptEvEmbeddedFunction::SetValue(const TRptEvResult& value) {
    Unprepare();
    constant_ = std::make_unique<TRptEvResult>(value);
    switch (value.Kind()) {
    case rtString:
        expression_ = "'" + value.AsString() + "'";
        break;
    case rtError:
        expression_ = value.ErrorMessage();
        break;
    default:
        expression_ = RptResultToText(value);
    }
}

TRptEvResult TRptEvEmbeddedFunction::Value(TRptFiFo&) {
    return Evaluate();
}

TRptEvResult TRptEvEmbeddedFunction::Evaluate() {
    if (constant_) {
        return *constant_;
    }
    if (busy_) {
        return TRptEvResult::Error(RptText(kTextRecursive));
    }
    busy_ = true;
    struct Release {
        bool& flag;
        ~Release() { flag = false; }
    } release{busy_};
    Prepare();
    return evaluator_->run(false);
}

// ---- The element list -------------------------------------------------------------------------

TRptEvElement* TRptFiFo::Peek() const {
    return position_ < elements_.size() ? elements_[position_].get() : nullptr;
}

TRptEvElement* TRptFiFo::Next() {
    TRptEvElement* element = Peek();
    if (element) {
        ++position_;
    }
    return element;
}

TRptEvResult TRptFiFo::NextValue() {
    TRptEvElement* element = Next();
    if (!element) {
        return TRptEvResult::Error(RptFormatText(kTextErrorIn, {""}));
    }
    return element->Value(*this);
}

// ---- The function library ---------------------------------------------------------------------

void TRptFunctionLibrary::RegisterFunction(
    std::function<std::unique_ptr<TRptEvElementFunction>()> create, std::string_view name,
    std::string_view description, std::string_view signature, std::string_view vendor) {
    const std::string key = upper(name);
    entries_.try_emplace(key,
                         TRptLibraryEntry{key, std::string(description), std::string(signature),
                                          std::move(create), std::string(vendor)});
}

const TRptLibraryEntry* TRptFunctionLibrary::Find(std::string_view name) const {
    const auto it = entries_.find(upper(name));
    return it == entries_.end() ? nullptr : &it->second;
}

std::unique_ptr<TRptEvElementFunction> TRptFunctionLibrary::Create(std::string_view name) const {
    const TRptLibraryEntry* entry = Find(name);
    if (!entry) {
        return nullptr;
    }
    std::unique_ptr<TRptEvElementFunction> function = entry->Create();
    function->SetName(entry->Name);
    return function;
}

TRptFunctionLibrary& RptFunctionLibrary() {
    static TRptFunctionLibrary library = [] {
        TRptFunctionLibrary l;
        RptRegisterStandardFunctions(l);
        return l;
    }();
    return library;
}

// ---- Environments -----------------------------------------------------------------------------

TRptEvEnvironment::~TRptEvEnvironment() {
    Clear();
}

void TRptEvEnvironment::Add(std::string_view name, std::string_view expression) {
    if (!Element(name)) {
        entries_.push_back(Entry{
            upper(name), std::make_unique<TRptEvEmbeddedFunction>(*this, std::string(expression))});
    }
}

void TRptEvEnvironment::SetExpression(std::string_view name, std::string_view expression) {
    if (TRptEvEmbeddedFunction* entry = Element(name)) {
        entry->SetExpression(std::string(expression));
    } else {
        Add(name, expression);
    }
}

TRptEvEmbeddedFunction* TRptEvEnvironment::Element(std::string_view name) const {
    const std::string key = upper(name);
    for (const Entry& entry : entries_) {
        if (entry.name == key) {
            return entry.function.get();
        }
    }
    return nullptr;
}

void TRptEvEnvironment::Clear() {
    // Entries may name each other: every prepared list goes before any entry does.
    for (Entry& entry : entries_) {
        entry.function->Unprepare();
    }
    entries_.clear();
    prepareCount_ = 0;
}

void TRptEvEnvironment::Prepare() {
    if (prepareCount_++ == 0) {
        for (Entry& entry : entries_) {
            entry.function->Prepare();
        }
    }
}

void TRptEvEnvironment::Unprepare() {
    if (prepareCount_ > 0 && --prepareCount_ == 0) {
        for (Entry& entry : entries_) {
            entry.function->Unprepare();
        }
    }
}

namespace {

std::string localTimeText(const char* format) {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[128];
    const std::size_t n = std::strftime(buffer, sizeof buffer, format, &local);
    return std::string(buffer, n);
}

} // namespace

TRptEvEnvironment& RptGlobalEnvironment() {
    static TRptEvEnvironment environment;
    static const bool filled = [] {
        environment.Add("AppStartTime", "'" + localTimeText("%X") + "'");
        environment.Add("AppStartDate", "'" + localTimeText("%x") + "'");
        environment.Add("AppName", "''");
        return true;
    }();
    (void)filled;
    return environment;
}

void RptSetApplicationTitle(std::string_view title) {
    if (TRptEvEmbeddedFunction* entry = RptGlobalEnvironment().Element("AppName")) {
        entry->SetValue(TRptEvResult::String(title));
    }
}

// ---- The evaluator ----------------------------------------------------------------------------

TRptEvaluator::~TRptEvaluator() {
    Unprepare();
}

void TRptEvaluator::Prepare(std::string_view expression) {
    Unprepare();
    TRptEvEnvironment& global = RptGlobalEnvironment();
    if (preparesGlobal_) {
        global.Prepare();
    }
    const TRptEvParseContext context{library_ ? *library_ : RptFunctionLibrary(), DataSets,
                                     environment_, &global};
    fifo_ = TRptFiFo();
    RptParseExpression(expression, context, fifo_);
    prepared_ = true;
}

void TRptEvaluator::Unprepare() {
    if (!prepared_) {
        return;
    }
    fifo_ = TRptFiFo();
    prepared_ = false;
    if (preparesGlobal_) {
        RptGlobalEnvironment().Unprepare();
    }
}

TRptEvResult TRptEvaluator::run(bool aggregate) {
    if (!prepared_) {
        throw ERptError(RptText(kTextNotPrepared));
    }
    fifo_.Start();
    fifo_.Aggregate = aggregate;
    TRptEvResult result = fifo_.NextValue();
    fifo_.Aggregate = false;
    return result;
}

TRptEvResult TRptEvaluator::Value() {
    return run(false);
}

void TRptEvaluator::AggregateStep() {
    run(true);
}

void TRptEvaluator::Reset() {
    for (std::size_t i = 0; i < fifo_.Count(); ++i) {
        fifo_.Item(i).Reset();
    }
}

bool TRptEvaluator::HasAggregate() const {
    for (std::size_t i = 0; i < fifo_.Count(); ++i) {
        const auto* f = dynamic_cast<const TRptEvElementFunction*>(&fifo_.Item(i));
        if (f && f->IsAggregate()) {
            return true;
        }
    }
    return false;
}

TRptEvResult TRptEvaluator::Calculate(std::string_view expression) {
    Prepare(expression);
    TRptEvResult result = Value();
    Unprepare();
    return result;
}

// ---- Results as text --------------------------------------------------------------------------

std::string RptResultToText(const TRptEvResult& result) {
    switch (result.Kind()) {
    case rtInteger:
        return platform::text::formatInteger(result.AsInteger());
    case rtFloat:
        return RptFloatToText(result.AsFloat());
    case rtString:
        return result.AsString();
    case rtBoolean:
        return RptText(result.AsBoolean() ? kTextTrue : kTextFalse);
    case rtError:
        break;
    }
    throw ERptError(RptFormatText(kTextErrorIn, {result.ErrorMessage()}));
}

std::string RptFormatText(int id, std::initializer_list<std::string_view> args) {
    const std::string_view text = RptText(id);
    std::string out;
    auto arg = args.begin();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && (text[i + 1] == 's' || text[i + 1] == 'd') &&
            arg != args.end()) {
            out.append(*arg++);
            ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}
