// Benchmarks of writing chapters into a 1 GB recording, the new file going to disk beside it as
// the plug-in writes it: an MP4 whose movie box comes before the media (so every chunk offset
// moves) and one whose movie box comes after it, and a 100 MB MP3 whose tag must grow. The floor
// copies the same file with plain read and write calls in the same piece size. The whole save of
// the 1 GB MP4 (written, forced onto the disk, read back, put in place) is timed against a copy
// forced onto the disk. The recordings are sparse, so they cost no disk;
// the copies are real files, removed after each run.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "bench/ratio_reporter.h"
#include "import/chapter_embedding.h"
#include "import/file_source.h"
#include "import/id3v2_chapter_writer.h"
#include "import/mp4_chapter_writer.h"
#include "import/recording_chapters.h"
#include "import/recording_rewrite.h"
#include "tests/import/byte_builders.h"

namespace {

namespace fs = std::filesystem;
using namespace tarnix::testing;

constexpr uint64_t kMediaBytes = uint64_t{1} << 30;
constexpr uint64_t kChunkBytes = uint64_t{1} << 17;  // 8192 chunks in the media

// A file on disk written with plain write calls; closed by its owner.
class FdSink : public tarnix::ByteSink {
 public:
  explicit FdSink(const std::string& path) : fd_(open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600)) {}
  ~FdSink() override {
    if (fd_ >= 0) close(fd_);
  }
  FdSink(const FdSink&) = delete;
  FdSink& operator=(const FdSink&) = delete;
  bool Write(const void* bytes, size_t count) override {
    const char* p = static_cast<const char*>(bytes);
    while (fd_ >= 0 && count > 0) {
      const ssize_t done = write(fd_, p, count);
      if (done <= 0) return false;
      p += done;
      count -= static_cast<size_t>(done);
    }
    return fd_ >= 0;
  }
  bool Sync() { return fd_ >= 0 && fsync(fd_) == 0; }

 private:
  int fd_;
};

// ftyp, a movie box with one audio track whose chunks fill the media, and the media: before or
// after the movie box.
std::string Movie(uint64_t mediaAt) {
  std::string stco = Be(kMediaBytes / kChunkBytes, 4);
  for (uint64_t at = 0; at < kMediaBytes; at += kChunkBytes) stco += Be(mediaAt + at, 4);
  const std::string stbl = Box("stbl", FullBox("stco", stco));
  return Box("moov",
             FullBox("mvhd", Be(0, 8) + Be(1000, 4) + Be(3600000, 4) + Be(0, 80)) +
                 Box("trak", FullBox("tkhd", Be(0, 8) + Be(1, 4) + Be(0, 8)) +
                                 Box("mdia", FullBox("hdlr", Be(0, 4) + "soun" + Be(0, 12)) + Box("minf", stbl))));
}

void WriteSparse(const std::string& path, bool movieFirst) {
  const std::string ftyp = Box("ftyp", "M4B " + Be(0, 4) + "M4B isom");
  const std::string mdatHeader = Be(kMediaBytes + 8, 4) + "mdat";
  const uint64_t movieSize = Movie(0).size();
  const int fd = open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
  bool ok = fd >= 0;
  auto put = [&](const std::string& bytes, uint64_t at) {
    ok = ok && pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(at)) == static_cast<ssize_t>(bytes.size());
  };
  put(ftyp, 0);
  if (movieFirst) {
    put(Movie(ftyp.size() + movieSize + 8), ftyp.size());
    put(mdatHeader, ftyp.size() + movieSize);
    ok = ok && ftruncate(fd, static_cast<off_t>(ftyp.size() + movieSize + 8 + kMediaBytes)) == 0;
  } else {
    put(mdatHeader, ftyp.size());
    put(Movie(ftyp.size() + 8), ftyp.size() + 8 + kMediaBytes);
  }
  if (fd >= 0) close(fd);
  if (!ok) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    std::exit(1);
  }
}

constexpr uint64_t kMp3Bytes = uint64_t{100} << 20;

// A small ID3v2.3 tag without padding, two MPEG-1 layer III frames (128 kbit/s, 44.1 kHz) that
// mark the audio, and zeros up to 100 MB.
void WriteSparseMp3(const std::string& path) {
  const std::string frame = Be(0xFFFB9064u, 4) + std::string(413, '\0');
  const std::string body = "TIT2" + Be(6, 4) + std::string(2, '\0') + std::string("\0Book\0", 6);
  const std::string tag = std::string("ID3\3\0\0", 6) + Be(body.size(), 4) + body;
  const int fd = open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
  const std::string head = tag + frame + frame;
  bool ok = fd >= 0 && write(fd, head.data(), head.size()) == static_cast<ssize_t>(head.size()) &&
            ftruncate(fd, static_cast<off_t>(kMp3Bytes)) == 0;
  if (fd >= 0) close(fd);
  if (!ok) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    std::exit(1);
  }
}

// What an earlier benchmark left to be written out would slow the next one's writes: each
// starts with the disk caught up.
void SettleDisk() { sync(); }

