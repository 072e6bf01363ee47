#pragma once

#include <QString>

#include <memory>

namespace db {

struct ConnectionParams
{
    QString server;   // empty: the embedded engine opens the file itself
    QString database; // path as the server sees it
    QString userName;
    QString password;
    QString characterSet;

    // "server:database" when a server is named, else the path alone.
    QString connectString() const;
};

class Attachment;

// The program's single database connection. Closed until opened; every query and
// procedure call opens it on demand with the last parameters.
class Connection
{
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void setParams(const ConnectionParams& params);
    const ConnectionParams& params() const { return m_params; }

    void open(); // throws DatabaseError
    void close() noexcept;
    bool isOpen() const { return m_attachment != nullptr; }

    // Opens the connection when it is closed; the attachment stays owned here.
    Attachment& attachment();

    // Bumped on every open, so prepared statements of an earlier attachment are dropped.
    unsigned generation() const { return m_generation; }

private:
    ConnectionParams m_params;
    std::unique_ptr<Attachment> m_attachment;
    unsigned m_generation = 0;
};

} // namespace db
