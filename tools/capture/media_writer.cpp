#include "media_writer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/error.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <chrono>
#include <cstring>

#include "palette_filter.h"
#include "soundtrack.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string AvError(const char* what, int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return std::string(what) + ": " + text;
}

// The encoders for a container: the mode's own, unless the container
// wants others. audio is nullptr when the container holds no sound.
struct Codecs {
  const char* video;
  const char* audio;
};

const AVOutputFormat* ContainerFor(const MediaSettings& settings) {
  const AVOutputFormat* format = av_guess_format(nullptr, settings.namePath.c_str(), nullptr);
  // A name without a known extension gets the mode's own container.
  if (!format) format = av_guess_format(settings.lossless ? "matroska" : "mp4", nullptr, nullptr);
  return format;
}

Codecs CodecsFor(const AVOutputFormat* format, bool lossless) {
  if (lossless) return {"ffv1", "flac"};
  if (std::strcmp(format->name, "webm") == 0) return {"libvpx-vp9", "libopus"};
  if (std::strcmp(format->name, "gif") == 0) return {"gif", nullptr};
  return {"libx264", "aac"};
}

bool IsGif(const AVCodecContext* encoder) { return encoder->codec_id == AV_CODEC_ID_GIF; }

// A GIF counts time in hundredths of a second, and players stretch a
// hundredth to a tenth: it keeps every frame up to 50 per second, and every
// second or third frame of faster captures.
constexpr int kGifMostFramesPerSecond = 50;

// The soundtrack's rate where the encoder takes it, else the encoder's highest.
int EncoderSampleRate(const AVCodec* codec) {
  if (!codec->supported_samplerates) return soundtrackRate;
  int highest = 0;
  for (const int* rate = codec->supported_samplerates; *rate; ++rate) {
    if (*rate == soundtrackRate) return soundtrackRate;
    highest = std::max(highest, *rate);
  }
  return highest;
}

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

}  // namespace

std::string CheckContainer(const MediaSettings& settings) {
  const AVOutputFormat* format = ContainerFor(settings);
  if (!format) return "FFmpeg has no MP4 or Matroska writer";
  const Codecs codecs = CodecsFor(format, settings.lossless);
  const AVCodec* video = avcodec_find_encoder_by_name(codecs.video);
  const AVCodec* audio = codecs.audio ? avcodec_find_encoder_by_name(codecs.audio) : nullptr;
  if (!video || (codecs.audio && !audio))
    return std::string("FFmpeg lacks the ") + codecs.video + (codecs.audio ? std::string(" or ") + codecs.audio : "") +
           " encoder";
  const bool fits =
      avformat_query_codec(format, video->id, FF_COMPLIANCE_NORMAL) == 1 &&
      (!settings.withAudio || !audio || avformat_query_codec(format, audio->id, FF_COMPLIANCE_NORMAL) == 1);
  if (!fits)
    return settings.namePath + ": a " + format->name + " file cannot hold " + video->name +
           (audio ? std::string(" and ") + audio->name : "") +
           (settings.lossless ? "; name it .mkv" : "; name it .mp4, .mkv, .webm or .gif");
  return "";
}

bool ContainerHoldsSound(const MediaSettings& settings) {
  const AVOutputFormat* format = ContainerFor(settings);
  return format && CodecsFor(format, settings.lossless).audio;
}

struct MediaWriter::State {
  MediaSettings settings;
  Codecs codecs = {};
  AVFormatContext* container = nullptr;
  bool fileOpen = false;
  bool headerWritten = false;
  AVCodecContext* videoEncoder = nullptr;
  AVCodecContext* audioEncoder = nullptr;
  AVStream* videoStream = nullptr;
  AVStream* audioStream = nullptr;
  SwsContext* colourConverter = nullptr;
  SwrContext* sampleConverter = nullptr;
  AVAudioFifo* encoderSamples = nullptr;  // converted, waiting for a whole encoder frame
  uint8_t** convertedSamples = nullptr;   // swr_convert's output, in the encoder's layout
  int convertedCapacity = 0;
  PaletteFilter palette;  // GIF only
  AVFrame* videoFrame = nullptr;
  AVFrame* paletteFrame = nullptr;  // GIF only
  AVFrame* audioFrame = nullptr;
  AVPacket* packet = nullptr;
  int frameStep = 1;  // every frameStep-th frame is kept
  int64_t framesOffered = 0;
  int64_t videoFramesSent = 0;
  int64_t audioSamplesSent = 0;
  double convertSeconds = 0;
  double encodeSeconds = 0;

