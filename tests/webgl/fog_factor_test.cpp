// The fog factor that the fragment shader computes, run as C++ from the same text.
#include "platform/web/gl/fog_factor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "platform/web/gl/draw_call.h"
#include "platform/web/gl/fixed_function_shader.h"

namespace {

TEST(FogFactorTest, ThreeModesFollowGlFormulas) {
  struct Case {
    FogShaderMode mode;
    float distance, density, start, end;
    double expected;
  };
  const Case cases[] = {
      // GL_LINEAR: (end - z) / (end - start), clamped to [0, 1].
      {FogShaderMode::linear, 3, 1, 1, 5, 0.5},
      {FogShaderMode::linear, 0.5f, 1, 1, 5, 1},
      {FogShaderMode::linear, 9, 1, 1, 5, 0},
      // Start == end: all fog from that distance on, never a division by zero.
      {FogShaderMode::linear, 2, 1, 4, 4, 1},
      {FogShaderMode::linear, 4, 1, 4, 4, 0},
      // GL_EXP: e^-(density z); the demo's density of 0.35.
      {FogShaderMode::exp, 2, 0.35f, 0, 1, std::exp(-0.7)},
      {FogShaderMode::exp, 0, 0.35f, 0, 1, 1},
      // GL_EXP2: e^-(density z)^2.
      {FogShaderMode::exp2, 2, 0.35f, 0, 1, std::exp(-0.49)},
      {FogShaderMode::exp2, 10, 1, 0, 1, std::exp(-100.0)},
      // Behind the eye (negative distance) the exponential modes stay clamped at 1.
      {FogShaderMode::exp, -3, 1, 0, 1, 1},
  };
  for (const Case& c : cases)
    EXPECT_NEAR(FogFactor(int(c.mode), c.distance, c.density, c.start, c.end), c.expected, 1e-6)
        << "mode " << int(c.mode) << " at " << c.distance;
}

TEST(FogFactorTest, FragmentShaderCarriesTheSameFunction) {
  const std::string shader = FixedFunctionFragmentShader();
  EXPECT_NE(shader.find(fogFactorGlsl), std::string::npos);
  EXPECT_NE(shader.find("FogFactor(u_fogMode, v_fogDistance"), std::string::npos);
}

}  // namespace
