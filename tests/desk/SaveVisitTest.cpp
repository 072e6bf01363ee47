#include "tests/desk/DeskFixture.h"

#include <QAbstractItemView>
#include <QBuffer>
#include <QImageWriter>

namespace {

using Kind = RecordingMessages::Kind;

class SaveVisitTest : public DeskFixture
{
protected:
    // The server's clock around an action, to bracket the visit's stored time.
    QDateTime serverNow()
    {
        DM->SP_DataHora_Server.execute();
        return QDateTime(DM->SP_DataHora_Server.output(QStringLiteral("DATA")).toDate(),
                         DM->SP_DataHora_Server.output(QStringLiteral("HORA")).toTime());
    }

    // A complete new visit typed on the desk, ready to be saved.
    void typeNewVisit(const QString& docto, const QString& cracha)
    {
        typeInto("txtDocto", docto);
        QTest::keyClick(focused(), Qt::Key_Return); // leaves the field: the lookup misses
        typeText(focused(), QStringLiteral("maria da silva"));
        typeInto("txtEmpresa", QStringLiteral("acme"));
        typeInto("txtPessoaVisitar", QStringLiteral("joão"));
        typeInto("txtLiberadorPor", QStringLiteral("portaria"));
        typeInto("txtCracha", cracha);
        chooseLocality(0);
        messages.clear();
    }
};

TEST_F(SaveVisitTest, NewVisitorIsRegisteredWithServerTimeAndPlaceholderPhoto)
{
    openDesk();
    messages.clear();
    typeInto("txtDocto", QStringLiteral("123.456.789-09"));
    QTest::keyClick(focused(), Qt::Key_Return);
    ASSERT_EQ(messages.texts(),
              QStringList{"Visitante não encontrado com esse Documento.\n Cadastro como um novo Visitante."});
    EXPECT_EQ(messages.shown()[0].kind, Kind::Error);
    EXPECT_EQ(focused(), edit("txtNome"));
    EXPECT_EQ(edit("txtDocto")->text(), "123.456.789-09"); // a miss keeps what was typed

    typeText(focused(), QStringLiteral("maria da silva"));
    QTest::keyClick(focused(), Qt::Key_Return);
    typeText(focused(), QStringLiteral("acme"));
    typeInto("txtTelefone", QStringLiteral("ramal 12"));
    typeInto("txtPessoaVisitar", QStringLiteral("joão"));
    typeInto("txtLiberadorPor", QStringLiteral("josé"));
    typeInto("txtCracha", QStringLiteral("42"));
    typeInto("txtObs", QStringLiteral("chegou cedo"));
    chooseLocality(3); // PRODUÇÃO, id 3
    messages.clear();

    const QDateTime before = serverNow();
    click("btnGravar");
    const QDateTime after = serverNow();

    ASSERT_EQ(messages.texts(), QStringList{"Visita Registrado com Sucesso !!!"});
    EXPECT_EQ(messages.shown()[0].kind, Kind::Information);
    EXPECT_EQ(messages.shown()[0].caption, "Salvar");

    ASSERT_TRUE(findVisitor(QStringLiteral("12345678909")));
    const db::Query& v = DM->qryLocaliza;
    EXPECT_EQ(v.field("NOME").asString(), "MARIA DA SILVA");
    EXPECT_EQ(v.field("EMPRESA").asString(), "ACME");
    EXPECT_EQ(v.field("TELEFONE").asString(), "ramal 12");
    EXPECT_EQ(v.field("VISITADO").asString(), "JOÃO");
    EXPECT_EQ(v.field("OBS").asString(), "chegou cedo");
    EXPECT_EQ(v.field("ID_LOCAL_VISITADO").asInteger(), 3);
    EXPECT_EQ(v.field("TIPO").asInteger(), 0);
    EXPECT_EQ(v.field("VECTO_INTEGRACAO").asDate(), QDate(2020, 12, 31)); // the hidden field's date
    EXPECT_EQ(v.field("FOTO").asBytes(), semFoto);

    ASSERT_EQ(visitsOf(QStringLiteral("12345678909")), 1);
    const db::Query& visit = DM->qryVisitasDoVisitante;
    EXPECT_EQ(visit.field("PORTARIA").asString(), "PORTARIA NORTE");
    EXPECT_EQ(visit.field("LIBERADO_POR").asString(), "JOSÉ");
    EXPECT_EQ(visit.field("VISITADO").asString(), "JOÃO");
    EXPECT_EQ(visit.field("ID_LOCAL_VISITADO").asInteger(), 3);
    const QDateTime stamped(visit.field("DATA_VISITA").asDate(), visit.field("HORA_VISITA").asTime());
    EXPECT_LE(before, stamped);
    EXPECT_LE(stamped, after);
    EXPECT_TRUE(form->VerificaCrachaAberto(42));

    // Cleared for the next visitor: badge empty (not "1"), photo gone, focus on the document.
    EXPECT_EQ(edit("txtDocto")->text(), "");
    EXPECT_EQ(edit("txtCracha")->text(), "");
    EXPECT_TRUE(get<PhotoBox>("imgFotoCapturada")->isEmpty());
    EXPECT_EQ(focused(), edit("txtDocto"));
    EXPECT_EQ(get<DBLookupComboBox>("DBLookupComboBox_Localidades")->text(), "PRODUÇÃO");
}

TEST_F(SaveVisitTest, ValidationStopsAtTheFirstFailedCheckAndWritesNothing)
{
    struct Case
    {
        const char* name;
        QString parametros;
        QString docto;
        QString cracha; // typed into the emptied badge field
        bool locality;
        QString date; // put into the integration date field; empty keeps it
        QString message;
        Kind kind;
        const char* focus; // nullptr: the locality list drops down instead
    };
    const QString liberaNao = QStringLiteral("NomePortaria=P\nLiberaSaida=0\nCrachaUnico=SIM\n");
    const Case cases[] = {
        {"empty document",
         defaultParametros(),
         "",
         "5",
         true,
         {},
         "O número do CPF/RG não pode ser nulo !!!",
         Kind::Error,
         "txtDocto"},
        {"blank document",
         defaultParametros(),
         "   ",
         "5",
         true,
         {},
         "O número do CPF/RG não pode ser nulo !!!",
         Kind::Error,
         "txtDocto"},
        {"empty badge",
         defaultParametros(),
         "111",
         "",
         true,
         {},
         "Insira um número de Crachá válido para o seu visitante !!!",
         Kind::Error,
         "txtCracha"},
        {"no locality",
         defaultParametros(),
         "111",
         "5",
         false,
         {},
         "Escolha alguma Localidade para ser Visitada !!!",
         Kind::Error,
         nullptr},
        {"blank badge",
         defaultParametros(),
         "111",
         " ",
         true,
         {},
         "' ' não é um valor inteiro válido",
         Kind::StandardError,
         "txtNome"},
        {"letters in badge",
         defaultParametros(),
         "111",
         "A1",
         true,
         {},
         "'A1' não é um valor inteiro válido",
         Kind::StandardError,
         "txtNome"},
        {"empty badge allowed, then not a number",
         liberaNao,
         "111",
         "",
         true,
         {},
         "'' não é um valor inteiro válido",
         Kind::StandardError,
         "txtNome"},
        {"half-typed integration date",
         defaultParametros(),
         "111",
         "5",
         true,
         "12/__/____",
         {},
         Kind::StandardError,
         "txtNome"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        openDesk(c.parametros);
        edit("txtNome")->setFocus(); // the document field's exit runs its lookup before the fixture is typed
        edit("txtDocto")->setText(c.docto);
        edit("txtNome")->setText(QStringLiteral("FULANO"));
        edit("txtCracha")->setText(c.cracha);
        if (!c.date.isEmpty())
            get<MaskedDateEdit>("mskVectoIntegracao")->setMaskedText(c.date);
        if (c.locality)
            get<DBLookupComboBox>("DBLookupComboBox_Localidades")->setKeyValue(2);
        messages.clear();

        click("btnGravar");

        ASSERT_EQ(messages.shown().size(), 1u);
        EXPECT_EQ(messages.shown()[0].kind, c.kind);
        if (!c.message.isEmpty()) {
            EXPECT_EQ(messages.shown()[0].text, c.message);
        }
        auto* list = get<DBLookupComboBox>("DBLookupComboBox_Localidades");
        if (c.focus) {
            EXPECT_EQ(focused(), edit(c.focus));
        } else {
            EXPECT_TRUE(list->view()->isVisible());
            list->hidePopup();
        }
        EXPECT_FALSE(findVisitor(TFormPrincipal::Remove(c.docto)));
        EXPECT_EQ(countOpenBadges(), 0);
        EXPECT_EQ(edit("txtNome")->text(), "FULANO"); // the fields keep their contents
        TearDown();
    }
}

TEST_F(SaveVisitTest, UniqueBadgeIsRefusedWhileOpenAnywhereAndAcceptedOnceClosed)
{
    openDesk();
    storeVisitor({QStringLiteral("999"), QStringLiteral("OUTRO"), {}, 0, {}});
    addVisit(QStringLiteral("999"), 7, QStringLiteral("ABERTO"), QStringLiteral("CURRENT_DATE - 3"),
             QStringLiteral("PORTARIA SUL"));
    typeNewVisit(QStringLiteral("555"), QStringLiteral("7"));

    click("btnGravar");
    EXPECT_EQ(messages.texts(), QStringList{"ATENÇÃO - Número de Crachá já cadastrado.!!!"});
    EXPECT_FALSE(findVisitor(QStringLiteral("555")));

    s_db->exec(QStringLiteral("UPDATE VISITAS SET SITUACAO_CRACHA = 'FECHADO' WHERE CPF = '999'"));
    messages.clear();
    click("btnGravar");
    EXPECT_EQ(messages.texts(), QStringList{"Visita Registrado com Sucesso !!!"});
    EXPECT_EQ(visitsOf(QStringLiteral("555")), 1);
}

TEST_F(SaveVisitTest, WithoutUniqueBadgeTheBadgeTestIsSkippedAndTheVisitSaved)
{
    // Any value but "SIM" skips the test; the visit is still saved rather than nothing happening.
    openDesk(QStringLiteral("NomePortaria=P\nLiberaSaida=1\nCrachaUnico=sim\n"));
    storeVisitor({QStringLiteral("999"), QStringLiteral("OUTRO"), {}, 0, {}});
    addVisit(QStringLiteral("999"), 7, QStringLiteral("ABERTO"), QStringLiteral("CURRENT_DATE"),
             QStringLiteral("P"));
    typeNewVisit(QStringLiteral("555"), QStringLiteral("7"));

    click("btnGravar");
    EXPECT_EQ(messages.texts(), QStringList{"Visita Registrado com Sucesso !!!"});
    EXPECT_EQ(visitsOf(QStringLiteral("555")), 1);
}

TEST_F(SaveVisitTest, CapturedBitmapIsStoredAsQuality90JpegOfItsSize)
{
    openDesk();
    typeNewVisit(QStringLiteral("777"), QStringLiteral("3"));
    const QImage frame = testPicture(640, 480);
    get<PhotoBox>("imgFotoCapturada")->setBitmap(frame);

    click("btnGravar");
    ASSERT_EQ(messages.texts(), QStringList{"Visita Registrado com Sucesso !!!"});
    ASSERT_TRUE(findVisitor(QStringLiteral("777")));
    const QByteArray stored = DM->qryLocaliza.field("FOTO").asBytes();
    EXPECT_EQ(Jpeg::decode(stored).size(), QSize(640, 480));
    EXPECT_EQ(stored, Jpeg::encode(frame, 90));
    EXPECT_NE(stored, Jpeg::encode(frame, 75));
    EXPECT_EQ(stored.mid(6, 4), "JFIF");
    EXPECT_TRUE(stored.contains(QByteArray("\xFF\xC0", 2))) << "baseline frame header";
}

TEST_F(SaveVisitTest, JpegLoadedFromFileIsStoredByteForByte)
{
    openDesk();
    typeNewVisit(QStringLiteral("778"), QStringLiteral("4"));
    // A progressive file from another encoder: a re-encode could not give the same bytes.
    const QString path = m_folder.filePath(QStringLiteral("foto.JPEG"));
    {
        QImageWriter writer(path, "jpeg");
        writer.setQuality(55);
        writer.setProgressiveScanWrite(true);
        ASSERT_TRUE(writer.write(testPicture(200, 150)));
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray original = file.readAll();
    get<PhotoBox>("imgFotoCapturada")->loadFromFile(path);

    click("btnGravar");
    ASSERT_TRUE(findVisitor(QStringLiteral("778")));
    EXPECT_EQ(DM->qryLocaliza.field("FOTO").asBytes(), original);
}

TEST_F(SaveVisitTest, MissingPlaceholderFailsTheSaveWithTheFileError)
{
    openDesk();
    typeNewVisit(QStringLiteral("779"), QStringLiteral("5"));
    QFile::remove(m_folder.filePath(QStringLiteral("SemFoto.jpg")));

    click("btnGravar");
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].kind, Kind::StandardError);
    EXPECT_TRUE(messages.shown()[0].text.contains("SemFoto.jpg")) << messages.shown()[0].text.toStdString();
    EXPECT_FALSE(findVisitor(QStringLiteral("779")));
}

TEST_F(SaveVisitTest, FailingVisitWriteLeavesTheVisitorWrittenAndTheWindowFilled)
{
    // A gatehouse name too long for the visit's column makes only the third call fail.
    openDesk(QStringLiteral(
        "NomePortaria=PORTARIA CENTRAL DO BLOCO ADMINISTRATIVO\nLiberaSaida=1\nCrachaUnico=SIM\n"));
    typeNewVisit(QStringLiteral("780"), QStringLiteral("6"));

    click("btnGravar");
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].kind, Kind::StandardError);
    EXPECT_TRUE(findVisitor(QStringLiteral("780")));
    EXPECT_EQ(visitsOf(QStringLiteral("780")), 0);
    EXPECT_EQ(edit("txtDocto")->text(), "780");
    EXPECT_EQ(edit("txtNome")->text(), "MARIA DA SILVA");
    EXPECT_EQ(edit("txtCracha")->text(), "6");
    EXPECT_FALSE(get<PhotoBox>("imgFotoCapturada")->isEmpty());
}

} // namespace
