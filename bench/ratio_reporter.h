#pragma once
// A console reporter that, after the runs, prints each benchmark's time against its floor: the
// benchmark of the same name with "Floor" after its first part (BM_Save/100 against
// BM_SaveFloor/100), run in the same process on the same data, so the ratio holds on a machine
// shared with other work where the absolute times do not.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace tarnix::bench {

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  // keepArguments: "/100" belongs to the name and the floor has the same arguments; without it
  // the arguments (a fixed "/iterations:5") are dropped, so that a run meets its floor.
  explicit RatioReporter(bool keepArguments) : keepArguments_(keepArguments) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.iterations <= 0) continue;
      const std::string name = keepArguments_ ? run.benchmark_name() : FirstPart(run.benchmark_name());
      const double iterations = static_cast<double>(run.iterations);
      times_[name] = {run.real_accumulated_time / iterations, run.cpu_accumulated_time / iterations};
    }
  }

  // Wall time, and the CPU time beside it: on a machine shared with other work the wall time of
  // file system calls also holds the waits for the other programs.
  void PrintRatios() const {
    std::printf("\nratio to floor (same run):\n");
    for (const auto& [name, time] : times_) {
      const std::string first = FirstPart(name);
      if (first.size() > 5 && first.compare(first.size() - 5, 5, "Floor") == 0) continue;
      const auto floor = times_.find(first + "Floor" + name.substr(first.size()));
      if (floor == times_.end() || floor->second.wall <= 0 || floor->second.cpu <= 0) continue;
      std::printf("  %-24s %9.3f ms  floor %9.3f ms  ratio %.2f  (cpu ratio %.2f)\n", name.c_str() + 3, time.wall * 1e3,
                  floor->second.wall * 1e3, time.wall / floor->second.wall, time.cpu / floor->second.cpu);
    }
  }

 private:
  static std::string FirstPart(const std::string& name) { return name.substr(0, name.find('/')); }

  struct Times {
    double wall;
    double cpu;
  };
  bool keepArguments_;
  std::map<std::string, Times> times_;
};

}  // namespace tarnix::bench
