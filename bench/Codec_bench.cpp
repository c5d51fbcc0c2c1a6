// Decoding and encoding of typical Japanese file names: FromUtf8 + ToUtf8 of 100,000 names must
// take under 50 ms.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "core/text/Cp932.h"

namespace {

constexpr std::size_t kNames = 100000;
constexpr double kLimitMs = 50.0;

// UTF-8 characters of one kind each: kanji, hiragana, katakana, half-width kana, ASCII, digits.
const std::vector<std::vector<std::string>>& Pieces() {
    static const std::vector<std::vector<std::string>> pieces = [] {
        const char* const kinds[] = {
            "写真旅行夏休家族誕生日会議資料報告書東京大阪京都北海道沖縄年月",
            "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん",
            "アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワヲンー",
            "ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜｦﾝﾞﾟ",
            "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_- ",
            "0123456789",
        };
        std::vector<std::vector<std::string>> out;
        for (const char* kind : kinds) {
            std::vector<std::string> chars;
            for (const std::string text = kind; const char c : text) {
                // Split into characters by their UTF-8 lead bytes.
                if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) chars.emplace_back();
                chars.back() += c;
            }
            out.push_back(std::move(chars));
        }
        return out;
    }();
    return pieces;
}

std::vector<std::string> MakeNames() {
    std::mt19937 random(20240305);
    const auto& pieces = Pieces();
    const char* const extensions[] = {".jpg", ".JPG", ".txt", ".pdf", ".mp3", ".docx"};
    std::vector<std::string> names;
    names.reserve(kNames);
    for (std::size_t i = 0; i < kNames; ++i) {
        std::string name;
        const int runs = std::uniform_int_distribution(2, 5)(random);
        for (int r = 0; r < runs; ++r) {
            const auto& kind =
                pieces[std::uniform_int_distribution<std::size_t>(0, pieces.size() - 1)(random)];
            const int length = std::uniform_int_distribution(1, 6)(random);
            for (int k = 0; k < length; ++k) {
                name += kind[std::uniform_int_distribution<std::size_t>(0, kind.size() - 1)(random)];
            }
        }
        names.push_back(name + extensions[std::uniform_int_distribution(0, 5)(random)]);
    }
    return names;
}

void BM_Codec(benchmark::State& state) {
    const std::vector<std::string> names = MakeNames();
    for (const std::string& name : names) {
        const auto text = Cp932::FromUtf8(name);
        if (!text || Cp932::ToUtf8(*text) != name) {
            state.SkipWithError(("no round trip: " + name).c_str());
            return;
        }
    }
    for (auto _ : state) {
        for (const std::string& name : names) {
            auto text = Cp932::FromUtf8(name);
            auto back = Cp932::ToUtf8(*text);
            benchmark::DoNotOptimize(back);
        }
    }
    state.counters["names"] = static_cast<double>(names.size());
    state.counters["limit_ms"] = kLimitMs;
}
BENCHMARK(BM_Codec)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
