#include "tests/desk/DeskFixture.h"

#include "desk/FixedFiles.h"

#include <QComboBox>
#include <QPushButton>

namespace {

using Kind = RecordingMessages::Kind;

class StartupShutdownTest : public DeskFixture
{};

// Cameras by name only, counting how often the list is read.
class CountingCameras final : public CapturePlatform
{
public:
    explicit CountingCameras(const QStringList& names)
    {
        for (const QString& name : names)
            m_devices.push_back(std::make_shared<GstDescribedDevice>(name, "videotestsrc", "video/x-raw"));
    }
    CaptureResult enumerateDevices(std::vector<std::shared_ptr<CaptureDevice>>& out) override
    {
        ++reads;
        out = m_devices;
        return m_devices.empty() ? CaptureCode::False : CaptureCode::Ok;
    }
    int reads = 0;

private:
    std::vector<std::shared_ptr<CaptureDevice>> m_devices;
};

TEST_F(StartupShutdownTest, SettingsOfParametrosShapeTheDesk)
{
    const struct
    {
        const char* name;
        QString parametros;
        bool liberaSaida;
        QString crachaUnico;
        QString portaria;
        bool labelButton;
    } cases[] = {
        {"all keys",
         "NomePortaria=PORTARIA LESTE\nPortaEtiqueta=/tmp/x\nImprimeEtiqueta=SIM\nLiberaSaida=-1\n"
         "CrachaUnico=SIM\n",
         true, "SIM", "PORTARIA LESTE", true},
        {"lower-case keys and sim",
         "nomeportaria=OESTE\nimprimeetiqueta=sim\nliberasaida=false\ncrachaunico=NAO\n", false, "NAO",
         "OESTE", false},
        {"LiberaSaida alone", "LiberaSaida=TRUE\n", true, "", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        openDesk(c.parametros);
        EXPECT_EQ(LiberaSaida, c.liberaSaida);
        EXPECT_EQ(CrachaUnico, c.crachaUnico);
        EXPECT_EQ(NomePortaria, c.portaria);
        EXPECT_EQ(get<QLabel>("lblPortaria")->text(), c.portaria);
        EXPECT_EQ(get<QToolButton>("btnEtiqueta")->isVisible(), c.labelButton);
        EXPECT_EQ(messages.shown().size(), 1u); // only the missing-camera message
        TearDown();
        messages.clear();
    }
}

TEST_F(StartupShutdownTest, BadLiberaSaidaIsReportedAndSkipsTheRestOfTheSettings)
{
    for (const char* value : {"yes", ""}) {
        SCOPED_TRACE(value);
        openDesk(QStringLiteral("NomePortaria=SUL\nImprimeEtiqueta=SIM\nLiberaSaida=%1\nCrachaUnico=SIM\n")
                     .arg(value));
        ASSERT_GE(messages.shown().size(), 1u);
        EXPECT_EQ(messages.shown()[0].kind, Kind::StandardError);
        EXPECT_FALSE(messages.shown()[0].text.isEmpty());
        EXPECT_EQ(CrachaUnico, "");
        EXPECT_EQ(get<QLabel>("lblPortaria")->text(), "Portaria"); // the design caption
        EXPECT_FALSE(get<QToolButton>("btnEtiqueta")->isVisible());
        EXPECT_TRUE(form->isVisible()); // the program goes on
        TearDown();
        messages.clear();
    }
}

TEST_F(StartupShutdownTest, NoCameraChangesTheCaptionAndSaysSoOnce)
{
    CountingCameras cameras({});
    openDesk(defaultParametros(), &cameras);
    EXPECT_EQ(form->windowTitle(), "Vexorin  [Não foi encontrado WebCam]");
    ASSERT_EQ(messages.texts(), QStringList{"Não há serviço de webcam ativo.\nFechando aplicação."});
    EXPECT_EQ(messages.shown()[0].kind, Kind::Error);

    // Later activations (after a modal window, say) read nothing again.
    auto other = std::make_unique<QWidget>();
    other->show();
    other->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(other.get()));
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    EXPECT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(cameras.reads, 1);
    EXPECT_TRUE(form->isVisible());
}

TEST_F(StartupShutdownTest, CamerasFoundAreListedWithTheFirstChosen)
{
    CountingCameras cameras({"USB Camera", "USB Camera", "Integrated"});
    openDesk(defaultParametros(), &cameras);
    auto* list = get<QComboBox>("ComboBox1");
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->itemText(2), "Integrated");
    EXPECT_EQ(list->currentIndex(), 0);
    EXPECT_TRUE(get<QPushButton>("btnStart")->isEnabled());
    EXPECT_FALSE(get<QPushButton>("btnStop")->isEnabled());
    EXPECT_EQ(form->windowTitle(), "..::   Vexorin 6.5");
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(StartupShutdownTest, ShutdownWarnsWithSoundThenMessageOnlyForOpenBadgesAboveZero)
{
    const struct
    {
        const char* name;
        int cracha;
        const char* situacao;
        bool warns;
    } cases[] = {
        {"no visits", -1, "", false},
        {"an open badge", 12, "ABERTO", true},
        {"badge 0 open", 0, "ABERTO", false},
        {"a closed badge", 12, "FECHADO", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        CountingCameras cameras({"cam"});
        openDesk(defaultParametros(), &cameras);
        if (c.cracha >= 0) {
            storeVisitor({QStringLiteral("10"), QStringLiteral("V"), {}, 0, {}});
            addVisit(QStringLiteral("10"), c.cracha, QString::fromLatin1(c.situacao),
                     QStringLiteral("CURRENT_DATE"), QStringLiteral("P"));
        }
        messages.setOnShow(
            [this](const RecordingMessages::Shown& s) { events << QStringLiteral("message ") + s.text; });
        form->close(); // the close box: camera stop, then the shut-down
        messages.setOnShow({});
        const QString sound = QStringLiteral("sound ") + kFixedFolder + QStringLiteral("/Erro.wav");
        if (c.warns)
            EXPECT_EQ(events,
                      (QStringList{sound, "message ATENÇÃO - Existem Crachás em Aberto !!!", "quit"}));
        else
            EXPECT_EQ(events, QStringList{"quit"});
        events.clear();
        TearDown();
    }
}

TEST_F(StartupShutdownTest, FecharRunsTheShutdownWithoutStoppingTheCameraAgain)
{
    CountingCameras cameras({"cam"});
    openDesk(defaultParametros(), &cameras);
    click("btnFechar");
    EXPECT_EQ(events, QStringList{"quit"});
    EXPECT_EQ(cameras.reads, 1);
}

} // namespace
