#pragma once

#include "capture/GstCapturePlatform.h"
#include "capture/Jpeg.h"
#include "config/ProgramFolder.h"
#include "data/TDM.h"
#include "desk/TFormPrincipal.h"
#include "desk/widgets/DBLookupComboBox.h"
#include "desk/widgets/MaskedDateEdit.h"
#include "desk/widgets/PhotoBox.h"
#include "tests/common/RecordingMessages.h"
#include "tests/common/TestDatabase.h"

#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

// A picture with some structure, so that a re-encode would change its bytes.
inline QImage testPicture(int width, int height, QColor colour = QColor(40, 120, 200))
{
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(colour);
    QPainter painter(&image);
    painter.setPen(Qt::yellow);
    for (int x = 0; x < width; x += 16)
        painter.drawLine(x, 0, width - x, height);
    return image;
}

// QTest::keyClicks takes ASCII only; accented letters arrive as text-only key events,
// the way a keyboard layout delivers them.
inline void typeText(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClick(widget, char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

struct StoredVisitor
{
    QString cpf;
    QString nome;
    QVariant foto; // QByteArray, or null
    int tipo = 0;
    QVariant vecto; // QDate, or null
    QString empresa = QStringLiteral("ACME LTDA");
    QString telefone = QStringLiteral("(11) 5555-1234 ramal");
    QString rg = QStringLiteral("MG12345");
    int local = 3; // PRODUÇÃO
    QString visitado = QStringLiteral("SR. CARLOS");
    QString obs = QStringLiteral("primeira linha\nsegunda linha");
};

// One database for the suite, a fresh data module and a shown, active main window
// per test, with every message box recorded.
class DeskFixture : public ::testing::Test
{
    DeviceListPlatform m_noCameras;

protected:
    static void SetUpTestSuite() { s_db = new TestDatabase(); }
    static void TearDownTestSuite()
    {
        delete s_db;
        s_db = nullptr;
    }

    void SetUp() override
    {
        ProgramFolder::overrideForTests(m_folder.path());
        semFoto = Jpeg::encode(testPicture(120, 160, Qt::lightGray), 75);
        QFile file(m_folder.filePath(QStringLiteral("SemFoto.jpg")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(semFoto);
        file.close();
        s_db->exec(QStringLiteral("DELETE FROM VISITAS"));
        s_db->exec(QStringLiteral("DELETE FROM VISITANTES"));
    }

    void TearDown() override
    {
        form.reset();
        delete DM;
        DM = nullptr;
    }

    static QString defaultParametros()
    {
        return QStringLiteral("NomePortaria=PORTARIA NORTE\nPortaEtiqueta=\nImprimeEtiqueta=NAO\n"
                              "LiberaSaida=1\nCrachaUnico=SIM\n");
    }

    // Creates the data module and the window as the program's start does.
    TFormPrincipal& openDesk(const QString& parametros = defaultParametros(),
                             CapturePlatform* cameras = nullptr)
    {
        s_db->writeIni(m_folder.path(), parametros);
        DM = new TDM;
        DM->DataModuleCreate();
        // No test sees the machine's own cameras.
        form = std::make_unique<TFormPrincipal>(nullptr, cameras ? cameras : &m_noCameras);
        form->setClock([this] { return now; });
        form->setQuitHandler([this] { events << QStringLiteral("quit"); });
        form->setSoundPlayer([this](const QString& file) { events << QStringLiteral("sound ") + file; });
        form->show();
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        return *form;
    }

    template <typename T> T* get(const char* name) const
    {
        T* widget = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QLineEdit* edit(const char* name) const { return get<QLineEdit>(name); }
    QWidget* focused() const { return form->focusWidget(); }

    void click(const char* button) { QTest::mouseClick(get<QToolButton>(button), Qt::LeftButton); }
    // Types into a field the way the guard does: click into it, then type.
    void typeInto(const char* name, const QString& text)
    {
        QWidget* w = get<QWidget>(name);
        QTest::mouseClick(w, Qt::LeftButton);
        typeText(w, text);
    }
    // Picks the n-th locality (0 = first by name) with the keyboard.
    void chooseLocality(int n)
    {
        auto* list = get<DBLookupComboBox>("DBLookupComboBox_Localidades");
        list->setFocus();
        for (int i = 0; i <= n; ++i)
            QTest::keyClick(list, Qt::Key_Down);
    }

    void storeVisitor(const StoredVisitor& v)
    {
        db::StoredProc& sp = DM->SP_INS_UDP_VISITANTES;
        sp.setParam(QStringLiteral("CPF"), v.cpf);
        sp.setParam(QStringLiteral("NOME"), v.nome);
        sp.setParam(QStringLiteral("EMPRESA"), v.empresa);
        sp.setParam(QStringLiteral("TELEFONE"), v.telefone);
        sp.setParam(QStringLiteral("RG"), v.rg);
        sp.setParam(QStringLiteral("ID_LOCAL_VISITADO"), v.local);
        sp.setParam(QStringLiteral("VISITADO"), v.visitado);
        sp.setParam(QStringLiteral("FOTO"), v.foto);
        sp.setParam(QStringLiteral("OBS"), v.obs);
        sp.setParam(QStringLiteral("TIPO"), v.tipo);
        sp.setParam(QStringLiteral("VECTO_INTEGRACAO"), v.vecto);
        sp.execute();
    }
    void addVisit(const QString& cpf, int cracha, const QString& situacao, const QString& date,
                  const QString& portaria)
    {
        s_db->exec(
            QStringLiteral("INSERT INTO VISITAS (CPF, ID_LOCAL_VISITADO, DATA_VISITA, HORA_VISITA, CRACHA, "
                           "SITUACAO_CRACHA, PORTARIA) VALUES ('%1', 1, %2, '10:00:00', %3, '%4', '%5')")
                .arg(cpf, date)
                .arg(cracha)
                .arg(situacao, portaria));
    }

    // Leaves qryLocaliza on the visitor's row; false when there is none.
    bool findVisitor(const QString& cpf)
    {
        DM->qryLocaliza.close();
        DM->qryLocaliza.setParam(QStringLiteral("CPF"), cpf);
        DM->qryLocaliza.open();
        DM->qryLocaliza.first();
        return DM->qryLocaliza.recordCount() > 0;
    }
    // Leaves qryVisitasDoVisitante on the visitor's visits; returns their number.
    int visitsOf(const QString& cpf)
    {
        db::Query& q = DM->qryVisitasDoVisitante;
        q.close();
        q.setParam(0, cpf);
        q.setParam(1, QDate(2000, 1, 1));
        q.setParam(2, QDate(2100, 1, 1));
        q.open();
        q.first();
        return q.recordCount();
    }
    int countOpenBadges()
    {
        DM->qryCrachasEmAberto.close();
        DM->qryCrachasEmAberto.open();
        return DM->qryCrachasEmAberto.recordCount();
    }

    static TestDatabase* s_db;
    QTemporaryDir m_folder;
    RecordingMessages messages;
    QStringList events;
    QDateTime now{QDate(2026, 3, 10), QTime(14, 0)};
    QByteArray semFoto;
    std::unique_ptr<TFormPrincipal> form;
};

inline TestDatabase* DeskFixture::s_db = nullptr;
