// SPDX-License-Identifier: MIT
#include "ui/qt/application.h"

int main(int argc, char **argv)
{
    return cttax::runApplication(argc, argv);
}
