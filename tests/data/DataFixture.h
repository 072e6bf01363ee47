#pragma once

#include "data/TDM.h"
#include "tests/common/TestDatabase.h"

#include <gtest/gtest.h>

#include <memory>

// A data module connected to a fresh database, embedded or on the server.
class DataFixture : public ::testing::TestWithParam<TestDatabase::Where>
{
protected:
    void SetUp() override
    {
        if (GetParam() == TestDatabase::Where::Server)
            REQUIRE_FIREBIRD_SERVER();
        database = std::make_unique<TestDatabase>(GetParam());
        dm = std::make_unique<TDM>();
        dm->FDConn.setParams(database->params());
    }

    void addVisitor(const QString& cpf, const QString& nome, int local = 1)
    {
        database->exec(
            QStringLiteral("INSERT INTO VISITANTES (CPF, NOME, ID_LOCAL_VISITADO) VALUES ('%1', '%2', %3)")
                .arg(cpf, nome)
                .arg(local));
    }
    void addVisit(const QString& cpf, int cracha, const QString& situacao,
                  const QString& date = "CURRENT_DATE", int local = 1,
                  const QString& portaria = QStringLiteral("NORTE"))
    {
        database->exec(
            QStringLiteral("INSERT INTO VISITAS (CPF, ID_LOCAL_VISITADO, DATA_VISITA, HORA_VISITA, "
                           "CRACHA, SITUACAO_CRACHA, PORTARIA) VALUES ('%1', %2, %3, '10:00:00', %4, "
                           "'%5', '%6')")
                .arg(cpf)
                .arg(local)
                .arg(date)
                .arg(cracha)
                .arg(situacao, portaria));
    }

    std::unique_ptr<TestDatabase> database;
    std::unique_ptr<TDM> dm;
};

inline std::string whereName(const ::testing::TestParamInfo<TestDatabase::Where>& info)
{
    return info.param == TestDatabase::Where::Server ? "Server" : "Embedded";
}

#define INSTANTIATE_BOTH_PATHS(Suite)                                                                        \
    INSTANTIATE_TEST_SUITE_P(Paths, Suite,                                                                   \
                             ::testing::Values(TestDatabase::Where::Embedded, TestDatabase::Where::Server),  \
                             whereName)
