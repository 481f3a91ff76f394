#pragma once
// Sets a variable for one scope and puts its earlier value back when the scope
// ends, however it ends (a return, an exception, a nested loop that re-enters).
#include <utility>

template <typename T>
class CScopedValue {
public:
    CScopedValue(T& variable, T value) : m_variable(variable), m_earlier(std::exchange(variable, std::move(value))) {}
    ~CScopedValue() { m_variable = std::move(m_earlier); }
    CScopedValue(const CScopedValue&) = delete;
    CScopedValue& operator=(const CScopedValue&) = delete;

private:
    T& m_variable;
    T m_earlier;
};
