#include "badges/TFormCrachasAbertos.h"

#include "capture/Jpeg.h"
#include "config/ProgramFolder.h"
#include "desk/widgets/DBGrid.h"
#include "desk/widgets/PhotoBox.h"
#include "tests/badges/BadgesFixture.h"
#include "tests/common/RecordingMessages.h"

#include <QAbstractItemModelTester>
#include <QDate>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Kind = Messages::Kind;

const QString kEscolha = QStringLiteral("Escolha ou digite o Número do Crachá para Baixa !!!");
const QString kConfirma = QStringLiteral("Confirma o Retorno do Cracha ?");
const QString kErroBaixa = QStringLiteral("Erro na Gravação e Baixa do Crachás.");

QByteArray jpegOf(Qt::GlobalColor colour)
{
    QImage image(16, 12, QImage::Format_RGB888);
    image.fill(colour);
    return Jpeg::encode(image);
}

class BadgeReturn : public BadgesFixture
{
protected:
    void SetUp() override
    {
        BadgesFixture::SetUp();
        ASSERT_TRUE(folder.isValid());
        ProgramFolder::overrideForTests(folder.path());
        QFile placeholder(ProgramFolder::file(QStringLiteral("SemFoto.jpg")));
        ASSERT_TRUE(placeholder.open(QIODevice::WriteOnly));
        placeholder.write(semFoto);
        placeholder.close();
        wcracha = 0;
        wcpf.clear();
    }
    void TearDown() override
    {
        delete window.data();
        ProgramFolder::overrideForTests(QString());
        BadgesFixture::TearDown();
    }

    // As the main window opens it, but without a modal loop.
    void open()
    {
        window = new TFormCrachasAbertos();
        FormCrachasAbertos = window;
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        grid = window->findChild<DBGrid*>(QStringLiteral("DBGrid1"));
        localiza = window->findChild<QLineEdit*>(QStringLiteral("Localiza"));
        nome = window->findChild<QLabel*>(QStringLiteral("lblNome"));
        foto = window->findChild<PhotoBox*>(QStringLiteral("Foto"));
        baixa = window->findChild<QPushButton*>(QStringLiteral("BitBtn1"));
        ASSERT_TRUE(grid && localiza && nome && foto && baixa);
    }

    void addVisitorWithPhoto(const QString& cpf, const QString& nomeVisitante, const QByteArray& photo)
    {
        addVisitor(cpf, nomeVisitante);
        db::StoredProc& sp = dm->SP_INS_UDP_VISITANTES;
        for (const QString& name : sp.inputNames())
            sp.setParam(name, QVariant());
        sp.setParam(QStringLiteral("CPF"), cpf);
        sp.setParam(QStringLiteral("NOME"), nomeVisitante);
        sp.setParam(QStringLiteral("ID_LOCAL_VISITADO"), 1);
        sp.setParam(QStringLiteral("FOTO"), photo);
        sp.execute();
    }

    // Three open badges listed in badge order, one visitor with a photograph; the
    // closed, zero and negative badges must stay out of the list.
    void addStandardVisits()
    {
        addVisitorWithPhoto(QStringLiteral("111"), QStringLiteral("ANA LIMA"), photo);
        addVisitor(QStringLiteral("222"), QStringLiteral("BRUNO REIS"), 2);
        addVisitor(QStringLiteral("333"), QStringLiteral("CÉLIA MOURA"), 3);
        addVisit(QStringLiteral("222"), 12, QStringLiteral("ABERTO"), 2, QStringLiteral("08:05:09"));
        addVisit(QStringLiteral("111"), 7, QStringLiteral("ABERTO"), 1, QStringLiteral("14:30:00"));
        addVisit(QStringLiteral("333"), 3, QStringLiteral("ABERTO"), 3, QStringLiteral("09:00:00"));
        addVisit(QStringLiteral("333"), 5, QStringLiteral("FECHADO"));
        addVisit(QStringLiteral("222"), 0);
        addVisit(QStringLiteral("111"), -4);
    }

