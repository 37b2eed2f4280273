// Throughput of turning a notice file's bytes into the substituted notice:
// decoding, item reading, joining and semicolon substitution together.
#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

#include "notice.h"
#include "notice_from.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

enum class Encoding { kAscii, kCzechUtf8, kCzechWindows1250 };
enum class Shape { kShortItems, kLongLines };

std::vector<std::string> Words(Encoding encoding) {
  switch (encoding) {
    case Encoding::kAscii:
      return {"Notice", "for", "everyone", "in", "the", "office", "today"};
    case Encoding::kCzechUtf8:
      return {"Příliš", "žluťoučký", "kůň", "úpěl", "ďábelské", "ódy", "večer"};
    case Encoding::kCzechWindows1250:
      return {"P\xF8\xEDli\x9A",
              "\x9Elu\x9Dou\xE8k\xFD",
              "k\xF9\xF2",
              "\xFAp\xECl",
              "\xEF\xE1"
              "belsk\xE9",
              "\xF3"
              "dy",
              "ve\xE8"
              "er"};
  }
  return {};
}

// One repeating unit of the file: a line of five items, or one long line.
std::string Unit(Encoding encoding, Shape shape, bool semicolons) {
  const std::vector<std::string> words = Words(encoding);
  const int count = shape == Shape::kShortItems ? 5 : 400;
  const char* separator = shape == Shape::kShortItems ? "," : " ";
  std::string unit;
  for (int i = 0; i < count; ++i) {
    if (i > 0) unit += separator;
    unit += words[i % words.size()];
    if (semicolons) unit += ';';
  }
  return unit + "\r\n";
}

const std::string& File(Encoding encoding, Shape shape, bool semicolons, std::size_t size) {
  static std::map<std::tuple<Encoding, Shape, bool, std::size_t>, std::string> cache;
  std::string& file = cache[{encoding, shape, semicolons, size}];
  if (file.empty()) {
    const std::string unit = Unit(encoding, shape, semicolons);
    while (file.size() + unit.size() <= size) file += unit;
  }
  return file;
}

void NoticeThroughput(benchmark::State& state, Encoding encoding, Shape shape, bool semicolons,
                      std::size_t size) {
  const std::string& file = File(encoding, shape, semicolons, size);
  for (auto _ : state) {
    zprava::NoticeText notice = zprava::ReplaceSemicolons(zprava::NoticeFromBytes(file));
    benchmark::DoNotOptimize(notice.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}

void RegisterAll() {
  const std::pair<Encoding, const char*> encodings[] = {{Encoding::kAscii, "ascii"},
                                                        {Encoding::kCzechUtf8, "czech-utf8"},
                                                        {Encoding::kCzechWindows1250, "cp1250"}};
  const std::pair<Shape, const char*> shapes[] = {{Shape::kShortItems, "short-items"},
                                                  {Shape::kLongLines, "long-lines"}};
  const std::pair<std::size_t, const char*> sizes[] = {{1 << 20, "1MiB"}, {64 << 20, "64MiB"}};
  for (const auto& [encoding, encoding_name] : encodings) {
    for (const auto& [shape, shape_name] : shapes) {
      for (const bool semicolons : {true, false}) {
        for (const auto& [size, size_name] : sizes) {
          const std::string name = std::string("notice/") + encoding_name + "/" + shape_name +
                                   (semicolons ? "/dense-semicolons/" : "/no-semicolons/") +
                                   size_name;
          benchmark::RegisterBenchmark(name.c_str(), NoticeThroughput, encoding, shape, semicolons,
                                       size)
              ->Unit(benchmark::kMillisecond)
              ->UseRealTime();
        }
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
#if defined(__GLIBC__)
  // The program builds one notice per run, in memory fresh from the system.
  // Left to itself, glibc would serve the 1 MiB case's storage from its heap,
  // warm and in cache, after the first iteration, while storage of 64 MiB
  // always comes fresh: every size gets fresh pages, as a launch does.
  mallopt(M_MMAP_THRESHOLD, 256 << 10);
#endif
  RegisterAll();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
