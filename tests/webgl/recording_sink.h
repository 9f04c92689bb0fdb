// A GlSink that keeps everything it is handed, for the GL layer's tests.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/web/gl/draw_call.h"

struct RecordedDraw {
  std::vector<GlVertex> vertices;
  DrawState state;
};

struct RecordedUpload {
  GLuint name;
  GLsizei width, height;
  GLint unpackAlignment;
  const void* pixels;
};

struct RecordedParameter {
  GLuint name;
  GLenum parameter;
  GLint value;
};

class RecordingSink : public GlSink {
 public:
  // Clears and draws in the order they came, as one list of events.
  struct Event {
    bool isClear;
    size_t index;  // into clears or draws
  };
  std::vector<Event> events;
  std::vector<ClearRequest> clears;
  std::vector<RecordedDraw> draws;
  std::vector<RecordedUpload> uploads;
  std::vector<RecordedParameter> parameters;

  void Clear(const ClearRequest& request) override {
    events.push_back({true, clears.size()});
    clears.push_back(request);
  }
  void DrawTriangles(const GlVertex* vertices, size_t count, const DrawState& state) override {
    events.push_back({false, draws.size()});
    draws.push_back({std::vector<GlVertex>(vertices, vertices + count), state});
  }
  void UploadTexture(GLuint name, GLsizei width, GLsizei height, GLint unpackAlignment, const void* pixels) override {
    uploads.push_back({name, width, height, unpackAlignment, pixels});
  }
  void SetTextureParameter(GLuint name, GLenum parameter, GLint value) override {
    parameters.push_back({name, parameter, value});
  }
};
