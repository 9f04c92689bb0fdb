#include "picture_loader.h"
#include "media_handles.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/display.h>
#include <libavutil/frame.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

namespace {
// What the libraries said on this thread while it decoded a picture: the decoders name a size
// they refuse only in their log.
thread_local std::string lastLibraryMessage;

std::string MediaError(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

bool IsPictureCodec(AVCodecID id) {
  switch (id) {
    case AV_CODEC_ID_MJPEG:
    case AV_CODEC_ID_PNG:
    case AV_CODEC_ID_APNG:
    case AV_CODEC_ID_WEBP:
    case AV_CODEC_ID_GIF:
    case AV_CODEC_ID_BMP:
    case AV_CODEC_ID_TIFF:
      return true;
    default:
      return false;
  }
}

bool IsPictureFormat(const char* name) {
  for (const char* known : {"jpeg_pipe", "png_pipe", "webp_pipe", "gif", "gif_pipe", "bmp_pipe", "tiff_pipe", "apng"}) {
    if (std::strcmp(name, known) == 0) return true;
  }
  return false;
}

// A picture in RGBA, top row first.
struct Rgba {
  int width = 0, height = 0;
  std::vector<uint8_t> bytes;
};

// The frame's region (x, y, w, h) scaled to width x height.
bool ScaleRegion(const AVFrame* source, int x, int y, int w, int h, int width, int height, int flags, Rgba& out) {
  const AVPixFmtDescriptor* format = av_pix_fmt_desc_get(AVPixelFormat(source->format));
  if (!format) return false;
  const bool whole = x == 0 && y == 0 && w == source->width && h == source->height;
  if (!whole && (format->flags & AV_PIX_FMT_FLAG_BITSTREAM)) {
    // Formats of less than a byte a pixel cannot be cropped in place:
    // convert the whole picture first, then crop that.
    Rgba converted;
    if (!ScaleRegion(source, 0, 0, source->width, source->height, source->width, source->height, SWS_POINT, converted))
      return false;
    FramePtr rgba(av_frame_alloc());
    if (!rgba) return false;
    rgba->format = AV_PIX_FMT_RGBA;
    rgba->data[0] = converted.bytes.data() + (size_t(y) * converted.width + x) * 4;
    rgba->linesize[0] = converted.width * 4;
    rgba->width = w;
    rgba->height = h;
    return ScaleRegion(rgba.get(), 0, 0, w, h, width, height, flags, out);
  }
  FramePtr frame(av_frame_clone(source));
  if (!frame) return false;
  frame->crop_left = size_t(x);
  frame->crop_top = size_t(y);
  frame->crop_right = size_t(source->width - x - w);
  frame->crop_bottom = size_t(source->height - y - h);
  if (av_frame_apply_cropping(frame.get(), AV_FRAME_CROP_UNALIGNED) < 0 || frame->width != w || frame->height != h)
    return false;
  SwsContext* scaler = sws_getContext(frame->width, frame->height, AVPixelFormat(frame->format), width, height,
                                      AV_PIX_FMT_RGBA, flags | SWS_ACCURATE_RND, nullptr, nullptr, nullptr);
  if (!scaler) return false;
  out.width = width;
  out.height = height;
  out.bytes.assign(size_t(width) * height * 4, 0);
  uint8_t* planes[4] = {out.bytes.data(), nullptr, nullptr, nullptr};
  int strides[4] = {width * 4, 0, 0, 0};
  const int rows = sws_scale(scaler, frame->data, frame->linesize, 0, frame->height, planes, strides);
  sws_freeContext(scaler);
  return rows == height;
}

// The EXIF orientation, 1 to 8 (1: as stored), from the decoder's metadata
// or the display matrix it attached.
int OrientationOf(const AVFrame* frame) {
  if (const AVDictionaryEntry* entry = av_dict_get(frame->metadata, "Orientation", nullptr, 0)) {
    const int value = std::atoi(entry->value);
    if (value >= 1 && value <= 8) return value;
  }
  if (const AVFrameSideData* side = av_frame_get_side_data(frame, AV_FRAME_DATA_DISPLAYMATRIX)) {
    if (side->size < 9 * sizeof(int32_t)) return 1;
    const int32_t* matrix = reinterpret_cast<const int32_t*>(side->data);
    const bool flipped = double(matrix[0]) * matrix[4] - double(matrix[1]) * matrix[3] < 0;
    const double angle = av_display_rotation_get(matrix);  // counter-clockwise
    if (std::isnan(angle)) return 1;
    const int quarter = int(std::lround(-angle / 90.0)) & 3;  // clockwise quarter turns
    const int plain[4] = {1, 6, 3, 8}, mirrored[4] = {2, 7, 4, 5};
    return flipped ? mirrored[quarter] : plain[quarter];
  }
  return 1;
}

// The picture turned and mirrored as its EXIF orientation says. Orientations
// 5 to 8 swap the axes; each then mirrors across none, one or both of them.
Rgba Orient(const Rgba& in, int orientation) {
  if (orientation < 2 || orientation > 8) return in;
  const bool swap = orientation >= 5;
  const bool mirrorX = orientation == 2 || orientation == 3 || orientation == 7 || orientation == 8;
  const bool mirrorY = orientation == 3 || orientation == 4 || orientation == 6 || orientation == 7;
  Rgba out;
  out.width = swap ? in.height : in.width;
  out.height = swap ? in.width : in.height;
  out.bytes.resize(in.bytes.size());
  const int w = in.width, h = in.height;
  for (int Y = 0; Y < out.height; ++Y) {
    for (int X = 0; X < out.width; ++X) {
      const int x = swap ? Y : X, y = swap ? X : Y;
      std::memcpy(&out.bytes[(size_t(Y) * out.width + X) * 4],
                  &in.bytes[(size_t(mirrorY ? h - 1 - y : y) * w + (mirrorX ? w - 1 - x : x)) * 4], 4);
    }
  }
  return out;
}

// Lays `layer` over `picture` at (left, top), blending by its alpha.
void Composite(Picture& picture, const Rgba& layer, int left, int topRow) {
  for (int y = 0; y < layer.height; ++y) {
    for (int x = 0; x < layer.width; ++x) {
      const uint8_t* p = &layer.bytes[(size_t(y) * layer.width + x) * 4];
      Rgb& target = PixelAt(picture, left + x, topRow + y);
      const int a = p[3];
      auto mix = [a](int over, int under) { return uint8_t((over * a + under * (255 - a) + 127) / 255); };
      target = Rgb{mix(p[0], target.r), mix(p[1], target.g), mix(p[2], target.b)};
    }
  }
}

// The whole frame (as stored) scaled to the picture's square.
bool Fit(const AVFrame* frame, const FitSettings& settings, Picture& picture) {
  const int orientation = OrientationOf(frame);
  const bool swap = orientation >= 5;
  const int w = frame->width, h = frame->height, side = std::min(w, h);
  const int size = settings.size;
  picture = MakePicture(size, size, settings.background);
  // The centred square, as in the cover fit.
  const int squareX = (w - side) / 2, squareY = (h - side) / 2;
  if (settings.fit == PictureFit::cover) {
    Rgba square;
    if (!ScaleRegion(frame, squareX, squareY, side, side, size, size, SWS_AREA, square)) return false;
    Composite(picture, Orient(square, orientation), 0, 0);
    return true;
  }
  // Contain: the bands show the cover fit drawn very small and enlarged
  // again, which blurs it, and darkened so the picture stands out.
  Rgba tiny, blurred;
  const int tinySide = std::max(4, size / 32);
  if (!ScaleRegion(frame, squareX, squareY, side, side, tinySide, tinySide, SWS_AREA, tiny)) return false;
  for (size_t i = 0; i < tiny.bytes.size(); i += 4) {
    for (int c = 0; c < 3; ++c) tiny.bytes[i + c] = uint8_t(tiny.bytes[i + c] * 3 / 5);
  }
  FramePtr tinyFrame(av_frame_alloc());
  if (!tinyFrame) return false;
  tinyFrame->format = AV_PIX_FMT_RGBA;
  tinyFrame->width = tinySide;
  tinyFrame->height = tinySide;
  tinyFrame->data[0] = tiny.bytes.data();
  tinyFrame->linesize[0] = tinySide * 4;
  if (!ScaleRegion(tinyFrame.get(), 0, 0, tinySide, tinySide, size, size, SWS_BICUBIC, blurred)) return false;
  Composite(picture, Orient(blurred, orientation), 0, 0);

  const int shownW = swap ? h : w, shownH = swap ? w : h;  // as the picture is seen
  int fitW = size, fitH = size;
  if (shownW >= shownH) {
    fitH = std::max(1, int(std::lround(double(size) * shownH / shownW)));
  } else {
    fitW = std::max(1, int(std::lround(double(size) * shownW / shownH)));
  }
  Rgba whole;
  if (!ScaleRegion(frame, 0, 0, w, h, swap ? fitH : fitW, swap ? fitW : fitH, SWS_AREA, whole)) return false;
  Composite(picture, Orient(whole, orientation), (size - fitW) / 2, (size - fitH) / 2);
  return true;
}

std::string DateOf(const AVFormatContext* format, const AVFrame* frame) {
  for (const AVDictionary* dictionary : {frame->metadata, format->metadata}) {
    for (const char* key : {"DateTimeOriginal", "DateTimeDigitized", "DateTime", "creation_time"}) {
      if (const AVDictionaryEntry* entry = av_dict_get(dictionary, key, nullptr, 0)) {
        if (entry->value[0] != '\0') return entry->value;
      }
    }
  }
  return {};
}

// The first frame of the file's picture stream; false with a reason.
bool DecodeFirstFrame(AVFormatContext* format, const FitSettings& settings, FramePtr& frame, std::string& error) {
  const int stream = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  if (stream < 0 || !IsPictureCodec(format->streams[stream]->codecpar->codec_id)) {
    error = "not a picture";
    return false;
  }
  const AVCodecParameters* parameters = format->streams[stream]->codecpar;
  if (uint64_t(std::max(parameters->width, 0)) * uint64_t(std::max(parameters->height, 0)) > settings.pixelBudget) {
    error = "too many pixels (" + std::to_string(parameters->width) + "x" + std::to_string(parameters->height) + ")";
    return false;
  }
  const AVCodec* decoder = avcodec_find_decoder(parameters->codec_id);
  CodecPtr codec(decoder ? avcodec_alloc_context3(decoder) : nullptr);
  if (!codec || avcodec_parameters_to_context(codec.get(), parameters) < 0) {
    error = "no decoder for this kind of picture";
    return false;
  }
  // The decoder refuses a picture larger than the budget when it reads the
  // size from the header, before it allocates anything for the pixels.
  codec->max_pixels = int64_t(settings.pixelBudget);
  codec->thread_count = 1;  // the pictures are decoded in parallel instead
  // A truncated or damaged picture is refused rather than shown half grey.
  // The TIFF decoder would refuse every tag it does not know, so it keeps
  // its ordinary checks.
  if (parameters->codec_id != AV_CODEC_ID_TIFF) codec->err_recognition = AV_EF_EXPLODE | AV_EF_CRCCHECK;
  if (avcodec_open2(codec.get(), decoder, nullptr) < 0) {
    error = "no decoder for this kind of picture";
    return false;
  }
  PacketPtr packet(av_packet_alloc());
  frame.reset(av_frame_alloc());
  if (!packet || !frame) {
    error = "out of memory";
    return false;
  }
  int status = 0;
  bool flushed = false;
  for (int packets = 0; packets < 100000; ++packets) {
    status = avcodec_receive_frame(codec.get(), frame.get());
    if (status >= 0) {
      if (frame->decode_error_flags != 0 || (frame->flags & AV_FRAME_FLAG_CORRUPT)) {
        error = "corrupt picture";
        return false;
      }
      return true;
    }
    if (status != AVERROR(EAGAIN) || flushed) break;
    const int read = av_read_frame(format, packet.get());
    if (read < 0) {
      flushed = true;
      avcodec_send_packet(codec.get(), nullptr);
      continue;
    }
    if (packet->stream_index == stream) status = avcodec_send_packet(codec.get(), packet.get());
    av_packet_unref(packet.get());
    if (status < 0 && status != AVERROR(EAGAIN)) break;
  }
  unsigned width = 0, height = 0;
  if (const size_t at = lastLibraryMessage.find("Picture size ");
      at != std::string::npos &&
      std::sscanf(lastLibraryMessage.c_str() + at, "Picture size %ux%u", &width, &height) == 2) {
    error = "too many pixels (" + std::to_string(width) + "x" + std::to_string(height) + ")";
  } else {
    error = flushed && status == AVERROR_EOF ? "truncated or corrupt picture"
                                             : "corrupt picture (" + MediaError(status) + ")";
  }
  return false;
}
}  // namespace

namespace {
void KeepLibraryMessage(void* context, int level, const char* format, va_list arguments) {
  if (level > AV_LOG_WARNING) return;
  char line[512];
  int prefix = 1;
  av_log_format_line2(context, level, format, arguments, line, sizeof line, &prefix);
  if (lastLibraryMessage.size() < 4096) lastLibraryMessage += line;
}
}  // namespace

void SilenceMediaLibraries() { av_log_set_callback(KeepLibraryMessage); }

bool LoadPicture(const std::string& path, const FitSettings& settings, LoadedPicture& loaded, std::string& error) {
  std::error_code code;
  if (std::filesystem::is_directory(path, code)) {
    error = "a folder";
    return false;
  }
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    error = std::strerror(errno);
    return false;
  }
  // The kind of picture is told from the first bytes, never from the name.
  std::vector<uint8_t> head(4096 + AVPROBE_PADDING_SIZE, 0);
  const size_t headBytes = std::fread(head.data(), 1, 4096, file);
  std::fclose(file);
  if (headBytes == 0) {
    error = "empty file";
    return false;
  }
  AVProbeData probe{};
  probe.filename = "";
  probe.buf = head.data();
  probe.buf_size = int(headBytes);
  int score = 0;
  const AVInputFormat* kind = av_probe_input_format2(&probe, 1, &score);
  if (!kind || !IsPictureFormat(kind->name)) {
    error = "not a picture";
    return false;
  }
  AVFormatContext* opened = nullptr;
  const int status = avformat_open_input(&opened, path.c_str(), kind, nullptr);
  if (status < 0) {
    error = status == AVERROR_INVALIDDATA ? "not a picture" : MediaError(status);
    return false;
  }
  FormatPtr format(opened);
  FramePtr frame;
  lastLibraryMessage.clear();
  if (!DecodeFirstFrame(format.get(), settings, frame, error)) return false;
  if (frame->width <= 0 || frame->height <= 0) {
    error = "corrupt picture";
    return false;
  }
  loaded.date = DateOf(format.get(), frame.get());
  if (!Fit(frame.get(), settings, loaded.picture)) {
    error = "cannot convert its pixels";
    return false;
  }
  return true;
}
