// The headless context on EGL's surfaceless platform (Mesa): a pbuffer
// surface holds the picture, so neither a display nor a GPU is needed; with
// no GPU Mesa draws with its software renderer.
#include "platform/headless_gl.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <cstdio>

namespace {

EGLDisplay display = EGL_NO_DISPLAY;
EGLSurface surface = EGL_NO_SURFACE;
EGLContext context = EGL_NO_CONTEXT;

std::string EglFailure(const char* step) {
  char text[96];
  std::snprintf(text, sizeof text, "%s failed (EGL error 0x%04x)", step, unsigned(eglGetError()));
  return text;
}

std::string TooLarge(int width, int height, int maxWidth, int maxHeight) {
  char text[128];
  std::snprintf(text, sizeof text, "%dx%d is beyond what this GL can draw (at most %dx%d)", width, height, maxWidth,
                maxHeight);
  return text;
}

EGLDisplay SurfacelessDisplay() {
  const char* extensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
  if (!extensions || std::string(extensions).find("EGL_MESA_platform_surfaceless") == std::string::npos)
    return EGL_NO_DISPLAY;
  auto getPlatformDisplay =
      reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
  if (!getPlatformDisplay) return EGL_NO_DISPLAY;
  return getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
}

// Opens everything up to a current context; the caller closes on failure.
std::string OpenContext(int width, int height) {
  display = SurfacelessDisplay();
  if (display == EGL_NO_DISPLAY) return "no headless OpenGL: EGL has no surfaceless platform (install libegl-mesa0)";
  if (!eglInitialize(display, nullptr, nullptr)) return EglFailure("eglInitialize");
  if (!eglBindAPI(EGL_OPENGL_API)) return EglFailure("eglBindAPI(OpenGL)");

  const EGLint wanted[] = {EGL_SURFACE_TYPE,
                           EGL_PBUFFER_BIT,
                           EGL_RENDERABLE_TYPE,
                           EGL_OPENGL_BIT,
                           EGL_RED_SIZE,
                           8,
                           EGL_GREEN_SIZE,
                           8,
                           EGL_BLUE_SIZE,
                           8,
                           EGL_DEPTH_SIZE,
                           16,
                           EGL_NONE};
  EGLConfig config;
  EGLint configCount = 0;
  if (!eglChooseConfig(display, wanted, &config, 1, &configCount) || configCount < 1)
    return "no headless OpenGL: no 24-bit colour buffer with a depth buffer";

  EGLint maxWidth = 0, maxHeight = 0;
  eglGetConfigAttrib(display, config, EGL_MAX_PBUFFER_WIDTH, &maxWidth);
  eglGetConfigAttrib(display, config, EGL_MAX_PBUFFER_HEIGHT, &maxHeight);
  if (width > maxWidth || height > maxHeight) return TooLarge(width, height, maxWidth, maxHeight);

  const EGLint size[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
  surface = eglCreatePbufferSurface(display, config, size);
  if (surface == EGL_NO_SURFACE) return EglFailure("eglCreatePbufferSurface");
  context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
  if (context == EGL_NO_CONTEXT) return EglFailure("eglCreateContext");
  if (!eglMakeCurrent(display, surface, surface, context)) return EglFailure("eglMakeCurrent");

  GLint maxViewport[2] = {0, 0};
  glGetIntegerv(GL_MAX_VIEWPORT_DIMS, maxViewport);
  if (width > maxViewport[0] || height > maxViewport[1]) return TooLarge(width, height, maxViewport[0], maxViewport[1]);
  return "";
}

}  // namespace

std::string OpenHeadlessGl(int width, int height) {
  if (display != EGL_NO_DISPLAY) return "a headless GL context is already open";
  std::string failure = OpenContext(width, height);
  if (!failure.empty()) CloseHeadlessGl();
  return failure;
}

void CloseHeadlessGl() {
  if (display == EGL_NO_DISPLAY) return;
  eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  if (context != EGL_NO_CONTEXT) eglDestroyContext(display, context);
  if (surface != EGL_NO_SURFACE) eglDestroySurface(display, surface);
  eglTerminate(display);
  display = EGL_NO_DISPLAY;
  surface = EGL_NO_SURFACE;
  context = EGL_NO_CONTEXT;
}
