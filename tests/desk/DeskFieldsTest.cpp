#include "tests/desk/DeskFixture.h"

#include "badges/TFormCrachasAbertos.h"

#include <QAccessible>
#include <QTimer>

namespace {

using Kind = RecordingMessages::Kind;

class DeskFieldsTest : public DeskFixture
{};

TEST_F(DeskFieldsTest, StartsWithTheDesignedContents)
{
    openDesk();
    EXPECT_EQ(edit("txtCracha")->text(), "1");
    EXPECT_TRUE(get<QRadioButton>("rgTipoItem0")->isChecked());
    EXPECT_FALSE(get<QLabel>("Label15")->isVisible());
    EXPECT_FALSE(get<MaskedDateEdit>("mskVectoIntegracao")->isVisible());
    EXPECT_EQ(get<MaskedDateEdit>("mskVectoIntegracao")->maskedText(), "31/12/2020");
    EXPECT_EQ(get<DBLookupComboBox>("DBLookupComboBox_Localidades")->currentIndex(), -1);
    EXPECT_EQ(get<DBLookupComboBox>("DBLookupComboBox_Localidades")->count(), 6);
    EXPECT_EQ(get<QLabel>("lblPortaria")->text(), "PORTARIA NORTE");
    EXPECT_FALSE(get<QToolButton>("btnEtiqueta")->isVisible());
    EXPECT_FALSE(get<QWidget>("btnStop")->isEnabled());
    EXPECT_FALSE(get<QWidget>("btnPropriedades")->isEnabled());
    EXPECT_FALSE(get<QWidget>("btnCaptura")->isEnabled());
    EXPECT_EQ(focused(), edit("txtDocto"));
}

TEST_F(DeskFieldsTest, TypedLettersTurnUpperExceptInTelephoneAndMemoAndLengthsAreCapped)
{
    openDesk();
    const struct
    {
        const char* field;
        const char* expected;
        int maxLength;
    } cases[] = {
        {"txtNome", "JOSÉ ÇÃO", 60},          {"txtEmpresa", "JOSÉ ÇÃO", 60},
        {"txtTelefone", "josé ção", 30},      {"txtDoctoComplementar", "JOSÉ ÇÃO", 20},
        {"txtPessoaVisitar", "JOSÉ ÇÃO", 30}, {"txtLiberadorPor", "JOSÉ ÇÃO", 50},
        {"txtCracha", "JOSÉ ÇÃO", 13},        {"txtDocto", "JOSÉ ÇÃO", 20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        QLineEdit* e = edit(c.field);
        e->clear();
        typeText(e, QStringLiteral("josé ção"));
        EXPECT_EQ(e->text(), QString::fromUtf8(c.expected));
        e->clear();
        typeText(e, QString(c.maxLength + 5, u'7'));
        EXPECT_EQ(e->text().size(), c.maxLength);
    }
    auto* memo = get<QPlainTextEdit>("txtObs");
    typeText(memo, QStringLiteral("minúsculas"));
    EXPECT_EQ(memo->toPlainText(), "minúsculas");
}

TEST_F(DeskFieldsTest, EnterMovesOnLikeTabButStartsANewLineInTheMemo)
{
    openDesk();
    messages.clear();
    QTest::keyClick(edit("txtDocto"), Qt::Key_Return);
    EXPECT_EQ(focused(), edit("txtNome")); // after the lookup of the empty key missed
    QTest::keyClick(edit("txtNome"), Qt::Key_Enter);
    EXPECT_EQ(focused(), edit("txtEmpresa"));

    auto* memo = get<QPlainTextEdit>("txtObs");
    memo->setFocus();
    typeText(memo, QStringLiteral("um"));
    QTest::keyClick(memo, Qt::Key_Return);
    typeText(memo, QStringLiteral("dois"));
    EXPECT_EQ(memo->toPlainText(), "um\ndois");
    EXPECT_EQ(focused(), memo);
}

TEST_F(DeskFieldsTest, TypeSelectorShowsTheIntegrationDateForEveryTypeButVisitor)
{
    openDesk();
    auto* date = get<MaskedDateEdit>("mskVectoIntegracao");
    date->setMaskedText(QStringLiteral("01/02/2027"));
    const struct
    {
        const char* item;
        bool shown;
    } clicks[] = {
        {"rgTipoItem2", true}, {"rgTipoItem0", false}, {"rgTipoItem1", true}, {"rgTipoItem0", false}};
    for (const auto& c : clicks) {
        QTest::mouseClick(get<QRadioButton>(c.item), Qt::LeftButton);
        EXPECT_EQ(date->isVisible(), c.shown) << c.item;
        EXPECT_EQ(get<QLabel>("Label15")->isVisible(), c.shown) << c.item;
        EXPECT_EQ(date->maskedText(), "01/02/2027") << c.item;
    }
}

TEST_F(DeskFieldsTest, CancelaEmptiesTheVisitFieldsOnly)
{
    openDesk();
    for (const char* f : {"txtNome", "txtEmpresa", "txtTelefone", "txtDoctoComplementar", "txtPessoaVisitar",
                          "txtLiberadorPor", "txtCracha"})
        edit(f)->setText(QStringLiteral("X"));
    edit("txtDocto")->setText(QStringLiteral("123"));
    get<QPlainTextEdit>("txtObs")->setPlainText(QStringLiteral("obs"));
    get<PhotoBox>("imgFotoCapturada")->setBitmap(testPicture(10, 10));
    get<DBLookupComboBox>("DBLookupComboBox_Localidades")->setKeyValue(5);
    QTest::mouseClick(get<QRadioButton>("rgTipoItem1"), Qt::LeftButton);
    get<MaskedDateEdit>("mskVectoIntegracao")->setMaskedText(QStringLiteral("05/05/2030"));
    edit("txtNome")->setFocus();
    messages.clear();

    click("btnCancela");

    for (const char* f : {"txtDocto", "txtNome", "txtEmpresa", "txtTelefone", "txtDoctoComplementar",
                          "txtPessoaVisitar", "txtLiberadorPor", "txtCracha"})
        EXPECT_EQ(edit(f)->text(), "") << f;
    EXPECT_EQ(get<QPlainTextEdit>("txtObs")->toPlainText(), "");
    EXPECT_TRUE(get<PhotoBox>("imgFotoCapturada")->isEmpty());
    EXPECT_EQ(get<DBLookupComboBox>("DBLookupComboBox_Localidades")->text(), "MANUTENÇÃO");
    EXPECT_TRUE(get<QRadioButton>("rgTipoItem1")->isChecked());
    EXPECT_EQ(get<MaskedDateEdit>("mskVectoIntegracao")->maskedText(), "05/05/2030");
    EXPECT_EQ(focused(), edit("txtDocto"));
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(DeskFieldsTest, EveryEntryFieldIsAnnouncedByItsCaption)
{
    openDesk();
    const struct
    {
        const char* field;
        const char* caption;
    } cases[] = {
        {"txtDocto", "Documento:"},
        {"txtNome", "Nome do Visitante:"},
        {"txtEmpresa", "Empresa do Visitante:"},
        {"txtTelefone", "Telefone:"},
        {"txtDoctoComplementar", "Docto Complementar:"},
        {"DBLookupComboBox_Localidades", "Local Visitado ou a Visitar:"},
        {"txtPessoaVisitar", "Pessoa a visitar:"},
        {"txtLiberadorPor", "Liberador por:"},
        {"txtCracha", "Nro do Crachá para Liberação:"},
        {"txtObs", "Observações gerais do Visitante:"},
        {"mskVectoIntegracao", "Data Limite do Prestador:"},
    };
    for (const auto& c : cases) {
        QWidget* w = get<QWidget>(c.field);
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        ASSERT_NE(a, nullptr) << c.field;
        EXPECT_EQ(a->text(QAccessible::Name), QString::fromUtf8(c.caption)) << c.field;
        // The caption label above the field is its buddy, with the same text.
        bool hasBuddy = false;
        for (QLabel* label : form->findChildren<QLabel*>())
            hasBuddy |= label->buddy() == w && label->text() == QString::fromUtf8(c.caption);
        EXPECT_TRUE(hasBuddy) << c.field;
    }
}

TEST_F(DeskFieldsTest, LabelButtonNeedsADocumentAndWritesTheDeskValues)
{
    const QString port = m_folder.filePath(QStringLiteral("etiqueta.zpl"));
    openDesk(
        QStringLiteral("NomePortaria=P\nPortaEtiqueta=%1\nImprimeEtiqueta=SIM\nLiberaSaida=1\n").arg(port));
    ASSERT_TRUE(get<QToolButton>("btnEtiqueta")->isVisible());

    edit("txtNome")->setFocus();
    messages.clear();
    click("btnEtiqueta");
    EXPECT_EQ(messages.texts(), QStringList{"Coloque algum Nro de Docto que já esteja cadastrado. !!!"});
    EXPECT_EQ(messages.shown()[0].kind, Kind::Information);
    EXPECT_EQ(focused(), edit("txtDocto"));
    EXPECT_FALSE(QFile::exists(port));

    edit("txtDocto")->setText(QStringLiteral("4711"));
    edit("txtNome")->setText(QStringLiteral("ANA"));
    get<DBLookupComboBox>("DBLookupComboBox_Localidades")->setKeyValue(2);
    messages.clear();
    click("btnEtiqueta");
    EXPECT_TRUE(messages.shown().empty());
    QFile file(port);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray zpl = file.readAll();
    EXPECT_TRUE(zpl.contains("^FO026,018^A0N,30,30^FDANA^FS")) << zpl.toStdString();
    EXPECT_TRUE(zpl.contains("^FO52,308^BCN,55,Y,N^FD4711^FS"));
    EXPECT_TRUE(zpl.contains("^FDALMOXARIFADO^FS"));
    EXPECT_TRUE(zpl.contains("^FO312,267^A0N,30,25^FD10/03/2026^FS")); // the desk clock's date
}

TEST_F(DeskFieldsTest, LabelToAnUnwritableDestinationGoesToTheStandardErrorBox)
{
    openDesk(QStringLiteral("PortaEtiqueta=/nonexistent-folder/zebra\nImprimeEtiqueta=SIM\nLiberaSaida=1\n"));
    edit("txtDocto")->setText(QStringLiteral("4711"));
    messages.clear();
    click("btnEtiqueta");
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].kind, Kind::StandardError);
}

TEST_F(DeskFieldsTest, BadgeReturnOpensModallyOnceThroughItsReference)
{
    openDesk();
    // While the reference is set, the button opens nothing and says nothing.
    auto* stale = reinterpret_cast<TFormCrachasAbertos*>(form.get());
    FormCrachasAbertos = stale;
    click("btnBaixa");
    EXPECT_EQ(FormCrachasAbertos, stale);
    FormCrachasAbertos = nullptr;

    QWidget* seen = nullptr;
    bool isBadgeWindow = false;
    TFormCrachasAbertos* referenced = nullptr;
    QTimer::singleShot(0, form.get(), [&] {
        seen = QApplication::activeModalWidget();
        isBadgeWindow = qobject_cast<TFormCrachasAbertos*>(seen) != nullptr;
        referenced = FormCrachasAbertos;
        if (seen)
            seen->close();
    });
    messages.clear();
    click("btnBaixa");
    ASSERT_NE(seen, nullptr);
    EXPECT_TRUE(isBadgeWindow);
    EXPECT_EQ(referenced, seen);
    EXPECT_EQ(FormCrachasAbertos, nullptr);
}

} // namespace
