// Benchmarks of Load (also of lists in UTF-8 and with code-page names to convert), Save, Search,
// ComputeDiscId and the line reader. Each has a floor: the
// same bytes read (or written) with plain fgets/fread/fwrite in the same run; the indexed
// search's floor is merely listing the directory. The look-up by content identity among 20,000
// lists: the song change for a moved file (its identity read, the index asked, its list loaded)
// against listing the directory, and building the index of lists with identities against
// building it, as before, of the same lists without them. The program ends
// by printing each benchmark's time as a ratio to its floor.

#include <benchmark/benchmark.h>
#include <dirent.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "bench/ratio_reporter.h"
#include "tests/support/cda_bytes.h"
#include "tracklist/cd_identity.h"
#include "tracklist/content_identity.h"
#include "tracklist/dir_index.h"
#include "tracklist/platform.h"
#include "tracklist/text_string.h"
#include "tracklist/track_list.h"

namespace {

namespace fs = std::filesystem;
using tarnix::TextString;

constexpr int kListLines = 100000;
constexpr int kSearchFiles = 5000;
constexpr int kCdaFiles = 99;
constexpr size_t kLongLine = 5 * 1024 * 1024;
constexpr int kIdentityLists = 20000;
constexpr size_t kRecordingBytes = 5 * 1024 * 1024;

void WriteFile(const std::string& path, const std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    std::exit(1);
  }
}

std::string SmallList(int i, const char* name) {
  char buf[256];
  std::snprintf(buf, sizeof buf,
                "[Album ] Album %d\r\n[Artist] Artist %d\r\n01:00:00:00*%s\r\n01:02:15:40 Part two\r\n"
                "01:05:00:00 Part three\r\n02:00:00:00*Other %d\r\n",
                i, i, name, i);
  return buf;
}

// Every input, made once in a fresh temporary directory and removed at exit.
struct Fixture {
  std::string root, list_path, save_path, search_dir, cda_dir, line_path;
  std::string utf8_list_path, code_page_list_path;  // the same list with names beyond ASCII
  std::vector<std::string> search_order;            // the files in the order the seam lists them
  std::vector<std::string> cda_names;
  // 20,000 lists naming their recordings, and the same lists as earlier versions wrote them; the
  // recording of the last one, moved to where no list's name leads.
  std::string identity_dir, plain_dir, moved_recording;

  Fixture() {
    root = (fs::temp_directory_path() / ("tarnix-bench-" + std::to_string(getpid()))).string();
    fs::create_directories(root);
    list_path = root + "/list.trk";
    save_path = root + "/saved.trk";
    WriteFile(list_path, BigList("", "Subtrack number %d of this track"));
    // UTF-8 after the mark (Japanese, Greek), and Windows-1252 bytes ("St\xFCck", "caf\xE9").
    utf8_list_path = root + "/utf8.trk";
    WriteFile(utf8_list_path,
              BigList("\xEF\xBB\xBF", "\xE6\x84\x9B\xE3\x81\xAE\xE6\xAD\x8C %d \xCE\xA9mega \xE2\x86\x92 this track"));
    code_page_list_path = root + "/ansi.trk";
    WriteFile(code_page_list_path, BigList("",
                                           "St\xFC"
                                           "ck %d of this caf\xE9 track"));

    // Search: 5000 lists that match nothing, then make the one the directory lists last the match.
    search_dir = root + "/search";
    fs::create_directories(search_dir);
    for (int i = 0; i < kSearchFiles; ++i) {
      WriteFile(search_dir + "/list" + std::to_string(i) + ".trk", SmallList(i, "No match here"));
    }
    tarnix::platform::EnumerateFiles((search_dir + "\\*.trk").c_str(), [&](const TextString& name) {
      search_order.push_back(name.c_str());
      return true;
    });
    WriteFile(search_dir + "/" + search_order.back(), SmallList(-1, "The Wanted Song"));
    // Lists written long ago, as in a bookmark directory kept for years: times the index trusts.
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(24);
    for (const std::string& name : search_order) fs::last_write_time(search_dir + "/" + name, old);

    cda_dir = root + "/cd";
    fs::create_directories(cda_dir);
    for (int i = 0; i < kCdaFiles; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "Track%02d.cda", i + 1);
      cda_names.push_back(name);
      WriteFile(cda_dir + "/" + name, tarnix::testsupport::CdaHeaderBytes(i + 1, 0x1234ABCD, i * 15000, 15000));
    }

