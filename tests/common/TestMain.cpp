#include "config/RegionalFormats.h"

#include <QApplication>

#include <gtest/gtest.h>

// Every test program runs with a real (offscreen) application object and Brazilian
// regional settings, whatever the machine's own.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    RegionalFormats::setCurrent(RegionalFormats::brazilian());
    return RUN_ALL_TESTS();
}
