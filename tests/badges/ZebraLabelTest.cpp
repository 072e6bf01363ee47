#include "desk/ZebraLabel.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QList<QByteArray> linesOf(const QByteArray& label)
{
    QList<QByteArray> lines = label.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray& line : lines)
        line.chop(1); // the CR; the golden test checks the line ends themselves
    return lines;
}

int openDescriptors()
{
    return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size());
}

const ZebraLabel kVisitor{QStringLiteral("  JOSE CARLOS DE SOUZA "), QStringLiteral("12345678900"),
                          QStringLiteral(" ALMOXARIFADO"), QStringLiteral("11/12/2026")};

TEST(ZebraLabel, MatchesTheGoldenLabelByteForByte)
{
    const QByteArray golden = readFile(QStringLiteral(VEXORIN_SOURCE_DIR "/tests/badges/golden/label.zpl"));
    ASSERT_FALSE(golden.isEmpty());
    EXPECT_EQ(kVisitor.bytes(), golden);
}

struct LineCase
{
    const char* what;
    ZebraLabel label;
    // 1-based line number and its expected bytes, CR LF left off.
    std::vector<std::pair<int, QByteArray>> lines;
};

class ZebraLabelLines : public ::testing::TestWithParam<LineCase>
{};

TEST_P(ZebraLabelLines, VariableLinesComeOutAsExpected)
{
    const LineCase& c = GetParam();
    const QList<QByteArray> lines = linesOf(c.label.bytes());
    ASSERT_EQ(lines.size(), 25);
    for (const auto& [number, expected] : c.lines)
        EXPECT_EQ(lines.at(number - 1), expected) << "line " << number;
}

const QString kDate = QStringLiteral("01/02/2027");

INSTANTIATE_TEST_SUITE_P(
    Cases, ZebraLabelLines,
    ::testing::Values(
        LineCase{"BlankBeforeTheNumberKeptOnlyInTheBarcode",
                 {QStringLiteral("ANA"), QStringLiteral(" 4711"), QStringLiteral("PORTARIA"), kDate},
                 {{13, "^FO096,060^A0N,30,25^FD4711^FS"},
                  {18, "^FO026,213^A0N,30,25^FD4711^FS"},
                  {24, "^FO52,308^BCN,55,Y,N^FD 4711^FS"}}},
        LineCase{"NoLocalitySelected",
                 {QStringLiteral("ANA"), QStringLiteral("4711"), QString(), kDate},
                 {{14, "^FO026,090^A0N,30,25^FD^FS"}, {21, "^FO312,267^A0N,30,25^FD01/02/2027^FS"}}},
        LineCase{"AccentsAreSingleWindows1252Bytes",
                 {QStringLiteral("JOÃO DA CONCEIÇÃO"), QStringLiteral("4711"), QStringLiteral("RECEPÇÃO É"),
                  kDate},
                 {{8, "^FO026,018^A0N,30,30^FDJO\xC3O DA CONCEI\xC7\xC3O^FS"},
                  {14, "^FO026,090^A0N,30,25^FDRECEP\xC7\xC3O \xC9^FS"}}},
        LineCase{"UnderscoreWithoutControlCharactersIsLiteral",
                 {QStringLiteral("A_B"), QStringLiteral("X_1"), QStringLiteral("SALA_2"), kDate},
                 {{8, "^FO026,018^A0N,30,30^FDA_B^FS"},
                  {13, "^FO096,060^A0N,30,25^FDX_1^FS"},
                  {24, "^FO52,308^BCN,55,Y,N^FDX_1^FS"}}},
        // A caret used to end the field and start a command of its own (here: end of label).
        LineCase{"CaretInTheNamePrintsAsTyped",
                 {QStringLiteral(" A^XZ_B "), QStringLiteral("4711"), QStringLiteral("PORTARIA"), kDate},
                 {{8, "^FO026,018^A0N,30,30^FH^FDA_5EXZ_5FB^FS"}, {25, "^XZ"}}},
        LineCase{"TildeInTheDocumentIsEscapedInBothTextFieldsAndTheBarcode",
                 {QStringLiteral("ANA"), QStringLiteral(" ~JA"), QStringLiteral("PORTARIA"), kDate},
                 {{13, "^FO096,060^A0N,30,25^FH^FD_7EJA^FS"},
                  {18, "^FO026,213^A0N,30,25^FH^FD_7EJA^FS"},
                  {24, "^FO52,308^BCN,55,Y,N^FH^FD _7EJA^FS"}}},
        LineCase{"ControlCharacterInTheLocalityLeavesAccentsAsBytes",
                 {QStringLiteral("ANA"), QStringLiteral("4711"), QStringLiteral("SALÃO ^FS~"), kDate},
                 {{14, "^FO026,090^A0N,30,25^FH^FDSAL\xC3O _5EFS_7E^FS"}}}),
    [](const ::testing::TestParamInfo<LineCase>& info) { return std::string(info.param.what); });

TEST(ZebraLabel, TextWithoutAWindows1252ByteIsRefused)
{
    ZebraLabel label = kVisitor;
    label.nome = QStringLiteral("ANA 日本");
    EXPECT_THROW(label.bytes(), std::runtime_error);
}

TEST(ZebraLabel, EachWriteReplacesTheEarlierLabel)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("etiqueta.txt"));
    ZebraLabel longer = kVisitor;
    longer.nome = QString(60, QLatin1Char('W'));
    ZebraLabel::write(path, longer.bytes());
    ZebraLabel::write(path, kVisitor.bytes());
    EXPECT_EQ(readFile(path), kVisitor.bytes());
}

TEST(ZebraLabel, DeviceFileTakesTheLabel)
{
    EXPECT_NO_THROW(ZebraLabel::write(QStringLiteral("/dev/null"), kVisitor.bytes()));
}

TEST(ZebraLabel, UnwritableDestinationsThrowNamingThemAndLeaveNothingOpen)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString destinations[] = {
        QString(),                                          // PortaEtiqueta not configured
        dir.path(),                                         // a directory
        dir.filePath(QStringLiteral("sem-pasta/etiqueta")), // a missing folder
        QStringLiteral("/dev/full"),                        // opens, but every write fails
    };
    const int before = openDescriptors();
    for (const QString& destination : destinations) {
        try {
            ZebraLabel::write(destination, kVisitor.bytes());
            ADD_FAILURE() << "no error for " << destination.toStdString();
        } catch (const std::runtime_error& e) {
            const QString text = QString::fromStdString(e.what());
            EXPECT_TRUE(text.contains(QLatin1Char('"') + destination + QLatin1Char('"'))) << e.what();
        }
        EXPECT_EQ(openDescriptors(), before) << destination.toStdString();
    }
}

} // namespace
