// The report engine's error: raised with one of the engine's texts (RptTexts.h).
#pragma once

#include <stdexcept>
#include <string>

class ERptError : public std::runtime_error {
public:
    explicit ERptError(const std::string& text) : std::runtime_error(text) {}
};
