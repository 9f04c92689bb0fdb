#include "media_writer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/error.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <chrono>
#include <cstring>

#include "soundtrack.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string AvError(const char* what, int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return std::string(what) + ": " + text;
}

const char* VideoEncoderName(bool lossless) { return lossless ? "ffv1" : "libx264"; }
const char* AudioEncoderName(bool lossless) { return lossless ? "flac" : "aac"; }

const AVOutputFormat* ContainerFor(const MediaSettings& settings) {
  const AVOutputFormat* format = av_guess_format(nullptr, settings.namePath.c_str(), nullptr);
  // A name without a known extension gets the mode's own container.
  if (!format) format = av_guess_format(settings.lossless ? "matroska" : "mp4", nullptr, nullptr);
  return format;
}

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

}  // namespace

std::string CheckContainer(const MediaSettings& settings) {
  const AVOutputFormat* format = ContainerFor(settings);
  if (!format) return "FFmpeg has no MP4 or Matroska writer";
  const AVCodec* video = avcodec_find_encoder_by_name(VideoEncoderName(settings.lossless));
  const AVCodec* audio = avcodec_find_encoder_by_name(AudioEncoderName(settings.lossless));
  if (!video || !audio)
    return std::string("FFmpeg lacks the ") + VideoEncoderName(settings.lossless) + " or " +
           AudioEncoderName(settings.lossless) + " encoder";
  const bool fits = avformat_query_codec(format, video->id, FF_COMPLIANCE_NORMAL) == 1 &&
                    (!settings.withAudio || avformat_query_codec(format, audio->id, FF_COMPLIANCE_NORMAL) == 1);
  if (!fits)
    return settings.namePath + ": a " + format->name + " file cannot hold " + video->name + " and " + audio->name +
           (settings.lossless ? "; name it .mkv" : "; name it .mp4 or .mkv");
  return "";
}

