#include "platform/web/gl/fixed_function_shader.h"

#include "platform/web/gl/fog_factor.h"

const char* FixedFunctionVertexShader() {
  return R"(
precision highp float;
attribute vec3 a_position;
attribute vec2 a_texCoord;
attribute vec3 a_normal;
uniform mat4 u_modelview;
uniform mat4 u_projection;
uniform mat3 u_normalMatrix;
uniform vec4 u_colour;
uniform bool u_lighting;
// Products with the material's colours are formed on the CPU: the scene's
// ambient (light model times material ambient), and per light its ambient
// times the material's ambient and its diffuse times the material's diffuse.
uniform vec3 u_sceneAmbient;
uniform float u_materialAlpha;
uniform float u_lightEnabled[8];
uniform vec3 u_lightAmbient[8];
uniform vec3 u_lightDiffuse[8];
uniform vec4 u_lightPosition[8];  // eye coordinates
varying vec4 v_colour;
varying vec2 v_texCoord;
varying float v_fogDistance;

void main() {
  vec4 eye = u_modelview * vec4(a_position, 1.0);
  gl_Position = u_projection * eye;
  v_texCoord = a_texCoord;
  v_fogDistance = -eye.z;
  if (!u_lighting) {
    v_colour = u_colour;
    return;
  }
  // GL does not normalise normals unless GL_NORMALIZE is on (it never is).
  vec3 normal = u_normalMatrix * a_normal;
  vec3 colour = u_sceneAmbient;
  for (int i = 0; i < 8; ++i) {
    if (u_lightEnabled[i] == 0.0) continue;
    vec4 light = u_lightPosition[i];
    // w = 0: a direction towards the light; otherwise a point, and the
    // direction runs from the vertex to it. Attenuation and spot stay at
    // GL's defaults (1), which the renderer never changes.
    vec3 toLight = light.w == 0.0 ? light.xyz : light.xyz / light.w - eye.xyz / eye.w;
    float facing = max(dot(normal, normalize(toLight)), 0.0);
    colour += u_lightAmbient[i] + facing * u_lightDiffuse[i];
  }
  v_colour = vec4(clamp(colour, 0.0, 1.0), u_materialAlpha);
}
)";
}

std::string FixedFunctionFragmentShader() {
  return std::string(R"(
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
uniform sampler2D u_texture;
uniform bool u_texturing;
uniform bool u_fog;
uniform int u_fogMode;
uniform float u_fogDensity;
uniform float u_fogStart;
uniform float u_fogEnd;
uniform vec3 u_fogColour;
varying vec4 v_colour;
varying vec2 v_texCoord;
varying float v_fogDistance;
)") + fogFactorGlsl +
         R"(
void main() {
  vec4 colour = v_colour;
  // GL_MODULATE; an RGB texture's alpha is 1.
  if (u_texturing) colour *= texture2D(u_texture, v_texCoord);
  // Fog blends the colour towards the fog colour and leaves alpha alone.
  if (u_fog) {
    float f = FogFactor(u_fogMode, v_fogDistance, u_fogDensity, u_fogStart, u_fogEnd);
    colour.rgb = mix(u_fogColour, colour.rgb, f);
  }
  gl_FragColor = colour;
}
)";
}
