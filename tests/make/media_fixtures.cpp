#include "media_fixtures.h"
#include "media_handles.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <cmath>
#include <memory>

namespace {

FramePtr ConvertFrame(const RgbaPicture& picture, AVPixelFormat format) {
  FramePtr frame(av_frame_alloc());
  frame->format = format;
  frame->width = picture.width;
  frame->height = picture.height;
  if (av_frame_get_buffer(frame.get(), 0) < 0) return nullptr;
  SwsContext* scaler = sws_getContext(picture.width, picture.height, AV_PIX_FMT_RGBA, picture.width, picture.height,
                                      format, SWS_POINT, nullptr, nullptr, nullptr);
  if (!scaler) return nullptr;
  const uint8_t* planes[4] = {picture.bytes.data()};
  const int strides[4] = {picture.width * 4};
  sws_scale(scaler, planes, strides, 0, picture.height, frame->data, frame->linesize);
  sws_freeContext(scaler);
  return frame;
}

// Sends one frame (or the flush) and hands every packet that comes out to `take`.
template <typename Take>
bool Encode(AVCodecContext* codec, const AVFrame* frame, Take take) {
  if (avcodec_send_frame(codec, frame) < 0) return false;
  PacketPtr packet(av_packet_alloc());
  for (;;) {
    const int status = avcodec_receive_packet(codec, packet.get());
    if (status == AVERROR(EAGAIN) || status == AVERROR_EOF) return true;
    if (status < 0) return false;
    if (!take(packet.get())) return false;
    av_packet_unref(packet.get());
  }
}

CodecPtr OpenVideoEncoder(const AVCodec* codec, int width, int height, AVPixelFormat format) {
  CodecPtr context(avcodec_alloc_context3(codec));
  context->width = width;
  context->height = height;
  context->pix_fmt = format;
  context->time_base = AVRational{1, 10};
  context->strict_std_compliance = FF_COMPLIANCE_UNOFFICIAL;
  if (avcodec_open2(context.get(), codec, nullptr) < 0) return nullptr;
  return context;
}
}  // namespace

RgbaPicture MakeRgba(int width, int height, const std::function<void(int x, int y, uint8_t* rgba)>& colour) {
  RgbaPicture picture{width, height, std::vector<uint8_t>(size_t(width) * height * 4)};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) colour(x, y, &picture.bytes[(size_t(y) * width + x) * 4]);
  }
  return picture;
}

std::vector<uint8_t> EncodePicture(const char* encoder, const RgbaPicture& picture) {
  const AVCodec* codec = avcodec_find_encoder_by_name(encoder);
  if (!codec || !codec->pix_fmts) return {};
  // RGBA where the encoder takes it (to keep the alpha), else its first format.
  AVPixelFormat format = codec->pix_fmts[0];
  for (const AVPixelFormat* f = codec->pix_fmts; *f != AV_PIX_FMT_NONE; ++f) {
    if (*f == AV_PIX_FMT_RGBA || *f == AV_PIX_FMT_ARGB) format = *f;
  }
  CodecPtr context = OpenVideoEncoder(codec, picture.width, picture.height, format);
  FramePtr frame = ConvertFrame(picture, format);
  if (!context || !frame) return {};
  std::vector<uint8_t> bytes;
  auto take = [&](const AVPacket* packet) {
    bytes.insert(bytes.end(), packet->data, packet->data + packet->size);
    return true;
  };
  if (!Encode(context.get(), frame.get(), take) || !Encode(context.get(), nullptr, take)) return {};
  return bytes;
}

