#include "capture.h"

#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <vector>

#include "frame_queue.h"
#include "media_writer.h"
#include "output_file.h"
#include "platform/headless_gl.h"
#include "platform/message_box.h"
#include "show_replay.h"
#include "soundtrack.h"

namespace {

using Clock = std::chrono::steady_clock;

// Rendered frames waiting for the encoder; a few smooth out uneven frames.
constexpr size_t kFramesInFlight = 4;

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// The loaders' message boxes (a picture that does not decode, ...) must not
// wait for anyone: they are told on standard error and the capture goes on,
// as the demo goes on after them.
int PrintMessageBox(WindowHandle, const char* text, const char* caption, unsigned type) {
  std::fprintf(stderr, "qeb-capture: %s: %s\n", caption, text);
  return (type & MB_BUTTON_MASK) == MB_YESNO ? IDNO : IDOK;
}

// Sample frames of sound under the first 'frames' video frames.
int64_t SamplesUnder(int64_t frames, int framesPerSecond) { return frames * soundtrackRate / framesPerSecond; }

// The encoding thread: every frame the renderer hands over, then the sound
// that lies under it, in the encoder's frame size.
class Encoder {
 public:
  Encoder(MediaWriter* writer, FrameQueue* queue, const Soundtrack* soundtrack, int64_t soundStart, int framesPerSecond)
      : writer_(writer),
        queue_(queue),
        soundtrack_(soundtrack),
        soundStart_(soundStart),
        framesPerSecond_(framesPerSecond),
        samples_(size_t(writer->AudioFrameSize()) * soundtrackChannels) {}

  void Run() {
    while (uint8_t* frame = queue_->NextFull()) {
      if (problem_.empty()) problem_ = writer_->WriteVideoFrame(frame);
      queue_->Release(frame);
      if (!problem_.empty()) {
        queue_->Abandon();
        continue;
      }
      ++framesWritten_;
      problem_ = WriteSoundUpTo(SamplesUnder(framesWritten_, framesPerSecond_), false);
      if (!problem_.empty()) queue_->Abandon();
    }
    if (problem_.empty()) problem_ = WriteSoundUpTo(SamplesUnder(framesWritten_, framesPerSecond_), true);
    if (problem_.empty()) problem_ = writer_->Finish();
  }

  const std::string& problem() const { return problem_; }
  int framesWritten() const { return framesWritten_; }

 private:
  // Whole encoder frames only, until the last call, which writes the rest.
  std::string WriteSoundUpTo(int64_t end, bool last) {
    if (!soundtrack_) return "";
    const int frameSize = writer_->AudioFrameSize();
    while (samplesWritten_ < end) {
      const int64_t count = std::min<int64_t>(frameSize, end - samplesWritten_);
      if (count < frameSize && !last) break;
      soundtrack_->CopyLooped(soundStart_ + samplesWritten_, int(count), samples_.data());
      std::string problem = writer_->WriteAudio(samples_.data(), int(count));
      if (!problem.empty()) return problem;
      samplesWritten_ += count;
    }
    return "";
  }

  MediaWriter* writer_;
  FrameQueue* queue_;
  const Soundtrack* soundtrack_;
  int64_t soundStart_;
  int framesPerSecond_;
  std::vector<int16_t> samples_;
  int64_t samplesWritten_ = 0;
  int framesWritten_ = 0;
  std::string problem_;
};

// Everything up to a current context with the scene loaded and the frames
// before the stretch run.
std::string OpenShow(const CaptureOptions& options, const ShowStretch& stretch) {
  std::string problem = OpenHeadlessGl(options.width, options.height);
  if (!problem.empty()) return problem;
  SetMessageBoxAnswerer(PrintMessageBox);
  if (!StartShow(options.width, options.height)) {
    CloseHeadlessGl();
    return "ERROR: Initialization Failed. (not one picture of the show could be loaded)";
  }
  SkipToFrame(stretch.firstFrame);
  return "";
}

std::string FindStretch(const CaptureOptions& options, ShowStretch* stretch) {
  *stretch = FindShowStretch(options.fromTick, options.toTick);
  if (stretch->frameCount > 0) return "";
  return "no frame of the show has its clock between " + std::to_string(options.fromTick) + " and " +
         std::to_string(options.toTick) + " (the clock moves 3 ticks a frame from 1600 to 5599 and 7200 to 11199)";
}

// Renders the stretch, handing each frame to 'deliver' (which returns
// nullptr-free buffers); stops early on 'stop' or when no buffer comes.
template <typename Acquire, typename Deliver>
void RenderStretch(const CaptureOptions& options, const ShowStretch& stretch, const std::atomic<bool>& stop,
                   const CaptureProgress& progress, CaptureReport* report, Acquire acquire, Deliver deliver) {
  for (int done = 0; done < stretch.frameCount; ++done) {
    if (stop.load()) {
      report->interrupted = true;
      break;
    }
    uint8_t* pixels = acquire();
    if (!pixels) break;
    const Clock::time_point start = Clock::now();
    DrawNextFrame();
    glFinish();  // so the drawing is timed here, not inside the read-back
    const Clock::time_point drawn = Clock::now();
    ReadFramePixels(options.width, options.height, pixels);
    report->renderSeconds += std::chrono::duration<double>(drawn - start).count();
    report->readBackSeconds += SecondsSince(drawn);
    deliver(pixels);
    if (progress) progress(done + 1, stretch.frameCount);
  }
}

}  // namespace