    QString cell(int row, const char* field) const
    {
        return grid->model()->index(row, grid->gridColumn(QString::fromLatin1(field))).data().toString();
    }
    QStringList listedBadges() const
    {
        QStringList badges;
        for (int r = 0; r < grid->model()->rowCount(); ++r)
            badges << cell(r, "CRACHA");
        return badges;
    }
    int rowOfBadge(const QString& badge) const { return int(listedBadges().indexOf(badge)); }
    void clickRow(int row)
    {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(row, 2)).center());
    }
    void typeBadge(const QString& text)
    {
        QTest::mouseClick(localiza, Qt::LeftButton);
        localiza->selectAll();
        QTest::keyClicks(localiza, text);
    }
    // The access key clicks the button on a timer, as a mouse click would look.
    void pressAltB()
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_B, Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !messages.shown().empty(); }));
    }
    // The visit's state and exit stamp as stored, through a query of the data module.
    QStringList storedVisit(int cracha)
    {
        db::Query& q = dm->qryBuscaCracha;
        q.close();
        q.setParam(QStringLiteral("CRACHA"), cracha);
        q.setParam(QStringLiteral("DATA"), QDate(2026, 3, 9));
        q.open();
        return {q.field(QStringLiteral("SITUACAO_CRACHA")).asString(),
                q.field(QStringLiteral("DATA_SAIDA")).asString(),
                q.field(QStringLiteral("HORA_SAIDA")).asString()};
    }

    QTemporaryDir folder;
    const QByteArray semFoto = jpegOf(Qt::gray);
    const QByteArray photo = jpegOf(Qt::red);
    RecordingMessages messages;
    QPointer<TFormCrachasAbertos> window;
    DBGrid* grid = nullptr;
    QLineEdit* localiza = nullptr;
    QLabel* nome = nullptr;
    PhotoBox* foto = nullptr;
    QPushButton* baixa = nullptr;
};

TEST_F(BadgeReturn, ListsOpenBadgesInBadgeOrderWithTheirColumns)
{
    addStandardVisits();
    open();
    QAbstractItemModelTester tester(grid->model(), QAbstractItemModelTester::FailureReportingMode::Warning);

    EXPECT_EQ(window->windowTitle(), QStringLiteral("Crachas em Aberto"));
    EXPECT_EQ(listedBadges(), (QStringList{"3", "7", "12"}));
    const QStringList titles{"CRACHA",   "CPF",         "NOME",        "LOCALIDADE",
                             "VISITADO", "DATA VISITA", "HORA VISITA", "PORTARIA"};
    ASSERT_EQ(grid->model()->columnCount(), titles.size());
    const int widths[] = {50, 90, 220, 160, 90, -1, -1, 200};
    for (int c = 0; c < titles.size(); ++c) {
        EXPECT_EQ(grid->model()->headerData(c, Qt::Horizontal).toString(), titles.at(c));
        if (widths[c] > 0) {
            EXPECT_EQ(grid->columnWidth(c), widths[c]) << c;
        }
    }
    EXPECT_EQ(cell(2, "CPF"), QStringLiteral("222"));
    EXPECT_EQ(cell(2, "NOME"), QStringLiteral("BRUNO REIS"));
    EXPECT_EQ(cell(2, "LOCALIDADE"), QStringLiteral("ALMOXARIFADO"));
    EXPECT_EQ(cell(2, "VISITADO"), QStringLiteral("CARLOS"));
    EXPECT_EQ(cell(2, "DATA_VISITA"), QStringLiteral("09/03/2026"));
    EXPECT_EQ(cell(2, "HORA_VISITA"), QStringLiteral("08:05:09"));
    EXPECT_EQ(cell(2, "PORTARIA"), QStringLiteral("PORTARIA NORTE"));

    EXPECT_TRUE(grid->isEnabled());
    EXPECT_EQ(localiza->text(), QStringLiteral("0"));
    EXPECT_EQ(QApplication::focusWidget(), localiza);
    EXPECT_TRUE(nome->text().isEmpty());
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(BadgeReturn, ClickingARowSelectsItsBadgeNameAndPhoto)
{
    addStandardVisits();
    open();

    clickRow(rowOfBadge(QStringLiteral("7")));
    EXPECT_EQ(wcracha, 7);
    EXPECT_EQ(wcpf, QStringLiteral("111"));
    EXPECT_EQ(nome->text(), QStringLiteral("ANA LIMA"));
    EXPECT_EQ(localiza->text(), QStringLiteral("7"));
    EXPECT_EQ(foto->jpegBytes(), photo);

    // No photograph: the placeholder beside the executable.
    clickRow(rowOfBadge(QStringLiteral("12")));
    EXPECT_EQ(wcpf, QStringLiteral("222"));
    EXPECT_EQ(foto->jpegBytes(), semFoto);

    // A missing placeholder reaches the standard error box; the selection is made.
    QFile::remove(ProgramFolder::file(QStringLiteral("SemFoto.jpg")));
    clickRow(rowOfBadge(QStringLiteral("3")));
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown().front().kind, Kind::StandardError);
    EXPECT_EQ(wcracha, 3);
    EXPECT_TRUE(messages.shown().front().text.contains(QStringLiteral("SemFoto.jpg")));
}

