// qeb-icons OUTDIR: writes Qeb's application icon at every size the desktop
// files install, as OUTDIR/<N>x<N>/apps/qeb.png (the hicolor theme's layout).
// Each file is written under a temporary name and renamed when complete.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "datagen/app_icon.h"
#include "datagen/bmp_writer.h"
#include "datagen/png_writer.h"

namespace {
bool WriteIcon(const std::filesystem::path& folder, int size) {
  const std::string sizeName = std::to_string(size) + "x" + std::to_string(size);
  const std::filesystem::path apps = folder / sizeName / "apps";
  const std::filesystem::path path = apps / "qeb.png";
  std::filesystem::path partial = path;
  partial += ".part";
  std::error_code error;
  std::filesystem::create_directories(apps, error);
  const std::vector<uint8_t> png = EncodePng(MakeAppIcon(size));
  if (!error && !png.empty() && WriteFileBytes(partial.string(), png)) {
    std::filesystem::rename(partial, path, error);
    if (!error) return true;
  }
  std::filesystem::remove(partial, error);
  std::fprintf(stderr, "qeb-icons: cannot write %s\n", path.c_str());
  return false;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 || argv[1][0] == '-') {
    std::fprintf(stderr, "usage: qeb-icons OUTDIR\n");
    return 2;
  }
  for (int size : appIconSizes) {
    if (!WriteIcon(argv[1], size)) return 1;
  }
  return 0;
}
