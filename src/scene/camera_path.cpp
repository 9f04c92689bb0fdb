// Loads the camera script from "data/cam.txt".
//
// The file's first data line is the header "NUMFRAMES <count>"; every later
// data line is one step "dPosX dPosY dPosZ dPitch dYaw dRoll". The steps the
// file does not give keep what they held (zero at program start, or what an
// earlier load put there). How this loader treats a file that does not say
// enough:
// - A file that cannot be opened leaves the path unchanged.
// - A header that does not match, or a negative count, gives count 0: no step
//   is written.
// - A count above 256 stores 256 steps and reads no further.
// - A first step line with fewer than six numbers fills the missing ones with
//   0; later short lines repeat the values of the step before them.
// - When the file ends early (even inside comments), every step still
//   expected repeats the last values read.
#include "scene/camera_path.h"

#include "platform/data_path.h"
#include "scene/data_line.h"

CameraPath cameraPath;

void LoadCameraPath() {
  FILE* file = OpenDataFile("data/cam.txt", "rt");
  LoadCameraPathFromStream(file);
  if (file) std::fclose(file);
}

void LoadCameraPathFromStream(FILE* stream) {
  if (!stream) return;

  char line[dataLineSize] = "";
  ReadDataLine(stream, line);
  int count = ReadHeaderCount(line, "NUMFRAMES");
  if (count > cameraPathLength) count = cameraPathLength;

  // One set of temporaries for the whole file: a line that stops early keeps
  // the trailing values of the step before it.
  float dPosX = 0, dPosY = 0, dPosZ = 0, dPitch = 0, dYaw = 0, dRoll = 0;
  for (int i = 0; i < count; ++i) {
    ReadDataLine(stream, line);
    std::sscanf(line, "%f %f %f %f %f %f", &dPosX, &dPosY, &dPosZ, &dPitch, &dYaw, &dRoll);
    cameraPath.steps[i] = {dPosX, dPosY, dPosZ, dPitch, dYaw, dRoll};
  }
}
