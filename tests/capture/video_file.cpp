#include "video_file.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <algorithm>

namespace {

struct Decoding {
  AVFormatContext* container = nullptr;
  AVCodecContext* video = nullptr;
  AVCodecContext* audio = nullptr;
  int videoIndex = -1, audioIndex = -1;
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  ~Decoding() {
    avcodec_free_context(&video);
    avcodec_free_context(&audio);
    avformat_close_input(&container);
    av_packet_free(&packet);
    av_frame_free(&frame);
  }
};

AVCodecContext* OpenDecoder(AVStream* stream) {
  const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
  AVCodecContext* context = avcodec_alloc_context3(codec);
  if (!context || avcodec_parameters_to_context(context, stream->codecpar) < 0 ||
      avcodec_open2(context, codec, nullptr) < 0) {
    avcodec_free_context(&context);
  }
  return context;
}

std::vector<uint8_t> ToRgb(const AVFrame* frame) {
  std::vector<uint8_t> rgb(size_t(frame->width) * frame->height * 3);
  SwsContext* converter = sws_getContext(frame->width, frame->height, AVPixelFormat(frame->format), frame->width,
                                         frame->height, AV_PIX_FMT_RGB24, SWS_POINT, nullptr, nullptr, nullptr);
  uint8_t* planes[1] = {rgb.data()};
  const int strides[1] = {frame->width * 3};
  sws_scale(converter, frame->data, frame->linesize, 0, frame->height, planes, strides);
  sws_freeContext(converter);
  return rgb;
}

void TakeFrames(Decoding& d, AVCodecContext* decoder, const std::set<int>& keep, VideoFile* file) {
  while (avcodec_receive_frame(decoder, d.frame) == 0) {
    if (decoder == d.video) {
      if (keep.count(file->decodedFrames)) file->keptFrames.push_back(ToRgb(d.frame));
      ++file->decodedFrames;
    } else {
      file->audioSampleFrames += d.frame->nb_samples;
      if (d.frame->format == AV_SAMPLE_FMT_S16) {
        const auto* samples = reinterpret_cast<const int16_t*>(d.frame->data[0]);
        file->audioSamples.insert(file->audioSamples.end(), samples,
                                  samples + size_t(d.frame->nb_samples) * d.frame->ch_layout.nb_channels);
      } else if (d.frame->format == AV_SAMPLE_FMT_FLTP) {  // Opus's decoder: one plane of floats per channel
        for (int i = 0; i < d.frame->nb_samples; ++i)
          for (int channel = 0; channel < d.frame->ch_layout.nb_channels; ++channel) {
            const float value = reinterpret_cast<const float*>(d.frame->data[channel])[i];
            file->audioSamples.push_back(int16_t(std::clamp(value * 32768.0f, -32768.0f, 32767.0f)));
          }
      }
    }
    av_frame_unref(d.frame);
  }
}

}  // namespace

VideoFile ReadVideoFile(const std::string& path, const std::set<int>& keepFrames) {
  VideoFile file;
  Decoding d;
  if (avformat_open_input(&d.container, path.c_str(), nullptr, nullptr) < 0) return file;
  if (avformat_find_stream_info(d.container, nullptr) < 0) return file;
  file.container = d.container->iformat->name;
  file.durationSeconds = d.container->duration > 0 ? double(d.container->duration) / AV_TIME_BASE : 0;
  d.videoIndex = av_find_best_stream(d.container, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  d.audioIndex = av_find_best_stream(d.container, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
  if (d.videoIndex < 0) return file;
  AVStream* videoStream = d.container->streams[d.videoIndex];
  d.video = OpenDecoder(videoStream);
  if (!d.video) return file;
  file.videoCodec = avcodec_get_name(videoStream->codecpar->codec_id);
  file.pixelFormat = av_get_pix_fmt_name(AVPixelFormat(videoStream->codecpar->format));
  file.width = videoStream->codecpar->width;
  file.height = videoStream->codecpar->height;
  file.frameRateNum = videoStream->avg_frame_rate.num;
  file.frameRateDen = videoStream->avg_frame_rate.den;
  if (d.audioIndex >= 0) {
    AVStream* audioStream = d.container->streams[d.audioIndex];
    d.audio = OpenDecoder(audioStream);
    if (!d.audio) return file;
    file.audioCodec = avcodec_get_name(audioStream->codecpar->codec_id);
    file.audioRate = audioStream->codecpar->sample_rate;
    file.audioChannels = audioStream->codecpar->ch_layout.nb_channels;
  }
  while (av_read_frame(d.container, d.packet) >= 0) {
    AVCodecContext* decoder = d.packet->stream_index == d.videoIndex   ? d.video
                              : d.packet->stream_index == d.audioIndex ? d.audio
                                                                       : nullptr;
    if (decoder && avcodec_send_packet(decoder, d.packet) >= 0) TakeFrames(d, decoder, keepFrames, &file);
    av_packet_unref(d.packet);
  }
  for (AVCodecContext* decoder : {d.video, d.audio}) {
    if (!decoder) continue;
    avcodec_send_packet(decoder, nullptr);
    TakeFrames(d, decoder, keepFrames, &file);
  }
  file.opened = true;
  return file;
}