  ~State() {
    if (container && fileOpen) avio_closep(&container->pb);
    avformat_free_context(container);
    avcodec_free_context(&videoEncoder);
    avcodec_free_context(&audioEncoder);
    sws_freeContext(colourConverter);
    swr_free(&sampleConverter);
    if (encoderSamples) av_audio_fifo_free(encoderSamples);
    if (convertedSamples) av_freep(&convertedSamples[0]);
    av_freep(&convertedSamples);
    av_frame_free(&videoFrame);
    av_frame_free(&paletteFrame);
    av_frame_free(&audioFrame);
    av_packet_free(&packet);
  }

  std::string OpenVideo() {
    const AVCodec* codec = avcodec_find_encoder_by_name(codecs.video);
    videoEncoder = avcodec_alloc_context3(codec);
    if (!videoEncoder) return "out of memory";
    if (IsGif(videoEncoder))
      frameStep = (settings.framesPerSecond + kGifMostFramesPerSecond - 1) / kGifMostFramesPerSecond;
    videoEncoder->width = settings.width;
    videoEncoder->height = settings.height;
    videoEncoder->time_base = AVRational{frameStep, settings.framesPerSecond};
    videoEncoder->framerate = AVRational{settings.framesPerSecond, frameStep};
    videoEncoder->sample_aspect_ratio = AVRational{1, 1};
    videoEncoder->thread_count = 0;  // as many as the encoder finds useful
    // What the renderer's frames become before the encoder: the encoder's own
    // format, or full colour for the palette filters.
    AVPixelFormat converted = AV_PIX_FMT_YUV420P;
    AVDictionary* options = nullptr;
    if (settings.lossless) {
      // Every pixel as rendered; FFV1 keeps 8-bit RGB as it is.
      videoEncoder->pix_fmt = converted = AV_PIX_FMT_0RGB32;
      av_dict_set(&options, "level", "3", 0);
      av_dict_set(&options, "slices", "4", 0);  // lets the encoder use more than one thread
      av_dict_set(&options, "slicecrc", "0", 0);
    } else if (IsGif(videoEncoder)) {
      videoEncoder->pix_fmt = AV_PIX_FMT_PAL8;
      converted = AV_PIX_FMT_RGB24;
    } else {
      // What every player and browser plays: 4:2:0, BT.601 limited range, tagged as such.
      videoEncoder->pix_fmt = AV_PIX_FMT_YUV420P;
      videoEncoder->colorspace = AVCOL_SPC_SMPTE170M;
      videoEncoder->color_range = AVCOL_RANGE_MPEG;
      videoEncoder->gop_size = settings.framesPerSecond * 4;
      if (videoEncoder->codec_id == AV_CODEC_ID_VP9) {
        // Constant quality at libvpx's quickest setting: at its slower ones
        // a capture would take many times the show's length.
        videoEncoder->bit_rate = 0;
        av_dict_set(&options, "crf", "30", 0);
        av_dict_set(&options, "deadline", "realtime", 0);
        av_dict_set(&options, "cpu-used", "8", 0);
        av_dict_set(&options, "row-mt", "1", 0);
      } else {
        av_dict_set(&options, "preset", "veryfast", 0);
        av_dict_set(&options, "crf", "20", 0);
      }
    }
    if (container->oformat->flags & AVFMT_GLOBALHEADER) videoEncoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    const int opened = avcodec_open2(videoEncoder, codec, &options);
    av_dict_free(&options);
    if (opened < 0) return AvError("cannot start the video encoder", opened);

    videoStream = avformat_new_stream(container, nullptr);
    if (!videoStream) return "out of memory";
    videoStream->time_base = videoEncoder->time_base;
    videoStream->avg_frame_rate = videoEncoder->framerate;
    const int copied = avcodec_parameters_from_context(videoStream->codecpar, videoEncoder);
    if (copied < 0) return AvError("video stream", copied);

    colourConverter = sws_getContext(settings.width, settings.height, AV_PIX_FMT_BGRA, settings.width, settings.height,
                                     converted, SWS_BILINEAR, nullptr, nullptr, nullptr);
    videoFrame = av_frame_alloc();
    if (!colourConverter || !videoFrame) return "cannot set up the colour conversion";
    videoFrame->format = converted;
    videoFrame->width = settings.width;
    videoFrame->height = settings.height;
    const int allocated = av_frame_get_buffer(videoFrame, 0);
    if (allocated < 0) return AvError("video frame", allocated);
    if (!IsGif(videoEncoder)) return "";
    paletteFrame = av_frame_alloc();
    if (!paletteFrame) return "out of memory";
    return palette.Open(settings.width, settings.height, frameStep, settings.framesPerSecond);
  }

