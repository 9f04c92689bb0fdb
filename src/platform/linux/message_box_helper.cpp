// qeb-message-box CAPTION TEXT TYPE: shows one message box and ends with the
// answer (IDOK, IDYES or IDNO) as its exit status. The demo runs it for boxes
// asked for off its main thread, so the box's process is not the demo's.
#include <cstdlib>

#include "platform/linux/message_box_sdl.h"
#include "platform/message_box.h"

int main(int argc, char** argv) {
  if (argc != 4) return 0;
  return ShowSdlMessageBox(nullptr, argv[2], argv[1], unsigned(std::strtoul(argv[3], nullptr, 10)));
}
