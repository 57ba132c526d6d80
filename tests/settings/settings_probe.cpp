// SPDX-License-Identifier: MIT
// The settings file from the command line, for tests that run it as other
// users and on other file systems:
//   settings_probe save FILE TOP   writes TOP, 2, 3, 4 and status 1
//   settings_probe save-loop FILE [V]  saves again and again until killed
//                                  (with V: top and left V every time)
//   settings_probe load-loop FILE SECONDS  loads again and again, prints
//                                  "loads N torn T errors E" (torn: a top
//                                  and left of two versions)
//   settings_probe load FILE       prints the first value
//   settings_probe where EXE       prints where EXE keeps its settings
// Prints "error N" for an EInOutError with code N.
#include "settings/settings_file.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char **argv)
{
    if (argc < 3)
        return 2;
    const std::string verb = argv[1];
    try {
        if (verb == "save" && argc == 4) {
            cttax::writeSettingsFile(argv[2], {std::atoi(argv[3]), 2, 3, 4, 1});
            std::puts("saved");
        } else if (verb == "save-loop") {
            const int fixed = argc > 3 ? std::atoi(argv[3]) : -1;
            for (int i = 0;; ++i)
                cttax::writeSettingsFile(argv[2], fixed < 0 ? cttax::SettingsValues{i % 2, 2, 3, 4, 1}
                                                            : cttax::SettingsValues{fixed, fixed, 3, 4, 1});
        } else if (verb == "load-loop" && argc == 4) {
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(std::atoi(argv[3]));
            long loads = 0, torn = 0, errors = 0;
            bool found = false; // "File not found" counts only before the first save
            while (std::chrono::steady_clock::now() < until) {
                try {
                    cttax::SettingsReader reader{cttax::SettingsPath(argv[2])};
                    torn += reader.readInteger() != reader.readInteger();
                    found = true;
                } catch (const cttax::EInOutError &e) {
                    if (found || e.code() != 2) {
                        ++errors;
                        std::printf("error %d\n", e.code());
                    }
                }
                ++loads;
            }
            std::printf("loads %ld torn %ld errors %ld\n", loads, torn, errors);
        } else if (verb == "load") {
            cttax::SettingsReader reader{cttax::SettingsPath(argv[2])};
            std::printf("%d\n", reader.readInteger());
        } else if (verb == "where") {
            const cttax::SettingsLocation at =
                cttax::settingsLocationFor(argv[2], cttax::SettingsEnvironment::fromProcess());
#ifdef _WIN32
            const std::string file = at.file.u8string();
#else
            const std::string file = at.file.string();
#endif
            std::printf("%s %s\n", file.c_str(), at.configFolder ? "config" : "beside");
        } else {
            return 2;
        }
    } catch (const cttax::EInOutError &e) {
        std::printf("error %d\n", e.code());
    }
    return 0;
}
