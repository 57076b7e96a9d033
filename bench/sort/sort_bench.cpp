// The seeded sorts against std::sort on the same data: 10^6 u32 values
// (random and already sorted) and 10^5 tag-like names.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/sort.h"

using namespace pirn;
using Clock = std::chrono::steady_clock;

namespace {

template <typename T, typename F>
double Best(const std::vector<T>& input, F sort, int runs = 5) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        std::vector<T> v = input;
        const auto t0 = Clock::now();
        sort(v);
        const double s = std::chrono::duration<double>(Clock::now() - t0).count();
        if (!std::is_sorted(v.begin(), v.end())) std::puts("NOT SORTED");
        best = std::min(best, s);
    }
    return best;
}

}  // namespace

int main() {
    u32 x = 12345;
    std::vector<u32> values(1000000);
    for (u32& v : values) v = x = x * 22695477u + 1u;
    auto ours = [](std::vector<u32>& v) {
        u32 state = static_cast<u32>(v.size());
        SortUInts(state, v.data(), static_cast<u32>(v.size()));
    };
    auto std_sort = [](auto& v) { std::sort(v.begin(), v.end()); };
    double a = Best(values, ours), b = Best(values, std_sort);
    std::printf("1e6 random u32: SortUInts %.1f ms, std::sort %.1f ms, ratio %.2f\n", a * 1e3, b * 1e3, a / b);
    std::sort(values.begin(), values.end());
    a = Best(values, ours);
    b = Best(values, std_sort);
    std::printf("1e6 sorted u32: SortUInts %.1f ms, std::sort %.1f ms, ratio %.2f\n", a * 1e3, b * 1e3, a / b);

    std::vector<std::string> names(100000);
    for (size_t i = 0; i < names.size(); ++i) {
        x = x * 22695477u + 1u;
        names[i] = "Tag " + std::to_string(x % 5000) + " variant " + std::to_string(i % 97);
    }
    auto ourStrings = [](std::vector<std::string>& v) {
        u32 state = static_cast<u32>(v.size());
        SortStrings(state, v.data(), static_cast<u32>(v.size()));
    };
    a = Best(names, ourStrings);
    b = Best(names, std_sort);
    std::printf("1e5 names: SortStrings %.1f ms, std::sort %.1f ms, ratio %.2f\n", a * 1e3, b * 1e3, a / b);
    return 0;
}
