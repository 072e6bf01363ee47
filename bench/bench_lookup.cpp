// qryLocaliza by key on 100,000 visitors (1% with a 30 KB photograph), through our data
// layer and through a bare loop over the Firebird OO API doing the same statement.
// Embedded and, when a server answers on 127.0.0.1, over TCP loopback.
#include "data/FbApi.h"
#include "data/TDM.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>

#include <benchmark/benchmark.h>
#include <ibase.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <random>

using namespace Firebird;

namespace {

constexpr int kVisitors = 100000;
const char* const kEmbeddedPath = "/tmp/vexorin-bench/lookup.fdb";
const char* const kServerPath = "/tmp/vexorin-server-tests/bench-lookup.fdb";

bool ensureDatabase(const QString& target, const QString& checkFile)
{
    if (QFileInfo::exists(checkFile))
        return true;
    QProcess create;
    create.start(QStringLiteral(VEXORIN_SOURCE_DIR "/scripts/create-database.sh"),
                 {target, QStringLiteral("--demo")});
    if (!create.waitForFinished(120000) || create.exitCode() != 0)
        return false;
    QProcess fill;
    fill.start(QStringLiteral("isql-fb"),
               {QStringLiteral("-q"), QStringLiteral("-user"), QStringLiteral("SYSDBA"),
                QStringLiteral("-password"), QStringLiteral("plumtower"), target});
    fill.write(R"(SET TERM ^ ;
EXECUTE BLOCK AS
DECLARE I INTEGER = 0;
BEGIN
  WHILE (I < 100000) DO BEGIN
    INSERT INTO VISITANTES (CPF, NOME, EMPRESA, TELEFONE, ID_LOCAL_VISITADO, VISITADO, OBS, TIPO, VECTO_INTEGRACAO, FOTO)
    VALUES (LPAD(:I, 11, '0'), 'VISITANTE ' || :I, 'EMPRESA ' || MOD(:I, 500), '(11) 5555-0000', 1 + MOD(:I, 6),
            'PESSOA', 'OBS', MOD(:I, 3), DATE '2030-01-01',
            IIF(MOD(:I, 100) = 0, CAST(LPAD('', 30000, 'J') AS BLOB SUB_TYPE 0), NULL));
    I = I + 1;
  END
END^
SET TERM ; ^
COMMIT;
)");
    fill.closeWriteChannel();
    return fill.waitForFinished(600000) && fill.exitCode() == 0;
}

QString keyFor(int i)
{
    return QStringLiteral("%1").arg(i, 11, 10, QLatin1Char('0'));
}

void report(benchmark::State& state, std::vector<double>& micros, size_t photoBytes)
{
    std::sort(micros.begin(), micros.end());
    if (micros.empty())
        return;
    state.counters["p50_us"] = micros[micros.size() / 2];
    state.counters["p99_us"] = micros[std::min(micros.size() - 1, micros.size() * 99 / 100)];
    state.counters["photo_bytes"] =
        benchmark::Counter(double(photoBytes), benchmark::Counter::kAvgIterations);
}

template <typename Lookup> void timed(benchmark::State& state, Lookup&& lookup)
{
    std::mt19937 rng(1234);
    std::uniform_int_distribution<int> pick(0, kVisitors - 1);
    std::vector<double> micros;
    size_t photoBytes = 0;
    for (auto _ : state) {
        const int i = pick(rng);
        const auto t0 = std::chrono::steady_clock::now();
        photoBytes += lookup(i);
        micros.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count());
    }
    report(state, micros, photoBytes);
}

db::ConnectionParams paramsFor(bool server)
{
    db::ConnectionParams p;
    p.server = server ? QStringLiteral("127.0.0.1") : QString();
    p.database = QString::fromLatin1(server ? kServerPath : kEmbeddedPath);
    p.userName = QStringLiteral("SYSDBA");
    p.password = QStringLiteral("plumtower");
    p.characterSet = QStringLiteral("WIN1252");
    return p;
}

void BM_Layer(benchmark::State& state, bool server)
{
    TDM dm;
    dm.FDConn.setParams(paramsFor(server));
    timed(state, [&](int i) {
        db::Query& q = dm.qryLocaliza;
        q.close();
        q.setParam(QStringLiteral("CPF"), keyFor(i));
        q.open();
        q.first();
        if (q.recordCount() != 1)
            throw std::runtime_error("visitor not found");
        benchmark::DoNotOptimize(q.field(QStringLiteral("NOME")).asString());
        return size_t(q.field(QStringLiteral("FOTO")).asBytes().size());
    });
}

