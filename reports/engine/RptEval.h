// The report engine's expression language. A text of constants, field and variable names,
// operators and function calls is parsed once into a list of elements in prefix order (an
// operator or function precedes its operands) and then evaluated as often as needed, for a
// value or, in aggregate mode, to let SUM, COUNT, MAX, MIN and AVERAGE take in the current
// record. Errors in the text or in the values never raise: they are error results carrying the
// engine's message.
#pragma once

#include "reports/engine/RptDataSet.h"
#include "reports/engine/RptEvResult.h"

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TRptFiFo;
class TRptEvaluator;
class TRptEvEnvironment;

// A result held as an object (for lists that keep results of several kinds).
class TRptEvResultClass {
public:
    explicit TRptEvResultClass(TRptEvResult value = {}) : EvResult(std::move(value)) {}
    TRptEvResult EvResult;
};

// ---- Elements ---------------------------------------------------------------------------------

class TRptEvElement {
public:
    virtual ~TRptEvElement() = default;
    // Reads this element's operands (the elements that follow it) from the list and answers its
    // value.
    virtual TRptEvResult Value(TRptFiFo& fifo) = 0;
    // Aggregates start again.
    virtual void Reset() {}
};

class TRptEvElementConstant : public TRptEvElement {
public:
    explicit TRptEvElementConstant(TRptEvResult value) : value_(std::move(value)) {}
    TRptEvResult Value(TRptFiFo&) override { return value_; }

private:
    TRptEvResult value_;
};

class TRptEvElementString : public TRptEvElement {
public:
    explicit TRptEvElementString(std::string_view text) : text_(text) {}
    TRptEvResult Value(TRptFiFo&) override { return TRptEvResult::String(text_); }

private:
    std::string text_;
};

enum TRptEvOperator : int {
    opLess = 0,
    opLessOrEqual = 1,
    opGreater = 2,
    opGreaterOrEqual = 3,
    opEqual = 4,
    opUnequal = 5,
    opPlus = 6,
    opMinus = 7,
    opOr = 8,
    opMul = 9,
    opDiv = 10,
    opAnd = 11,
};

class TRptEvElementOperator : public TRptEvElement {
public:
    explicit TRptEvElementOperator(TRptEvOperator op) : op_(op) {}
    TRptEvResult Value(TRptFiFo& fifo) override;
    TRptEvOperator Operator() const { return op_; }

private:
    TRptEvOperator op_;
};

// The operator table on two values, as the operator elements apply it.
TRptEvResult RptApplyOperator(TRptEvOperator op, const TRptEvResult& left,
                              const TRptEvResult& right);

// Logical negation of the operand that follows; anything but a Boolean is refused.
class TRptEvElementNot : public TRptEvElement {
public:
    TRptEvResult Value(TRptFiFo& fifo) override;
};

class TRptEvElementDataField : public TRptEvElement {
public:
    // The data set is not owned; it must outlive the prepared expression.
    TRptEvElementDataField(const TRptDataSet& dataSet, int field)
        : dataSet_(dataSet), field_(field) {}
    TRptEvResult Value(TRptFiFo& fifo) override;

private:
    const TRptDataSet& dataSet_;
    int field_;
};

class TRptEvElementError : public TRptEvElement {
public:
    explicit TRptEvElementError(std::string_view message) : message_(message) {}
    TRptEvResult Value(TRptFiFo&) override { return TRptEvResult::Error(message_); }

private:
    std::string message_;
};

// Marks the end of a function's arguments.
class TRptEvElementArgumentEnd : public TRptEvElement {
public:
    TRptEvResult Value(TRptFiFo&) override { return {}; }
};

// A library function. Value collects the arguments (each a whole sub-expression, up to the
// argument end), then lets an aggregate take them in when the list is evaluated in aggregate
// mode, and answers Calculate.
class TRptEvElementFunction : public TRptEvElement {
public:
    TRptEvResult Value(TRptFiFo& fifo) final;
    virtual bool IsAggregate() const { return false; }
    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }

protected:
    virtual void Aggregate() {}
    virtual TRptEvResult Calculate() = 0;
    // The first error among the arguments, for functions that hand errors on.
    const TRptEvResult* FirstError() const;

    std::vector<TRptEvResult> Args;

private:
    std::string name_;
};

// A named expression of an environment. It evaluates with its own evaluator, preparing it on
// first use; evaluating it again from inside itself is refused, so an entry that names itself,
// directly or through others, gives an error instead of recursing without end.
class TRptEvEmbeddedFunction : public TRptEvElement {
public:
    TRptEvEmbeddedFunction(TRptEvEnvironment& environment, std::string expression);
    ~TRptEvEmbeddedFunction() override;

    TRptEvResult Value(TRptFiFo& fifo) override;
    // The entry's value on its own, as the report reads PAGENUMBER and the like.
    TRptEvResult Evaluate();

    const std::string& Expression() const { return expression_; }
    void SetExpression(std::string expression);
    // Makes the entry a constant (the report's page number, column and title); its expression
    // text becomes the constant written as an expression.
    void SetValue(const TRptEvResult& value);

    void Prepare();
    void Unprepare();

private:
    TRptEvEnvironment& environment_;
    std::string expression_;
    std::unique_ptr<TRptEvaluator> evaluator_;
    std::unique_ptr<TRptEvResult> constant_;
    bool busy_ = false;
};

// An element of another list (an environment entry) taking part in this one; not owned.
class TRptEvElementWrapper : public TRptEvElement {
public:
    explicit TRptEvElementWrapper(TRptEvElement& element) : element_(element) {}
    TRptEvResult Value(TRptFiFo& fifo) override { return element_.Value(fifo); }
    TRptEvElement& Wrapped() const { return element_; }

private:
    TRptEvElement& element_;
};

