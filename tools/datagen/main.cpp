// qeb-datagen OUTDIR: writes Qeb's default data set into OUTDIR/Data, the
// same bytes on every run.
#include <cstdio>

#include "datagen/data_set.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: qeb-datagen OUTDIR\n");
    return 2;
  }
  return WriteDataSet(argv[1]) ? 0 : 1;
}