struct MediaWriter::State {
  MediaSettings settings;
  AVFormatContext* container = nullptr;
  bool fileOpen = false;
  bool headerWritten = false;
  AVCodecContext* videoEncoder = nullptr;
  AVCodecContext* audioEncoder = nullptr;
  AVStream* videoStream = nullptr;
  AVStream* audioStream = nullptr;
  SwsContext* colourConverter = nullptr;
  SwrContext* sampleConverter = nullptr;
  AVFrame* videoFrame = nullptr;
  AVFrame* audioFrame = nullptr;
  AVPacket* packet = nullptr;
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
    av_frame_free(&videoFrame);
    av_frame_free(&audioFrame);
    av_packet_free(&packet);
  }

  std::string OpenVideo() {
    const AVCodec* codec = avcodec_find_encoder_by_name(VideoEncoderName(settings.lossless));
    videoEncoder = avcodec_alloc_context3(codec);
    if (!videoEncoder) return "out of memory";
    videoEncoder->width = settings.width;
    videoEncoder->height = settings.height;
    videoEncoder->time_base = AVRational{1, settings.framesPerSecond};
    videoEncoder->framerate = AVRational{settings.framesPerSecond, 1};
    videoEncoder->sample_aspect_ratio = AVRational{1, 1};
    videoEncoder->thread_count = 0;  // as many as the encoder finds useful
    AVDictionary* options = nullptr;
    if (settings.lossless) {
      // Every pixel as rendered; FFV1 keeps 8-bit RGB as it is.
      videoEncoder->pix_fmt = AV_PIX_FMT_0RGB32;
      av_dict_set(&options, "level", "3", 0);
      av_dict_set(&options, "slices", "4", 0);  // lets the encoder use more than one thread
      av_dict_set(&options, "slicecrc", "0", 0);
    } else {
      // What every player and browser plays: 4:2:0, BT.601 limited range, tagged as such.
      videoEncoder->pix_fmt = AV_PIX_FMT_YUV420P;
      videoEncoder->colorspace = AVCOL_SPC_SMPTE170M;
      videoEncoder->color_range = AVCOL_RANGE_MPEG;
      videoEncoder->gop_size = settings.framesPerSecond * 4;
      av_dict_set(&options, "preset", "veryfast", 0);
      av_dict_set(&options, "crf", "20", 0);
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
                                     videoEncoder->pix_fmt, SWS_BILINEAR, nullptr, nullptr, nullptr);
    videoFrame = av_frame_alloc();
    if (!colourConverter || !videoFrame) return "cannot set up the colour conversion";
    videoFrame->format = videoEncoder->pix_fmt;
    videoFrame->width = settings.width;
    videoFrame->height = settings.height;
    const int allocated = av_frame_get_buffer(videoFrame, 0);
    return allocated < 0 ? AvError("video frame", allocated) : "";
  }

  std::string OpenAudio() {
    const AVCodec* codec = avcodec_find_encoder_by_name(AudioEncoderName(settings.lossless));
    audioEncoder = avcodec_alloc_context3(codec);
    if (!audioEncoder) return "out of memory";
    audioEncoder->sample_rate = soundtrackRate;
    av_channel_layout_default(&audioEncoder->ch_layout, soundtrackChannels);
    // FLAC takes the samples as they are; AAC wants planar floats.
    audioEncoder->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    audioEncoder->time_base = AVRational{1, soundtrackRate};
    if (!settings.lossless) audioEncoder->bit_rate = 192000;
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
    int made = swr_alloc_set_opts2(&sampleConverter, &audioEncoder->ch_layout, audioEncoder->sample_fmt, soundtrackRate,
                                   &stereo, AV_SAMPLE_FMT_S16, soundtrackRate, 0, nullptr);
    if (made < 0 || (made = swr_init(sampleConverter)) < 0) return AvError("cannot set up the sample conversion", made);

    audioFrame = av_frame_alloc();
    if (!audioFrame) return "out of memory";
    audioFrame->format = audioEncoder->sample_fmt;
    av_channel_layout_copy(&audioFrame->ch_layout, &audioEncoder->ch_layout);
    audioFrame->sample_rate = soundtrackRate;
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
  const int allocated =
      avformat_alloc_output_context2(&s.container, ContainerFor(settings), nullptr, settings.writePath.c_str());
  if (allocated < 0) return AvError("cannot set up the container", allocated);
  s.packet = av_packet_alloc();
  if (!s.packet) return "out of memory";
  problem = s.OpenVideo();
  if (problem.empty() && settings.withAudio) problem = s.OpenAudio();
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
  std::string problem = s.Encode(s.videoEncoder, s.videoStream, s.videoFrame);
  s.encodeSeconds += SecondsSince(converted);
  return problem;
}

std::string MediaWriter::WriteAudio(const int16_t* interleaved, int sampleFrames) {
  State& s = *state_;
  const Clock::time_point start = Clock::now();
  const int made = av_frame_make_writable(s.audioFrame);
  if (made < 0) return AvError("audio frame", made);
  const uint8_t* input[1] = {reinterpret_cast<const uint8_t*>(interleaved)};
  const int converted = swr_convert(s.sampleConverter, s.audioFrame->data, sampleFrames, input, sampleFrames);
  if (converted != sampleFrames) return AvError("converting the sound", converted < 0 ? converted : AVERROR_BUG);
  s.audioFrame->nb_samples = sampleFrames;
  const bool takesShortFrame =
      s.audioEncoder->codec->capabilities & (AV_CODEC_CAP_SMALL_LAST_FRAME | AV_CODEC_CAP_VARIABLE_FRAME_SIZE);
  if (sampleFrames < AudioFrameSize() && !takesShortFrame) {
    // An encoder of fixed frames gets the last one filled up with silence.
    av_samples_set_silence(s.audioFrame->data, sampleFrames, AudioFrameSize() - sampleFrames,
                           s.audioEncoder->ch_layout.nb_channels, s.audioEncoder->sample_fmt);
    s.audioFrame->nb_samples = AudioFrameSize();
  }
  s.audioFrame->pts = s.audioSamplesSent;
  s.audioSamplesSent += sampleFrames;
  std::string problem = s.Encode(s.audioEncoder, s.audioStream, s.audioFrame);
  s.encodeSeconds += SecondsSince(start);
  return problem;
}

std::string MediaWriter::Finish() {
  State& s = *state_;
  const Clock::time_point start = Clock::now();
  std::string problem = s.Encode(s.videoEncoder, s.videoStream, nullptr);
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
