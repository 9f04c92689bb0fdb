// GL 1.1's fog factor, written once in the common subset of C++ and GLSL ES
// 1.00: the fragment shader gets this text (fogFactorGlsl), the tests call
// the same lines compiled as C++. f = 1 leaves a fragment's colour, f = 0
// gives the fog colour; distance is the fragment's eye-space depth (-z in
// eye coordinates). mode: 0 GL_LINEAR, 1 GL_EXP, 2 GL_EXP2 (FogShaderMode).
#pragma once

#include <algorithm>
#include <cmath>

namespace fog_glsl {

// The two GLSL built-ins the function uses, for the C++ side.
inline float clamp(float x, float low, float high) { return std::min(std::max(x, low), high); }
inline float exp(float x) { return std::exp(x); }

// Pastes the code into C++ (as an inline function, defined in every file
// that includes this) and keeps its text for the shader.
#define QEB_CPP_AND_GLSL(name, ...) inline __VA_ARGS__ inline constexpr const char* name = #__VA_ARGS__;

QEB_CPP_AND_GLSL(
    fogFactorGlsl, float FogFactor(int mode, float distance, float density, float start, float end) {
      if (mode == 0) {
        // GL leaves start == end undefined; here the fog starts all at once.
        if (end == start) return distance < end ? 1.0 : 0.0;
        return clamp((end - distance) / (end - start), 0.0, 1.0);
      }
      float scaled = density * distance;
      if (mode == 2) scaled = scaled * scaled;
      return clamp(exp(-scaled), 0.0, 1.0);
    })

#undef QEB_CPP_AND_GLSL

}  // namespace fog_glsl

using fog_glsl::FogFactor;
using fog_glsl::fogFactorGlsl;
