#pragma once

// The one place that includes the Firebird OO API; its headers are not warning-clean.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wdeprecated-copy"
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <firebird/Interface.h>
#pragma GCC diagnostic pop

#include "data/DatabaseError.h"

#include <memory>
#include <utility>

namespace db {

Firebird::IMaster* master();

// Status wrapper whose errors become DatabaseError, so no call site checks a status.
class StatusWrapper : public Firebird::BaseStatusWrapper<StatusWrapper>
{
public:
    explicit StatusWrapper(Firebird::IStatus* status) : BaseStatusWrapper(status) {}
    static void checkException(StatusWrapper* status);
};

// A fresh status with its own wrapper, disposed at the end of the scope.
class Status
{
public:
    Status() : m_status(master()->getStatus()), m_wrapper(m_status.get()) {}
    StatusWrapper* operator&() { return &m_wrapper; }

private:
    struct Disposer
    {
        void operator()(Firebird::IStatus* s) const { s->dispose(); }
    };
    std::unique_ptr<Firebird::IStatus, Disposer> m_status;
    StatusWrapper m_wrapper;
};

// Owning pointer for reference-counted interfaces: release() when it goes.
template <typename T> class Ref
{
public:
    Ref() = default;
    explicit Ref(T* p) : m_p(p) {}
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    Ref(Ref&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    Ref& operator=(Ref&& other) noexcept
    {
        if (this != &other) {
            reset();
            m_p = std::exchange(other.m_p, nullptr);
        }
        return *this;
    }
    ~Ref() { reset(); }

    void reset(T* p = nullptr) noexcept
    {
        if (m_p)
            m_p->release();
        m_p = p;
    }
    // Gives the pointer up, e.g. after commit() or close() released it already.
    T* take() noexcept { return std::exchange(m_p, nullptr); }
    T* get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    T* m_p = nullptr;
};

// A transaction that rolls back in its destructor unless committed.
class Transaction
{
public:
    explicit Transaction(Firebird::IAttachment* attachment);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    Firebird::ITransaction* get() const { return m_tra.get(); }
    void commit(); // leaves the object without a transaction

private:
    Ref<Firebird::ITransaction> m_tra;
};

// The attachment behind a Connection; detaches in its destructor, ignoring errors.
class Attachment
{
public:
    explicit Attachment(Firebird::IAttachment* attachment) : m_att(attachment) {}
    ~Attachment();
    Firebird::IAttachment* get() const { return m_att.get(); }

private:
    Ref<Firebird::IAttachment> m_att;
};

} // namespace db
