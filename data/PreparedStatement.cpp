#include "data/PreparedStatement.h"

#include "config/Win1252.h"
#include "data/BusyCursor.h"
#include "data/Connection.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <cstring>

using namespace Firebird;

namespace db {
namespace {

constexpr unsigned kCharsetOctets = 1;
constexpr unsigned kCharsetWin1252 = 53;

struct MetadataBuilderDisposer
{
    void operator()(IMetadataBuilder* b) const { b->release(); }
};

bool isText(unsigned type)
{
    return type == SQL_VARYING || type == SQL_TEXT;
}

QByteArray readBlob(IAttachment* att, ITransaction* tra, ISC_QUAD id)
{
    Status st;
    Ref<IBlob> blob(att->openBlob(&st, tra, &id, 0, nullptr));
    QByteArray bytes;
    char chunk[32768];
    for (;;) {
        unsigned got = 0;
        const int rc = blob->getSegment(&st, sizeof chunk, chunk, &got);
        if (rc == IStatus::RESULT_NO_DATA)
            break;
        bytes.append(chunk, got);
    }
    blob->close(&st);
    blob.take();
    return bytes;
}

ISC_QUAD writeBlob(IAttachment* att, ITransaction* tra, const QByteArray& bytes)
{
    Status st;
    ISC_QUAD id{};
    Ref<IBlob> blob(att->createBlob(&st, tra, &id, 0, nullptr));
    constexpr qsizetype kSegment = 32768;
    for (qsizetype pos = 0; pos < bytes.size(); pos += kSegment) {
        const auto len = unsigned(std::min(kSegment, bytes.size() - pos));
        blob->putSegment(&st, len, bytes.constData() + pos);
    }
    blob->close(&st);
    blob.take();
    return id;
}

// The input message is laid out for the values we have, and the engine converts to
// the parameters' own types; so a string parameter has exactly the string's length.
class InputMessage
{
public:
    InputMessage(IStatement* statement, const std::vector<QVariant>& inputs)
    {
        Status st;
        Ref<IMessageMetadata> described(statement->getInputMetadata(&st));
        const unsigned count = described->getCount(&st);
        if (count != inputs.size())
            throw DatabaseError("statement expects " + std::to_string(count) + " parameters, got " +
                                std::to_string(inputs.size()));
        if (count == 0) {
            m_meta = std::move(described);
            return;
        }
        std::unique_ptr<IMetadataBuilder, MetadataBuilderDisposer> builder(described->getBuilder(&st));
        m_text.resize(count);
        for (unsigned i = 0; i < count; ++i) {
            const QVariant& v = inputs[i];
            const unsigned declared = described->getType(&st, i) & ~1u;
            if (v.isNull() || !v.isValid())
                continue;
            switch (v.typeId()) {
            case QMetaType::QString:
                m_text[i] = Win1252::encode(v.toString());
                builder->setType(&st, i, SQL_VARYING + 1);
                builder->setLength(&st, i, unsigned(std::max<qsizetype>(1, m_text[i].size())));
                if (!isText(declared))
                    builder->setCharSet(&st, i, kCharsetWin1252);
                break;
            case QMetaType::QByteArray:
                if (declared == SQL_BLOB) {
                    builder->setType(&st, i, SQL_BLOB + 1);
                } else {
                    m_text[i] = v.toByteArray();
                    builder->setType(&st, i, SQL_VARYING + 1);
                    builder->setLength(&st, i, unsigned(std::max<qsizetype>(1, m_text[i].size())));
                    builder->setCharSet(&st, i, kCharsetOctets);
                }
                break;
            case QMetaType::Double:
            case QMetaType::Float:
                builder->setType(&st, i, SQL_DOUBLE + 1);
                builder->setLength(&st, i, sizeof(double));
                builder->setScale(&st, i, 0);
                break;
            case QMetaType::QDate:
                builder->setType(&st, i, SQL_TYPE_DATE + 1);
                builder->setLength(&st, i, sizeof(ISC_DATE));
                break;
            case QMetaType::QTime:
                builder->setType(&st, i, SQL_TYPE_TIME + 1);
                builder->setLength(&st, i, sizeof(ISC_TIME));
                break;
            case QMetaType::QDateTime:
                builder->setType(&st, i, SQL_TIMESTAMP + 1);
                builder->setLength(&st, i, sizeof(ISC_TIMESTAMP));
                break;
            default: // integers and booleans
                builder->setType(&st, i, SQL_INT64 + 1);
                builder->setLength(&st, i, sizeof(ISC_INT64));
                builder->setScale(&st, i, 0);
                break;
            }
        }
        m_meta.reset(builder->getMetadata(&st));
    }

