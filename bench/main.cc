// The benchmark binary's entry point: Google Benchmark's own, with the machine described in the
// output's context, so that a rendered page says what the figures were measured on.
#include <benchmark/benchmark.h>
#include <sys/utsname.h>

#include <fstream>
#include <string>

namespace {

std::string CpuModel() {
  std::ifstream cpuinfo("/proc/cpuinfo");
  const std::string prefix = "model name";
  for (std::string line; std::getline(cpuinfo, line);) {
    if (line.compare(0, prefix.size(), prefix) != 0) continue;
    const std::size_t colon = line.find(':');
    if (colon != std::string::npos) return line.substr(line.find_first_not_of(' ', colon + 1));
  }
  return "unknown";
}

std::string Kernel() {
  utsname name{};
  if (uname(&name) != 0) return "unknown";
  return std::string(name.sysname) + " " + name.release + " " + name.machine;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::AddCustomContext("cpu_model", CpuModel());
  benchmark::AddCustomContext("kernel", Kernel());
#if defined(__clang__)
  benchmark::AddCustomContext("compiler", "clang " __clang_version__);
#elif defined(__GNUC__)
  benchmark::AddCustomContext("compiler", "g++ " __VERSION__);
#endif
  benchmark::AddCustomContext("build", QUORLAX_BENCH_BUILD);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
