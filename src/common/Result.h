#pragma once

#include <optional>
#include <utility>
#include <variant>

#include <QString>

namespace th {

// What went wrong: a stable code per kind of error of ours and a text for the user.
struct Error {
    int code = 0;
    QString message;
};

// The outcome of a fallible operation: a value, or an error with its message.
// Used project-wide so that no exception ever crosses a slot or the event loop.
template<typename T> class [[nodiscard]] Result final {
public:
    Result(T value)
        : m_data(std::move(value))
    {
    }
    Result(Error error)
        : m_data(std::move(error))
    {
    }

    bool ok() const { return std::holds_alternative<T>(m_data); }
    explicit operator bool() const { return ok(); }

    const T &value() const & { return std::get<T>(m_data); }
    T &value() & { return std::get<T>(m_data); }
    T &&value() && { return std::get<T>(std::move(m_data)); }
    T valueOr(T fallback) const { return ok() ? value() : std::move(fallback); }

    const Error &error() const { return std::get<Error>(m_data); }
    QString errorMessage() const { return ok() ? QString() : error().message; }

private:
    std::variant<T, Error> m_data;
};

template<> class [[nodiscard]] Result<void> final {
public:
    Result() = default;
    Result(Error error)
        : m_error(std::move(error))
    {
    }

    bool ok() const { return !m_error.has_value(); }
    explicit operator bool() const { return ok(); }
    const Error &error() const { return *m_error; }
    QString errorMessage() const { return ok() ? QString() : m_error->message; }

private:
    std::optional<Error> m_error;
};

inline Error makeError(int code, const QString &message)
{
    return Error { code, message };
}

} // namespace th