  std::string OpenAudio() {
    const AVCodec* codec = avcodec_find_encoder_by_name(codecs.audio);
    audioEncoder = avcodec_alloc_context3(codec);
    if (!audioEncoder) return "out of memory";
    const int rate = EncoderSampleRate(codec);
    audioEncoder->sample_rate = rate;
    av_channel_layout_default(&audioEncoder->ch_layout, soundtrackChannels);
    // FLAC takes the samples as they are; AAC wants planar floats.
    audioEncoder->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    audioEncoder->time_base = AVRational{1, rate};
    if (!settings.lossless) audioEncoder->bit_rate = audioEncoder->codec_id == AV_CODEC_ID_OPUS ? 128000 : 192000;
    if (container->oformat->flags & AVFMT_GLOBALHEADER) audioEncoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    const int opened = avcodec_open2(audioEncoder, codec, nullptr);
    if (opened < 0) return AvError("cannot start the audio encoder", opened);

    audioStream = avformat_new_stream(container, nullptr);
    if (!audioStream) return "out of memory";
    audioStream->time_base = audioEncoder->time_base;
    const int copied = avcodec_parameters_from_context(audioStream->codecpar, audioEncoder);
    if (copied < 0) return AvError("audio stream", copied);

    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    // swr_alloc_set_opts2 only reads the layouts, but takes them as non-const.
    int made = swr_alloc_set_opts2(&sampleConverter, &audioEncoder->ch_layout, audioEncoder->sample_fmt, rate, &stereo,
                                   AV_SAMPLE_FMT_S16, soundtrackRate, 0, nullptr);
    if (made < 0 || (made = swr_init(sampleConverter)) < 0) return AvError("cannot set up the sample conversion", made);
    encoderSamples = av_audio_fifo_alloc(audioEncoder->sample_fmt, soundtrackChannels, AudioFrameSize());
    if (!encoderSamples) return "out of memory";

    audioFrame = av_frame_alloc();
    if (!audioFrame) return "out of memory";
    audioFrame->format = audioEncoder->sample_fmt;
    av_channel_layout_copy(&audioFrame->ch_layout, &audioEncoder->ch_layout);
    audioFrame->sample_rate = rate;
    audioFrame->nb_samples = AudioFrameSize();
    const int allocated = av_frame_get_buffer(audioFrame, 0);
    return allocated < 0 ? AvError("audio frame", allocated) : "";
  }

  int AudioFrameSize() const {
    if (!audioEncoder) return 0;
    const bool anySize =
        audioEncoder->frame_size == 0 || (audioEncoder->codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE);
    return anySize ? 4096 : audioEncoder->frame_size;
  }

