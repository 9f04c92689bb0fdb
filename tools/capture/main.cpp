// qeb-capture [OPTIONS] OUT: renders Qeb's show headless, frame by frame
// with the demo's own code, into a video file with the soundtrack under it.
#include <csignal>
#include <cstdio>

#include "capture.h"
#include "capture_options.h"
#include "output_file.h"
#include "progress_line.h"

namespace {

std::atomic<bool> stopRequested{false};

// Ctrl-C, a polite kill or a closed terminal ends the capture at the next
// frame; what was written so far is finished into a playable file. A second
// one ends the program at once, with nothing left behind and the signal's
// own status.
void RequestStop(int signalNumber) {
  if (!stopRequested.exchange(true)) return;
  DiscardOutputNow();
  signal(signalNumber, SIG_DFL);
  raise(signalNumber);
}

// A closed pipe is no stop signal: it raises SIGPIPE at every write to it,
// and a loader's message or the summary after the video would count as a
// second one. With SIGPIPE ignored, such a write fails and the capture goes
// on; a closed standard output loses the summary, nothing more.
void CatchStopSignals() {
  struct sigaction action = {};
  action.sa_handler = RequestStop;
  sigemptyset(&action.sa_mask);
  for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) sigaction(signalNumber, &action, nullptr);
  action.sa_handler = SIG_IGN;
  sigaction(SIGPIPE, &action, nullptr);
}

void PrintSummary(const CaptureOptions& options, const CaptureReport& report) {
  std::printf("%s: %d frames, %.2f s at %d fps, %dx%d, %.1f MB%s\n", options.outputPath.c_str(), report.framesWritten,
              report.videoSeconds, options.framesPerSecond, options.width, options.height,
              double(report.fileBytes) / 1e6,
              report.interrupted ? " (stopped early: the video ends where the capture stopped)" : "");
  std::printf(
      "took %.1f s, %.2f s per second of video: rendering %.1f s, reading back %.1f s; beside them, colour conversion "
      "%.1f s, encoding %.1f s\n",
      report.wallSeconds, report.wallSeconds / report.videoSeconds, report.renderSeconds, report.readBackSeconds,
      report.convertSeconds, report.encodeSeconds);
}

}  // namespace

int main(int argc, char** argv) {
  CaptureOptions options;
  std::string problem;
  switch (ParseCaptureOptions(argc, argv, &options, &problem)) {
    case CommandLine::help:
      std::fputs(CaptureUsage(), stdout);
      return 0;
    case CommandLine::invalid:
      std::fprintf(stderr, "qeb-capture: %s\n%s", problem.c_str(), CaptureUsage());
      return 2;
    case CommandLine::capture:
      break;
  }
  CatchStopSignals();
  ProgressLine progressLine;
  CaptureReport report;
  problem = RunCapture(
      options, stopRequested, [&](int done, int total) { progressLine.Update(done, total); }, &report);
  progressLine.Finish();
  if (!problem.empty()) {
    std::fprintf(stderr, "qeb-capture: %s\n", problem.c_str());
    return 1;
  }
  PrintSummary(options, report);
  return 0;
}
