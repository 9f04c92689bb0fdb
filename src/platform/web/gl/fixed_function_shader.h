// The one shader program that draws every batch: GL 1.1's per-vertex
// lighting (ambient and diffuse, directional and positional lights), fog
// per fragment in its three modes, and GL_MODULATE texturing. GLSL ES 1.00,
// so it runs on WebGL 1 and 2.
#pragma once

#include <string>

// Attribute names, bound to these locations before linking.
enum ShaderAttribute : unsigned { positionAttribute = 0, texCoordAttribute = 1, normalAttribute = 2 };

const char* FixedFunctionVertexShader();
std::string FixedFunctionFragmentShader();
