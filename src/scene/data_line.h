// The line reader that the world file and the camera script share, and the
// header count both files begin with.
#pragma once

#include <cstdio>

// Each loader reads through one buffer of this many characters. A read takes
// at most dataLineSize - 2 characters of a line, line feed included.
constexpr int dataLineSize = 256;

// Fills line with the next data line of stream: comment lines (first character
// "/") and empty lines are skipped. A carriage return before a line feed
// belongs to the line end, as in a text-mode stream, so it is not stored and
// not counted. At end of file or after a read error the buffer keeps what it
// held, and the call returns at once.
void ReadDataLine(FILE* stream, char line[dataLineSize]);

// The count of a header line "<keyword> <count>": the keyword in the first
// column, case included, then any white space (none included) and a decimal
// integer with optional sign, as "%d" reads it. A line that does not match,
// or a negative count, gives 0; a count beyond the range of int is clamped.
int ReadHeaderCount(const char* line, const char* keyword);
