// Stand-ins for what the shell calls outside itself (scene set-up, frame
// drawing, the music thread), with counters and scripted results.
#pragma once

#include <string>

struct ShellDoubles {
  int initSceneCalls = 0;
  int initSceneFailsOnCall = 0;  // 0: never
  int drawFrameCalls = 0;
  int drawFrameFailsOnCall = 0;  // 0: never
  int musicThreadStarts = 0;
  std::string musicPath;
  bool musicThreadEnded = false;
  bool musicThreadIgnoresStop = false;  // as while it shows a box: ends 5 s after the stop
  bool audioSystemStarted = false;
  bool audioStartedBeforeMusic = false;  // seen by the music thread when it began
  bool audioStoppedAfterMusic = false;
};

extern ShellDoubles shellDoubles;

// Clears the counters and scripts, and the stand-in music module's musicStop.
void ResetShellDoubles();
