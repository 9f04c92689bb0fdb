// Lets a test feed the loaders a file's bytes without touching the disk.
#pragma once

#include <cstdio>
#include <string>

// A read-only stream over text, which must outlive it. Never null.
inline FILE* OpenMemoryStream(const std::string& text) {
  return fmemopen(const_cast<char*>(text.data()), text.size(), "r");
}

// The same text with every line feed written as CR LF.
inline std::string WithCrLf(const std::string& text) {
  std::string result;
  for (char c : text) {
    if (c == '\n') result += '\r';
    result += c;
  }
  return result;
}
