#pragma once
// Owners for FFmpeg's objects: each frees its object the library's way when
// it goes out of scope, on every path out of a decoder or a filter.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavformat/avformat.h>
#include <libavutil/frame.h>
#include <libswresample/swresample.h>
}

#include <memory>

// Each of them frees through the library's function that takes the
// object's address (and clears it).
template <auto free>
struct Freer {
  template <typename T>
  void operator()(T* object) const {
    free(&object);
  }
};

using FormatPtr = std::unique_ptr<AVFormatContext, Freer<avformat_close_input>>;
using CodecPtr = std::unique_ptr<AVCodecContext, Freer<avcodec_free_context>>;
using ResamplerPtr = std::unique_ptr<SwrContext, Freer<swr_free>>;
using FramePtr = std::unique_ptr<AVFrame, Freer<av_frame_free>>;
using PacketPtr = std::unique_ptr<AVPacket, Freer<av_packet_free>>;
using GraphPtr = std::unique_ptr<AVFilterGraph, Freer<avfilter_graph_free>>;
