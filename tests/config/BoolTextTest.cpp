#include "config/BoolText.h"
#include "config/RegionalFormats.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

struct BoolCase
{
    const char* text;
    std::optional<bool> expected; // nullopt: a conversion error
};

class BoolTextTest : public ::testing::TestWithParam<BoolCase>
{};

TEST_P(BoolTextTest, ConvertsUnderBrazilianSettings)
{
    const BoolCase& c = GetParam();
    const RegionalFormats br = RegionalFormats::brazilian();
    if (c.expected) {
        EXPECT_EQ(boolFromText(QString::fromUtf8(c.text), br), *c.expected) << c.text;
    } else {
        EXPECT_THROW(boolFromText(QString::fromUtf8(c.text), br), std::runtime_error) << c.text;
    }
}

const BoolCase kCases[] = {
    {"1", true},    {"-1", true},   {"0", false},   {"1,5", true},    {"0,0", false},
    {"true", true}, {"TRUE", true}, {"True", true}, {"false", false}, {"FALSE", false},
    {"yes", {}},    {"", {}},       {"sim", {}},    {"1.5", {}},      {"truee", {}},
};

INSTANTIATE_TEST_SUITE_P(Cases, BoolTextTest, ::testing::ValuesIn(kCases));

TEST(BoolText, ErrorNamesTheText)
{
    try {
        boolFromText(QStringLiteral("talvez"), RegionalFormats::brazilian());
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("talvez"), std::string::npos);
    }
}

} // namespace
