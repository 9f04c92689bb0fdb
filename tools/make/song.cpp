#include "song.h"
#include "media_handles.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cmath>
#include <memory>

#include "datagen/loudness.h"
#include "datagen/soundtrack.h"

namespace {
constexpr int rate = soundtrackSampleRate;
constexpr double aimLoudness = -14.0;
// The aim for the true peak before encoding; the encoder may add a little.
constexpr double aimPeak = -2.0;
constexpr double fadeSeconds = 5.0, silentEndSeconds = 0.5;

std::string MediaError(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

using Channels = std::vector<float>[2];

// Decodes up to `limit` frames of the song as 44.1 kHz stereo; `more` tells
// whether the song goes on after them.
bool Decode(const std::string& path, size_t limit, Channels& channels, bool& more, std::string& error) {
  AVFormatContext* opened = nullptr;
  int status = avformat_open_input(&opened, path.c_str(), nullptr, nullptr);
  if (status < 0) {
    error = MediaError(status);
    return false;
  }
  FormatPtr format(opened);
  if (avformat_find_stream_info(format.get(), nullptr) < 0) {
    error = "cannot read its streams";
    return false;
  }
  const AVCodec* decoder = nullptr;
  const int stream = av_find_best_stream(format.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
  if (stream < 0 || !decoder) {
    error = "no sound in it that can be decoded";
    return false;
  }
  CodecPtr codec(avcodec_alloc_context3(decoder));
  if (!codec || avcodec_parameters_to_context(codec.get(), format->streams[stream]->codecpar) < 0 ||
      avcodec_open2(codec.get(), decoder, nullptr) < 0) {
    error = "cannot open its decoder";
    return false;
  }
  AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
  SwrContext* made = nullptr;
  if (codec->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
    av_channel_layout_default(&codec->ch_layout, codec->ch_layout.nb_channels);
  if (swr_alloc_set_opts2(&made, &stereo, AV_SAMPLE_FMT_FLTP, rate, &codec->ch_layout, codec->sample_fmt,
                          codec->sample_rate, 0, nullptr) < 0 ||
      swr_init(made) < 0) {
    swr_free(&made);
    error = "cannot convert its samples";
    return false;
  }
  ResamplerPtr resampler(made);
  FramePtr frame(av_frame_alloc());
  PacketPtr packet(av_packet_alloc());
  std::vector<float> converted[2];
  auto append = [&](const uint8_t** input, int count) {
    const int room = swr_get_out_samples(resampler.get(), count);
    if (room <= 0) return;
    converted[0].resize(size_t(room));
    converted[1].resize(size_t(room));
    uint8_t* output[2] = {reinterpret_cast<uint8_t*>(converted[0].data()),
                          reinterpret_cast<uint8_t*>(converted[1].data())};
    const int got = swr_convert(resampler.get(), output, room, input, count);
    for (int c = 0; c < 2 && got > 0; ++c)
      channels[c].insert(channels[c].end(), converted[c].begin(), converted[c].begin() + got);
  };
  bool decodedAny = false, ended = false;
  int errors = 0;
  while (!ended && channels[0].size() <= limit) {
    status = av_read_frame(format.get(), packet.get());
    if (status < 0) {
      ended = true;
      avcodec_send_packet(codec.get(), nullptr);
    } else if (packet->stream_index == stream) {
      if (avcodec_send_packet(codec.get(), packet.get()) < 0) ++errors;
    }
    av_packet_unref(packet.get());
    while (avcodec_receive_frame(codec.get(), frame.get()) >= 0) {
      decodedAny = true;
      append(const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples);
    }
    if (errors > 1000) break;
  }
  append(nullptr, 0);
  if (!decodedAny || channels[0].empty()) {
    error = "no sound could be decoded from it";
    return false;
  }
  more = channels[0].size() > limit;
  for (auto& channel : channels) channel.resize(std::min(channel.size(), limit));
  return true;
}

void Scale(Channels& channels, double decibels) {
  const float factor = float(std::pow(10.0, decibels / 20));
  for (auto& channel : channels) {
    for (float& sample : channel) sample *= factor;
  }
}

// Runs the samples through libavfilter's look-ahead limiter, so no sample
// goes above `ceiling` (linear), without changing the level below it.
bool Limit(Channels& channels, double ceiling) {
  GraphPtr graph(avfilter_graph_alloc());
  if (!graph) return false;
  AVFilterContext *source = nullptr, *sink = nullptr;
  char arguments[128];
  std::snprintf(arguments, sizeof arguments, "sample_rate=%d:sample_fmt=fltp:channel_layout=stereo:time_base=1/%d",
                rate, rate);
  if (avfilter_graph_create_filter(&source, avfilter_get_by_name("abuffer"), "in", arguments, nullptr, graph.get()) <
          0 ||
      avfilter_graph_create_filter(&sink, avfilter_get_by_name("abuffersink"), "out", nullptr, nullptr, graph.get()) <
          0)
    return false;
  AVFilterInOut* outputs = avfilter_inout_alloc();
  AVFilterInOut* inputs = avfilter_inout_alloc();
  outputs->name = av_strdup("in");
  outputs->filter_ctx = source;
  inputs->name = av_strdup("out");
  inputs->filter_ctx = sink;
  char description[160];
  std::snprintf(description, sizeof description,
                "alimiter=limit=%.5f:attack=5:release=80:level=0:latency=1,aformat=sample_fmts=fltp", ceiling);
  const bool parsed = avfilter_graph_parse_ptr(graph.get(), description, &inputs, &outputs, nullptr) >= 0;
  avfilter_inout_free(&inputs);
  avfilter_inout_free(&outputs);
  if (!parsed || avfilter_graph_config(graph.get(), nullptr) < 0) return false;

  std::vector<float> limited[2];
  FramePtr frame(av_frame_alloc());
  auto drain = [&] {
    while (av_buffersink_get_frame(sink, frame.get()) >= 0) {
      for (int c = 0; c < 2; ++c) {
        const float* samples = reinterpret_cast<const float*>(frame->extended_data[c]);
        limited[c].insert(limited[c].end(), samples, samples + frame->nb_samples);
      }
      av_frame_unref(frame.get());
    }
  };
  const size_t total = channels[0].size(), chunk = 4096;
  for (size_t start = 0; start < total; start += chunk) {
    FramePtr input(av_frame_alloc());
    input->format = AV_SAMPLE_FMT_FLTP;
    input->sample_rate = rate;
    av_channel_layout_default(&input->ch_layout, 2);
    input->nb_samples = int(std::min(chunk, total - start));
    input->pts = int64_t(start);
    if (av_frame_get_buffer(input.get(), 0) < 0) return false;
    for (int c = 0; c < 2; ++c) {
      std::copy_n(channels[c].begin() + long(start), input->nb_samples,
                  reinterpret_cast<float*>(input->extended_data[c]));
    }
    if (av_buffersrc_add_frame(source, input.get()) < 0) return false;
    drain();
  }
  if (av_buffersrc_add_frame(source, nullptr) < 0) return false;
  drain();
  if (limited[0].size() < total) return false;
  for (int c = 0; c < 2; ++c) {
    limited[c].resize(total);
    channels[c].swap(limited[c]);
  }
  return true;
}
}  // namespace

double TruePeak(const std::vector<float>& left, const std::vector<float>& right, int sampleRate) {
  AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
  SwrContext* made = nullptr;
  if (swr_alloc_set_opts2(&made, &stereo, AV_SAMPLE_FMT_FLTP, sampleRate * 4, &stereo, AV_SAMPLE_FMT_FLTP, sampleRate,
                          0, nullptr) < 0 ||
      swr_init(made) < 0) {
    swr_free(&made);
    return 0;
  }
  ResamplerPtr resampler(made);
  float peak = 0;
  std::vector<float> out[2];
  const size_t chunk = 8192;
  for (size_t start = 0;; start += chunk) {
    // The last call, with no samples, takes out what the resampler holds.
    const int count = start < left.size() ? int(std::min(chunk, left.size() - start)) : 0;
    const uint8_t* input[2] = {reinterpret_cast<const uint8_t*>(left.data() + start),
                               reinterpret_cast<const uint8_t*>(right.data() + start)};
    const int room = swr_get_out_samples(resampler.get(), count) + 16;
    out[0].resize(size_t(room));
    out[1].resize(size_t(room));
    uint8_t* output[2] = {reinterpret_cast<uint8_t*>(out[0].data()), reinterpret_cast<uint8_t*>(out[1].data())};
    const int got = swr_convert(resampler.get(), output, room, count > 0 ? input : nullptr, count);
    for (int c = 0; c < 2; ++c) {
      for (int i = 0; i < got; ++i) peak = std::max(peak, std::fabs(out[c][size_t(i)]));
    }
    if (count == 0) break;
  }
  for (size_t i = 0; i < left.size(); ++i) peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
  return peak > 0 ? 20 * std::log10(peak) : -200;
}

bool PrepareSong(const std::string& path, PreparedSong& song, std::string& error) {
  Channels channels;
  bool more = false;
  if (!Decode(path, size_t(soundtrackFrames), channels, more, error)) return false;
  song.seconds = double(channels[0].size()) / rate;
  if (more) {
    // Longer than the show: fade out so the music ends with the clock.
    song.fadedOut = true;
    const size_t end = channels[0].size() - size_t(silentEndSeconds * rate), fade = size_t(fadeSeconds * rate);
    for (size_t i = end - fade; i < channels[0].size(); ++i) {
      const double t = i >= end ? 0.0 : double(end - i) / double(fade);
      const float gain = float(t * t);
      channels[0][i] *= gain;
      channels[1][i] *= gain;
    }
  }
  song.sourceLoudness = IntegratedLoudness(channels[0], channels[1], rate);
  if (song.sourceLoudness <= -70) {
    error = "it is silent";
    return false;
  }
  // Gain to the aim, then the peaks limited and the loudness they took
  // made up, until both hold (a few rounds at most).
  Scale(channels, aimLoudness - song.sourceLoudness);
  for (int round = 0; round < 10 && TruePeak(channels[0], channels[1], rate) > aimPeak; ++round) {
    if (!Limit(channels, std::pow(10.0, (aimPeak - 0.5) / 20))) {
      error = "cannot limit its peaks";
      return false;
    }
    const double shortfall = aimLoudness - IntegratedLoudness(channels[0], channels[1], rate);
    if (shortfall < 0.1) break;
    Scale(channels, shortfall);
  }
  // Whatever the limiter let through between the samples.
  const double peak = TruePeak(channels[0], channels[1], rate);
  if (peak > aimPeak) Scale(channels, aimPeak - peak);
  song.loudness = IntegratedLoudness(channels[0], channels[1], rate);
  song.truePeak = TruePeak(channels[0], channels[1], rate);

  song.samples.resize(channels[0].size() * 2);
  for (size_t i = 0; i < channels[0].size(); ++i) {
    for (int c = 0; c < 2; ++c) {
      song.samples[2 * i + size_t(c)] = int16_t(std::lround(std::clamp(channels[c][i], -1.0f, 1.0f) * 32767));
    }
  }
  return true;
}
