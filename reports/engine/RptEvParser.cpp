#include "reports/engine/RptEvParser.h"

#include "platform/text/Numbers.h"
#include "reports/pages/RptTexts.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace {

enum : int {
    kTextInvalidNot = 64952,
    kTextIllegalCharacter = 64960,
    kTextMissing = 64961,
    kTextUnknownFunction = 64962,
    kTextErrorIn = 64963,
    kTextConversionError = 64948,
};

// Deeper texts than this are refused rather than risk the stack: parentheses and signs nest the
// parser, long operator chains nest the evaluation of the list.
constexpr int kMaxNesting = 200;
constexpr int kMaxDepth = 1000;

char gSeparator = ',';

struct ParseError {
    std::string message;
};

// A sub-expression before it is written out in prefix order.
struct Node {
    std::unique_ptr<TRptEvElement> element;
    std::vector<Node> operands;
    int depth = 1;
};

Node leaf(std::unique_ptr<TRptEvElement> element) {
    return Node{std::move(element), {}, 1};
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Letters of the code page count as letters of a name.
bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' ||
           static_cast<unsigned char>(c) >= 0xC0 || c == '\xA8' || c == '\xB8';
}

bool isNameChar(char c) {
    return isLetter(c) || isDigit(c) || c == '.';
}

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

std::string trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    return std::string(s);
}

class Parser {
public:
    Parser(std::string_view text, const TRptEvParseContext& context)
        : text_(text), context_(context) {}

    Node parseAll() {
        Node node = expression();
        skipBlanks();
        if (pos_ < text_.size()) {
            failAtRest();
        }
        return node;
    }

private:
    [[noreturn]] void fail(int id, std::string_view arg) {
        throw ParseError{RptFormatText(id, {arg})};
    }
    [[noreturn]] void failAtRest() { fail(kTextErrorIn, trimmed(text_.substr(pos_))); }