// The floor: the same statement, prepared once, with hand-laid messages.
void BM_BareApi(benchmark::State& state, bool server)
{
    db::Status st;
    IMaster* master = fb_get_master_interface();
    IUtil* util = master->getUtilInterface();
    IXpbBuilder* dpb = util->getXpbBuilder(&st, IXpbBuilder::DPB, nullptr, 0);
    dpb->insertString(&st, isc_dpb_user_name, "SYSDBA");
    dpb->insertString(&st, isc_dpb_password, "plumtower");
    dpb->insertString(&st, isc_dpb_lc_ctype, "WIN1252");
    const QByteArray where = paramsFor(server).connectString().toUtf8();
    IProvider* provider = master->getDispatcher();
    IAttachment* att =
        provider->attachDatabase(&st, where.constData(), dpb->getBufferLength(&st), dpb->getBuffer(&st));
    dpb->dispose();
    const char* sql =
        "SELECT CPF, NOME, EMPRESA, TELEFONE, RG, \nID_LOCAL_VISITADO, VISITADO, FOTO, OBS,\nTIPO, "
        "VECTO_INTEGRACAO, DOCTO\nFROM VISITANTES\nWHERE CPF =?";
    ITransaction* tra0 = att->startTransaction(&st, 0, nullptr);
    IStatement* stmt = att->prepare(&st, tra0, 0, sql, SQL_DIALECT_V6, IStatement::PREPARE_PREFETCH_METADATA);
    tra0->commit(&st);
    IMessageMetadata* in = stmt->getInputMetadata(&st);
    IMessageMetadata* out = stmt->getOutputMetadata(&st);
    std::vector<unsigned char> inBuf(in->getMessageLength(&st)), outBuf(out->getMessageLength(&st));
    const unsigned keyOffset = in->getOffset(&st, 0), keyNull = in->getNullOffset(&st, 0);
    const unsigned fotoOffset = out->getOffset(&st, 7), fotoNull = out->getNullOffset(&st, 7);
    timed(state, [&](int i) {
        const QByteArray key = keyFor(i).toLatin1();
        const auto len = static_cast<unsigned short>(key.size());
        std::memcpy(inBuf.data() + keyOffset, &len, 2);
        std::memcpy(inBuf.data() + keyOffset + 2, key.constData(), len);
        *reinterpret_cast<short*>(inBuf.data() + keyNull) = 0;
        ITransaction* tra = att->startTransaction(&st, 0, nullptr);
        IResultSet* rs = stmt->openCursor(&st, tra, in, inBuf.data(), out, 0);
        size_t bytes = 0;
        while (rs->fetchNext(&st, outBuf.data()) == IStatus::RESULT_OK) {
            if (*reinterpret_cast<short*>(outBuf.data() + fotoNull))
                continue;
            ISC_QUAD id;
            std::memcpy(&id, outBuf.data() + fotoOffset, sizeof id);
            IBlob* blob = att->openBlob(&st, tra, &id, 0, nullptr);
            char chunk[32768];
            unsigned got = 0;
            while (blob->getSegment(&st, sizeof chunk, chunk, &got) != IStatus::RESULT_NO_DATA)
                bytes += got;
            blob->close(&st);
        }
        rs->close(&st);
        tra->commit(&st);
        return bytes;
    });
    in->release();
    out->release();
    stmt->free(&st);
    att->detach(&st);
    provider->release();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    QProcess::execute(QStringLiteral("mkdir"), {QStringLiteral("-p"), QStringLiteral("/tmp/vexorin-bench")});
    if (!ensureDatabase(QString::fromLatin1(kEmbeddedPath), QString::fromLatin1(kEmbeddedPath))) {
        fprintf(stderr, "could not build the embedded benchmark database\n");
        return 1;
    }
    benchmark::RegisterBenchmark("qryLocaliza/embedded/bare_api", BM_BareApi, false)->Iterations(3000);
    benchmark::RegisterBenchmark("qryLocaliza/embedded/layer", BM_Layer, false)->Iterations(3000);
    const QString serverTarget = QStringLiteral("127.0.0.1:") + QString::fromLatin1(kServerPath);
    if (ensureDatabase(serverTarget, QString::fromLatin1(kServerPath))) {
        benchmark::RegisterBenchmark("qryLocaliza/tcp/bare_api", BM_BareApi, true)->Iterations(3000);
        benchmark::RegisterBenchmark("qryLocaliza/tcp/layer", BM_Layer, true)->Iterations(3000);
    } else {
        fprintf(stderr, "no server on 127.0.0.1: TCP figures skipped\n");
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
