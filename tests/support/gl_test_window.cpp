#include "gl_test_window.h"

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
  return opened->context != nullptr;
}

void CloseGlTestWindow(GlTestWindow* opened) {
  if (opened->context) SDL_GL_DeleteContext(opened->context);
  if (opened->window) SDL_DestroyWindow(opened->window);
  *opened = GlTestWindow{};
  SDL_Quit();
}
