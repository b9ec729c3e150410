// Benchmarks of reading the chapters of a large file at a song change: a 2 GB M4B whose moov
// (with a chapter track) comes after the media data, a 2 GB MP3 whose ID3v2 tag with its
// chapters opens the file, and two 2 GB Matroska files of 1 MB clusters with their chapters at
// the end, one found through the SeekHead, one only by stepping over every cluster. The files are sparse, so they cost
// no disk. Each has a floor: the same file opened and its first and last 16 bytes read.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "import/file_chapters.h"
#include "import/file_source.h"
#include "import/recording_import.h"
#include "tests/import/byte_builders.h"

namespace {

namespace fs = std::filesystem;
using namespace tarnix::testing;

constexpr uint64_t kMediaBytes = uint64_t{2} << 30;
constexpr int kChapters = 60;

void WriteSparse(const std::string& path, const std::string& head, uint64_t gapEnd, const std::string& tail) {
  const int fd = open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
  const bool ok = fd >= 0 && write(fd, head.data(), head.size()) == static_cast<ssize_t>(head.size()) &&
                  ftruncate(fd, static_cast<off_t>(gapEnd)) == 0 &&
                  pwrite(fd, tail.data(), tail.size(), static_cast<off_t>(gapEnd)) == static_cast<ssize_t>(tail.size());
  if (fd >= 0) close(fd);
  if (!ok) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    std::exit(1);
  }
}

struct Files {
  std::string dir, m4b, mp3, mkaSeek, mkaWalk, mkaOpen;
  std::string mkaNoChapters, mkaNoSeekHead, mkaTagged, mkaBoth, mkaDamaged;
};

void WriteRecording(const std::string& path, const MkvLayout& layout) {
  const MkvRecording recording = BuildMkvRecording(layout);
  const int fd = open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
  bool ok = fd >= 0 && ftruncate(fd, static_cast<off_t>(recording.size)) == 0;
  for (const MkvPiece& piece : recording.pieces) {
    if (!ok || piece.at >= recording.size) continue;
    const size_t count = static_cast<size_t>(std::min<uint64_t>(piece.bytes.size(), recording.size - piece.at));
    ok = pwrite(fd, piece.bytes.data(), count, static_cast<off_t>(piece.at)) == static_cast<ssize_t>(count);
  }
  if (fd >= 0) close(fd);
  if (!ok) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    std::exit(1);
  }
}

// The read calls and bytes this process has taken from files so far, as the kernel counts them.
struct IoCount {
  double reads = 0, bytes = 0;
};
IoCount ProcessIo() {
  std::ifstream in("/proc/self/io");
  IoCount count;
  std::string key;
  double value = 0;
  while (in >> key >> value) {
    if (key == "syscr:") count.reads = value;
    if (key == "rchar:") count.bytes = value;
  }
  return count;
}

constexpr uint64_t kClusterBytes = uint64_t{1} << 20;

// A Matroska file of 1 MB clusters (their headers written, their blocks left as holes) and the
// chapters after them; the SeekHead at the start names them when `seekHead` is set.
// The worst a Matroska file can cost: one cluster of unknown size whose 32 KB blocks fill 2 GB,
// the chapters after it and no SeekHead: the reader steps over blocks until its count runs out.
void WriteOpenClusterMatroska(const std::string& path) {
  const uint64_t blockBytes = uint64_t{1} << 15;
  const std::string head = MkvFile(Ebml(0x1F43B675, "", true), true);
  const std::string blockHeader = Ebml(0xA3, "").substr(0, 2) + Be(blockBytes - 9, 7);
  const int fd = open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
  bool ok = fd >= 0 && write(fd, head.data(), head.size()) == static_cast<ssize_t>(head.size());
  for (uint64_t at = head.size(); ok && at + blockBytes <= kMediaBytes; at += blockBytes)
    ok = pwrite(fd, blockHeader.data(), blockHeader.size(), static_cast<off_t>(at)) ==
         static_cast<ssize_t>(blockHeader.size());
  const std::string chapters = MkvChapters(MkvEdition(MkvAtom(0, "Never reached")));
  ok = ok && pwrite(fd, chapters.data(), chapters.size(), static_cast<off_t>(kMediaBytes)) ==
                 static_cast<ssize_t>(chapters.size());
  if (fd >= 0) close(fd);
  if (!ok) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    std::exit(1);
  }
}

