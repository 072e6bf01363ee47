#pragma once

#include <stdexcept>
#include <string>

namespace db {

// The one error type of the data layer: the engine's message and its SQLSTATE.
class DatabaseError : public std::runtime_error
{
public:
    DatabaseError(const std::string& message, std::string sqlState = {})
        : std::runtime_error(message), m_sqlState(std::move(sqlState))
    {}

    const std::string& sqlState() const { return m_sqlState; }

private:
    std::string m_sqlState;
};

} // namespace db
