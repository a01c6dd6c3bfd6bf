// The typed value an expression, a data field or a function gives: an integer, a float, a string,
// a Boolean or an error carrying its message. Strings and messages hold at most 255 characters,
// as the engine's short strings always have; longer texts are cut when the result is made.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

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
    static TRptEvResult Integer(std::int32_t v) { return TRptEvResult(Value(v)); }
    static TRptEvResult Float(double v) { return TRptEvResult(Value(v)); }
    static TRptEvResult String(std::string_view s) { return TRptEvResult(Value(Text{cut(s)})); }
    static TRptEvResult Boolean(bool v) { return TRptEvResult(Value(v)); }
    static TRptEvResult Error(std::string_view message) {
        return TRptEvResult(Value(ErrorText{cut(message)}));
    }

    TRptEvResultType Kind() const { return static_cast<TRptEvResultType>(value_.index()); }
    bool IsError() const { return Kind() == rtError; }
    bool IsNumeric() const { return Kind() == rtInteger || Kind() == rtFloat; }

    // Each accessor is valid for its own kind only (std::bad_variant_access otherwise), except
    // AsNumber, which takes integers and floats.
    std::int32_t AsInteger() const { return std::get<std::int32_t>(value_); }
    double AsFloat() const { return std::get<double>(value_); }
    const std::string& AsString() const { return std::get<Text>(value_).s; }
    bool AsBoolean() const { return std::get<bool>(value_); }
    const std::string& ErrorMessage() const { return std::get<ErrorText>(value_).s; }
    double AsNumber() const {
        return Kind() == rtInteger ? static_cast<double>(AsInteger()) : AsFloat();
    }

    friend bool operator==(const TRptEvResult&, const TRptEvResult&) = default;

private:
    struct Text {
        std::string s;
        friend bool operator==(const Text&, const Text&) = default;
    };
    struct ErrorText {
        std::string s;
        friend bool operator==(const ErrorText&, const ErrorText&) = default;
    };
    // Alternatives in the order of the kind codes.
    using Value = std::variant<std::int32_t, double, Text, bool, ErrorText>;

    explicit TRptEvResult(Value v) : value_(std::move(v)) {}
    static std::string cut(std::string_view s) {
        return std::string(s.substr(0, std::min(s.size(), MaxLength)));
    }

    Value value_{std::int32_t{0}};
};
