#include "reports/engine/RptDataSet.h"

#include <stdexcept>

namespace {

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto up = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; };
        if (up(a[i]) != up(b[i])) {
            return false;
        }
    }
    return true;
}

TRptEvResultType kindOf(TRptFieldType type) {
    switch (type) {
    case TRptFieldType::Integer:
        return rtInteger;
    case TRptFieldType::Float:
        return rtFloat;
    case TRptFieldType::String:
        return rtString;
    case TRptFieldType::Boolean:
        return rtBoolean;
    case TRptFieldType::Other:
        break;
    }
    return rtError;
}

} // namespace

int TRptDataSet::FindField(std::string_view name) const {
    for (int i = 0; i < FieldCount(); ++i) {
        if (sameIgnoringCase(Field(i).Name, name)) {
            return i;
        }
    }
    return -1;
}

TRptMemoryDataSet::TRptMemoryDataSet(std::string name, std::vector<TRptFieldDef> fields)
    : name_(std::move(name)), fields_(std::move(fields)) {}

void TRptMemoryDataSet::AppendRow(std::vector<TRptEvResult> row) {
    if (row.size() != fields_.size()) {
        throw std::invalid_argument("Row of " + std::to_string(row.size()) + " values for " +
                                    std::to_string(fields_.size()) + " fields");
    }
    for (std::size_t i = 0; i < row.size(); ++i) {
        if (fields_[i].Type != TRptFieldType::Other && row[i].Kind() != kindOf(fields_[i].Type)) {
            throw std::invalid_argument("Value of another type for field " + fields_[i].Name);
        }
    }
    rows_.push_back(std::move(row));
}

void TRptMemoryDataSet::Clear() {
    rows_.clear();
    pos_ = 0;
    eof_ = true;
}

void TRptMemoryDataSet::Open() {
    active_ = true;
    First();
}

void TRptMemoryDataSet::Close() {
    active_ = false;
    pos_ = 0;
    eof_ = true;
}

void TRptMemoryDataSet::First() {
    pos_ = 0;
    eof_ = rows_.empty();
}

void TRptMemoryDataSet::Next() {
    if (pos_ + 1 < RecordCount()) {
        ++pos_;
    } else {
        eof_ = true;
    }
}

void TRptMemoryDataSet::Prior() {
    if (!active_ || rows_.empty()) {
        return;
    }
    eof_ = false;
    if (pos_ > 0) {
        --pos_;
    }
}

bool TRptMemoryDataSet::Eof() const {
    return !active_ || eof_;
}

int TRptMemoryDataSet::RecordCount() const {
    return static_cast<int>(rows_.size());
}

const TRptFieldDef& TRptMemoryDataSet::Field(int index) const {
    return fields_.at(static_cast<std::size_t>(index));
}

TRptEvResult TRptMemoryDataSet::FieldValue(int index) const {
    const TRptFieldDef& field = Field(index);
    if (field.Type == TRptFieldType::Other || !active_ || rows_.empty()) {
        return TRptEvResult::Error(field.Name);
    }
    return rows_[static_cast<std::size_t>(pos_)][static_cast<std::size_t>(index)];
}