    void fill(IAttachment* att, ITransaction* tra, const std::vector<QVariant>& inputs)
    {
        Status st;
        IUtil* util = master()->getUtilInterface();
        m_buffer.assign(m_meta->getMessageLength(&st), 0);
        for (unsigned i = 0; i < inputs.size(); ++i) {
            const QVariant& v = inputs[i];
            unsigned char* data = m_buffer.data() + m_meta->getOffset(&st, i);
            auto* nullFlag = reinterpret_cast<short*>(m_buffer.data() + m_meta->getNullOffset(&st, i));
            if (v.isNull() || !v.isValid()) {
                *nullFlag = -1;
                continue;
            }
            *nullFlag = 0;
            switch (m_meta->getType(&st, i) & ~1u) {
            case SQL_VARYING: {
                const auto len = static_cast<unsigned short>(m_text[i].size());
                std::memcpy(data, &len, sizeof len);
                std::memcpy(data + sizeof len, m_text[i].constData(), len);
                break;
            }
            case SQL_BLOB: {
                const ISC_QUAD id = writeBlob(att, tra, v.toByteArray());
                std::memcpy(data, &id, sizeof id);
                break;
            }
            case SQL_DOUBLE: {
                const double d = v.toDouble();
                std::memcpy(data, &d, sizeof d);
                break;
            }
            case SQL_TYPE_DATE: {
                const QDate d = v.toDate();
                const ISC_DATE value =
                    util->encodeDate(unsigned(d.year()), unsigned(d.month()), unsigned(d.day()));
                std::memcpy(data, &value, sizeof value);
                break;
            }
            case SQL_TYPE_TIME: {
                const QTime t = v.toTime();
                const ISC_TIME value = util->encodeTime(unsigned(t.hour()), unsigned(t.minute()),
                                                        unsigned(t.second()), unsigned(t.msec()) * 10);
                std::memcpy(data, &value, sizeof value);
                break;
            }
            case SQL_TIMESTAMP: {
                const QDateTime dt = v.toDateTime();
                ISC_TIMESTAMP value;
                value.timestamp_date = util->encodeDate(
                    unsigned(dt.date().year()), unsigned(dt.date().month()), unsigned(dt.date().day()));
                value.timestamp_time =
                    util->encodeTime(unsigned(dt.time().hour()), unsigned(dt.time().minute()),
                                     unsigned(dt.time().second()), unsigned(dt.time().msec()) * 10);
                std::memcpy(data, &value, sizeof value);
                break;
            }
            default: {
                bool ok = false;
                const ISC_INT64 n = v.toLongLong(&ok);
                if (!ok)
                    throw DatabaseError("parameter " + std::to_string(i + 1) + " is not a number");
                std::memcpy(data, &n, sizeof n);
                break;
            }
            }
        }
    }

