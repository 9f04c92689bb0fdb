#include "scene/data_line.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

// Reads one line like fgets(line, dataLineSize - 1, stream) on a text-mode
// stream: a CR LF pair arrives as a lone line feed. Returns 0, with the buffer
// untouched, when the stream yields no character.
static int ReadTextLine(FILE* stream, char* line) {
  int length = 0;
  while (length < dataLineSize - 2) {
    int c = std::getc(stream);
    if (c == EOF) break;
    if (c == '\r') {
      int next = std::getc(stream);
      if (next == '\n') {
        c = '\n';
      } else if (next != EOF) {
        std::ungetc(next, stream);
      }
    }
    line[length++] = static_cast<char>(c);
    if (c == '\n') break;
  }
  if (length == 0) return 0;
  line[length] = '\0';
  return 1;
}

void ReadDataLine(FILE* stream, char line[dataLineSize]) {
  do {
    // Once the stream has ended (or failed) nothing more can come: return
    // instead of waiting, so a file ending inside comments cannot hang a loader.
    if (std::feof(stream) || std::ferror(stream)) return;
    if (!ReadTextLine(stream, line)) return;
  } while (line[0] == '/' || line[0] == '\n');
}

int ReadHeaderCount(const char* line, const char* keyword) {
  size_t keywordLength = std::strlen(keyword);
  if (std::strncmp(line, keyword, keywordLength) != 0) return 0;
  // strtol skips the same white space and accepts the same digits as "%d",
  // but reports a count too large for int instead of leaving it undefined
  // (glibc's "%d" silently wraps "4294967298" to 2).
  const char* digits = line + keywordLength;
  char* end = nullptr;
  errno = 0;
  long count = std::strtol(digits, &end, 10);
  if (end == digits || count <= 0) return 0;
  if (errno == ERANGE || count > INT_MAX) return INT_MAX;
  return static_cast<int>(count);
}
