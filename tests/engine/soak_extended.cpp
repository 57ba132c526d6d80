// SPDX-License-Identifier: MIT
// The long run of the differential check: N random operand pairs per
// operation (default one billion), software against the x87 unit, spread
// over the machine's cores. Prints one line per operation and exits 1 on the
// first mismatches. Run by scripts/soak-extended.sh, not by the test suite.
#include "engine/fpenv.h"
#include "text/hexfloat.h"
#include "tests/support/extended_operands.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

using namespace extended_operands;

int main(int argc, char **argv)
{
    if constexpr (!kHardwareIsX87) {
        std::fprintf(stderr, "soak_extended: no x87 unit to compare with on this machine\n");
        return 2;
    } else {
        const long long pairs = argc > 1 ? std::atoll(argv[1]) : 1'000'000'000LL;
        const std::uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 0) : 2010;
        const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
        static const char *const names[] = {"add", "sub", "mul", "div"};
        int status = 0;
        for (const Op op : {Op::Add, Op::Sub, Op::Mul, Op::Div}) {
            std::atomic<long long> mismatches{0};
            std::mutex report;
            const auto start = std::chrono::steady_clock::now();
            std::vector<std::thread> workers;
            for (unsigned t = 0; t < threads; ++t) {
                workers.emplace_back([&, t] {
                    cttax::setUpFloatingPoint();
                    Random r(seed * 1000003 + static_cast<std::uint64_t>(op) * 1009 + t);
                    const long long share = pairs / threads + (t < pairs % threads ? 1 : 0);
                    for (long long i = 0; i < share; ++i) {
                        Bits a{}, b{};
                        pair(r, op, a, b);
                        const Bits want = hardwareBits(hardwareOp(op, hardware(a), hardware(b)));
                        const Bits got = softOp(op, soft(a), soft(b)).bits();
                        if (!(got == want) && mismatches.fetch_add(1) < 10) {
                            const std::lock_guard<std::mutex> lock(report);
                            std::printf("MISMATCH %s %s %s: software %s, x87 %s\n", names[static_cast<int>(op)],
                                        cttax::formatHexFloat(a).c_str(), cttax::formatHexFloat(b).c_str(),
                                        cttax::formatHexFloat(got).c_str(), cttax::formatHexFloat(want).c_str());
                        }
                    }
                });
            }
            for (auto &w : workers)
                w.join();
            const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            std::printf("%s: %lld pairs, %lld mismatches, %.1f s on %u threads (%.1f M pairs/s)\n",
                        names[static_cast<int>(op)], pairs, mismatches.load(), seconds, threads, pairs / seconds / 1e6);
            std::fflush(stdout);
            if (mismatches.load() != 0)
                status = 1;
        }
        return status;
    }
}
