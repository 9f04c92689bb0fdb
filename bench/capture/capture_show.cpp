// qeb-capture-bench [--size WxH] [--from TICK --to TICK]: times one capture
// of the show (default: the whole show at 640x480 into the default MP4) and,
// in the same process, the same frames rendered and read back with nothing
// encoded. Run it inside a data folder (run-capture-bench.sh makes one).
// Prints where the time went and the two ratios that matter: the capture's
// time against the show's own length, and against rendering alone.
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "capture.h"
#include "capture_options.h"

namespace {

std::string LoadAverage() {
  std::ifstream in("/proc/loadavg");
  std::string one, five, fifteen;
  in >> one >> five >> fifteen;
  return one + " " + five + " " + fifteen;
}

// Processor seconds this process has used so far, all threads together: on
// a machine shared with other work it tells the capture's own cost.
double ProcessorSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  // The bench's own arguments are capture options without OUT; the video goes to a temporary file.
  char outName[] = "/tmp/qeb-capture-bench-XXXXXX.mp4";
  const int descriptor = mkstemps(outName, 4);
  if (descriptor < 0) {
    std::perror("qeb-capture-bench: temporary file");
    return 1;
  }
  close(descriptor);
  std::vector<const char*> arguments(argv, argv + argc);
  arguments.push_back("--force");
  arguments.push_back(outName);
  CaptureOptions options;
  std::string problem;
  if (ParseCaptureOptions(int(arguments.size()), arguments.data(), &options, &problem) != CommandLine::capture) {
    std::fprintf(stderr, "qeb-capture-bench: %s\n", problem.c_str());
    return 2;
  }

  std::printf("load average before: %s (%ld cores)\n", LoadAverage().c_str(), sysconf(_SC_NPROCESSORS_ONLN));
  CaptureReport rendering;
  const double processorAtStart = ProcessorSeconds();
  problem = RenderOnly(options, &rendering);
  const double renderingProcessor = ProcessorSeconds() - processorAtStart;
  if (problem.empty()) {
    std::printf("load average between: %s\n", LoadAverage().c_str());
    CaptureReport capture;
    const std::atomic<bool> never{false};
    const double processorBeforeCapture = ProcessorSeconds();
    problem = RunCapture(options, never, nullptr, &capture);
    const double captureProcessor = ProcessorSeconds() - processorBeforeCapture;
    std::remove(outName);
    if (problem.empty()) {
      std::printf("load average after: %s\n", LoadAverage().c_str());
      std::printf("%d frames at %dx%d, %d fps: %.1f s of show, %.1f MB\n", capture.framesWritten, options.width,
                  options.height, options.framesPerSecond, capture.videoSeconds, double(capture.fileBytes) / 1e6);
      std::printf("rendering alone (draw + read back): %.1f s (draw %.1f s, read back %.1f s), %.1f processor s\n",
                  rendering.wallSeconds, rendering.renderSeconds, rendering.readBackSeconds, renderingProcessor);
      std::printf(
          "capture: %.1f s (draw %.1f s, read back %.1f s; encoder thread: colour conversion %.1f s, "
          "encoding and writing %.1f s), %.1f processor s\n",
          capture.wallSeconds, capture.renderSeconds, capture.readBackSeconds, capture.convertSeconds,
          capture.encodeSeconds, captureProcessor);
      std::printf("capture / show length: %.2f (goal: at most 0.50)\n", capture.wallSeconds / capture.videoSeconds);
      std::printf("capture / rendering alone: %.2f (processor time: %.2f)\n",
                  capture.wallSeconds / rendering.wallSeconds, captureProcessor / renderingProcessor);
      return 0;
    }
  }
  std::remove(outName);
  std::fprintf(stderr, "qeb-capture-bench: %s\n", problem.c_str());
  return 1;
}
