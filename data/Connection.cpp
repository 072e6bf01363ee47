#include "data/Connection.h"

#include "config/Win1252.h"
#include "data/FbApi.h"

#include <ibase.h>

using namespace Firebird;

namespace db {

QString ConnectionParams::connectString() const
{
    if (server.isEmpty())
        return database;
    return server + QLatin1Char(':') + database;
}

Connection::Connection() = default;
Connection::~Connection() = default;

void Connection::setParams(const ConnectionParams& params)
{
    m_params = params;
}

void Connection::open()
{
    if (m_attachment)
        return;
    Status st;
    IUtil* util = master()->getUtilInterface();
    struct XpbDisposer
    {
        void operator()(IXpbBuilder* b) const { b->dispose(); }
    };
    std::unique_ptr<IXpbBuilder, XpbDisposer> dpb(util->getXpbBuilder(&st, IXpbBuilder::DPB, nullptr, 0));
    dpb->insertString(&st, isc_dpb_user_name, m_params.userName.toUtf8().constData());
    dpb->insertString(&st, isc_dpb_password, m_params.password.toUtf8().constData());
    if (!m_params.characterSet.isEmpty())
        dpb->insertString(&st, isc_dpb_lc_ctype, m_params.characterSet.toUtf8().constData());

    Ref<IProvider> provider(master()->getDispatcher());
    const QByteArray where = Win1252::encode(m_params.connectString());
    IAttachment* att =
        provider->attachDatabase(&st, where.constData(), dpb->getBufferLength(&st), dpb->getBuffer(&st));
    m_attachment = std::make_unique<Attachment>(att);
    ++m_generation;
}

void Connection::close() noexcept
{
    m_attachment.reset();
}

Attachment& Connection::attachment()
{
    open();
    return *m_attachment;
}

} // namespace db