  // Converts sampleFrames of the soundtrack (nullptr: what the converter
  // still holds) and queues them for the encoder.
  std::string ConvertSamples(const int16_t* interleaved, int sampleFrames) {
    const int room = swr_get_out_samples(sampleConverter, sampleFrames);
    if (room < 0) return AvError("converting the sound", room);
    if (room > convertedCapacity) {
      if (convertedSamples) av_freep(&convertedSamples[0]);
      av_freep(&convertedSamples);
      int lineSize = 0;
      const int allocated = av_samples_alloc_array_and_samples(&convertedSamples, &lineSize, soundtrackChannels, room,
                                                               audioEncoder->sample_fmt, 0);
      if (allocated < 0) return AvError("converting the sound", allocated);
      convertedCapacity = room;
    }
    const uint8_t* input[1] = {reinterpret_cast<const uint8_t*>(interleaved)};
    const int converted = swr_convert(sampleConverter, convertedSamples, room, interleaved ? input : nullptr,
                                      interleaved ? sampleFrames : 0);
    if (converted < 0) return AvError("converting the sound", converted);
    const int queued = av_audio_fifo_write(encoderSamples, reinterpret_cast<void**>(convertedSamples), converted);
    return queued < converted ? AvError("converting the sound", queued < 0 ? queued : AVERROR(ENOMEM)) : "";
  }

  // Encodes every whole encoder frame queued, and with 'last' the rest.
  std::string EncodeQueuedSamples(bool last) {
    const int frameSize = AudioFrameSize();
    const bool takesShortFrame =
        audioEncoder->codec->capabilities & (AV_CODEC_CAP_SMALL_LAST_FRAME | AV_CODEC_CAP_VARIABLE_FRAME_SIZE);
    while (av_audio_fifo_size(encoderSamples) >= frameSize || (last && av_audio_fifo_size(encoderSamples) > 0)) {
      const int made = av_frame_make_writable(audioFrame);
      if (made < 0) return AvError("audio frame", made);
      const int count = av_audio_fifo_read(encoderSamples, reinterpret_cast<void**>(audioFrame->data), frameSize);
      if (count <= 0) return AvError("converting the sound", count < 0 ? count : AVERROR_BUG);
      audioFrame->nb_samples = count;
      if (count < frameSize && !takesShortFrame) {
        // An encoder of fixed frames gets the last one filled up with silence.
        av_samples_set_silence(audioFrame->data, count, frameSize - count, audioEncoder->ch_layout.nb_channels,
                               audioEncoder->sample_fmt);
        audioFrame->nb_samples = frameSize;
      }
      audioFrame->pts = audioSamplesSent;
      audioSamplesSent += count;
      std::string problem = Encode(audioEncoder, audioStream, audioFrame);
      if (!problem.empty()) return problem;
    }
    return "";
  }

  // A GIF's frames go through the palette filters first: every frame they
  // have ready is encoded.
  std::string EncodeThroughPalette(AVFrame* rgb) {
    std::string problem = palette.Push(rgb);
    for (;;) {
      if (!problem.empty()) return problem;
      const int pulled = palette.Pull(paletteFrame);
      if (pulled < 0) return AvError("choosing the palette", pulled);
      if (pulled == 0) return "";
      problem = Encode(videoEncoder, videoStream, paletteFrame);
      av_frame_unref(paletteFrame);
    }
  }

  // Sends a frame (or nullptr to flush) and writes every packet that comes out.
  std::string Encode(AVCodecContext* encoder, AVStream* stream, AVFrame* frame) {
    int result = avcodec_send_frame(encoder, frame);
    if (result < 0) return AvError("encoding", result);
    for (;;) {
      result = avcodec_receive_packet(encoder, packet);
      if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return "";
      if (result < 0) return AvError("encoding", result);
      av_packet_rescale_ts(packet, encoder->time_base, stream->time_base);
      packet->stream_index = stream->index;
      result = av_interleaved_write_frame(container, packet);
      if (result < 0) return AvError("writing the video file", result);
    }
  }
};

MediaWriter::MediaWriter() : state_(std::make_unique<State>()) {}
MediaWriter::~MediaWriter() = default;

