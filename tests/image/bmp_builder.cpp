#include "bmp_builder.h"

namespace {
void Put16(Bytes& out, uint32_t value) {
  out.push_back(uint8_t(value));
  out.push_back(uint8_t(value >> 8));
}
void Put32(Bytes& out, uint32_t value) {
  Put16(out, value);
  Put16(out, value >> 16);
}
void Append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

Bytes Colours(const std::vector<uint32_t>& rgb, bool withReserved) {
  Bytes out;
  for (uint32_t colour : rgb) {
    out.push_back(uint8_t(colour));        // blue
    out.push_back(uint8_t(colour >> 8));   // green
    out.push_back(uint8_t(colour >> 16));  // red
    if (withReserved) out.push_back(0);
  }
  return out;
}
}  // namespace

Bytes InfoColours(const std::vector<uint32_t>& rgb) { return Colours(rgb, true); }
Bytes CoreColours(const std::vector<uint32_t>& rgb) { return Colours(rgb, false); }

Bytes BuildBmp(const BmpSpec& spec) {
  Bytes dib;
  Put32(dib, spec.headerSize);
  if (spec.headerSize == 12) {
    Put16(dib, uint32_t(spec.width));
    Put16(dib, uint32_t(spec.height));
    Put16(dib, spec.planes);
    Put16(dib, spec.bitCount);
  } else {
    Put32(dib, uint32_t(spec.width));
    Put32(dib, uint32_t(spec.height));
    Put16(dib, spec.planes);
    Put16(dib, spec.bitCount);
    Put32(dib, spec.compression);
    Put32(dib, 0);     // image size
    Put32(dib, 2835);  // resolutions
    Put32(dib, 2835);
    Put32(dib, spec.coloursUsed);
    Put32(dib, 0);  // colours important
    dib.resize(spec.headerSize < 40 ? 40 : spec.headerSize, 0);
  }
  Append(dib, spec.colours);
  Append(dib, spec.gap);

  Bytes file;
  if (spec.fileHeader) {
    const uint32_t offset = spec.pixelOffset.value_or(uint32_t(14 + dib.size()));
    file = {'B', 'M'};
    Put32(file, uint32_t(14 + dib.size() + spec.pixels.size()));
    Put32(file, 0);
    Put32(file, offset);
  }
  Append(file, dib);
  Append(file, spec.pixels);
  return file;
}
