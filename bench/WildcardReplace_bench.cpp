// WildcardReplace over 100,000 typical file names (without extension handling), one benchmark
// per pattern shape, with and without regard to case. One iteration is one pass over all names.

#include "core/text/Cp932.h"
#include "core/text/Strfunc.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kNameCount = 100000;

std::string Cp(const std::string& utf8) {
    return Cp932::FromUtf8(utf8).value_or("");
}

// A mix of camera, Japanese, half-width kana and office names.
const std::vector<std::string>& Names() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> out;
        out.reserve(kNameCount);
        char buffer[96];
        for (int i = 0; i < kNameCount; ++i) {
            switch (i % 6) {
                case 0:
                    std::snprintf(buffer, sizeof buffer, "IMG_%04d.JPG", i % 10000);
                    break;
                case 1:
                    std::snprintf(buffer, sizeof buffer, "写真_2024_%02d_%02d.jpg", i % 12 + 1, i % 28 + 1);
                    break;
                case 2:
                    std::snprintf(buffer, sizeof buffer, "ﾊﾝｶｸ資料 第%d版.docx", i % 20 + 1);
                    break;
                case 3:
                    std::snprintf(buffer, sizeof buffer, "DSC%05d.jpeg", i);
                    break;
                case 4:
                    std::snprintf(buffer, sizeof buffer, "report-final(%d).pdf", i % 50);
                    break;
                default:
                    std::snprintf(buffer, sizeof buffer, "議事録_%d月%d日.txt", i % 12 + 1, i % 28 + 1);
                    break;
            }
            out.push_back(Cp(buffer));
        }
        return out;
    }();
    return names;
}

void RunShape(benchmark::State& state, const std::string& pattern, bool ignoreCase) {
    const std::vector<std::string>& names = Names();
    const std::string replacement = Cp("置換");
    std::size_t changed = 0;
    for (auto _ : state) {
        changed = 0;
        for (const std::string& name : names) {
            std::string result = Strfunc::WildcardReplace(name, pattern, replacement, ignoreCase);
            changed += result != name;
            benchmark::DoNotOptimize(result);
        }
    }
    state.counters["names"] = static_cast<double>(names.size());
    state.counters["changed"] = static_cast<double>(changed);
}

}  // namespace

int main(int argc, char** argv) {
    struct Shape {
        const char* name;
        const char* pattern;
    };
    const Shape shapes[] = {
        {"plain", "jpg"}, {"X*", "_2024*"}, {"*Y", "*_0"}, {"X*Y", "資料*版"}, {"?", "img_????"},
    };
    for (const Shape& shape : shapes) {
        for (const bool ignoreCase : {false, true}) {
            const std::string title = std::string("WildcardReplace/") + shape.name + "/" + shape.pattern +
                                      (ignoreCase ? "/ignoreCase" : "/matchCase");
            benchmark::RegisterBenchmark(title.c_str(), RunShape, Cp(shape.pattern), ignoreCase)
                ->Unit(benchmark::kMillisecond);
        }
    }
    Names();  // built once, outside the timings
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