    void skipBlanks() {
        while (pos_ < text_.size() && isBlank(text_[pos_])) {
            ++pos_;
        }
    }
    char peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }
    char peekAt(std::size_t offset) const {
        return pos_ + offset < text_.size() ? text_[pos_ + offset] : '\0';
    }

    // A keyword operator is a whole word: "order" is a name, "or(" and "or " are the operator.
    bool keyword(std::string_view word) {
        if (text_.size() - pos_ < word.size() ||
            upper(text_.substr(pos_, word.size())) != upper(word)) {
            return false;
        }
        if (isNameChar(peekAt(word.size()))) {
            return false;
        }
        pos_ += word.size();
        return true;
    }

    Node binary(TRptEvOperator op, Node left, Node right) {
        const int depth = std::max(left.depth, right.depth) + 1;
        if (depth > kMaxDepth) {
            failAtRest();
        }
        Node node{std::make_unique<TRptEvElementOperator>(op), {}, depth};
        node.operands.push_back(std::move(left));
        node.operands.push_back(std::move(right));
        return node;
    }

    Node expression() {
        Node left = simpleExpression();
        skipBlanks();
        const char c = peek();
        TRptEvOperator op;
        if (c == '<' && peekAt(1) == '=') {
            op = opLessOrEqual;
        } else if (c == '<' && peekAt(1) == '>') {
            op = opUnequal;
        } else if (c == '>' && peekAt(1) == '=') {
            op = opGreaterOrEqual;
        } else if (c == '<') {
            op = opLess;
        } else if (c == '>') {
            op = opGreater;
        } else if (c == '=') {
            op = opEqual;
        } else {
            return left;
        }
        pos_ += (op == opLess || op == opGreater || op == opEqual) ? 1 : 2;
        return binary(op, std::move(left), simpleExpression());
    }

    Node simpleExpression() {
        Node left = term();
        for (;;) {
            skipBlanks();
            TRptEvOperator op;
            if (peek() == '+') {
                op = opPlus;
                ++pos_;
            } else if (peek() == '-') {
                op = opMinus;
                ++pos_;
            } else if (keyword("or")) {
                op = opOr;
            } else {
                return left;
            }
            left = binary(op, std::move(left), term());
        }
    }

    Node term() {
        Node left = factor();
        for (;;) {
            skipBlanks();
            TRptEvOperator op;
            if (peek() == '*') {
                op = opMul;
                ++pos_;
            } else if (peek() == '/') {
                op = opDiv;
                ++pos_;
            } else if (keyword("and")) {
                op = opAnd;
            } else {
                return left;
            }
            left = binary(op, std::move(left), factor());
        }
    }

    Node factor() {
        if (++nesting_ > kMaxNesting) {
            failAtRest();
        }
        Node node = factorBody();
        --nesting_;
        return node;
    }

    Node factorBody() {
        skipBlanks();
        const char c = peek();
        if (keyword("not")) {
            Node operand = factor();
            Node node{std::make_unique<TRptEvElementNot>(), {}, operand.depth + 1};
            node.operands.push_back(std::move(operand));
            return node;
        }
        if (isDigit(c)) {
            return number();
        }
        if (isLetter(c)) {
            return nameOrCall();
        }
        if (c == '[') {
            const std::size_t close = text_.find(']', pos_ + 1);
            if (close == std::string_view::npos) {
                fail(kTextMissing, "]");
            }
            const std::string name = trimmed(text_.substr(pos_ + 1, close - pos_ - 1));
            pos_ = close + 1;
            return namedValue(name, false);
        }
        if (c == '\'') {
            const std::size_t close = text_.find('\'', pos_ + 1);
            if (close == std::string_view::npos) {
                fail(kTextMissing, "'");
            }
            const std::string_view s = text_.substr(pos_ + 1, close - pos_ - 1);
            pos_ = close + 1;
            return leaf(std::make_unique<TRptEvElementString>(s));
        }
        if (c == '(') {
            ++pos_;
            Node inner = expression();
            skipBlanks();
            if (pos_ >= text_.size()) {
                fail(kTextMissing, ")");
            }
            if (peek() != ')') {
                failAtRest();
            }
            ++pos_;
            return inner;
        }
        if (c == '+') {
            ++pos_;
            return factor();
        }
        if (c == '-') {
            ++pos_;
            Node operand = factor();
            return binary(opMinus, leaf(std::make_unique<TRptEvElementConstant>(TRptEvResult())),
                          std::move(operand));
        }
        failAtRest();
    }

    // Digits, an optional fraction and an optional exponent whose sign belongs to the number.
    Node number() {
        const std::size_t start = pos_;
        auto digits = [&] {
            while (isDigit(peek())) {
                ++pos_;
            }
        };
        digits();
        bool isFloat = false;
        if (peek() == '.') {
            isFloat = true;
            ++pos_;
            digits();
        }
        if ((peek() == 'e' || peek() == 'E') &&
            (isDigit(peekAt(1)) ||
             ((peekAt(1) == '+' || peekAt(1) == '-') && isDigit(peekAt(2))))) {
            isFloat = true;
            pos_ += 2;
            digits();
        }
        if (isNameChar(peek())) {
            while (isNameChar(peek())) {
                ++pos_;
            }
            fail(kTextIllegalCharacter, text_.substr(start, pos_ - start));
        }
        const std::string_view literal = text_.substr(start, pos_ - start);
        if (!isFloat) {
            std::int64_t value = 0;
            const auto [end, ec] =
                std::from_chars(literal.data(), literal.data() + literal.size(), value);
            (void)end;
            if (ec != std::errc() || value > std::numeric_limits<std::int32_t>::max()) {
                fail(kTextConversionError, literal);
            }
            return leaf(std::make_unique<TRptEvElementConstant>(
                TRptEvResult::Integer(static_cast<std::int32_t>(value))));
        }
        const std::optional<double> value = platform::text::parseReal(literal, '.');
        if (!value) {
            fail(kTextConversionError, literal);
        }
        return leaf(std::make_unique<TRptEvElementConstant>(TRptEvResult::Float(*value)));
    }

    Node nameOrCall() {
        const std::size_t start = pos_;
        while (isNameChar(peek())) {
            ++pos_;
        }
        const std::string name(text_.substr(start, pos_ - start));
        const std::size_t afterName = pos_;
        skipBlanks();
        if (peek() != '(') {
            pos_ = afterName;
            return namedValue(name, true);
        }
        std::unique_ptr<TRptEvElementFunction> function = context_.library.Create(name);
        if (!function) {
            fail(kTextUnknownFunction, name);
        }
        ++pos_;
        Node node{std::move(function), {}, 1};
        skipBlanks();
        if (peek() == ')') {
            ++pos_;
        } else {
            for (;;) {
                Node argument = expression();
                node.depth = std::max(node.depth, argument.depth + 1);
                node.operands.push_back(std::move(argument));
                skipBlanks();
                if (pos_ >= text_.size()) {
                    fail(kTextMissing, ")");
                }
                if (peek() == ')') {
                    ++pos_;
                    break;
                }
                if (peek() != gSeparator) {
                    failAtRest();
                }
                ++pos_;
            }
        }
        node.operands.push_back(leaf(std::make_unique<TRptEvElementArgumentEnd>()));
        return node;
    }

    // A name without arguments: a library function, a field of a data set, an environment
    // entry, in that order. A name in brackets is never a function.
    Node namedValue(const std::string& name, bool mayBeFunction) {
        if (mayBeFunction) {
            if (std::unique_ptr<TRptEvElementFunction> f = context_.library.Create(name)) {
                Node node{std::move(f), {}, 1};
                node.operands.push_back(leaf(std::make_unique<TRptEvElementArgumentEnd>()));
                return node;
            }
        }
        const std::size_t dot = name.find('.');
        if (dot != std::string::npos) {
            const std::string setName = upper(name.substr(0, dot));
            for (const TRptDataSet* ds : context_.dataSets) {
                if (upper(ds->Name()) == setName) {
                    const int field = ds->FindField(name.substr(dot + 1));
                    if (field >= 0) {
                        return leaf(std::make_unique<TRptEvElementDataField>(*ds, field));
                    }
                }
            }
        }
        for (const TRptDataSet* ds : context_.dataSets) {
            const int field = ds->FindField(name);
            if (field >= 0) {
                return leaf(std::make_unique<TRptEvElementDataField>(*ds, field));
            }
        }
        for (const TRptEvEnvironment* env : {context_.environment, context_.global}) {
            if (env) {
                if (TRptEvEmbeddedFunction* entry = env->Element(name)) {
                    return leaf(std::make_unique<TRptEvElementWrapper>(*entry));
                }
            }
        }
        fail(kTextUnknownFunction, name);
    }

    std::string_view text_;
    const TRptEvParseContext& context_;
    std::size_t pos_ = 0;
    int nesting_ = 0;
};

void flatten(Node& node, TRptFiFo& fifo) {
    fifo.Add(std::move(node.element));
    for (Node& operand : node.operands) {
        flatten(operand, fifo);
    }
}

} // namespace

void RptParseExpression(std::string_view text, const TRptEvParseContext& context, TRptFiFo& fifo) {
    if (trimmed(text).empty()) {
        text = "' '";
    }
    try {
        Node root = Parser(text, context).parseAll();
        flatten(root, fifo);
    } catch (const ParseError& e) {
        fifo = TRptFiFo();
        fifo.Add(std::make_unique<TRptEvElementError>(e.message));
    }
}

char RptArgumentSeparator() {
    return gSeparator;
}

void RptSetArgumentSeparator(char separator) {
    gSeparator = separator;
}