    IMessageMetadata* meta() const { return m_meta.get(); }
    void* buffer() { return m_buffer.empty() ? nullptr : m_buffer.data(); }

private:
    Ref<IMessageMetadata> m_meta;
    std::vector<QByteArray> m_text;
    std::vector<unsigned char> m_buffer;
};

struct OutputColumn
{
    unsigned type;
    unsigned offset;
    unsigned nullOffset;
    unsigned length;
    int scale;
    unsigned charset;
    int subType;
};

QVariant readColumn(const OutputColumn& c, const unsigned char* row, IAttachment* att, ITransaction* tra)
{
    if (*reinterpret_cast<const short*>(row + c.nullOffset))
        return {};
    const unsigned char* data = row + c.offset;
    IUtil* util = master()->getUtilInterface();
    auto asText = [&](const char* p, unsigned len) -> QVariant {
        const QByteArray bytes(p, len);
        if (c.charset == kCharsetOctets)
            return bytes;
        return Win1252::decode(bytes);
    };
    auto scaled = [&](ISC_INT64 n) -> QVariant {
        if (c.scale == 0)
            return (n >= INT_MIN && n <= INT_MAX) ? QVariant(int(n)) : QVariant(qlonglong(n));
        double d = double(n);
        for (int s = c.scale; s < 0; ++s)
            d /= 10.0;
        return d;
    };
    switch (c.type) {
    case SQL_VARYING: {
        unsigned short len;
        std::memcpy(&len, data, sizeof len);
        return asText(reinterpret_cast<const char*>(data + sizeof len), len);
    }
    case SQL_TEXT:
        return asText(reinterpret_cast<const char*>(data), c.length);
    case SQL_SHORT: {
        short n;
        std::memcpy(&n, data, sizeof n);
        return scaled(n);
    }
    case SQL_LONG: {
        ISC_LONG n;
        std::memcpy(&n, data, sizeof n);
        return scaled(n);
    }
    case SQL_INT64: {
        ISC_INT64 n;
        std::memcpy(&n, data, sizeof n);
        return scaled(n);
    }
    case SQL_FLOAT: {
        float f;
        std::memcpy(&f, data, sizeof f);
        return double(f);
    }
    case SQL_DOUBLE: {
        double d;
        std::memcpy(&d, data, sizeof d);
        return d;
    }
    case SQL_BOOLEAN:
        return *data != 0;
    case SQL_TYPE_DATE: {
        ISC_DATE d;
        std::memcpy(&d, data, sizeof d);
        unsigned y, m, day;
        util->decodeDate(d, &y, &m, &day);
        return QDate(int(y), int(m), int(day));
    }
    case SQL_TYPE_TIME: {
        ISC_TIME t;
        std::memcpy(&t, data, sizeof t);
        unsigned h, m, s, frac;
        util->decodeTime(t, &h, &m, &s, &frac);
        return QTime(int(h), int(m), int(s), int(frac / 10));
    }
    case SQL_TIMESTAMP: {
        ISC_TIMESTAMP ts;
        std::memcpy(&ts, data, sizeof ts);
        unsigned y, mo, d, h, mi, s, frac;
        util->decodeDate(ts.timestamp_date, &y, &mo, &d);
        util->decodeTime(ts.timestamp_time, &h, &mi, &s, &frac);
        return QDateTime(QDate(int(y), int(mo), int(d)), QTime(int(h), int(mi), int(s), int(frac / 10)));
    }
    case SQL_BLOB: {
        ISC_QUAD id;
        std::memcpy(&id, data, sizeof id);
        const QByteArray bytes = readBlob(att, tra, id);
        if (c.subType == 1 && c.charset != kCharsetOctets)
            return Win1252::decode(bytes);
        return bytes;
    }
    default:
        throw DatabaseError("unsupported column type " + std::to_string(c.type));
    }
}

} // namespace

PreparedStatement::PreparedStatement(Connection& connection, QString sql)
    : m_connection(connection), m_sql(std::move(sql)), m_sqlBytes(Win1252::encode(m_sql))
{}

PreparedStatement::~PreparedStatement()
{
    if (!m_statement)
        return;
    if (m_generation != m_connection.generation() || !m_connection.isOpen()) {
        m_statement.reset(); // its attachment is gone; only the handle object is left
        return;
    }
    Firebird::IStatus* raw = master()->getStatus();
    Firebird::CheckStatusWrapper st(raw);
    m_statement->free(&st);
    if (!(st.getState() & IStatus::STATE_ERRORS))
        m_statement.take(); // free() released it
    raw->dispose();
}

StatementResult PreparedStatement::run(const std::vector<QVariant>& inputs)
{
    BusyCursor busy;
    IAttachment* att = m_connection.attachment().get();
    if (m_generation != m_connection.generation()) {
        // Prepared on an attachment that is gone: the statement died with it.
        m_statement.reset();
        m_generation = m_connection.generation();
    }
    Status st;
    Transaction tra(att);
    if (!m_statement) {
        m_statement.reset(att->prepare(&st, tra.get(), unsigned(m_sqlBytes.size()), m_sqlBytes.constData(),
                                       SQL_DIALECT_V6, IStatement::PREPARE_PREFETCH_METADATA));
    }
    InputMessage input(m_statement.get(), inputs);
    input.fill(att, tra.get(), inputs);

    StatementResult result;
    Ref<IMessageMetadata> out(m_statement->getOutputMetadata(&st));
    const unsigned columnCount = out->getCount(&st);
    std::vector<OutputColumn> columns(columnCount);
    for (unsigned i = 0; i < columnCount; ++i) {
        columns[i] = {out->getType(&st, i) & ~1u, out->getOffset(&st, i), out->getNullOffset(&st, i),
                      out->getLength(&st, i),     out->getScale(&st, i),  out->getCharSet(&st, i),
                      out->getSubType(&st, i)};
        const QString base = QString::fromUtf8(out->getAlias(&st, i)).toUpper();
        QString name = base;
        for (int n = 1; result.columns.contains(name); ++n)
            name = base + QLatin1Char('_') + QString::number(n);
        result.columns << name;
    }
    std::vector<unsigned char> row(out->getMessageLength(&st));
    auto readRow = [&] {
        std::vector<QVariant> values(columnCount);
        for (unsigned i = 0; i < columnCount; ++i)
            values[i] = readColumn(columns[i], row.data(), att, tra.get());
        result.rows.push_back(std::move(values));
    };

    if (m_statement->getType(&st) == isc_info_sql_stmt_select) {
        Ref<IResultSet> cursor(
            m_statement->openCursor(&st, tra.get(), input.meta(), input.buffer(), out.get(), 0));
        while (cursor->fetchNext(&st, row.data()) == IStatus::RESULT_OK)
            readRow();
        cursor->close(&st);
        cursor.take();
    } else {
        m_statement->execute(&st, tra.get(), input.meta(), input.buffer(), columnCount ? out.get() : nullptr,
                             columnCount ? row.data() : nullptr);
        if (columnCount)
            readRow();
    }
    tra.commit();
    return result;
}

void executeStatement(Connection& connection, const QString& sql)
{
    PreparedStatement(connection, sql).run({});
}

} // namespace db
