// The expression evaluator through its public interface: precedence and associativity, the
// operator table on every kind, the engine's messages spelled exactly, the function library,
// aggregates over a data set, environments with recursion, and floats and masks as text.
#include "reports/engine/RptEval.h"
#include "platform/text/Numbers.h"
#include "reports/engine/RptEvParser.h"
#include "reports/engine/RptFormat.h"
#include "reports/pages/RptError.h"

#include <gtest/gtest.h>

#include <limits>
#include <ostream>

void PrintTo(const TRptEvResult& r, std::ostream* os) {
    static const char* const kKinds[] = {"int", "float", "string", "bool", "error"};
    *os << kKinds[r.Kind()] << " ";
    switch (r.Kind()) {
    case rtInteger:
        *os << r.AsInteger();
        break;
    case rtFloat:
        *os << r.AsFloat();
        break;
    case rtString:
        *os << "'" << r.AsString() << "'";
        break;
    case rtBoolean:
        *os << (r.AsBoolean() ? "True" : "False");
        break;
    case rtError:
        *os << "\"" << r.ErrorMessage() << "\"";
        break;
    }
}

namespace {

using R = TRptEvResult;

class RptEval : public ::testing::Test {
protected:
    void SetUp() override { platform::text::setFormatSettings({'.', ','}); }
    void TearDown() override { platform::text::setFormatSettings({'.', ','}); }
    R calc(std::string_view text) { return evaluator.Calculate(text); }
    TRptEvaluator evaluator;
};

struct Case {
    const char* text;
    R expected;
};

void expectAll(TRptEvaluator& ev, std::initializer_list<Case> cases) {
    for (const Case& c : cases) {
        EXPECT_EQ(ev.Calculate(c.text), c.expected) << c.text;
    }
}

R Err(const char* message) {
    return R::Error(message);
}

TEST_F(RptEval, PrecedenceAssociativityAndSigns) {
    expectAll(evaluator, {
                             {"1+2*3", R::Integer(7)},
                             {"(1+2)*3", R::Integer(9)},
                             {"10/4", R::Float(2.5)},
                             {"10-2-3", R::Integer(5)},
                             {"1-(2+3)", R::Integer(-4)},
                             {"10-2+3", R::Integer(11)},
                             {"2*3/4*5", R::Float(7.5)},
                             {"8/(2*2)", R::Float(2.0)},
                             {"5 - -3", R::Integer(8)},
                             {"-2*3", R::Integer(-6)},
                             {"+4", R::Integer(4)},
                             {"  ( 1 + 2 )  ", R::Integer(3)},
                             {"1+2=3", R::Boolean(true)},
                             {"2*3>=6", R::Boolean(true)},
                             {"3 = 1 or 2", R::Boolean(true)}, // "or" binds before "="
                             {"(1=1) or (2=3)", R::Boolean(true)},
                             {"(1=1)AND(2=2)", R::Boolean(true)},
                             {"not (1=2)", R::Boolean(true)},
                             {"NOT TRUE or TRUE", R::Boolean(true)},
                             {"1.5e3", R::Float(1500)},
                             {"1.5E-3", R::Float(0.0015)},
                             {"2e+2*2", R::Float(400)},
                             {"1.", R::Float(1)},
                             {"2147483647", R::Integer(2147483647)},
                             {"", R::String(" ")},
                         });
}

// Each operator precedes its operands, left then right; a function precedes its arguments,
// which end with an argument-end marker.
TEST_F(RptEval, ElementListInPrefixOrder) {
    auto shape = [&](std::string_view text) {
        evaluator.Prepare(text);
        std::string out;
        for (std::size_t i = 0; i < evaluator.FiFo().Count(); ++i) {
            const TRptEvElement& e = evaluator.FiFo().Item(i);
            if (auto* op = dynamic_cast<const TRptEvElementOperator*>(&e)) {
                out += "op" + std::to_string(op->Operator()) + " ";
            } else if (auto* f = dynamic_cast<const TRptEvElementFunction*>(&e)) {
                out += f->Name() + " ";
            } else if (dynamic_cast<const TRptEvElementArgumentEnd*>(&e)) {
                out += "end ";
            } else if (dynamic_cast<const TRptEvElementConstant*>(&e)) {
                out += "const ";
            } else if (dynamic_cast<const TRptEvElementString*>(&e)) {
                out += "str ";
            } else if (dynamic_cast<const TRptEvElementError*>(&e)) {
                out += "error ";
            } else {
                out += "? ";
            }
        }
        evaluator.Unprepare();
        return out;
    };
    EXPECT_EQ(shape("1-2+3"), "op6 op7 const const const ");
    EXPECT_EQ(shape("1-(2+3)"), "op7 const op6 const const ");
    EXPECT_EQ(shape("-x"), "error ");
    EXPECT_EQ(shape("-1"), "op7 const const ");
    EXPECT_EQ(shape("IF(TRUE,'a',2)"), "IF TRUE end str const end ");
    EXPECT_EQ(shape("'a'<>'b' or 1"), "op5 str op8 str const ");
}

TEST_F(RptEval, OperatorsOnEveryKind) {
    expectAll(evaluator,
              {
                  {"'ab'+'cd'", R::String("abcd")},
                  {"1+'ab'", R::String("1ab")},
                  {"10<'9'", R::Boolean(true)}, // mixed kinds compare as text
                  {"TRUE+1", R::String("True1")},
                  {"1=1.0", R::Boolean(true)},
                  {"2.5+1", R::Float(3.5)},
                  {"'b'>'a'", R::Boolean(true)},
                  {"'a'<='a'", R::Boolean(true)},
                  {"'\xE0'>'z'", R::Boolean(true)}, // byte order, not signed chars
                  {"'a'<>'A'", R::Boolean(true)},
                  {"TRUE=TRUE", R::Boolean(true)},
                  {"TRUE<>FALSE", R::Boolean(true)},
                  {"TRUE and FALSE", R::Boolean(false)},
                  {"6 or 3", R::Integer(7)},
                  {"6 and 3", R::Integer(2)},
                  {"7-2.5", R::Float(4.5)},
                  {"1.5*2", R::Float(3.0)},
                  {"3<2", R::Boolean(false)},
                  {"3>2.5", R::Boolean(true)},
                  {"10/0", Err("Cannot divide by 0")},
                  {"1.5/0", Err("Cannot divide by 0")},
                  {"TRUE<FALSE", Err("Operator < is not compatible with boolean expressions")},
                  {"TRUE<=FALSE", Err("Operator <= is not compatible with boolean expressions")},
                  {"TRUE>FALSE", Err("Operator > is not compatible with boolean expressions")},
                  {"TRUE>=FALSE", Err("Operator >= is not compatible with boolean expressions")},
                  {"TRUE+FALSE", Err("Cannot add boolean expressions")},
                  {"TRUE-FALSE", Err("Cannot subtract boolean expressions")},
                  {"TRUE*FALSE", Err("Cannot multiply boolean expressions")},
                  {"TRUE/FALSE", Err("Cannot divide boolean expressions")},
                  {"'a'-'b'", Err("Cannot subtract string expressions")},
                  {"'a'*'b'", Err("Cannot multiply string expressions")},
                  {"'a'/'b'", Err("Cannot divide string expressions")},
                  {"'a' or 'b'", Err("Operator OR is not compatible with string expressions")},
                  {"'a' and 'b'", Err("Operator AND is not compatible with string expressions")},
                  {"1.5 or 2.5", Err("Operator OR is not compatible with numeric expressions")},
                  {"1.5 and 2.5", Err("Operator AND is not compatible with numeric expressions")},
                  {"1/0+'x'", Err("Cannot divide by 0")}, // an error wins over any kind
                  {"2147483647+1", Err("Error in expression : Integer overflow")},
                  {"65536*65536", Err("Error in expression : Integer overflow")},
                  {"0-2147483647-2", Err("Error in expression : Integer overflow")},
                  {"1e300*1e300", Err("Error in expression : INF")},
              });
    // Concatenations are cut at 255 characters.
    const std::string a(200, 'a');
    const R joined = calc("'" + a + "'+'" + a + "'");
    ASSERT_EQ(joined.Kind(), rtString);
    EXPECT_EQ(joined.AsString(), std::string(255, 'a'));
}

TEST_F(RptEval, ParseErrorsSpelledAsTheEngineTexts) {
    expectAll(evaluator,
              {
                  {"not 1", Err("Invalid use of NOT")},
                  {"'abc", Err("Missing '")},
                  {"[abc", Err("Missing ]")},
                  {"(1+2", Err("Missing )")},
                  {"IF(TRUE,1,2", Err("Missing )")},
                  {"12a", Err("Illegal character in numeric contant \"12a\"")},
                  {"1.2.3", Err("Illegal character in numeric contant \"1.2.3\"")},
                  {"99999999999", Err("Conversion error")},
                  {"1e999", Err("Conversion error")},
                  {"FOO(1)", Err("Unknown function : FOO")},
                  {"FOO", Err("Unknown function : FOO")},
                  {"[no field]", Err("Unknown function : no field")},
                  {"1 + * 2", Err("Error in expression : * 2")},
                  {"1 2", Err("Error in expression : 2")},
                  {"1 = 1 or 2 = 3", Err("Error in expression : = 3")},
                  {"(1+2))", Err("Error in expression : )")},
                  {"1+", Err("Error in expression : ")},
                  {".5", Err("Error in expression : .5")},
                  {"1 order 2", Err("Error in expression : order 2")}, // "or" is a whole word
                  // A fault anywhere makes the whole expression an error, also in a branch
                  // that would not be taken.
                  {"IF(TRUE, 1, 'x)", Err("Missing '")},
              });
    // Nesting too deep for the stack is refused, not followed.
    const std::string deep = std::string(5000, '(') + "1" + std::string(5000, ')');
    EXPECT_TRUE(calc(deep).IsError());
    std::string chain = "1";
    for (int i = 0; i < 20000; ++i) {
        chain += "+1";
    }
    EXPECT_TRUE(calc(chain).IsError());
    EXPECT_EQ(calc(std::string(150, '(') + "7" + std::string(150, ')')), R::Integer(7));
}

TEST_F(RptEval, Functions) {
    expectAll(evaluator,
              {
                  {"TYPEOF(1.5)", R::String("FLOAT")},
                  {"TYPEOF(1)", R::String("INTEGER")},
                  {"TYPEOF('a')", R::String("STRING")},
                  {"TYPEOF(1=1)", R::String("BOOLEAN")},
                  {"TYPEOF(1/0)", R::String("ERROR")},
                  {"TYPEOF(1,2)", Err("Wrong arguments for TYPEOF")},
                  {"DIV(7,2)", R::Integer(3)},
                  {"DIV(7.5,2)", R::Integer(4)},
                  {"DIV(2.5,1)", R::Integer(2)},
                  {"DIV(-7,2)", R::Integer(-3)},
                  {"DIV(1,0)", Err("Division by Zero")},
                  {"DIV(1)", Err("Wrong arguments for DIV")},
                  {"DIV(1e10,1)", Err("Conversion error")},
                  {"INT(3.7)", R::Integer(3)},
                  {"INT(-3.7)", R::Integer(-3)},
                  {"INT(5)", R::Integer(5)},
                  {"INT(1e10)", Err("Conversion error")},
                  {"INT('a')", Err("Wrong arguments for INT")},
                  {"INT()", Err("Wrong arguments for INT")},
                  {"FRAC(3)", R::Float(0.0)},
                  {"FRAC(2.5)", R::Float(0.5)},
                  {"FRAC('a')", Err("Wrong arguments for FRAC")},
                  {"SQRT(16)", R::Float(4.0)},
                  {"SQRT('a')", Err("Invalid argument to SQRT function")},
                  {"SQRT(-1)", Err("Invalid argument to SQRT function")},
                  {"IF(1=1,'y','n')", R::String("y")},
                  {"if(1=2,'y',3)", R::Integer(3)},
                  {"IF(1,2,3)", Err("Wrong arguments for IF")},
                  {"IF(TRUE,2)", Err("Wrong arguments for IF")},
                  {"COUNT(1)", Err("COUNT - Too many arguments")},
                  {"TRUE(1)", Err("Too many arguments")},
                  {"FALSE()", R::Boolean(false)},
                  {"true", R::Boolean(true)},
                  {"UPPER(1)", Err("Missing argument for UPPER")},
                  {"UPPER('abc\xE0\xB8')", R::String("ABC\xC0\xA8")}, // Cyrillic a and yo
                  {"LOWER('AbC\xC0')", R::String("abc\xE0")},
                  {"PRETTY('hELLO wORLD')", R::String("Hello world")},
                  {"PRETTY('')", R::String("")},
                  {"STR('x')", Err("Conversion error")},
                  {"STR(TRUE)", R::String("True")},
                  {"STR(12)", R::String("12")},
                  {"STR(1/3)", R::String("0.333333333333333")},
                  {"STR(1,2)", Err("Conversion error")},
                  {"STR(1/0)", Err("Cannot divide by 0")},
                  {"COPY('abcdef',2,3)", R::String("bcd")},
                  {"COPY('abcdef',0,2)", R::String("ab")},
                  {"COPY('abcdef',-5,2)", R::String("ab")},
                  {"COPY('abcdef',5,100)", R::String("ef")},
                  {"COPY('abcdef',10,2)", R::String("")},
                  {"COPY('abcdef',2,-1)", R::String("")},
                  {"COPY(1,2,3)", Err("Wrong arguments for COPY")},
                  {"FORMATNUMERIC('0.00', 3.14159)", R::String("3.14")},
                  {"FORMATNUMERIC('#,##0', 1234567)", R::String("1,234,567")},
                  {"FORMATNUMERIC('0.00', 'x')", Err("Wrong arguments for FORMATNUMERIC")},
                  {"FORMATNUMERIC('\"0', 1)", Err("Invalid format or value specified")},
                  {"TYPEOF(TIME)", R::String("STRING")},
                  {"TYPEOF(DATE())", R::String("STRING")},
              });
    EXPECT_FALSE(calc("DATE").AsString().empty());
}

TEST_F(RptEval, FunctionLibraryEntries) {
    const TRptFunctionLibrary& library = RptFunctionLibrary();
    std::vector<std::string> names;
    for (const auto& [name, entry] : library.Entries()) {
        names.push_back(name);
        EXPECT_NE(entry.Description.find('|'), std::string::npos) << name;
        EXPECT_EQ(entry.Description.substr(0, name.size()), name);
        EXPECT_FALSE(entry.Vendor.empty());
    }
    EXPECT_EQ(names, (std::vector<std::string>{
                         "AVERAGE", "COPY", "COUNT", "DATE",  "DIV",  "FALSE",  "FORMATNUMERIC",
                         "FRAC",    "IF",   "INT",   "LOWER", "MAX",  "MIN",    "PRETTY",
                         "SQRT",    "STR",  "SUM",   "TIME",  "TRUE", "TYPEOF", "UPPER"}));
    ASSERT_NE(library.Find("formatnumeric"), nullptr);
    EXPECT_EQ(library.Find("FormatNumeric")->Signature, "7SN");
    EXPECT_EQ(library.Find("IF")->Description,
              "IF(<Exp>, <X>, <Y>)|Returns <X> or <Y> depending on the boolean expression <Exp>");
    EXPECT_EQ(library.Find("FALSE")->Description, "FALSE|boolean value");
    EXPECT_EQ(library.Find("COPY")->Signature, "7SNN");
}

TEST_F(RptEval, AggregatesOverADataSet) {
    TRptMemoryDataSet ds("Items", {{"x", TRptFieldType::Integer},
                                   {"w", TRptFieldType::Float},
                                   {"name", TRptFieldType::String},
                                   {"ok", TRptFieldType::Boolean},
                                   {"blob", TRptFieldType::Other}});
    const char* names[] = {"b", "a", "c"};
    for (int i = 0; i < 3; ++i) {
        ds.AppendRow({R::Integer(i + 1), R::Float(0.5 * (i + 1)), R::String(names[i]),
                      R::Boolean(i == 1), R::Integer(0)});
    }
    ds.Open();
    evaluator.DataSets = {&ds};

    struct Aggregate {
        const char* text;
        R afterAll;
        R afterReset;
    };
    const R zero = R::Integer(0);
    const Aggregate cases[] = {
        {"SUM([x])", R::Integer(6), zero},
        {"SUM(x)+1", R::Integer(7), R::Integer(1)},
        {"SUM(w)", R::Float(3.0), zero},
        {"SUM(Items.X * 2)", R::Integer(12), zero},
        {"AVERAGE([x])", R::Float(2.0), R::Float(0.0)},
        {"COUNT", R::Integer(3), zero},
        {"COUNT*10+MAX(x)", R::Integer(33), zero},
        {"MAX([name])", R::String("c"), zero},
        {"MIN([name])", R::String("a"), zero},
        {"MAX(w)", R::Float(1.5), zero},
        {"MIN(x)", R::Integer(1), zero},
        {"MAX(ok)", R::Boolean(true), zero},
        {"MIN(ok)", R::Boolean(false), zero},
        {"SUM(name)", Err("Wrong arguments for SUM"), zero},
        {"AVERAGE(name)", Err("Wrong arguments for AVERAGE"), R::Float(0.0)},
        {"SUM(x/0)", Err("Cannot divide by 0"), zero},
    };
    for (const Aggregate& c : cases) {
        evaluator.Prepare(c.text);
        EXPECT_TRUE(evaluator.HasAggregate()) << c.text;
        for (ds.First(); !ds.Eof(); ds.Next()) {
            evaluator.AggregateStep();
        }
        EXPECT_EQ(evaluator.Value(), c.afterAll) << c.text;
        evaluator.Reset();
        EXPECT_EQ(evaluator.Value(), c.afterReset) << c.text;
        evaluator.Unprepare();
    }
    EXPECT_EQ(evaluator.Calculate("AVERAGE(x)"), R::Float(0.0)) << "no steps";
    EXPECT_EQ(evaluator.Calculate("SUM(x)"), R::Integer(0)) << "nothing accumulated";

    // Fields outside aggregates read the current record.
    ds.First();
    ds.Next();
    expectAll(evaluator, {
                             {"[Name] + ':' + STR(x)", R::String("a:2")},
                             {"items.w", R::Float(1.0)},
                             {"ok and TRUE", R::Boolean(true)},
                             {"blob", Err("Field blob is of unknown type")},
                             {"Other.x", Err("Unknown function : Other.x")},
                         });
    evaluator.Prepare("x*2");
    EXPECT_FALSE(evaluator.HasAggregate());
    ds.Next();
    EXPECT_EQ(evaluator.Value(), R::Integer(6)) << "a prepared field follows the cursor";
}

TEST_F(RptEval, Environments) {
    TRptEvEnvironment env;
    env.Add("PAGENUMBER", "0");
    env.Add("X", "X+1");
    env.Add("A", "B*2");
    env.Add("B", "A");
    env.Add("Twice", "PageNumber*2");
    env.Add("AppName", "'local'");
    env.Add("pagenumber", "99"); // an existing name stays unchanged
    evaluator.SetEnvironment(&env);
    env.Prepare();
    expectAll(evaluator, {
                             {"PAGENUMBER", R::Integer(0)},
                             {"X", Err("Recursive calls not allowed")},
                             {"A", Err("Recursive calls not allowed")},
                             {"twice + 1", R::Integer(1)},
                             {"[AppName]", R::String("local")},
                             {"TYPEOF(AppStartDate)", R::String("STRING")},
                         });
    env.Element("PageNumber")->SetValue(R::Integer(3));
    EXPECT_EQ(env.Element("PAGENUMBER")->Expression(), "3");
    EXPECT_EQ(calc("twice"), R::Integer(6)) << "entries see a changed value";
    env.SetExpression("X", "PAGENUMBER+1");
    EXPECT_EQ(calc("X"), R::Integer(4));
    EXPECT_EQ(env.Element("Title"), nullptr);
    env.Add("Title", "''");
    env.Element("Title")->SetValue(R::String("it's"));
    EXPECT_EQ(calc("REPORTTITLE"), Err("Unknown function : REPORTTITLE"));
    EXPECT_EQ(calc("Title"), R::String("it's"));
    env.Unprepare();

    // Names the local environment lacks come from the program's own.
    RptSetApplicationTitle("Tollerbank");
    evaluator.SetEnvironment(nullptr);
    EXPECT_EQ(calc("AppName + '!'"), R::String("Tollerbank!"));
}

TEST_F(RptEval, WhatRaises) {
    try {
        (void)evaluator.Value();
        ADD_FAILURE() << "no exception";
    } catch (const ERptError& e) {
        EXPECT_STREQ(e.what(), "Evaluator not prepared");
    }
    try {
        (void)RptResultToText(R::Error("Missing ]"));
        ADD_FAILURE() << "no exception";
    } catch (const ERptError& e) {
        EXPECT_STREQ(e.what(), "Error in expression : Missing ]");
    }
    EXPECT_EQ(RptResultToText(R::Boolean(false)), "False");
    EXPECT_EQ(RptResultToText(R::Integer(-12)), "-12");
}

TEST_F(RptEval, FloatsAsText) {
    const std::pair<double, const char*> cases[] = {
        {2.5, "2.5"},
        {1.0 / 3.0, "0.333333333333333"},
        {1e20, "1E20"},
        {1e-6, "1E-6"},
        {1e-5, "0.00001"},
        {-1234.5, "-1234.5"},
        {1500.0, "1500"},
        {0.0, "0"},
        {-0.0, "0"},
        {123456789012345.0, "123456789012345"},
        {1e15, "1E15"},
        {999999999999999.9, "1E15"}, // rounding to 15 digits moves the exponent
        {-2.5e-7, "-2.5E-7"},
        {0.1 + 0.2, "0.3"},
    };
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(RptFloatToText(value), text) << value;
    }
    platform::text::setFormatSettings({',', '.'});
    EXPECT_EQ(RptFloatToText(2.5), "2,5");
    EXPECT_EQ(RptFloatToText(-2.5e-7), "-2,5E-7");
    EXPECT_EQ(calc("STR(10/4)"), R::String("2,5")) << "literals keep the point";
    EXPECT_EQ(calc("1.5+1"), R::Float(2.5));
}