std::string RunCapture(const CaptureOptions& options, const std::atomic<bool>& stop, const CaptureProgress& progress,
                       CaptureReport* report) {
  const Clock::time_point start = Clock::now();
  *report = CaptureReport{};
  ShowStretch stretch;
  std::string problem = FindStretch(options, &stretch);
  if (!problem.empty()) return problem;
  report->framesPlanned = stretch.frameCount;

  MediaSettings settings;
  settings.namePath = options.outputPath;
  settings.width = options.width;
  settings.height = options.height;
  settings.framesPerSecond = options.framesPerSecond;
  settings.lossless = options.lossless;
  settings.withAudio = options.withAudio && ContainerHoldsSound(settings);
  problem = CheckContainer(settings);
  if (!problem.empty()) return problem;
  problem = CreateTemporaryOutput(options.outputPath, options.overwrite, &settings.writePath);
  if (!problem.empty()) return problem;

  Soundtrack soundtrack;
  // The sound under frame N of the show starts (N - 1) frame times after the show's start.
  const SoundStretch sound = {SamplesUnder(stretch.firstFrame - 1, options.framesPerSecond),
                              SamplesUnder(stretch.frameCount, options.framesPerSecond)};
  if (settings.withAudio) {
    problem = DecodeSoundtrack("Data/demo.mp3", sound, soundtrackMemoryLimit, &soundtrack);
    if (!problem.empty()) {
      DiscardOutput(settings.writePath);
      return problem + " (--no-audio captures a silent video)";
    }
  }
  problem = OpenShow(options, stretch);
  if (!problem.empty()) {
    DiscardOutput(settings.writePath);
    return problem;
  }

  MediaWriter writer;
  problem = writer.Open(settings);
  if (problem.empty()) {
    FrameQueue queue(kFramesInFlight, size_t(options.width) * options.height * 4);
    Encoder encoder(&writer, &queue, settings.withAudio ? &soundtrack : nullptr, sound.start, options.framesPerSecond);
    std::thread encoding(&Encoder::Run, &encoder);
    RenderStretch(
        options, stretch, stop, progress, report, [&] { return queue.AcquireFree(); },
        [&](uint8_t* pixels) { queue.Submit(pixels); });
    queue.Close();
    encoding.join();
    problem = encoder.problem();
    report->framesWritten = encoder.framesWritten();
    if (problem.empty() && report->framesWritten == 0) problem = "stopped before the first frame; nothing written";
  }
  CloseHeadlessGl();
  SetMessageBoxAnswerer(nullptr);
  report->convertSeconds = writer.ConvertSeconds();
  report->encodeSeconds = writer.EncodeSeconds();
  if (problem.empty())
    problem = CommitOutput(settings.writePath, options.outputPath, options.overwrite);
  else
    DiscardOutput(settings.writePath);
  if (!problem.empty()) return problem;

  std::error_code ignored;
  report->fileBytes = std::filesystem::file_size(options.outputPath, ignored);
  report->videoSeconds = double(report->framesWritten) / options.framesPerSecond;
  report->wallSeconds = SecondsSince(start);
  return "";
}

std::string RenderOnly(const CaptureOptions& options, CaptureReport* report) {
  const Clock::time_point start = Clock::now();
  *report = CaptureReport{};
  ShowStretch stretch;
  std::string problem = FindStretch(options, &stretch);
  if (problem.empty()) problem = OpenShow(options, stretch);
  if (!problem.empty()) return problem;
  report->framesPlanned = stretch.frameCount;
  std::vector<uint8_t> pixels(size_t(options.width) * options.height * 4);
  const std::atomic<bool> never{false};
  RenderStretch(
      options, stretch, never, nullptr, report, [&] { return pixels.data(); },
      [&](uint8_t*) { ++report->framesWritten; });
  CloseHeadlessGl();
  SetMessageBoxAnswerer(nullptr);
  report->wallSeconds = SecondsSince(start);
  return "";
}
