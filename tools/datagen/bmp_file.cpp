#include "datagen/bmp_file.h"

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

Bytes BuildBmp(const BmpFields& fields) {
  Bytes dib;
  Put32(dib, fields.headerSize);
  if (fields.headerSize == 12) {
    Put16(dib, uint32_t(fields.width));
    Put16(dib, uint32_t(fields.height));
    Put16(dib, fields.planes);
    Put16(dib, fields.bitCount);
  } else {
    Put32(dib, uint32_t(fields.width));
    Put32(dib, uint32_t(fields.height));
    Put16(dib, fields.planes);
    Put16(dib, fields.bitCount);
    Put32(dib, fields.compression);
    Put32(dib, fields.imageSize);
    Put32(dib, 2835);  // 72 dots per inch, in dots per metre
    Put32(dib, 2835);
    Put32(dib, fields.coloursUsed);
    Put32(dib, 0);  // colours important
    dib.resize(fields.headerSize < 40 ? 40 : fields.headerSize, 0);
  }
  Append(dib, fields.colours);
  Append(dib, fields.gap);

  Bytes file;
  if (fields.fileHeader) {
    const uint32_t offset = fields.pixelOffset.value_or(uint32_t(14 + dib.size()));
    file = {'B', 'M'};
    Put32(file, uint32_t(14 + dib.size() + fields.pixels.size()));
    Put32(file, 0);
    Put32(file, offset);
  }
  Append(file, dib);
  Append(file, fields.pixels);
  return file;
}