std::string MediaWriter::Open(const MediaSettings& settings) {
  av_log_set_level(AV_LOG_ERROR);  // the encoders' own chatter is not the user's business
  State& s = *state_;
  s.settings = settings;
  std::string problem = CheckContainer(settings);
  if (!problem.empty()) return problem;
  s.codecs = CodecsFor(ContainerFor(settings), settings.lossless);
  const int allocated =
      avformat_alloc_output_context2(&s.container, ContainerFor(settings), nullptr, settings.writePath.c_str());
  if (allocated < 0) return AvError("cannot set up the container", allocated);
  s.packet = av_packet_alloc();
  if (!s.packet) return "out of memory";
  problem = s.OpenVideo();
  if (problem.empty() && settings.withAudio && s.codecs.audio) problem = s.OpenAudio();
  if (!problem.empty()) return problem;

  const int opened = avio_open(&s.container->pb, settings.writePath.c_str(), AVIO_FLAG_WRITE);
  if (opened < 0) return AvError(("cannot write " + settings.namePath).c_str(), opened);
  s.fileOpen = true;
  AVDictionary* options = nullptr;
  // The index goes to the front, so a browser can start playing before the whole file has arrived.
  if (std::strcmp(s.container->oformat->name, "mp4") == 0 || std::strcmp(s.container->oformat->name, "mov") == 0)
    av_dict_set(&options, "movflags", "+faststart", 0);
  const int written = avformat_write_header(s.container, &options);
  av_dict_free(&options);
  if (written < 0) return AvError("cannot start the video file", written);
  s.headerWritten = true;
  return "";
}

std::string MediaWriter::WriteVideoFrame(const uint8_t* bgraBottomUp) {
  State& s = *state_;
  if (s.framesOffered++ % s.frameStep != 0) return "";
  const Clock::time_point start = Clock::now();
  const int made = av_frame_make_writable(s.videoFrame);
  if (made < 0) return AvError("video frame", made);
  // GL's rows run bottom first: start at the top row and step backwards.
  const int rowBytes = s.settings.width * 4;
  const uint8_t* topRow[1] = {bgraBottomUp + size_t(s.settings.height - 1) * rowBytes};
  const int stride[1] = {-rowBytes};
  sws_scale(s.colourConverter, topRow, stride, 0, s.settings.height, s.videoFrame->data, s.videoFrame->linesize);
  s.videoFrame->pts = s.videoFramesSent++;
  const Clock::time_point converted = Clock::now();
  s.convertSeconds += std::chrono::duration<double>(converted - start).count();
  std::string problem =
      s.paletteFrame ? s.EncodeThroughPalette(s.videoFrame) : s.Encode(s.videoEncoder, s.videoStream, s.videoFrame);
  s.encodeSeconds += SecondsSince(converted);
  return problem;
}

std::string MediaWriter::WriteAudio(const int16_t* interleaved, int sampleFrames) {
  State& s = *state_;
  if (!s.audioEncoder) return "";  // the container holds no sound
  const Clock::time_point start = Clock::now();
  std::string problem = s.ConvertSamples(interleaved, sampleFrames);
  if (problem.empty()) problem = s.EncodeQueuedSamples(false);
  s.encodeSeconds += SecondsSince(start);
  return problem;
}

std::string MediaWriter::Finish() {
  State& s = *state_;
  const Clock::time_point start = Clock::now();
  std::string problem = s.paletteFrame ? s.EncodeThroughPalette(nullptr) : "";
  if (problem.empty()) problem = s.Encode(s.videoEncoder, s.videoStream, nullptr);
  if (problem.empty() && s.audioEncoder) problem = s.ConvertSamples(nullptr, 0);
  if (problem.empty() && s.audioEncoder) problem = s.EncodeQueuedSamples(true);
  if (problem.empty() && s.audioEncoder) problem = s.Encode(s.audioEncoder, s.audioStream, nullptr);
  if (problem.empty()) {
    const int written = av_write_trailer(s.container);
    if (written < 0) problem = AvError("cannot finish the video file", written);
  }
  const int closed = avio_closep(&s.container->pb);
  s.fileOpen = false;
  if (problem.empty() && closed < 0) problem = AvError("cannot finish the video file", closed);
  s.encodeSeconds += SecondsSince(start);
  return problem;
}

int MediaWriter::AudioFrameSize() const { return state_->AudioFrameSize(); }
double MediaWriter::ConvertSeconds() const { return state_->convertSeconds; }
double MediaWriter::EncodeSeconds() const { return state_->encodeSeconds; }
