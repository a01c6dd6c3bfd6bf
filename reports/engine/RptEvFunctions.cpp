// The engine's function library: IF, STR, UPPER, LOWER, PRETTY, TIME, DATE, COPY, the
// aggregates SUM, COUNT, MAX, MIN and AVERAGE, TRUE, FALSE, INT, FRAC, SQRT, DIV, TYPEOF and
// FORMATNUMERIC.
#include "platform/text/Cp1251.h"
#include "platform/text/Numbers.h"
#include "reports/engine/RptEval.h"
#include "reports/engine/RptFormat.h"
#include "reports/pages/RptTexts.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <limits>
#include <optional>

namespace {

enum : int {
    kTextMissingArgument = 64947,
    kTextConversionError = 64948,
    kTextDivisionByZero = 64949,
    kTextInvalidFormat = 64950,
    kTextInvalidSqrt = 64951,
    kTextTooMany = 64965,
    kTextWrongArguments = 64966,
    kTextVendor = 65019,
};

TRptEvResult error(int id) {
    return TRptEvResult::Error(RptText(id));
}

// ---- Windows-1251 letters ---------------------------------------------------------------------

// The code page's letters in both cases: Latin, Cyrillic and the Cyrillic letters of the
// neighbouring languages, paired by their code points.
char changeCase(char c, bool toUpper) {
    char32_t cp = platform::text::cp1251ToCodePoint(static_cast<unsigned char>(c));
    if (toUpper) {
        if ((cp >= U'a' && cp <= U'z') || (cp >= 0x430 && cp <= 0x44F)) {
            cp -= 0x20;
        } else if (cp >= 0x450 && cp <= 0x45F) {
            cp -= 0x50;
        } else if (cp == 0x491) {
            cp = 0x490;
        }
    } else {
        if ((cp >= U'A' && cp <= U'Z') || (cp >= 0x410 && cp <= 0x42F)) {
            cp += 0x20;
        } else if (cp >= 0x400 && cp <= 0x40F) {
            cp += 0x50;
        } else if (cp == 0x490) {
            cp = 0x491;
        }
    }
    unsigned char byte = 0;
    return platform::text::codePointToCp1251(cp, byte) ? static_cast<char>(byte) : c;
}

std::string changeCase(std::string s, bool toUpper) {
    for (char& c : s) {
        c = changeCase(c, toUpper);
    }
    return s;
}

// A numeric argument as a 32-bit integer, reals rounded to the nearest (halves to even).
std::optional<std::int32_t> roundedInteger(const TRptEvResult& value) {
    if (value.Kind() == rtInteger) {
        return value.AsInteger();
    }
    try {
        return platform::text::roundTo<std::int32_t>(value.AsFloat());
    } catch (const platform::text::RangeError&) {
        return std::nullopt;
    }
}

std::string localTimeText(const char* format) {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[128];
    const std::size_t n = std::strftime(buffer, sizeof buffer, format, &local);
    return std::string(buffer, n);
}

// ---- Plain functions --------------------------------------------------------------------------

class TRptFunctionBase : public TRptEvElementFunction {
protected:
    TRptEvResult WrongArguments() const {
        return TRptEvResult::Error(RptFormatText(kTextWrongArguments, {Name()}));
    }
};

class TRptFunctionIF : public TRptFunctionBase {
    TRptEvResult Calculate() override {
        if (Args.size() != 3 || Args[0].Kind() != rtBoolean) {
            return WrongArguments();
        }
        return Args[0].AsBoolean() ? Args[1] : Args[2];
    }
};

class TRptFunctionSTR : public TRptFunctionBase {
    TRptEvResult Calculate() override {
        if (Args.size() != 1) {
            return error(kTextConversionError);
        }
        if (Args[0].IsError()) {
            return Args[0];
        }
        if (Args[0].Kind() == rtString) {
            return error(kTextConversionError);
        }
        return TRptEvResult::String(RptResultToText(Args[0]));
    }
};

// UPPER, LOWER and PRETTY.
class TRptFunctionCase : public TRptFunctionBase {
public:
    enum Mode { Upper, Lower, Pretty };
    explicit TRptFunctionCase(Mode mode) : mode_(mode) {}

private:
    TRptEvResult Calculate() override {
        if (const TRptEvResult* e = FirstError()) {
            return *e;
        }
        if (Args.size() != 1 || Args[0].Kind() != rtString) {
            return TRptEvResult::Error(RptFormatText(kTextMissingArgument, {Name()}));
        }
        const std::string& s = Args[0].AsString();
        if (mode_ == Pretty) {
            // Windows-1251 has no double-byte characters: the first character is one byte.
            std::string out = changeCase(s, false);
            if (!out.empty()) {
                out[0] = changeCase(out[0], true);
            }
            return TRptEvResult::String(out);
        }
        return TRptEvResult::String(changeCase(s, mode_ == Upper));
    }
    Mode mode_;
};

class TRptFunctionClock : public TRptFunctionBase {
public:
    explicit TRptFunctionClock(const char* format) : format_(format) {}

private:
    TRptEvResult Calculate() override {
        if (!Args.empty()) {
            return error(kTextTooMany);
        }
        return TRptEvResult::String(localTimeText(format_));
    }
    const char* format_;
};

class TRptFunctionCOPY : public TRptFunctionBase {
    TRptEvResult Calculate() override {
        if (const TRptEvResult* e = FirstError()) {
            return *e;
        }
        if (Args.size() != 3 || Args[0].Kind() != rtString || !Args[1].IsNumeric() ||
            !Args[2].IsNumeric()) {
            return WrongArguments();
        }
        const std::optional<std::int32_t> start = roundedInteger(Args[1]);
        const std::optional<std::int32_t> length = roundedInteger(Args[2]);
        if (!start || !length) {
            return error(kTextConversionError);
        }
        // Positions before the text count as its first character, negative lengths as none.
        const std::string& s = Args[0].AsString();
        const std::size_t from = static_cast<std::size_t>(std::max(*start, 1) - 1);
        if (from >= s.size() || *length <= 0) {
            return TRptEvResult::String("");
        }
        return TRptEvResult::String(s.substr(from, static_cast<std::size_t>(*length)));
    }
};

class TRptFunctionBoolean : public TRptFunctionBase {
public:
    explicit TRptFunctionBoolean(bool value) : value_(value) {}

private:
    TRptEvResult Calculate() override {
        return Args.empty() ? TRptEvResult::Boolean(value_) : error(kTextTooMany);
    }
    bool value_;
};

class TRptFunctionINT : public TRptFunctionBase {
    TRptEvResult Calculate() override {
        if (Args.size() != 1) {
            return WrongArguments();
        }
        if (Args[0].IsError() || Args[0].Kind() == rtInteger) {
            return Args[0];
        }
        if (Args[0].Kind() != rtFloat) {
            return WrongArguments();
        }
        try {
            return TRptEvResult::Integer(platform::text::truncTo<std::int32_t>(Args[0].AsFloat()));
        } catch (const platform::text::RangeError&) {
            return error(kTextConversionError);
        }
    }
};

class TRptFunctionFRAC : public TRptFunctionBase {
    TRptEvResult Calculate() override {
        if (Args.size() == 1 && Args[0].IsError()) {
            return Args[0];
        }
        if (Args.size() != 1 || !Args[0].IsNumeric()) {
            return WrongArguments();
        }
        if (Args[0].Kind() == rtInteger) {
            return TRptEvResult::Float(0.0);
        }
        const double x = Args[0].AsFloat();
        return TRptEvResult::Float(x - std::trunc(x));
    }
};

class TRptFunctionSQRT : public TRptFunctionBase {
    TRptEvResult Calculate() override {
        if (Args.size() == 1 && Args[0].IsError()) {
            return Args[0];
        }
        if (Args.size() != 1 || !Args[0].IsNumeric() || Args[0].AsNumber() < 0) {
            return error(kTextInvalidSqrt);
        }
        return TRptEvResult::Float(std::sqrt(Args[0].AsNumber()));
    }
};

class TRptFunctionDIV : public TRptFunctionBase {
    TRptEvResult Calculate() override {
        if (const TRptEvResult* e = FirstError()) {
            return *e;
        }
        if (Args.size() != 2 || !Args[0].IsNumeric() || !Args[1].IsNumeric()) {
            return WrongArguments();
        }
        const std::optional<std::int32_t> x = roundedInteger(Args[0]);
        const std::optional<std::int32_t> y = roundedInteger(Args[1]);
        if (!x || !y) {
            return error(kTextConversionError);
        }
        if (*y == 0) {
            return error(kTextDivisionByZero);
        }
        const std::int64_t q = static_cast<std::int64_t>(*x) / *y; // toward zero
        if (q > std::numeric_limits<std::int32_t>::max()) {
            return error(kTextConversionError);
        }
        return TRptEvResult::Integer(static_cast<std::int32_t>(q));
    }
};

class TRptFunctionTYPEOF : public TRptFunctionBase {
    TRptEvResult Calculate() override {
        if (Args.size() != 1) {
            return WrongArguments();
        }
        static const char* const kNames[] = {"INTEGER", "FLOAT", "STRING", "BOOLEAN", "ERROR"};
        return TRptEvResult::String(kNames[Args[0].Kind()]);
    }
};

class TRptFunctionFORMATNUMERIC : public TRptFunctionBase {
    TRptEvResult Calculate() override {
        if (const TRptEvResult* e = FirstError()) {
            return *e;
        }
        if (Args.size() != 2 || Args[0].Kind() != rtString || !Args[1].IsNumeric()) {
            return WrongArguments();
        }
        const std::optional<std::string> text =
            RptFormatFloat(Args[0].AsString(), Args[1].AsNumber());
        return text ? TRptEvResult::String(*text) : error(kTextInvalidFormat);
    }
};

// ---- Aggregates -------------------------------------------------------------------------------

class TRptAggregate : public TRptFunctionBase {
public:
    bool IsAggregate() const override { return true; }
};

class TRptFunctionSUM : public TRptAggregate {
    void Reset() override { sum_.reset(); }
    void Aggregate() override {
        if (sum_ && sum_->IsError()) {
            return;
        }
        if (Args.size() != 1 || !(Args[0].IsNumeric() || Args[0].IsError())) {
            sum_ = WrongArguments();
        } else if (!sum_ || Args[0].IsError()) {
            sum_ = Args[0];
        } else {
            sum_ = RptApplyOperator(opPlus, *sum_, Args[0]);
        }
    }
    TRptEvResult Calculate() override {
        if (Args.size() != 1) {
            return WrongArguments();
        }
        return sum_ ? *sum_ : TRptEvResult::Integer(0);
    }
    std::optional<TRptEvResult> sum_;
};

class TRptFunctionAVERAGE : public TRptAggregate {
    void Reset() override {
        sum_ = 0.0;
        count_ = 0;
        error_.reset();
    }
    void Aggregate() override {
        if (error_) {
            return;
        }
        if (Args.size() == 1 && Args[0].IsError()) {
            error_ = Args[0];
        } else if (Args.size() != 1 || !Args[0].IsNumeric()) {
            error_ = WrongArguments();
        } else {
            sum_ += Args[0].AsNumber();
            ++count_;
        }
    }
    TRptEvResult Calculate() override {
        if (Args.size() != 1) {
            return WrongArguments();
        }
        if (error_) {
            return *error_;
        }
        if (count_ == 0) {
            return TRptEvResult::Float(0.0);
        }
        const double average = sum_ / static_cast<double>(count_);
        if (!std::isfinite(average)) {
            return TRptEvResult::Error(RptFormatText(64963, {RptFloatToText(average)}));
        }
        return TRptEvResult::Float(average);
    }
    double sum_ = 0.0;
    std::int64_t count_ = 0;
    std::optional<TRptEvResult> error_;
};

class TRptFunctionCOUNT : public TRptAggregate {
    void Reset() override { count_ = 0; }
    void Aggregate() override {
        if (count_ < std::numeric_limits<std::int32_t>::max()) {
            ++count_;
        }
    }
    TRptEvResult Calculate() override {
        if (!Args.empty()) {
            return TRptEvResult::Error(std::string("COUNT - ") + RptText(kTextTooMany));
        }
        return TRptEvResult::Integer(count_);
    }
    std::int32_t count_ = 0;
};

// MAX and MIN: numbers compare by value, strings by byte order, Booleans True over False, and
// values of different kinds by their texts.
class TRptFunctionExtreme : public TRptAggregate {
public:
    explicit TRptFunctionExtreme(bool highest) : highest_(highest) {}

private:
    static bool greater(const TRptEvResult& a, const TRptEvResult& b) {
        if (a.IsNumeric() && b.IsNumeric()) {
            return a.AsNumber() > b.AsNumber();
        }
        if (a.Kind() != b.Kind()) {
            return RptResultToText(a) > RptResultToText(b);
        }
        if (a.Kind() == rtString) {
            return a.AsString() > b.AsString();
        }
        return a.AsBoolean() && !b.AsBoolean();
    }
    void Reset() override { value_.reset(); }
    void Aggregate() override {
        if (value_ && value_->IsError()) {
            return;
        }
        if (Args.size() != 1) {
            value_ = WrongArguments();
            return;
        }
        const TRptEvResult& v = Args[0];
        if (!value_ || v.IsError() || (highest_ ? greater(v, *value_) : greater(*value_, v))) {
            value_ = v;
        }
    }
    TRptEvResult Calculate() override {
        if (Args.size() != 1) {
            return WrongArguments();
        }
        return value_ ? *value_ : TRptEvResult::Integer(0);
    }
    bool highest_;
    std::optional<TRptEvResult> value_;
};

template <typename F, typename... A> auto maker(A... args) {
    return [=] { return std::unique_ptr<TRptEvElementFunction>(std::make_unique<F>(args...)); };
}

} // namespace

