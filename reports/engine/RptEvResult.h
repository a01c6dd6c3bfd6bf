// The typed value an expression, a data field or a function gives: an integer, a float, a string,
// a Boolean or an error carrying its message. Strings and messages hold at most 255 characters,
// as the engine's short strings always have; longer texts are cut when the result is made.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

// The kind codes are part of the engine's interface (expression editors show them).
enum TRptEvResultType : int {
    rtInteger = 0,
    rtFloat = 1,
    rtString = 2,
    rtBoolean = 3,
    rtError = 4,
};

class TRptEvResult {
public:
    static constexpr std::size_t MaxLength = 255;

    TRptEvResult() = default; // integer 0
    static TRptEvResult Integer(std::int32_t v) {
        TRptEvResult r;
        r.int_ = v;
        return r;
    }
    static TRptEvResult Float(double v) {
        TRptEvResult r(rtFloat);
        r.float_ = v;
        return r;
    }
    static TRptEvResult String(std::string_view s) {
        TRptEvResult r(rtString);
        r.text_ = cut(s);
        return r;
    }
    static TRptEvResult Boolean(bool v) {
        TRptEvResult r(rtBoolean);
        r.bool_ = v;
        return r;
    }
    static TRptEvResult Error(std::string_view message) {
        TRptEvResult r(rtError);
        r.text_ = cut(message);
        return r;
    }

    TRptEvResultType Kind() const { return kind_; }
    bool IsError() const { return kind_ == rtError; }
    bool IsNumeric() const { return kind_ == rtInteger || kind_ == rtFloat; }

    // Each accessor is valid for its own kind only (std::logic_error otherwise), except
    // AsNumber, which takes integers and floats.
    std::int32_t AsInteger() const { return expect(rtInteger).int_; }
    double AsFloat() const { return expect(rtFloat).float_; }
    const std::string& AsString() const { return expect(rtString).text_; }
    bool AsBoolean() const { return expect(rtBoolean).bool_; }
    const std::string& ErrorMessage() const { return expect(rtError).text_; }
    double AsNumber() const {
        return kind_ == rtInteger ? static_cast<double>(int_) : expect(rtFloat).float_;
    }

    friend bool operator==(const TRptEvResult& a, const TRptEvResult& b) {
        if (a.kind_ != b.kind_) {
            return false;
        }
        switch (a.kind_) {
        case rtInteger:
            return a.int_ == b.int_;
        case rtFloat:
            return a.float_ == b.float_;
        case rtBoolean:
            return a.bool_ == b.bool_;
        default:
            return a.text_ == b.text_;
        }
    }

private:
    explicit TRptEvResult(TRptEvResultType kind) : kind_(kind) {}
    const TRptEvResult& expect(TRptEvResultType kind) const {
        if (kind_ != kind) {
            throw std::logic_error("Result of another kind");
        }
        return *this;
    }
    static std::string cut(std::string_view s) {
        return std::string(s.substr(0, std::min(s.size(), MaxLength)));
    }

    TRptEvResultType kind_ = rtInteger;
    std::int32_t int_ = 0;
    double float_ = 0.0;
    bool bool_ = false;
    std::string text_; // the string or the error message
};