TEST_F(RptEval, FormatMasks) {
    struct Mask {
        const char* mask;
        double value;
        const char* text;
    };
    const Mask cases[] = {
        {"0.00", 3.14159, "3.14"},
        {"0.00", 2.675, "2.67"}, // the exact binary value is below the half
        {"0.00", -0.001, "0.00"},
        {"#.##", 0.5, ".5"},
        {"#.##", 12.0, "12"},
        {"0.0#", 1.0, "1.0"},
        {"0.0#", 1.256, "1.26"},
        {"000", 7, "007"},
        {"#", 0, ""},
        {"#,##0.00", 1234567.891, "1,234,567.89"},
        {"#,##0", -1234, "-1,234"},
        {"#,##0;(#,##0)", -1234, "(1,234)"},
        {"0.0;-0.0;'zero'", 0, "zero"},
        {"0.0;;'zero'", -2, "-2.0"},
        {"0.0;(0.0);nil", 0.01, "nil"},
        {"'Sum: '0.0\" mm\"", 12.34, "Sum: 12.3 mm"},
        {"0.00E+00", 12345, "1.23E+04"},
        {"0.0e-0", 0.00012, "1.2e-4"},
        {"0.0E-00", 12, "1.2E01"},
        {"", 2.5, "2.5"},
        {";x", -2.5, "-2.5"},
        {"0", 1e20, "100000000000000000000"},
    };
    for (const Mask& c : cases) {
        EXPECT_EQ(RptFormatFloat(c.mask, c.value).value_or("<none>"), c.text)
            << c.mask << " " << c.value;
    }
    // Masks longer than any number: every placeholder is honoured.
    const std::string manyDecimals = "0." + std::string(300, '0');
    EXPECT_EQ(RptFormatFloat(manyDecimals, 0.5), "0.5" + std::string(299, '0'));
    EXPECT_EQ(RptFormatFloat(manyDecimals + "E+0", 1e300).value_or("").substr(0, 4), "1.00");
    EXPECT_FALSE(RptFormatFloat("'0", 1));
    EXPECT_FALSE(RptFormatFloat("0", std::numeric_limits<double>::infinity()));
    platform::text::setFormatSettings({',', ' '});
    EXPECT_EQ(RptFormatFloat("#,##0.00", 1234.5), "1 234,50");
}

} // namespace