void RptRegisterStandardFunctions(TRptFunctionLibrary& library) {
    const char* vendor = RptText(kTextVendor);
    auto add = [&](auto make, const char* name, int description, const char* signature) {
        library.RegisterFunction(make, name, RptText(description), signature, vendor);
    };
    add(maker<TRptFunctionIF>(), "IF", 64977, "5BVV");
    add(maker<TRptFunctionSTR>(), "STR", 64978, "7N");
    add(maker<TRptFunctionCase>(TRptFunctionCase::Upper), "UPPER", 64979, "7S");
    add(maker<TRptFunctionCase>(TRptFunctionCase::Lower), "LOWER", 64980, "7S");
    add(maker<TRptFunctionCase>(TRptFunctionCase::Pretty), "PRETTY", 64992, "7S");
    add(maker<TRptFunctionClock>("%X"), "TIME", 64993, "1");
    add(maker<TRptFunctionClock>("%x"), "DATE", 64994, "1");
    add(maker<TRptFunctionCOPY>(), "COPY", 64995, "7SNN");
    add(maker<TRptFunctionSUM>(), "SUM", 64996, "3N");
    add(maker<TRptFunctionCOUNT>(), "COUNT", 64997, "3");
    add(maker<TRptFunctionExtreme>(true), "MAX", 64998, "3V");
    add(maker<TRptFunctionExtreme>(false), "MIN", 64999, "3V");
    add(maker<TRptFunctionAVERAGE>(), "AVERAGE", 65000, "3N");
    add(maker<TRptFunctionBoolean>(true), "TRUE", 65001, "5");
    add(maker<TRptFunctionINT>(), "INT", 65002, "2N");
    add(maker<TRptFunctionFRAC>(), "FRAC", 65003, "2N");
    add(maker<TRptFunctionSQRT>(), "SQRT", 65004, "2N");
    add(maker<TRptFunctionDIV>(), "DIV", 65005, "2NN");
    add(maker<TRptFunctionTYPEOF>(), "TYPEOF", 65006, "6N");
    add(maker<TRptFunctionFORMATNUMERIC>(), "FORMATNUMERIC", 65007, "7SN");
    // TRUE and FALSE share one description text; FALSE's heading is its own name.
    const std::string shared = RptText(65001);
    library.RegisterFunction(maker<TRptFunctionBoolean>(false), "FALSE",
                             "FALSE" + shared.substr(shared.find('|')), "5", vendor);
}