void ReadThrough(const std::string& path) {
  std::vector<char> piece(tarnix::kCopyPieceBytes);
  const int in = open(path.c_str(), O_RDONLY);
  while (in >= 0 && read(in, piece.data(), piece.size()) > 0) {}
  if (in >= 0) close(in);
}

struct Files {
  std::string dir, movieFirst, movieLast, mp3, saved, out;
};

const Files& Data() {
  static const Files files = [] {
    Files f;
    std::string templ = (fs::temp_directory_path() / "tarnix-embed-bench-XXXXXX").string();
    if (!mkdtemp(&templ[0])) std::exit(1);
    f.dir = templ;
    f.movieFirst = f.dir + "/movie-first.m4b";
    f.movieLast = f.dir + "/movie-last.m4b";
    f.mp3 = f.dir + "/book.mp3";
    f.saved = f.dir + "/saved.m4b";
    f.out = f.dir + "/written.m4b";
    WriteSparse(f.movieFirst, true);
    WriteSparse(f.movieLast, false);
    WriteSparse(f.saved, true);
    WriteSparseMp3(f.mp3);
    // The first read of a sparse file fills the page cache with its zeros, seconds for 1 GB:
    // read once here, so that it is not charged to whichever benchmark comes first.
    for (const std::string* path : {&f.movieFirst, &f.movieLast, &f.mp3, &f.saved}) ReadThrough(*path);
    return f;
  }();
  return files;
}

tarnix::ChaptersToEmbed Chapters() {
  tarnix::ChaptersToEmbed list;
  for (int i = 0; i < 60; ++i) list.chapters.push_back({i * 60000, "Chapter title number " + std::to_string(i + 1)});
  return list;
}

using Writer = tarnix::EmbedResult (*)(tarnix::ByteSource&, const tarnix::ChaptersToEmbed&, tarnix::ByteSink&);

void WriteChapters(benchmark::State& state, const std::string& path, Writer writer = tarnix::WriteMp4Chapters) {
  const tarnix::ChaptersToEmbed list = Chapters();
  SettleDisk();
  for (auto _ : state) {
    tarnix::FileSource source(path.c_str());
    FdSink sink(Data().out);
    if (writer(source, list, sink).status != tarnix::EmbedStatus::kWritten) {
      state.SkipWithError("not written");
      return;
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fs::file_size(path)));
  unlink(Data().out.c_str());
}

// The whole save as the plug-in makes it; the file saved into is the one saved next time.
void SaveChapters(benchmark::State& state) {
  const tarnix::ChaptersToEmbed list = Chapters();
  SettleDisk();
  for (auto _ : state) {
    const tarnix::RewriteResult result =
        tarnix::RewriteRecording(tarnix::TextString(Data().saved.c_str()), list, tarnix::WriteRecordingChapters);
    if (result.outcome != tarnix::RewriteOutcome::kReplaced) {
      state.SkipWithError(result.reason.c_str());
      return;
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kMediaBytes));
}

void CopyFile(benchmark::State& state, const std::string& path, bool toDisk = false) {
  std::vector<char> piece(tarnix::kCopyPieceBytes);
  SettleDisk();
  for (auto _ : state) {
    const int in = open(path.c_str(), O_RDONLY);
    FdSink sink(Data().out);
    bool ok = in >= 0;
    for (ssize_t got; ok && (got = read(in, piece.data(), piece.size())) > 0;) {
      ok = sink.Write(piece.data(), static_cast<size_t>(got));
    }
    if (in >= 0) close(in);
    if (toDisk) ok = ok && sink.Sync();
    if (!ok) {
      state.SkipWithError("copy failed");
      return;
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fs::file_size(path)));
  unlink(Data().out.c_str());
}

void BM_Mp4MovieFirst(benchmark::State& state) { WriteChapters(state, Data().movieFirst); }
void BM_Mp4MovieFirstFloor(benchmark::State& state) { CopyFile(state, Data().movieFirst); }
void BM_Mp4MovieLast(benchmark::State& state) { WriteChapters(state, Data().movieLast); }
void BM_Mp4MovieLastFloor(benchmark::State& state) { CopyFile(state, Data().movieLast); }

void BM_Mp3TagGrows(benchmark::State& state) { WriteChapters(state, Data().mp3, tarnix::WriteId3v2Chapters); }
void BM_Mp3TagGrowsFloor(benchmark::State& state) { CopyFile(state, Data().mp3); }
void BM_Mp4Save(benchmark::State& state) { SaveChapters(state); }
void BM_Mp4SaveFloor(benchmark::State& state) { CopyFile(state, Data().saved, true); }

BENCHMARK(BM_Mp3TagGrows)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Mp3TagGrowsFloor)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Mp4Save)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_Mp4SaveFloor)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_Mp4MovieFirst)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Mp4MovieFirstFloor)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Mp4MovieLast)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Mp4MovieLastFloor)->Unit(benchmark::kMillisecond)->UseRealTime();

// Console output as usual, then each benchmark's time per iteration as a ratio to its floor's.

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Data();
  tarnix::bench::RatioReporter reporter(true);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  std::error_code ignored;
  fs::remove_all(Data().dir, ignored);
  return 0;
}