void WriteMatroska(const std::string& path, bool seekHead) {
  std::string atoms;
  for (int i = 0; i < kChapters; ++i)
    atoms += MkvAtom(uint64_t{60000000000} * i, "Chapter title number " + std::to_string(i + 1));
  const std::string chapters = MkvChapters(MkvEdition(atoms, true));
  const uint64_t clusterBody = kClusterBytes - 12;
  const uint64_t clusters = kMediaBytes / kClusterBytes;
  const std::string start = MkvSeekHead(0x1043A770, 0);  // the size a SeekHead takes
  const uint64_t chaptersAt = start.size() + clusters * kClusterBytes;
  const std::string head =
      seekHead ? MkvSeekHead(0x1043A770, chaptersAt) : Ebml(0xEC, std::string(start.size() - 9, '\0'));
  const std::string segmentHead =
      MkvFile("").substr(0, MkvFile("").size() - 7) + Be(chaptersAt + chapters.size(), 7);  // the segment's size
  const uint64_t body = segmentHead.size();
  const int fd = open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
  bool ok = fd >= 0 &&
            pwrite(fd, segmentHead.data(), segmentHead.size(), 0) == static_cast<ssize_t>(segmentHead.size()) &&
            pwrite(fd, head.data(), head.size(), static_cast<off_t>(body)) == static_cast<ssize_t>(head.size());
  const std::string clusterHeader = Ebml(0x1F43B675, "").substr(0, 5) + Be(clusterBody, 7);
  for (uint64_t i = 0; ok && i < clusters; ++i) {
    const off_t at = static_cast<off_t>(body + start.size() + i * kClusterBytes);
    ok = pwrite(fd, clusterHeader.data(), clusterHeader.size(), at) == static_cast<ssize_t>(clusterHeader.size());
  }
  ok = ok && pwrite(fd, chapters.data(), chapters.size(), static_cast<off_t>(body + chaptersAt)) ==
                 static_cast<ssize_t>(chapters.size());
  if (fd >= 0) close(fd);
  if (!ok) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    std::exit(1);
  }
}

const Files& Data() {
  static const Files files = [] {
    Files f;
    std::string templ = (fs::temp_directory_path() / "tarnix-import-bench-XXXXXX").string();
    if (!mkdtemp(&templ[0])) std::exit(1);
    f.dir = templ;
    f.m4b = f.dir + "/big.m4b";
    f.mp3 = f.dir + "/big.mp3";
    f.mkaSeek = f.dir + "/big.mka";
    f.mkaWalk = f.dir + "/walked.mka";
    WriteMatroska(f.mkaSeek, true);
    WriteMatroska(f.mkaWalk, false);
    f.mkaOpen = f.dir + "/open.mka";
    WriteOpenClusterMatroska(f.mkaOpen);
    constexpr uint64_t kRecordingClusters = 20000;  // 80 MB of 4 KB clusters
    f.mkaNoChapters = f.dir + "/no-chapters.mka";
    WriteRecording(f.mkaNoChapters, {kRecordingClusters});
    f.mkaNoSeekHead = f.dir + "/no-seekhead.mka";
    WriteRecording(f.mkaNoSeekHead, {kRecordingClusters, 4096, false});
    f.mkaTagged = f.dir + "/tagged.mka";
    WriteRecording(f.mkaTagged, {kRecordingClusters, 4096, true, true});
    f.mkaBoth = f.dir + "/chapters-and-tags.mka";
    WriteRecording(f.mkaBoth, {kRecordingClusters, 4096, true, true, true});
    f.mkaDamaged = f.dir + "/damaged.mka";
    WriteRecording(f.mkaDamaged, {kRecordingClusters, 4096, true, false, false, true});

    std::vector<Mp4Chapter> chapters;
    for (int i = 0; i < kChapters; ++i) chapters.push_back({60000, "Chapter title number " + std::to_string(i + 1)});
    // ftyp, then an mdat with a 64-bit size whose first bytes are the chapter samples, then moov.
    const std::string samples = Mp4TextSamples(chapters);
    const std::string ftyp = Box("ftyp", "M4B " + Be(0, 4) + "M4B isom");
    const uint64_t moovAt = ftyp.size() + kMediaBytes;
    const std::string head = ftyp + Be(1, 4) + "mdat" + Be(kMediaBytes, 8) + samples;
    WriteSparse(f.m4b, head, moovAt, Mp4ChapterMoov(chapters, ftyp.size() + 16));

    std::string frames;
    for (int i = 0; i < kChapters; ++i) {
      frames += Id3Frame("CHAP",
                         Id3Chap("ch" + std::to_string(i), 60000u * i,
                                 Id3Frame("TIT2", Id3Text(3, "Chapter title number " + std::to_string(i + 1)), 4)),
                         4);
    }
    WriteSparse(f.mp3, Id3Tag(4, 0, frames + std::string(4096, '\0')), kMediaBytes, "\xFF\xFB\x90\x00");
    return f;
  }();
  return files;
}

void ReadChapters(benchmark::State& state, const std::string& path) {
  for (auto _ : state) {
    tarnix::FileSource source(path.c_str());
    tarnix::ChapterSet set;
    if (!tarnix::ReadFileChapters(source, &set) || set.chapters.size() != kChapters) {
      state.SkipWithError("chapters not found");
      return;
    }
    benchmark::DoNotOptimize(set);
  }
}

