#include "data/FbApi.h"

#include <ibase.h>

#include <string>

namespace db {

Firebird::IMaster* master()
{
    static Firebird::IMaster* const m = Firebird::fb_get_master_interface();
    return m;
}

void StatusWrapper::checkException(StatusWrapper* status)
{
    if (!status->dirty || !(status->getState() & Firebird::IStatus::STATE_ERRORS))
        return;
    char text[1024];
    master()->getUtilInterface()->formatStatus(text, sizeof text, status->status);
    char sqlState[6] = {};
    fb_sqlstate(sqlState, status->status->getErrors());
    throw DatabaseError(text, sqlState);
}

Transaction::Transaction(Firebird::IAttachment* attachment)
{
    Status st;
    m_tra.reset(attachment->startTransaction(&st, 0, nullptr));
}

Transaction::~Transaction()
{
    if (!m_tra)
        return;
    // Rolling back after an error; a second error here says nothing new.
    Firebird::IStatus* raw = master()->getStatus();
    Firebird::CheckStatusWrapper st(raw);
    m_tra->rollback(&st);
    if (!(st.getState() & Firebird::IStatus::STATE_ERRORS))
        m_tra.take();
    raw->dispose();
}

void Transaction::commit()
{
    Status st;
    m_tra->commit(&st);
    m_tra.take(); // commit() released the interface
}

Attachment::~Attachment()
{
    if (!m_att)
        return;
    Firebird::IStatus* raw = master()->getStatus();
    Firebird::CheckStatusWrapper st(raw);
    m_att->detach(&st);
    if (!(st.getState() & Firebird::IStatus::STATE_ERRORS))
        m_att.take();
    raw->dispose();
}

} // namespace db