TEST_F(BadgeReturn, LeavingTheBoxSelectsTheTypedBadge)
{
    addStandardVisits();
    // A second open visit with badge 7: the first row in list order wins.
    addVisitor(QStringLiteral("444"), QStringLiteral("DÉBORA PAZ"));
    addVisit(QStringLiteral("444"), 7);
    open();

    struct Case
    {
        const char* typed;
        int key;              // how the box is left
        int currentBefore;    // row made current by a click first
        const char* expected; // what the box then shows
    };
    const int row3 = 0;
    const int row12 = rowOfBadge(QStringLiteral("12"));
    const Case cases[] = {
        {"7", Qt::Key_Tab, row3, "7"},     {"12", Qt::Key_Return, row3, "12"}, // Enter moves on like Tab
        {"99", Qt::Key_Tab, row12, "12"},  // not in the list: the current row stays
        {"abc", Qt::Key_Tab, row12, "12"}, // no number at all: the same
        {"", Qt::Key_Return, row3, "3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        clickRow(c.currentBefore);
        typeBadge(QString::fromLatin1(c.typed));
        QTest::keyClick(localiza, Qt::Key(c.key));
        EXPECT_EQ(QApplication::focusWidget(), baixa);
        EXPECT_EQ(localiza->text(), QString::fromLatin1(c.expected));
        const int current = dm->qryCrachasEmAberto.currentRow();
        EXPECT_EQ(cell(current, "CRACHA"), QString::fromLatin1(c.expected));
        EXPECT_EQ(grid->currentIndex().row(), current);
        EXPECT_EQ(wcracha, QString::fromLatin1(c.expected).toInt());
        EXPECT_EQ(wcpf, cell(current, "CPF"));
        EXPECT_EQ(nome->text(), cell(current, "NOME"));
    }
    EXPECT_EQ(rowOfBadge(QStringLiteral("7")), 1);
    typeBadge(QStringLiteral("7"));
    QTest::keyClick(localiza, Qt::Key_Tab);
    EXPECT_EQ(dm->qryCrachasEmAberto.currentRow(), 1);
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(BadgeReturn, AnsweringNoChangesNothing)
{
    addStandardVisits();
    open();
    clickRow(rowOfBadge(QStringLiteral("7")));
    messages.setNextAnswer(false);
    QTest::mouseClick(baixa, Qt::LeftButton);

    EXPECT_EQ(messages.texts(), QStringList{kConfirma});
    EXPECT_EQ(listedBadges(), (QStringList{"3", "7", "12"}));
    EXPECT_EQ(storedVisit(7), (QStringList{"ABERTO", "", ""}));
    EXPECT_EQ(localiza->text(), QStringLiteral("7"));
    EXPECT_EQ(nome->text(), QStringLiteral("ANA LIMA"));
    EXPECT_FALSE(foto->isEmpty());
}

TEST_F(BadgeReturn, YesClosesTheBadgeWithTheServerDateAndTimeAsText)
{
    addStandardVisits();
    open();
    typeBadge(QStringLiteral("7")); // the mouse press on the button selects it first
    messages.setNextAnswer(true);
    dm->SP_DataHora_Server.execute();
    const QDateTime before(dm->SP_DataHora_Server.output(QStringLiteral("DATA")).toDate(),
                           dm->SP_DataHora_Server.output(QStringLiteral("HORA")).toTime());
    QTest::mouseClick(baixa, Qt::LeftButton);
    dm->SP_DataHora_Server.execute();
    const QDateTime after(dm->SP_DataHora_Server.output(QStringLiteral("DATA")).toDate(),
                          dm->SP_DataHora_Server.output(QStringLiteral("HORA")).toTime());

    EXPECT_EQ(messages.texts(), QStringList{kConfirma});
    const QStringList stored = storedVisit(7);
    EXPECT_EQ(stored.at(0), QStringLiteral("FECHADO"));
    const QDateTime exit(QDate::fromString(stored.at(1), QStringLiteral("dd/MM/yyyy")),
                         QTime::fromString(stored.at(2), QStringLiteral("HH:mm:ss")));
    ASSERT_TRUE(exit.isValid()) << stored.join(' ').toStdString();
    EXPECT_GE(exit, before);
    EXPECT_LE(exit, after);

    EXPECT_EQ(listedBadges(), (QStringList{"3", "12"}));
    EXPECT_EQ(localiza->text(), QStringLiteral("0"));
    EXPECT_EQ(QApplication::focusWidget(), localiza);
    EXPECT_TRUE(nome->text().isEmpty());
    EXPECT_TRUE(foto->isEmpty());
    EXPECT_EQ(wcracha, 7);
    EXPECT_EQ(wcpf, QStringLiteral("111"));
}

TEST_F(BadgeReturn, AccessKeyReturnsTheBadgeSelectedBeforeNotTheTypedOne)
{
    addStandardVisits();
    open();
    clickRow(rowOfBadge(QStringLiteral("7")));
    typeBadge(QStringLiteral("12"));
    messages.setNextAnswer(true);
    pressAltB();

    EXPECT_EQ(messages.texts(), QStringList{kConfirma});
    EXPECT_EQ(storedVisit(7).at(0), QStringLiteral("FECHADO"));
    EXPECT_EQ(listedBadges(), (QStringList{"3", "12"}));
}

TEST_F(BadgeReturn, LastBadgeReturnedLeavesAnEnabledEmptyGrid)
{
    addVisitor(QStringLiteral("111"), QStringLiteral("ANA LIMA"));
    addVisit(QStringLiteral("111"), 9);
    open();
    messages.setNextAnswer(true);
    // Pressed right after opening: the first row is selected and returned.
    QTest::mouseClick(baixa, Qt::LeftButton);
    EXPECT_EQ(messages.texts(), QStringList{kConfirma});
    EXPECT_EQ(wcracha, 9);
    EXPECT_EQ(storedVisit(9).at(0), QStringLiteral("FECHADO"));
    EXPECT_EQ(grid->model()->rowCount(), 0);
    EXPECT_TRUE(grid->isEnabled());
    EXPECT_EQ(localiza->text(), QStringLiteral("0"));
}

TEST_F(BadgeReturn, NoOpenBadgesGivesADisabledGridAndTheChooseMessage)
{
    addVisitor(QStringLiteral("111"), QStringLiteral("ANA LIMA"));
    addVisit(QStringLiteral("111"), 4, QStringLiteral("FECHADO"));
    addVisit(QStringLiteral("111"), 0);
    open();
    EXPECT_EQ(grid->model()->rowCount(), 0);
    EXPECT_FALSE(grid->isEnabled());
    EXPECT_EQ(localiza->text(), QStringLiteral("0"));

    QTest::mouseClick(baixa, Qt::LeftButton);
    EXPECT_TRUE(localiza->text().isEmpty());
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown().front().kind, Kind::Error);
    EXPECT_EQ(messages.shown().front().text, kEscolha);
}

TEST_F(BadgeReturn, DatabaseFailureDuringTheReturnKeepsTheWindowAsItWas)
{
    addStandardVisits();
    open();
    clickRow(rowOfBadge(QStringLiteral("7")));
    database->exec(QStringLiteral("DROP PROCEDURE BAIXA_CRACHA"));
    messages.setNextAnswer(true);
    QTest::mouseClick(baixa, Qt::LeftButton);

    EXPECT_EQ(messages.texts(), (QStringList{kConfirma, kErroBaixa}));
    EXPECT_EQ(messages.shown().back().kind, Kind::Error);
    EXPECT_EQ(localiza->text(), QStringLiteral("7"));
    EXPECT_EQ(nome->text(), QStringLiteral("ANA LIMA"));
    EXPECT_EQ(foto->jpegBytes(), photo);
    EXPECT_EQ(storedVisit(7).at(0), QStringLiteral("ABERTO"));
}

TEST_F(BadgeReturn, ClosingEmptiesTheReferenceAndTheSelectionOutlivesTheWindow)
{
    addStandardVisits();
    open();
    clickRow(rowOfBadge(QStringLiteral("12")));
    window->close();
    EXPECT_EQ(FormCrachasAbertos, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.isNull(); }));

    open();
    EXPECT_EQ(wcracha, 12);
    EXPECT_EQ(localiza->text(), QStringLiteral("0"));
    // Alt+B at once acts on the selection of the earlier opening.
    messages.setNextAnswer(true);
    pressAltB();
    EXPECT_EQ(storedVisit(12).at(0), QStringLiteral("FECHADO"));
    EXPECT_EQ(listedBadges(), (QStringList{"3", "7"}));
}

} // namespace
