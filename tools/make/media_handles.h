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

struct FormatCloser {
  void operator()(AVFormatContext* format) const { avformat_close_input(&format); }
};
struct CodecCloser {
  void operator()(AVCodecContext* codec) const { avcodec_free_context(&codec); }
};
struct ResamplerFreer {
  void operator()(SwrContext* resampler) const { swr_free(&resampler); }
};
struct FrameFreer {
  void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketFreer {
  void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct GraphFreer {
  void operator()(AVFilterGraph* graph) const { avfilter_graph_free(&graph); }
};

using FormatPtr = std::unique_ptr<AVFormatContext, FormatCloser>;
using CodecPtr = std::unique_ptr<AVCodecContext, CodecCloser>;
using ResamplerPtr = std::unique_ptr<SwrContext, ResamplerFreer>;
using FramePtr = std::unique_ptr<AVFrame, FrameFreer>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFreer>;
using GraphPtr = std::unique_ptr<AVFilterGraph, GraphFreer>;
