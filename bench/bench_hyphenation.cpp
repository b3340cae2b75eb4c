// Syllable splitting throughput over Debian's Italian word list (/usr/share/dict/italian,
// package witalian): words per second for the Italian rules and the other-language
// rules, and for libhyphen with the Italian patterns of hyphen-it on the same words,
// so the ratio shows. Each iteration splits every word of the list once.

#include <benchmark/benchmark.h>
#include <hyphen.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "lyrics/hyphenation_italian.h"
#include "lyrics/hyphenation_other.h"
#include "lyrics/import.h"
#include "lyrics/text_file.h"
#include "util/file_io.h"

namespace {

using namespace lirovox::lyrics;

constexpr const char* kWordList = "/usr/share/dict/italian";
constexpr const char* kPatternFiles[] = {"/usr/share/hyphen/hyph_it_IT.dic",
                                         "/usr/share/hyphen/hyph_it.dic"};

struct WordList {
    std::string utf8Text;              // the file as it stands (libhyphen reads UTF-8)
    std::vector<std::string> utf8;     // its words
    std::vector<std::string> latin1;   // the same words as the lyric reader gives them
    std::string notepad;               // one word per line, CR LF, Latin-1
};

const WordList* Words() {
    static const WordList* words = [] {
        auto* w = new WordList;
        try {
            w->utf8Text = lirovox::ReadWholeFile(kWordList);
        } catch (const std::exception&) {
            return static_cast<WordList*>(nullptr);
        }
        w->utf8 = SplitFileLines(w->utf8Text);
        for (const std::string& word : w->utf8) w->latin1.push_back(DecodeLyricBytes(word));
        w->notepad = NotepadFromFileBytes(w->utf8Text, true);
        return w;
    }();
    return words;
}

HyphenDict* ItalianPatterns() {
    static HyphenDict* dict = [] {
        for (const char* path : kPatternFiles) {
            if (HyphenDict* d = hnj_hyphen_load(path)) return d;
        }
        return static_cast<HyphenDict*>(nullptr);
    }();
    return dict;
}

void Finish(benchmark::State& state, size_t wordsPerIteration) {
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(wordsPerIteration));
    state.counters["words"] = static_cast<double>(wordsPerIteration);
}

// The Italian rules on each word: pattern, windows, tail, accents, repairs.
void BM_ItalianRules(benchmark::State& state) {
    const WordList* words = Words();
    if (!words) return state.SkipWithError("no /usr/share/dict/italian (package witalian)");
    std::string hyphenWord;
    hyphenWord.reserve(128);
    for (auto _ : state) {
        for (const std::string& word : words->latin1) {
            HyphenateItalian(word, hyphenWord);
            benchmark::DoNotOptimize(hyphenWord.data());
        }
    }
    Finish(state, words->latin1.size());
}
BENCHMARK(BM_ItalianRules)->Unit(benchmark::kMillisecond);

// The other-language rules on each word: short words whole, long words by windows.
void BM_OtherRules(benchmark::State& state) {
    const WordList* words = Words();
    if (!words) return state.SkipWithError("no /usr/share/dict/italian (package witalian)");
    std::vector<std::string> list;
    for (auto _ : state) {
        for (const std::string& word : words->latin1) {
            list.clear();
            AppendOtherEntries(word, list);
            benchmark::DoNotOptimize(list.data());
        }
    }
    Finish(state, words->latin1.size());
}
BENCHMARK(BM_OtherRules)->Unit(benchmark::kMillisecond);

// The whole import of a notepad text holding the list, one word per line: pieces,
// words, separators and the syllable list with its line marks.
void BM_ImportTXTItalian(benchmark::State& state) {
    const WordList* words = Words();
    if (!words) return state.SkipWithError("no /usr/share/dict/italian (package witalian)");
    for (auto _ : state) {
        SyllableImport result = ImportTXT(words->notepad);
        benchmark::DoNotOptimize(result.List1.data());
    }
    Finish(state, words->latin1.size());
}
BENCHMARK(BM_ImportTXTItalian)->Unit(benchmark::kMillisecond);

void BM_ImportTXTOther(benchmark::State& state) {
    const WordList* words = Words();
    if (!words) return state.SkipWithError("no /usr/share/dict/italian (package witalian)");
    for (auto _ : state) {
        SyllableImport result = OtherLanguage(words->notepad);
        benchmark::DoNotOptimize(result.List1.data());
    }
    Finish(state, words->latin1.size());
}
BENCHMARK(BM_ImportTXTOther)->Unit(benchmark::kMillisecond);

// libhyphen with hyphen-it's patterns on the same words (UTF-8, as its patterns are),
// producing the hyphen points and the hyphenated word.
void BM_LibhyphenItalian(benchmark::State& state) {
    const WordList* words = Words();
    if (!words) return state.SkipWithError("no /usr/share/dict/italian (package witalian)");
    HyphenDict* dict = ItalianPatterns();
    if (!dict) return state.SkipWithError("no Italian patterns in /usr/share/hyphen (hyphen-it)");
    std::vector<char> hyphens(256);
    std::vector<char> hyphenated(512);
    for (auto _ : state) {
        for (const std::string& word : words->utf8) {
            int size = static_cast<int>(word.size());
            if (static_cast<size_t>(size) + 5 > hyphens.size()) {
                hyphens.resize(static_cast<size_t>(size) + 5);
                hyphenated.resize(static_cast<size_t>(size) * 2 + 1);
            }
            char** rep = nullptr;
            int* pos = nullptr;
            int* cut = nullptr;
            hnj_hyphen_hyphenate2(dict, word.data(), size, hyphens.data(), hyphenated.data(),
                                  &rep, &pos, &cut);
            if (rep) {
                for (int i = 0; i < size; ++i) std::free(rep[i]);
                std::free(rep);
                std::free(pos);
                std::free(cut);
            }
            benchmark::DoNotOptimize(hyphenated.data());
        }
    }
    Finish(state, words->utf8.size());
}
BENCHMARK(BM_LibhyphenItalian)->Unit(benchmark::kMillisecond);

}  // namespace
