// Placeholder: the SDL window system lands with the shell.
#include "platform/window_system.h"