// One reading of the chapters, with what it cost in read calls and bytes and the chapters it
// found as counters: the count of a reading that does nothing is taken off.
void CountedRead(benchmark::State& state, const std::string& path) {
  for (auto _ : state) {
    tarnix::FileSource source(path.c_str());
    tarnix::ChapterSet set;
    const IoCount before = ProcessIo();
    const IoCount nothing = ProcessIo();
    const IoCount start = ProcessIo();
    const bool found = tarnix::ReadFileChapters(source, &set);
    const IoCount end = ProcessIo();
    state.counters["reads"] = end.reads - start.reads - (nothing.reads - before.reads);
    state.counters["bytes"] = end.bytes - start.bytes - (nothing.bytes - before.bytes);
    state.counters["chapters"] = found ? static_cast<double>(set.chapters.size()) : 0;
  }
}

void ReadEnds(benchmark::State& state, const std::string& path) {
  for (auto _ : state) {
    tarnix::FileSource source(path.c_str());
    char bytes[16];
    if (!source.ReadAt(0, bytes, sizeof bytes) || !source.ReadAt(source.Size() - 16, bytes, sizeof bytes)) {
      state.SkipWithError("read failed");
      return;
    }
    benchmark::DoNotOptimize(bytes);
  }
}

// What a song change pays: the look for a cue sheet beside the file (the folder holds none),
// then the chapters inside, then the list made from them.
void ImportAtSongChange(benchmark::State& state, const std::string& path) {
  for (auto _ : state) {
    tarnix::TrackList list;
    if (!tarnix::ImportSubtracks(path.c_str(), "Big recording", &list) || list.tracks.front().Count() != kChapters) {
      state.SkipWithError("import failed");
      return;
    }
    benchmark::DoNotOptimize(list);
  }
}

void BM_M4bMoovAtEnd(benchmark::State& state) { ReadChapters(state, Data().m4b); }
void BM_M4bImportAtSongChange(benchmark::State& state) { ImportAtSongChange(state, Data().m4b); }
void BM_Mp3ImportAtSongChange(benchmark::State& state) { ImportAtSongChange(state, Data().mp3); }
void BM_MkaChaptersAtEndBySeekHead(benchmark::State& state) { ReadChapters(state, Data().mkaSeek); }
void BM_MkaChaptersAtEndUnnamed(benchmark::State& state) { CountedRead(state, Data().mkaWalk); }
void BM_MkaOpenClusterGivesUp(benchmark::State& state) {
  for (auto _ : state) {
    tarnix::FileSource source(Data().mkaOpen.c_str());
    tarnix::ChapterSet set;
    if (tarnix::ReadFileChapters(source, &set)) {
      state.SkipWithError("read past the bound");
      return;
    }
  }
}
void BM_MkaNoChapters(benchmark::State& state) { CountedRead(state, Data().mkaNoChapters); }
void BM_MkaNoChaptersNoSeekHead(benchmark::State& state) { CountedRead(state, Data().mkaNoSeekHead); }
void BM_MkaTaggedNoChapters(benchmark::State& state) { CountedRead(state, Data().mkaTagged); }
void BM_MkaChaptersAndTagsAtEnd(benchmark::State& state) { CountedRead(state, Data().mkaBoth); }
void BM_MkaDamaged(benchmark::State& state) { CountedRead(state, Data().mkaDamaged); }
void BM_MkaImportAtSongChange(benchmark::State& state) { ImportAtSongChange(state, Data().mkaSeek); }
void BM_MkaChaptersAtEndFloor(benchmark::State& state) { ReadEnds(state, Data().mkaSeek); }
void BM_M4bMoovAtEndFloor(benchmark::State& state) { ReadEnds(state, Data().m4b); }
void BM_Mp3TagAtStart(benchmark::State& state) { ReadChapters(state, Data().mp3); }
void BM_Mp3TagAtStartFloor(benchmark::State& state) { ReadEnds(state, Data().mp3); }

BENCHMARK(BM_M4bMoovAtEnd)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_M4bMoovAtEndFloor)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_M4bImportAtSongChange)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Mp3ImportAtSongChange)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Mp3TagAtStart)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MkaChaptersAtEndBySeekHead)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MkaChaptersAtEndUnnamed)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MkaOpenClusterGivesUp)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MkaNoChapters)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MkaNoChaptersNoSeekHead)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MkaTaggedNoChapters)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MkaChaptersAndTagsAtEnd)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MkaDamaged)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MkaImportAtSongChange)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MkaChaptersAtEndFloor)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Mp3TagAtStartFloor)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Data();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code ignored;
  fs::remove_all(Data().dir, ignored);
  return 0;
}
