#include "gl_test_window.h"

#include <dlfcn.h>
#include <link.h>

#include <string_view>

namespace {

// Mesa's GL driver is unloaded again once SDL has closed the display. The
// blocks it allocated once and keeps in its own globals would then look
// leaked at exit, with frames LeakSanitizer can no longer name; which blocks
// those are depends on the CPU. Loading the driver once more, for good, keeps
// it as a program that holds its context until exit has it, so that only
// what the test itself loses is reported.
int KeepDriverLoaded(dl_phdr_info* info, size_t, void*) {
  if (std::string_view(info->dlpi_name).ends_with("_dri.so"))
    dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
  return 0;
}

}  // namespace

bool OpenGlTestWindow(const char* title, int width, int height, bool visible, GlTestWindow* opened) {
  *opened = GlTestWindow{};
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return false;
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 5);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 6);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 5);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  const Uint32 flags = SDL_WINDOW_OPENGL | (visible ? 0 : SDL_WINDOW_HIDDEN);
  opened->window = SDL_CreateWindow(title, 0, 0, width, height, flags);
  if (opened->window) opened->context = SDL_GL_CreateContext(opened->window);
  if (!opened->context) return false;
  dl_iterate_phdr(KeepDriverLoaded, nullptr);
  return true;
}

void CloseGlTestWindow(GlTestWindow* opened) {
  if (opened->context) SDL_GL_DeleteContext(opened->context);
  if (opened->window) SDL_DestroyWindow(opened->window);
  *opened = GlTestWindow{};
  SDL_Quit();
}