std::vector<uint8_t> WithExif(std::vector<uint8_t> jpeg, int orientation, const std::string& dateTime) {
  // APP1 "Exif": a little-endian TIFF header and one directory: Orientation
  // (0x0112, a SHORT) and DateTime (0x0132, 20 ASCII bytes stored after it).
  const uint8_t entries = dateTime.empty() ? 1 : 2;
  std::vector<uint8_t> tiff = {'I', 'I', 42, 0, 8, 0, 0, 0, entries, 0};
  tiff.insert(tiff.end(), {0x12, 0x01, 3, 0, 1, 0, 0, 0, uint8_t(orientation), 0, 0, 0});
  const uint8_t dataOffset = uint8_t(8 + 2 + 12 * entries + 4);
  if (!dateTime.empty()) tiff.insert(tiff.end(), {0x32, 0x01, 2, 0, 20, 0, 0, 0, dataOffset, 0, 0, 0});
  tiff.insert(tiff.end(), {0, 0, 0, 0});  // no next directory
  if (!dateTime.empty()) {
    std::string text = dateTime;
    text.resize(20, '\0');
    tiff.insert(tiff.end(), text.begin(), text.end());
  }
  std::vector<uint8_t> segment = {0xFF, 0xE1, 0, 0, 'E', 'x', 'i', 'f', 0, 0};
  segment.insert(segment.end(), tiff.begin(), tiff.end());
  const size_t length = segment.size() - 2;
  segment[2] = uint8_t(length >> 8);
  segment[3] = uint8_t(length);
  jpeg.insert(jpeg.begin() + 2, segment.begin(), segment.end());  // after the start-of-image marker
  return jpeg;
}

namespace {
// Opens a muxer on `path` with one stream from the encoder context.
AVFormatContext* OpenMuxer(const std::string& path, const char* muxer, AVCodecContext* codec, AVStream** stream) {
  AVFormatContext* format = nullptr;
  if (avformat_alloc_output_context2(&format, nullptr, muxer, path.c_str()) < 0) return nullptr;
  *stream = avformat_new_stream(format, nullptr);
  avcodec_parameters_from_context((*stream)->codecpar, codec);
  (*stream)->time_base = codec->time_base;
  if (avio_open(&format->pb, path.c_str(), AVIO_FLAG_WRITE) < 0 || avformat_write_header(format, nullptr) < 0) {
    avio_closep(&format->pb);
    avformat_free_context(format);
    return nullptr;
  }
  return format;
}

bool CloseMuxer(AVFormatContext* format) {
  const bool ok = av_write_trailer(format) == 0;
  avio_closep(&format->pb);
  avformat_free_context(format);
  return ok;
}
}  // namespace

bool WriteGif(const std::string& path, const std::vector<RgbaPicture>& frames) {
  const AVCodec* codec = avcodec_find_encoder_by_name("gif");
  if (!codec || frames.empty()) return false;
  CodecPtr context = OpenVideoEncoder(codec, frames[0].width, frames[0].height, AV_PIX_FMT_RGB8);
  if (!context) return false;
  AVStream* stream = nullptr;
  AVFormatContext* format = OpenMuxer(path, "gif", context.get(), &stream);
  if (!format) return false;
  auto take = [&](AVPacket* packet) {
    packet->stream_index = 0;
    av_packet_rescale_ts(packet, context->time_base, stream->time_base);
    return av_interleaved_write_frame(format, packet) >= 0;
  };
  bool ok = true;
  for (size_t i = 0; i < frames.size() && ok; ++i) {
    FramePtr frame = ConvertFrame(frames[i], AV_PIX_FMT_RGB8);
    frame->pts = int64_t(i);
    ok = frame && Encode(context.get(), frame.get(), take);
  }
  ok = ok && Encode(context.get(), nullptr, take);
  return CloseMuxer(format) && ok;
}

