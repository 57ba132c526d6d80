// SPDX-License-Identifier: MIT
#include "engine/fpenv.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    cttax::setUpFloatingPoint();
    return RUN_ALL_TESTS();
}