    identity_dir = root + "/identities";
    plain_dir = root + "/plain";
    fs::create_directories(identity_dir);
    fs::create_directories(plain_dir);
    moved_recording = root + "/Renamed Song.flac";
    std::string recording(kRecordingBytes, '\0');
    for (size_t i = 0; i < recording.size(); ++i) recording[i] = static_cast<char>((i * 2654435761u) >> 13);
    WriteFile(moved_recording, recording);
    const tarnix::ContentIdentity moved = tarnix::ReadContentIdentity(moved_recording.c_str());
    for (int i = 0; i < kIdentityLists; ++i) {
      tarnix::ContentIdentity identity = moved;
      if (i + 1 < kIdentityLists) {
        identity.size = 3000000 + static_cast<uint64_t>(i) * 977;
        identity.low ^= static_cast<uint64_t>(i) * 0x9E3779B97F4A7C15ull;
      }
      const std::string list = SmallList(i, "No match here");
      const std::string name = "/list" + std::to_string(i) + ".trk";
      WriteFile(plain_dir + name, list);
      WriteFile(identity_dir + name, "[File  ] " + tarnix::FormatContentIdentity(identity) + " D:\\Music\\Song " +
                                         std::to_string(i) + ".flac\r\n" + list);
    }
    for (const std::string& dir : {identity_dir, plain_dir}) {
      for (const auto& file : fs::directory_iterator(dir)) fs::last_write_time(file.path(), old);
    }

    line_path = root + "/line.txt";
    WriteFile(line_path, std::string(kLongLine, 'l') + "\r\n");
  }
  static std::string BigList(const char* mark, const char* nameFormat) {
    std::string list = std::string(mark) + "[CD key] 12345\r\n[CDDBID] 1203C002\r\n[Album ] Big\r\n[Artist] Many\r\n";
    char line[160], name[128];
    for (int i = 0; i < kListLines; ++i) {
      const int track = i / 1000 % 99 + 1;
      const int sub = i % 1000;
      std::snprintf(name, sizeof name, nameFormat, sub);
      std::snprintf(line, sizeof line, "%02d:%02d:%02d:%02d%c%s\r\n", track, sub / 60 % 100, sub % 60, sub % 75,
                    sub == 0 ? '*' : ' ', name);
      list += line;
    }
    return list;
  }
  ~Fixture() {
    std::error_code ec;
    fs::remove_all(root, ec);
  }
};

Fixture& Data() {
  static Fixture fixture;
  return fixture;
}

// Floor of every reader: fgets over the whole file into a fixed buffer.
size_t FgetsAll(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return 0;
  char buf[4096];
  size_t n = 0;
  while (std::fgets(buf, sizeof buf, f)) n += std::strlen(buf);
  std::fclose(f);
  return n;
}

void LoadLoop(benchmark::State& state, const std::string& file) {
  const TextString path = file.c_str();
  for (auto _ : state) {
    auto* list = new tarnix::TrackList;
    if (!list->Load(path, "", 0, 0, true)) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(list->tracks.data());
    // Freeing the previous list is not part of reading this one.
    state.PauseTiming();
    delete list;
    state.ResumeTiming();
  }
}
void BM_Load(benchmark::State& state) { LoadLoop(state, Data().list_path); }
void BM_LoadFloor(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(FgetsAll(Data().list_path));
}
void BM_LoadUtf8(benchmark::State& state) { LoadLoop(state, Data().utf8_list_path); }
void BM_LoadUtf8Floor(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(FgetsAll(Data().utf8_list_path));
}
void BM_LoadCodePage(benchmark::State& state) { LoadLoop(state, Data().code_page_list_path); }
void BM_LoadCodePageFloor(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(FgetsAll(Data().code_page_list_path));
}

