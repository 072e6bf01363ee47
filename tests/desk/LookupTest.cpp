#include "tests/desk/DeskFixture.h"

namespace {

using Kind = RecordingMessages::Kind;

const QString kVencida = QStringLiteral("Prestador de Serviço com Data de Integração vencida.\n"
                                        "Compareça ao Cadastramento para regularização do seu Cadastro !!!");

class LookupTest : public DeskFixture
{};

TEST_F(LookupTest, RemoveTakesOutTheFourSeparatorsOnly)
{
    const struct
    {
        const char* typed;
        const char* key;
    } cases[] = {
        {"123.456.789-09", "12345678909"},
        {"MG-12.345.678", "MG12345678"},
        {" 12 3,4/5 ", " 12 345 "}, // blanks stay, nothing is trimmed
        {"-./,", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TFormPrincipal::Remove(QString::fromUtf8(c.typed)), QString::fromUtf8(c.key)) << c.typed;
}

TEST_F(LookupTest, ReturningVisitorFillsTheDeskAndLeavesTheVisitFieldsAlone)
{
    openDesk();
    const QByteArray photo = Jpeg::encode(testPicture(64, 48), 80);
    storeVisitor({QStringLiteral("12345678909"), QStringLiteral("ANA SOUZA"), photo, 2, QDate(2025, 1, 15)});
    typeInto("txtLiberadorPor", QStringLiteral("ze"));
    typeInto("txtCracha", QStringLiteral("9"));
    messages.clear();

    typeInto("txtDocto", QStringLiteral("123.456.789-09"));
    QTest::keyClick(focused(), Qt::Key_Return);

    EXPECT_TRUE(messages.shown().empty()) << messages.texts().join('|').toStdString();
    EXPECT_EQ(edit("txtDocto")->text(), "12345678909"); // separators gone from the field
    EXPECT_EQ(edit("txtNome")->text(), "ANA SOUZA");
    EXPECT_EQ(edit("txtEmpresa")->text(), "ACME LTDA");
    EXPECT_EQ(edit("txtTelefone")->text(), "(11) 5555-1234 ramal");
    EXPECT_EQ(edit("txtDoctoComplementar")->text(), "MG12345");
    EXPECT_EQ(get<DBLookupComboBox>("DBLookupComboBox_Localidades")->text(), "PRODUÇÃO");
    EXPECT_EQ(edit("txtPessoaVisitar")->text(), "SR. CARLOS");
    EXPECT_EQ(get<QPlainTextEdit>("txtObs")->toPlainText(), "primeira linha\nsegunda linha");
    EXPECT_TRUE(get<QRadioButton>("rgTipoItem2")->isChecked());
    EXPECT_EQ(get<MaskedDateEdit>("mskVectoIntegracao")->maskedText(), "15/01/2025");
    EXPECT_TRUE(get<MaskedDateEdit>("mskVectoIntegracao")->isVisible());
    EXPECT_EQ(get<PhotoBox>("imgFotoCapturada")->jpegBytes(), photo);
    EXPECT_EQ(get<PhotoBox>("imgFotoCapturada")->image().size(), QSize(64, 48));
    EXPECT_EQ(edit("txtLiberadorPor")->text(), "ZE");
    EXPECT_EQ(edit("txtCracha")->text(), "9");
    EXPECT_EQ(focused(), edit("txtPessoaVisitar"));
}

TEST_F(LookupTest, MissClearsTheVisitorFieldsButKeepsDocumentLocalityTypeAndDate)
{
    openDesk();
    typeInto("txtNome", QStringLiteral("velho"));
    typeInto("txtCracha", QStringLiteral("3"));
    get<DBLookupComboBox>("DBLookupComboBox_Localidades")->setKeyValue(4);
    QTest::mouseClick(get<QRadioButton>("rgTipoItem1"), Qt::LeftButton);
    get<PhotoBox>("imgFotoCapturada")->setBitmap(testPicture(32, 32));
    edit("txtDocto")->setText(QStringLiteral("000.000"));
    messages.clear();

    click("btnLocalizar");

    EXPECT_EQ(messages.texts(),
              QStringList{"Visitante não encontrado com esse Documento.\n Cadastro como um novo Visitante."});
    EXPECT_EQ(edit("txtDocto")->text(), "000.000");
    EXPECT_EQ(edit("txtNome")->text(), "");
    EXPECT_EQ(edit("txtCracha")->text(), "");
    EXPECT_TRUE(get<PhotoBox>("imgFotoCapturada")->isEmpty());
    EXPECT_EQ(get<DBLookupComboBox>("DBLookupComboBox_Localidades")->text(), "REFEITÓRIO");
    EXPECT_TRUE(get<QRadioButton>("rgTipoItem1")->isChecked());
    EXPECT_EQ(focused(), edit("txtNome"));
}

TEST_F(LookupTest, ButtonPressedInTheDocumentFieldRunsOneLookupOnly)
{
    // The lookup moves the focus out of the document field; that exit must not start a
    // second lookup (which would show the not-found message twice).
    openDesk();
    typeInto("txtDocto", QStringLiteral("404"));
    messages.clear();
    click("btnLocalizar");
    EXPECT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(focused(), edit("txtNome"));

    // Leaving the field by hand afterwards is a new exit and a new lookup.
    typeInto("txtDocto", QStringLiteral("5"));
    messages.clear();
    QTest::mouseClick(edit("txtEmpresa"), Qt::LeftButton);
    EXPECT_EQ(messages.shown().size(), 1u);
}

TEST_F(LookupTest, ActionButtonsLeaveTheFocusInTheDocumentFieldWithoutALookup)
{
    openDesk();
    typeInto("txtDocto", QStringLiteral("123"));
    messages.clear();
    for (const char* button : {"btnRelatorios", "btnLocalizaNome", "btnFichaVisitas"}) {
        click(button);
        EXPECT_EQ(focused(), edit("txtDocto")) << button;
    }
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(LookupTest, IntegrationDateWarningAgainstTheDeskClock)
{
    const QDate today = QDate(2026, 3, 10); // the fixture's clock reads 14:00 on this day
    const struct
    {
        const char* name;
        int tipo;
        QVariant vecto;
        bool warns;
    } cases[] = {
        {"provider, tomorrow", 1, today.addDays(1), false},
        {"provider, today", 1, today, true},
        {"provider, yesterday", 1, today.addDays(-1), true},
        {"provider, no date", 1, QVariant(), true},
        {"resident, past date", 2, today.addYears(-2), false},
        {"visitor, past date", 0, today.addYears(-2), false},
    };
    openDesk();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        storeVisitor({QStringLiteral("321"), QStringLiteral("PRESTADOR"), {}, c.tipo, c.vecto});
        edit("txtDocto")->setText(QStringLiteral("321"));
        messages.clear();
        click("btnLocalizar");
        if (c.warns) {
            ASSERT_EQ(messages.texts(), QStringList{kVencida});
            EXPECT_EQ(messages.shown()[0].kind, Kind::Warning);
        } else {
            EXPECT_TRUE(messages.shown().empty());
        }
        // The warning only informs: the desk is filled either way.
        EXPECT_EQ(edit("txtNome")->text(), "PRESTADOR");
        EXPECT_EQ(focused(), edit("txtPessoaVisitar"));
    }
    // A missing date shows as day zero once the field is visible.
    storeVisitor({QStringLiteral("321"), QStringLiteral("PRESTADOR"), {}, 1, {}});
    click("btnLocalizar");
    EXPECT_EQ(get<MaskedDateEdit>("mskVectoIntegracao")->maskedText(), "30/12/1899");
}

TEST_F(LookupTest, StoredPhotographIsShownOnlyWhenThereIsOne)
{
    openDesk();
    const QImage taken = testPicture(40, 30);
    auto* box = get<PhotoBox>("imgFotoCapturada");

    // NULL photograph: the picture just taken stays.
    storeVisitor({QStringLiteral("1"), QStringLiteral("SEM FOTO"), {}, 0, {}});
    box->setBitmap(taken);
    edit("txtDocto")->setText(QStringLiteral("1"));
    click("btnLocalizar");
    EXPECT_EQ(box->kind(), PhotoBox::Kind::Bitmap);
    EXPECT_EQ(box->image(), taken);

    // An undecodable photograph: the decoder's error, picture and text fields unchanged.
    storeVisitor({QStringLiteral("2"), QStringLiteral("FOTO RUIM"), QByteArray("not a jpeg at all"), 0, {}});
    edit("txtDocto")->setText(QStringLiteral("2"));
    messages.clear();
    click("btnLocalizar");
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].kind, Kind::StandardError);
    EXPECT_TRUE(messages.shown()[0].text.startsWith("JPEG error #"))
        << messages.shown()[0].text.toStdString();
    EXPECT_EQ(box->image(), taken);
    EXPECT_EQ(edit("txtNome")->text(), "SEM FOTO");
    EXPECT_EQ(edit("txtDocto")->text(), "2");
}

TEST_F(LookupTest, LocalityKeyWithoutARowShowsNoNameButIsKept)
{
    openDesk();
    s_db->exec(
        QStringLiteral("INSERT INTO VISITANTES (CPF, NOME, ID_LOCAL_VISITADO) VALUES ('88', 'X', 99)"));
    edit("txtDocto")->setText(QStringLiteral("88"));
    click("btnLocalizar");
    auto* list = get<DBLookupComboBox>("DBLookupComboBox_Localidades");
    EXPECT_EQ(list->text(), "");
    EXPECT_EQ(list->keyValue().toInt(), 99);
}

} // namespace
