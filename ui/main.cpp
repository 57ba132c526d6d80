// SPDX-License-Identifier: MIT
#include "ui/application.h"

int main(int argc, char **argv)
{
    return cttax::runApplication(argc, argv);
}