void BM_Save(benchmark::State& state) {
  tarnix::TrackList list;
  list.Load(Data().list_path.c_str(), "", 0, 0, true);
  const TextString out = Data().save_path.c_str();
  for (auto _ : state) {
    if (!list.Save(out)) state.SkipWithError("save failed");
  }
}
void BM_SaveFloor(benchmark::State& state) {
  std::string bytes;
  {
    std::FILE* f = std::fopen(Data().list_path.c_str(), "rb");
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
    std::fclose(f);
  }
  const std::string out = Data().save_path + ".floor";
  for (auto _ : state) {
    std::FILE* f = std::fopen(out.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
}

void BM_Search(benchmark::State& state) {
  const TextString pattern = (Data().search_dir + "\\*.trk").c_str();
  tarnix::TrackList list;
  for (auto _ : state) {
    if (!list.Search(pattern, "Someone - The Wanted Song", 0, 0)) state.SkipWithError("search failed");
  }
}
void BM_SearchFloor(benchmark::State& state) {
  for (auto _ : state) {
    DIR* d = opendir(Data().search_dir.c_str());
    size_t n = 0;
    while (dirent* e = readdir(d)) {
      if (e->d_name[0] == '.') continue;
      n += FgetsAll(Data().search_dir + "/" + e->d_name);
    }
    closedir(d);
    benchmark::DoNotOptimize(n);
  }
}

// The directory index: a song change after the first (nothing changed since the last search),
// and the first after a restart (the index read back from its bytes, then the search). Their
// floor is merely listing the directory, with sizes and times.
void BM_SearchIndexed(benchmark::State& state) {
  const TextString pattern = (Data().search_dir + "\\*.trk").c_str();
  tarnix::TrackList list;
  tarnix::DirectoryIndex index;
  index.Search(list, pattern, "Someone - The Wanted Song", 0, 0);
  for (auto _ : state) {
    if (!index.Search(list, pattern, "Someone - The Wanted Song", 0, 0)) state.SkipWithError("search failed");
  }
  state.counters["bytes_per_list"] = static_cast<double>(index.MemoryBytes()) / static_cast<double>(index.Count());
  state.counters["read"] = index.LastSearch().read;
}
void BM_SearchIndexedRestart(benchmark::State& state) {
  const TextString pattern = (Data().search_dir + "\\*.trk").c_str();
  tarnix::TrackList list;
  tarnix::DirectoryIndex built;
  built.Search(list, pattern, "Someone - The Wanted Song", 0, 0);
  const std::string bytes = built.Serialize();
  for (auto _ : state) {
    tarnix::DirectoryIndex index;
    index.Parse(bytes, pattern);
    if (!index.Search(list, pattern, "Someone - The Wanted Song", 0, 0)) state.SkipWithError("search failed");
    state.PauseTiming();
    index.Clear();  // freeing it is not part of the song change
    state.ResumeTiming();
  }
  state.counters["file_bytes_per_list"] = static_cast<double>(bytes.size()) / kSearchFiles;
}
// The floor of a look-up: a bare listing of the folder, as the index's own check makes.
void ListFolder(benchmark::State& state, const std::string& dir) {
  const TextString pattern = (dir + "\\*.trk").c_str();
  for (auto _ : state) {
    int64_t sum = 0;
    tarnix::platform::EnumerateListedFiles(pattern, [&](const tarnix::platform::ListedFile& f) {
      sum += f.size;
      return true;
    });
    benchmark::DoNotOptimize(sum);
  }
}
void BM_SearchIndexedFloor(benchmark::State& state) { ListFolder(state, Data().search_dir); }
void BM_SearchIndexedRestartFloor(benchmark::State& state) { BM_SearchIndexedFloor(state); }

// Building the index from nothing: every list read. Today's, of lists without identities, is the
// floor of the build with them, which also fills the map by identity.
void BM_IndexBuildIdentities(benchmark::State& state) {
  const TextString pattern = (Data().identity_dir + "\\*.trk").c_str();
  tarnix::ContentIdentity absent;
  absent.size = 1;
  for (auto _ : state) {
    tarnix::TrackList list;
    tarnix::DirectoryIndex index;
    if (index.FindByIdentity(list, pattern, absent)) state.SkipWithError("found a list for no recording");
    if (index.LastSearch().read != kIdentityLists) state.SkipWithError("not every list read");
    state.PauseTiming();
    index.Clear();
    state.ResumeTiming();
  }
}
void BM_IndexBuildIdentitiesFloor(benchmark::State& state) {
  const TextString pattern = (Data().plain_dir + "\\*.trk").c_str();
  for (auto _ : state) {
    tarnix::TrackList list;
    tarnix::DirectoryIndex index;
    if (index.Search(list, pattern, "No such title anywhere", 0, 0)) state.SkipWithError("found a list");
    if (index.LastSearch().read != kIdentityLists) state.SkipWithError("not every list read");
    state.PauseTiming();
    index.Clear();
    state.ResumeTiming();
  }
}

// The song change for a moved recording once no list is found by its path: its identity read,
// the index (built before) asked, the list loaded. After a restart, the index first read back
// from its bytes. The floor is merely listing the directory.
void FindMoved(benchmark::State& state, bool restart) {
  const TextString pattern = (Data().identity_dir + "\\*.trk").c_str();
  const TextString recording = Data().moved_recording.c_str();
  tarnix::DirectoryIndex index;
  tarnix::TrackList list;
  index.FindByIdentity(list, pattern, tarnix::ReadContentIdentity(recording));
  const std::string bytes = index.Serialize();
  const tarnix::IdentityReadCounts before = tarnix::IdentityReads();
  for (auto _ : state) {
    if (restart) index.Parse(bytes, pattern);
    const tarnix::ContentIdentity identity = tarnix::ReadContentIdentity(recording);
    if (!index.FindByIdentity(list, pattern, identity) || index.LastSearch().read != 0) {
      state.SkipWithError("moved recording's list not found from the index");
    }
  }
  const tarnix::IdentityReadCounts after = tarnix::IdentityReads();
  const double n = static_cast<double>(state.iterations());
  state.counters["media_bytes_read"] = static_cast<double>(after.bytes - before.bytes) / n;
  state.counters["media_opens"] = static_cast<double>(after.opens - before.opens) / n;
  state.counters["index_bytes_per_list"] = static_cast<double>(index.MemoryBytes()) / kIdentityLists;
  state.counters["file_bytes_per_list"] = static_cast<double>(bytes.size()) / kIdentityLists;
}
void BM_FindMoved(benchmark::State& state) { FindMoved(state, false); }
void BM_FindMovedRestart(benchmark::State& state) { FindMoved(state, true); }
void BM_FindMovedFloor(benchmark::State& state) { ListFolder(state, Data().identity_dir); }
void BM_FindMovedRestartFloor(benchmark::State& state) { BM_FindMovedFloor(state); }

// One recording's identity; the floor reads the same two 64 KB blocks with plain fread.
void BM_ReadContentIdentity(benchmark::State& state) {
  const TextString recording = Data().moved_recording.c_str();
  const tarnix::IdentityReadCounts before = tarnix::IdentityReads();
  for (auto _ : state) {
    if (tarnix::ReadContentIdentity(recording).IsEmpty()) state.SkipWithError("no identity");
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["bytes_read"] = static_cast<double>(tarnix::IdentityReads().bytes - before.bytes) / n;
  state.counters["opens"] = static_cast<double>(tarnix::IdentityReads().opens - before.opens) / n;
}
void BM_ReadContentIdentityFloor(benchmark::State& state) {
  std::vector<char> block(tarnix::ContentIdentity::kBlockBytes);
  for (auto _ : state) {
    std::FILE* f = std::fopen(Data().moved_recording.c_str(), "rb");
    std::setvbuf(f, nullptr, _IONBF, 0);
    size_t n = std::fread(block.data(), 1, block.size(), f);
    std::fseek(f, -static_cast<long>(block.size()), SEEK_END);
    n += std::fread(block.data(), 1, block.size(), f);
    std::fclose(f);
    benchmark::DoNotOptimize(n);
  }
}

void BM_ComputeDiscId(benchmark::State& state) {
  const TextString path = (Data().cda_dir + "\\Track01.cda").c_str();
  for (auto _ : state) {
    int count = 0;
    benchmark::DoNotOptimize(tarnix::ComputeDiscId(path, &count));
    if (count != kCdaFiles) state.SkipWithError("wrong track count");
  }
}
void BM_ComputeDiscIdFloor(benchmark::State& state) {
  for (auto _ : state) {
    DIR* d = opendir(Data().cda_dir.c_str());
    unsigned sum = 0;
    while (dirent* e = readdir(d)) {
      if (e->d_name[0] == '.') continue;
      std::FILE* f = std::fopen((Data().cda_dir + "/" + e->d_name).c_str(), "rb");
      unsigned char header[44];
      if (f) {
        sum += static_cast<unsigned>(std::fread(header, 1, sizeof header, f));
        std::fclose(f);
      }
    }
    closedir(d);
    benchmark::DoNotOptimize(sum);
  }
}

void BM_ReadLine5MB(benchmark::State& state) {
  for (auto _ : state) {
    std::FILE* f = std::fopen(Data().line_path.c_str(), "rb");
    TextString line;
    const bool read = line.ReadLine(f);
    std::fclose(f);
    if (!read || line.Length() != static_cast<int>(kLongLine)) state.SkipWithError("short line");
  }
}
void BM_ReadLine5MBFloor(benchmark::State& state) {
  std::vector<char> buf(kLongLine + 16);
  for (auto _ : state) {
    std::FILE* f = std::fopen(Data().line_path.c_str(), "rb");
    benchmark::DoNotOptimize(std::fread(buf.data(), 1, buf.size(), f));
    std::fclose(f);
  }
}

BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadUtf8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadUtf8Floor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadCodePage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadCodePageFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Search)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchIndexed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchIndexedFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchIndexedRestart)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchIndexedRestartFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IndexBuildIdentities)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_IndexBuildIdentitiesFloor)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_FindMoved)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindMovedFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindMovedRestart)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindMovedRestartFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadContentIdentity)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadContentIdentityFloor)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ComputeDiscId)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ComputeDiscIdFloor)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadLine5MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadLine5MBFloor)->Unit(benchmark::kMillisecond);

// Console output as usual, plus the time per iteration of every run for the ratio table.

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Data();
  tarnix::bench::RatioReporter reporter(false);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
