// Writes the video file with FFmpeg's libraries, in the container that the
// output's name asks for: H.264 (yuv420p) and AAC by default, FFV1 and FLAC
// when lossless; a WebM file gets VP9 and Opus, a GIF a palette per frame
// and no sound. Frames come in as the GL reads them back (BGRA, bottom row
// first); sound as the soundtrack's 44.1 kHz stereo 16-bit samples, brought
// to the rate the encoder takes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

struct MediaSettings {
  std::string namePath;   // the name the file will have; chooses the container
  std::string writePath;  // where it is written meanwhile
  int width = 0;
  int height = 0;
  int framesPerSecond = 0;
  bool lossless = false;
  bool withAudio = true;
};

// The container for namePath and the codecs for the mode, or why they do not fit together.
std::string CheckContainer(const MediaSettings& settings);
// Whether the container for namePath holds sound at all (a GIF does not).
bool ContainerHoldsSound(const MediaSettings& settings);

class MediaWriter {
 public:
  MediaWriter();
  ~MediaWriter();
  MediaWriter(const MediaWriter&) = delete;
  MediaWriter& operator=(const MediaWriter&) = delete;

  // Each returns "" on success, else what went wrong.
  std::string Open(const MediaSettings& settings);
  // The next frame, width x height x 4 bytes.
  std::string WriteVideoFrame(const uint8_t* bgraBottomUp);
  // The next sampleFrames stereo samples, interleaved; ignored when the file holds no sound.
  std::string WriteAudio(const int16_t* interleaved, int sampleFrames);
  // Flushes both encoders and finishes the container.
  std::string Finish();

  // Sample frames the audio encoder takes at once (what WriteAudio is best given).
  int AudioFrameSize() const;
  // Seconds spent converting colours and encoding (and writing) so far.
  double ConvertSeconds() const;
  double EncodeSeconds() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};