bool WriteSong(const std::string& path, const char* muxer, const char* encoder, double seconds, double amplitude,
               bool clicks, int sampleRate) {
  const AVCodec* codec = avcodec_find_encoder_by_name(encoder);
  if (!codec) return false;
  CodecPtr context(avcodec_alloc_context3(codec));
  context->sample_rate = sampleRate;
  context->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
  av_channel_layout_default(&context->ch_layout, 2);
  context->time_base = AVRational{1, sampleRate};
  if (avcodec_open2(context.get(), codec, nullptr) < 0 || context->sample_fmt != AV_SAMPLE_FMT_S16) return false;
  AVStream* stream = nullptr;
  AVFormatContext* format = OpenMuxer(path, muxer, context.get(), &stream);
  if (!format) return false;
  auto take = [&](AVPacket* packet) {
    packet->stream_index = 0;
    av_packet_rescale_ts(packet, context->time_base, stream->time_base);
    return av_interleaved_write_frame(format, packet) >= 0;
  };
  const int chunk = context->frame_size > 0 ? context->frame_size : 1024;
  const long total = long(seconds * sampleRate);
  bool ok = true;
  for (long start = 0; start < total && ok; start += chunk) {
    FramePtr frame(av_frame_alloc());
    frame->format = AV_SAMPLE_FMT_S16;
    frame->sample_rate = sampleRate;
    av_channel_layout_default(&frame->ch_layout, 2);
    frame->nb_samples = int(std::min<long>(chunk, total - start));
    frame->pts = start;
    ok = av_frame_get_buffer(frame.get(), 0) >= 0;
    int16_t* samples = reinterpret_cast<int16_t*>(frame->data[0]);
    for (int i = 0; ok && i < frame->nb_samples; ++i) {
      // A tone that rises and falls, so the song has some dynamics.
      const double t = double(start + i) / sampleRate;
      double value = amplitude * (0.6 + 0.4 * std::sin(2 * M_PI * 0.5 * t)) * std::sin(2 * M_PI * 440 * t);
      if (clicks && (start + i) % (sampleRate / 4) < sampleRate / 100) value = std::sin(2 * M_PI * 1000 * t);
      samples[2 * i] = samples[2 * i + 1] = int16_t(std::lround(value * 32767));
    }
    ok = ok && Encode(context.get(), frame.get(), take);
  }
  ok = ok && Encode(context.get(), nullptr, take);
  return CloseMuxer(format) && ok;
}

std::vector<std::vector<float>> DecodeSong(const std::string& path) {
  AVFormatContext* format = nullptr;
  if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) return {};
  std::vector<std::vector<float>> channels(2);
  const AVCodec* decoder = nullptr;
  const int stream = avformat_find_stream_info(format, nullptr) >= 0
                         ? av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0)
                         : -1;
  CodecPtr codec(decoder ? avcodec_alloc_context3(decoder) : nullptr);
  SwrContext* resampler = nullptr;
  AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
  bool ok = stream >= 0 && codec &&
            avcodec_parameters_to_context(codec.get(), format->streams[stream]->codecpar) >= 0 &&
            avcodec_open2(codec.get(), decoder, nullptr) >= 0 &&
            swr_alloc_set_opts2(&resampler, &stereo, AV_SAMPLE_FMT_FLTP, 44100, &codec->ch_layout, codec->sample_fmt,
                                codec->sample_rate, 0, nullptr) >= 0 &&
            swr_init(resampler) >= 0;
  FramePtr frame(av_frame_alloc());
  PacketPtr packet(av_packet_alloc());
  auto append = [&](const uint8_t** input, int count) {
    std::vector<float> out[2];
    const int room = swr_get_out_samples(resampler, count) + 64;
    out[0].resize(size_t(room));
    out[1].resize(size_t(room));
    uint8_t* output[2] = {reinterpret_cast<uint8_t*>(out[0].data()), reinterpret_cast<uint8_t*>(out[1].data())};
    const int got = swr_convert(resampler, output, room, input, count);
    for (int c = 0; c < 2 && got > 0; ++c)
      channels[size_t(c)].insert(channels[size_t(c)].end(), out[c].begin(), out[c].begin() + got);
  };
  while (ok) {
    const bool ended = av_read_frame(format, packet.get()) < 0;
    if (ended) {
      avcodec_send_packet(codec.get(), nullptr);
    } else if (packet->stream_index == stream) {
      avcodec_send_packet(codec.get(), packet.get());
    }
    av_packet_unref(packet.get());
    while (avcodec_receive_frame(codec.get(), frame.get()) >= 0) {
      append(const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples);
    }
    if (ended) {
      append(nullptr, 0);
      break;
    }
  }
  swr_free(&resampler);
  avformat_close_input(&format);
  if (!ok) return {};
  return channels;
}
