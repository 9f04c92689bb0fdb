#include "palette_filter.h"

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/error.h>
#include <libavutil/pixdesc.h>
}

namespace {

std::string AvError(const char* what, int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return std::string(what) + ": " + text;
}

// One palette per frame, from that frame's own colours, used at once.
constexpr char kPaletteChain[] =
    "split[picture][forPalette];[forPalette]palettegen=stats_mode=single[palette];"
    "[picture][palette]paletteuse=new=1";

}  // namespace

PaletteFilter::~PaletteFilter() { avfilter_graph_free(&graph_); }

std::string PaletteFilter::Open(int width, int height, int timeBaseNum, int timeBaseDen) {
  graph_ = avfilter_graph_alloc();
  if (!graph_) return "out of memory";
  graph_->nb_threads = 1;  // the encoding thread is the one this runs on
  const std::string sourceArguments = "video_size=" + std::to_string(width) + "x" + std::to_string(height) +
                                      ":pix_fmt=" + av_get_pix_fmt_name(AV_PIX_FMT_RGB24) +
                                      ":time_base=" + std::to_string(timeBaseNum) + "/" + std::to_string(timeBaseDen) +
                                      ":pixel_aspect=1/1";
  int result = avfilter_graph_create_filter(&source_, avfilter_get_by_name("buffer"), "frames", sourceArguments.c_str(),
                                            nullptr, graph_);
  if (result < 0) return AvError("cannot set up the palette filters", result);
  result = avfilter_graph_create_filter(&sink_, avfilter_get_by_name("buffersink"), "gif", nullptr, nullptr, graph_);
  if (result < 0) return AvError("cannot set up the palette filters", result);

  // The chain's open ends: its input is fed by the source, its output feeds the sink.
  AVFilterInOut* chainInput = avfilter_inout_alloc();
  AVFilterInOut* chainOutput = avfilter_inout_alloc();
  if (!chainInput || !chainOutput) {
    avfilter_inout_free(&chainInput);
    avfilter_inout_free(&chainOutput);
    return "out of memory";
  }
  chainInput->name = av_strdup("in");
  chainInput->filter_ctx = source_;
  chainOutput->name = av_strdup("out");
  chainOutput->filter_ctx = sink_;
  result = avfilter_graph_parse_ptr(graph_, kPaletteChain, &chainOutput, &chainInput, nullptr);
  avfilter_inout_free(&chainInput);
  avfilter_inout_free(&chainOutput);
  if (result >= 0) result = avfilter_graph_config(graph_, nullptr);
  return result < 0 ? AvError("cannot set up the palette filters", result) : "";
}

std::string PaletteFilter::Push(AVFrame* rgb) {
  const int result = av_buffersrc_add_frame_flags(source_, rgb, AV_BUFFERSRC_FLAG_KEEP_REF);
  return result < 0 ? AvError("choosing the palette", result) : "";
}

int PaletteFilter::Pull(AVFrame* pal8) {
  const int result = av_buffersink_get_frame(sink_, pal8);
  if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return 0;
  return result < 0 ? result : 1;
}
