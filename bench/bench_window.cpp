// SPDX-License-Identifier: MIT
// One keystroke in the real window, offscreen: a key into the AGI box until
// all six result boxes hold their new text.
#include "engine/fpenv.h"
#include "ui/qt/OstrelU.h"
#include "ui/qt/OstrelhelpU.h"
#include "form/view.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

class SilentDesktop final : public cttax::FormDesktop {
public:
    void warn(const std::string &) override {}
    void reportError(const std::string &, const std::string &) override {}
    void beep() override {}
    void openUrl(const std::string &) override {}
    std::vector<cttax::ScreenArea> screenAreas() const override { return {}; }
};

void BM_KeystrokeInWindow(benchmark::State &state)
{
    SilentDesktop desktop;
    cttax::TOstrelFhelp help;
    const auto settings = std::filesystem::temp_directory_path() / "cttax-bench-missing" / "cttax.fig";
    cttax::TOstrelF window(desktop, "cttax", settings, &help);
    window.show();
    window.Edit1->setFocus();
    window.Edit1->setText("4500");
    int i = 0;
    for (auto _ : state) {
        // Alternate typing a digit and deleting it: each is one real change.
        if (i++ % 2 == 0)
            QTest::keyClick(window.Edit1, Qt::Key_0);
        else
            QTest::keyClick(window.Edit1, Qt::Key_Backspace);
        benchmark::DoNotOptimize(window.Edit8->text().size());
    }
}
BENCHMARK(BM_KeystrokeInWindow);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    cttax::setUpFloatingPoint();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
