#pragma once

#include <string>
#include <utility>
#include <variant>

// Why something could not be done: one line for the user, in the words of
// the layer that found it.
struct Failure {
    std::string message;
};

// What a function that can fail gives back: its value, or the failure with
// its message. Every fallible function of the program answers with one.
template <typename T>
class Result {
public:
    Result(T value) : m_outcome(std::in_place_index<0>, std::move(value)) {}
    Result(Failure failure) : m_outcome(std::in_place_index<1>, std::move(failure)) {}

    bool Ok() const { return m_outcome.index() == 0; }
    explicit operator bool() const { return Ok(); }

    // Only when Ok().
    const T& Value() const& { return std::get<0>(m_outcome); }
    T& Value() & { return std::get<0>(m_outcome); }
    T&& Value() && { return std::get<0>(std::move(m_outcome)); }
    const T* operator->() const { return &Value(); }
    const T& operator*() const& { return Value(); }

    // Only when !Ok().
    const std::string& Error() const { return std::get<1>(m_outcome).message; }

private:
    std::variant<T, Failure> m_outcome;
};

// The same for a function with nothing to give back but success.
template <>
class Result<void> {
public:
    Result() = default;
    Result(Failure failure) : m_error(std::move(failure.message)), m_failed(true) {}

    bool Ok() const { return !m_failed; }
    explicit operator bool() const { return Ok(); }
    const std::string& Error() const { return m_error; }

private:
    std::string m_error;
    bool m_failed = false;
};