// ---- The element list -------------------------------------------------------------------------

class TRptFiFo {
public:
    void Add(std::unique_ptr<TRptEvElement> element) { elements_.push_back(std::move(element)); }
    std::size_t Count() const { return elements_.size(); }
    TRptEvElement& Item(std::size_t index) const { return *elements_[index]; }

    void Start() { position_ = 0; }
    // The next element, or nullptr past the end. Peek does not move on.
    TRptEvElement* Peek() const;
    TRptEvElement* Next();
    // The value of the whole sub-expression that begins at the read position; past the end an
    // error result.
    TRptEvResult NextValue();

    bool Aggregate = false;

private:
    std::vector<std::unique_ptr<TRptEvElement>> elements_;
    std::size_t position_ = 0;
};

// ---- The function library ---------------------------------------------------------------------

struct TRptLibraryEntry {
    std::string Name;
    std::string Description; // heading, "|", description
    std::string Signature;   // category digit, then N, S, B or V per argument
    std::function<std::unique_ptr<TRptEvElementFunction>()> Create;
    std::string Vendor;
};

class TRptFunctionLibrary {
public:
    // A name already registered keeps its first entry.
    void RegisterFunction(std::function<std::unique_ptr<TRptEvElementFunction>()> create,
                          std::string_view name, std::string_view description,
                          std::string_view signature, std::string_view vendor);
    // Looked up by upper-case name; nullptr when there is none.
    const TRptLibraryEntry* Find(std::string_view name) const;
    // A new element of the function, named; nullptr when there is none.
    std::unique_ptr<TRptEvElementFunction> Create(std::string_view name) const;
    // Sorted by name.
    const std::map<std::string, TRptLibraryEntry>& Entries() const { return entries_; }

private:
    std::map<std::string, TRptLibraryEntry> entries_;
};

// The library of the whole program, holding the engine's 21 functions.
TRptFunctionLibrary& RptFunctionLibrary();

// Registers the engine's functions into a library.
void RptRegisterStandardFunctions(TRptFunctionLibrary& library);

// ---- Environments -----------------------------------------------------------------------------

// Named expressions. Names are kept in upper case and found without regard to case. Entries are
// never moved, so prepared expressions may refer to them; an environment must outlive every
// evaluator prepared against it.
class TRptEvEnvironment {
public:
    TRptEvEnvironment() = default;
    TRptEvEnvironment(const TRptEvEnvironment&) = delete;
    TRptEvEnvironment& operator=(const TRptEvEnvironment&) = delete;
    ~TRptEvEnvironment();

    // Adds an entry; an existing name stays as it is.
    void Add(std::string_view name, std::string_view expression);
    // Adds the entry or replaces its expression.
    void SetExpression(std::string_view name, std::string_view expression);
    TRptEvEmbeddedFunction* Element(std::string_view name) const;
    void Clear();

    int Count() const { return static_cast<int>(entries_.size()); }
    const std::string& Name(int index) const { return entries_.at(index).name; }
    const std::string& Expression(int index) const {
        return entries_.at(index).function->Expression();
    }

    // Nested prepares are counted: the entries are prepared on the first and unprepared on the
    // last.
    void Prepare();
    void Unprepare();
    bool Prepared() const { return prepareCount_ > 0; }

private:
    struct Entry {
        std::string name;
        std::unique_ptr<TRptEvEmbeddedFunction> function;
    };
    std::vector<Entry> entries_;
    int prepareCount_ = 0;
};

// The environment of the whole program: AppStartTime, AppStartDate (taken when it is first
// used, which the program does at start) and AppName.
TRptEvEnvironment& RptGlobalEnvironment();
void RptSetApplicationTitle(std::string_view title);

// ---- The evaluator ----------------------------------------------------------------------------

class TRptEvaluator {
public:
    TRptEvaluator() = default;
    TRptEvaluator(const TRptEvaluator&) = delete;
    TRptEvaluator& operator=(const TRptEvaluator&) = delete;
    ~TRptEvaluator();

    // Names are looked up here first, then in the global environment. Not owned.
    TRptEvEnvironment* Environment() const { return environment_; }
    void SetEnvironment(TRptEvEnvironment* environment) { environment_ = environment; }
    // The data sets whose fields may be named. Not owned; they must outlive the prepared
    // expression.
    std::vector<const TRptDataSet*> DataSets;

    void Prepare(std::string_view expression);
    void Unprepare();
    bool Prepared() const { return prepared_; }

    // Throws ERptError "Evaluator not prepared" when not prepared.
    TRptEvResult Value();
    void AggregateStep();
    void Reset();
    bool HasAggregate() const;
    TRptEvResult Calculate(std::string_view expression);

    // The function library the expression's names are looked up in (the program's by default).
    void SetLibrary(const TRptFunctionLibrary* library) { library_ = library; }

    const TRptFiFo& FiFo() const { return fifo_; }

private:
    friend class TRptEvEmbeddedFunction;
    TRptEvResult run(bool aggregate);

    TRptEvEnvironment* environment_ = nullptr;
    const TRptFunctionLibrary* library_ = nullptr;
    TRptFiFo fifo_;
    bool prepared_ = false;
    // Entries of an environment do not prepare the global environment themselves: the
    // environment that holds them is being prepared already.
    bool preparesGlobal_ = true;
};

// ---- Results as text --------------------------------------------------------------------------

// Integers in decimal, floats in general format, strings as they are, Booleans "True" and
// "False". An error result throws ERptError "Error in expression : <message>".
std::string RptResultToText(const TRptEvResult& result);

// An engine text with its "%s" and "%d" placeholders filled in order.
std::string RptFormatText(int id, std::initializer_list<std::string_view> args);
