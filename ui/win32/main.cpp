// SPDX-License-Identifier: MIT
#include "ui/win32/application.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    return cttax::win32::runApplication(instance, showCommand);
}
