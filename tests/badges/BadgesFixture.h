#pragma once

#include "data/TDM.h"
#include "tests/common/TestDatabase.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

// A data module on a fresh embedded database with the demo localities, installed as
// the program's DM.
class BadgesFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        database = std::make_unique<TestDatabase>();
        dm = std::make_unique<TDM>();
        dm->FDConn.setParams(database->params());
        DM = dm.get();
    }
    void TearDown() override
    {
        dm.reset(); // empties DM
    }

    void addVisitor(const QString& cpf, const QString& nome, int local = 1)
    {
        database->exec(
            QStringLiteral("INSERT INTO VISITANTES (CPF, NOME, ID_LOCAL_VISITADO) VALUES ('%1', '%2', %3)")
                .arg(cpf, nome)
                .arg(local));
    }
    void addVisit(const QString& cpf, int cracha, const QString& situacao = QStringLiteral("ABERTO"),
                  int local = 1, const QString& hora = QStringLiteral("10:00:00"))
    {
        database->exec(QStringLiteral("INSERT INTO VISITAS (CPF, ID_LOCAL_VISITADO, VISITADO, DATA_VISITA, "
                                      "HORA_VISITA, CRACHA, SITUACAO_CRACHA, PORTARIA) VALUES ('%1', %2, "
                                      "'CARLOS', '2026-03-09', '%3', %4, '%5', 'PORTARIA NORTE')")
                           .arg(cpf)
                           .arg(local)
                           .arg(hora)
                           .arg(cracha)
                           .arg(situacao));
    }

    std::unique_ptr<TestDatabase> database;
    std::unique_ptr<TDM> dm;
};
