// The data a report walks through: a small cursor interface (open, first, next, prior, end,
// count, named typed fields) that the controllers step and the evaluator reads fields from,
// and an in-memory implementation. The program itself has no database; its reports and the
// tests feed rows through TRptMemoryDataSet.
#pragma once

#include "reports/engine/RptEvResult.h"

#include <string>
#include <string_view>
#include <vector>

// Field types the evaluator can read; any other type reads as an error naming the field.
enum class TRptFieldType { Integer, Float, String, Boolean, Other };

struct TRptFieldDef {
    std::string Name;
    TRptFieldType Type = TRptFieldType::String;
};

class TRptDataSet {
public:
    virtual ~TRptDataSet() = default;

    // The name a field reference may put before the field name ("Name.Field").
    virtual const std::string& Name() const = 0;

    virtual void Open() = 0;
    virtual void Close() = 0;
    virtual bool Active() const = 0;

    // Cursor moves, as a database cursor behaves: Next on the last record sets Eof and stays on
    // that record (its fields still read), Prior clears Eof and moves back one record (from the
    // first record it stays there). An empty or closed data set is always at its end.
    virtual void First() = 0;
    virtual void Next() = 0;
    virtual void Prior() = 0;
    virtual bool Eof() const = 0;
    virtual int RecordCount() const = 0;

    virtual int FieldCount() const = 0;
    virtual const TRptFieldDef& Field(int index) const = 0;
    // The current record's value of a field, as a result of the field's kind. A field of type
    // Other, and any field of an empty or closed data set, give an error result naming the field.
    virtual TRptEvResult FieldValue(int index) const = 0;

    // Index of the field named `name` compared without regard to ASCII case; -1 when none.
    int FindField(std::string_view name) const;
};

// Rows held in memory. Each row holds one value per field, of the field's type (an integer
// field holds integer results, and so on); values of type-Other fields are never read.
class TRptMemoryDataSet : public TRptDataSet {
public:
    TRptMemoryDataSet(std::string name, std::vector<TRptFieldDef> fields);

    // Rows are appended before Open. Throws std::invalid_argument when the row has the wrong number
    // of values or a value of another kind than its field.
    void AppendRow(std::vector<TRptEvResult> row);
    void Clear();

    const std::string& Name() const override { return name_; }
    void Open() override;
    void Close() override;
    bool Active() const override { return active_; }
    void First() override;
    void Next() override;
    void Prior() override;
    bool Eof() const override;
    int RecordCount() const override;
    int FieldCount() const override { return static_cast<int>(fields_.size()); }
    const TRptFieldDef& Field(int index) const override;
    TRptEvResult FieldValue(int index) const override;

    // The current row index, 0-based.
    int RecNo() const { return pos_; }

private:
    std::string name_;
    std::vector<TRptFieldDef> fields_;
    std::vector<std::vector<TRptEvResult>> rows_;
    bool active_ = false;
    int pos_ = 0;
    bool eof_ = true;
};
