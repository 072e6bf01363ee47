// The guard's two waits at the desk, driven through the real main window offscreen:
// from leaving the document field to a filled, painted desk for a returning visitor
// with a 640 x 480 photograph, and from pressing "Gravar Visita" to the success
// message. Embedded, and over TCP loopback when a server answers on 127.0.0.1.
#include "capture/Jpeg.h"
#include "config/ProgramFolder.h"
#include "config/RegionalFormats.h"
#include "data/TDM.h"
#include "desk/TFormPrincipal.h"
#include "desk/widgets/DBLookupComboBox.h"
#include "desk/widgets/PhotoBox.h"
#include "tests/common/RecordingMessages.h"
#include "tests/common/TestDatabase.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>

namespace {

QImage photograph()
{
    QImage image(640, 480, QImage::Format_RGB888);
    QPainter painter(&image);
    for (int y = 0; y < 480; y += 8)
        painter.fillRect(0, y, 640, 8, QColor::fromHsv((y * 3) % 360, 120, 200));
    painter.setPen(Qt::black);
    for (int x = 0; x < 640; x += 12)
        painter.drawLine(x, 0, 640 - x, 480);
    return image;
}

// One database, data module and shown main window per run.
struct Desk
{
    explicit Desk(TestDatabase::Where where) : database(where)
    {
        ProgramFolder::overrideForTests(folder.path());
        QFile semFoto(folder.filePath(QStringLiteral("SemFoto.jpg")));
        semFoto.open(QIODevice::WriteOnly);
        semFoto.write(Jpeg::encode(QImage(120, 160, QImage::Format_RGB888), 75));
        semFoto.close();
        database.writeIni(folder.path(),
                          QStringLiteral("NomePortaria=PORTARIA NORTE\nLiberaSaida=1\nCrachaUnico=SIM\n"));
        DM = new TDM;
        DM->DataModuleCreate();
        window = std::make_unique<TFormPrincipal>();
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            throw std::runtime_error("the main window did not become active");
        photo = Jpeg::encode(photograph(), 90);

        db::StoredProc& sp = DM->SP_INS_UDP_VISITANTES;
        sp.setParam(QStringLiteral("CPF"), QStringLiteral("12345678909"));
        sp.setParam(QStringLiteral("NOME"), QStringLiteral("ANA SOUZA"));
        sp.setParam(QStringLiteral("EMPRESA"), QStringLiteral("ACME LTDA"));
        sp.setParam(QStringLiteral("TELEFONE"), QStringLiteral("(11) 5555-1234"));
        sp.setParam(QStringLiteral("RG"), QStringLiteral("MG12345"));
        sp.setParam(QStringLiteral("ID_LOCAL_VISITADO"), 3);
        sp.setParam(QStringLiteral("VISITADO"), QStringLiteral("SR. CARLOS"));
        sp.setParam(QStringLiteral("FOTO"), photo);
        sp.setParam(QStringLiteral("OBS"), QStringLiteral("OBS"));
        sp.setParam(QStringLiteral("TIPO"), 0);
        sp.setParam(QStringLiteral("VECTO_INTEGRACAO"), QDate(2030, 1, 1));
        sp.execute();
        messages.clear();
    }
    ~Desk()
    {
        window.reset();
        delete DM;
        DM = nullptr;
    }
    template <typename T> T* get(const char* name)
    {
        return window->findChild<T*>(QString::fromLatin1(name));
    }

    TestDatabase database;
    QTemporaryDir folder;
    RecordingMessages messages;
    std::unique_ptr<TFormPrincipal> window;
    QByteArray photo;
};

bool skipWithoutServer(benchmark::State& state, TestDatabase::Where where)
{
    if (where == TestDatabase::Where::Server && !TestDatabase::serverAvailable()) {
        state.SkipWithError("no Firebird server on 127.0.0.1");
        return true;
    }
    return false;
}

void BM_LookupReturningVisitor(benchmark::State& state, TestDatabase::Where where)
{
    if (skipWithoutServer(state, where))
        return;
    Desk desk(where);
    auto* docto = desk.get<QLineEdit>("txtDocto");
    auto* nome = desk.get<QLineEdit>("txtNome");
    auto* box = desk.get<PhotoBox>("imgFotoCapturada");
    for (auto _ : state) {
        state.PauseTiming();
        desk.window->LimpaDados(); // focus back in the document field, photo box empty
        docto->setText(QStringLiteral("123.456.789-09"));
        state.ResumeTiming();

        nome->setFocus(Qt::TabFocusReason); // the exit runs the lookup
        desk.window->repaint();

        state.PauseTiming();
        if (box->image().size() != QSize(640, 480) || nome->text() != QLatin1String("ANA SOUZA") ||
            !desk.messages.shown().empty()) {
            state.SkipWithError("the lookup did not fill the desk");
            break;
        }
        state.ResumeTiming();
    }
}

void BM_SaveVisit(benchmark::State& state, TestDatabase::Where where)
{
    if (skipWithoutServer(state, where))
        return;
    Desk desk(where);
    auto* gravar = desk.get<QToolButton>("btnGravar");
    auto* box = desk.get<PhotoBox>("imgFotoCapturada");
    int badge = 1;
    for (auto _ : state) {
        state.PauseTiming();
        desk.get<QLineEdit>("txtNome")->setFocus();
        desk.get<QLineEdit>("txtDocto")->setText(QStringLiteral("12345678909"));
        desk.get<QLineEdit>("txtNome")->setText(QStringLiteral("ANA SOUZA"));
        desk.get<QLineEdit>("txtPessoaVisitar")->setText(QStringLiteral("SR. CARLOS"));
        desk.get<QLineEdit>("txtCracha")->setText(QString::number(badge++));
        desk.get<DBLookupComboBox>("DBLookupComboBox_Localidades")->setKeyValue(3);
        box->setJpeg(desk.photo);
        desk.messages.clear();
        state.ResumeTiming();

        QTest::mouseClick(gravar, Qt::LeftButton); // returns once the success message is shown

        state.PauseTiming();
        if (desk.messages.texts() != QStringList{QStringLiteral("Visita Registrado com Sucesso !!!")}) {
            state.SkipWithError("the visit was not saved");
            break;
        }
        state.ResumeTiming();
    }
}

BENCHMARK_CAPTURE(BM_LookupReturningVisitor, Embedded, TestDatabase::Where::Embedded)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LookupReturningVisitor, Server, TestDatabase::Where::Server)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SaveVisit, Embedded, TestDatabase::Where::Embedded)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SaveVisit, Server, TestDatabase::Where::Server)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    RegionalFormats::setCurrent(RegionalFormats::brazilian());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
