#include "scene/data_line.h"

#include <climits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "memory_stream.h"

namespace {

// The buffer after each of `calls` successive reads of text.
std::vector<std::string> ReadLines(const std::string& text, int calls) {
  FILE* stream = OpenMemoryStream(text);
  EXPECT_NE(stream, nullptr);
  char line[dataLineSize] = "(untouched)";
  std::vector<std::string> lines;
  for (int i = 0; i < calls; ++i) {
    ReadDataLine(stream, line);
    lines.push_back(line);
  }
  std::fclose(stream);
  return lines;
}

struct LineCase {
  const char* name;
  std::string text;
  std::vector<std::string> expected;  // the buffer after each call
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << c.name; }

const std::string longComment = "/" + std::string(253, 'x') + "tail" + std::string(42, ' ');  // 300 characters
const std::string fullDataLine = std::string(245, ' ') + "1 2 3 4 5";                         // 254 characters

const LineCase lineCases[] = {
    {"CommentsAndEmptyLinesAreSkipped", "/ one\n// two\n\n\nA\n\n/x\nB\n", {"A\n", "B\n"}},
    {"SpacedSlashesAreData", "  // not a comment\n", {"  // not a comment\n"}},
    {"LineOfSpacesIsData", "   \nA\n", {"   \n", "A\n"}},
    {"CrLfEndsALine", "/ c\r\n\r\nA\r\nB\r\n", {"A\n", "B\n"}},
    {"LoneCarriageReturnStaysInTheLine", "A\rB\n\r", {"A\rB\n", "\r"}},
    {"LastLineWithoutLineFeed", "A\nB", {"A\n", "B"}},
    {"RestOfALongCommentIsALineOfItsOwn", longComment + "\nA\n", {"tail" + std::string(42, ' ') + "\n", "A\n"}},
    {"RestOfALongCommentStartingWithSlashIsSkipped", "/" + std::string(253, 'x') + "/more\nA\n", {"A\n"}},
    {"DataLineOf254IsReadWhole", fullDataLine + "\nB\n", {fullDataLine, "B\n"}},
    {"DataLineOf254WithCrLfIsReadWhole", fullDataLine + "\r\nB\r\n", {fullDataLine, "B\n"}},
    {"DataLineOf255IsSplit", "x" + fullDataLine + "\n", {"x" + fullDataLine.substr(0, 253), "5\n"}},
    {"EndOfFileKeepsTheBuffer", "A\n", {"A\n", "A\n", "A\n"}},
    {"EndOfFileWhileSkippingReturns", "A\n/ last\n\n", {"A\n", "\n", "\n"}},
    {"EmptyFileLeavesTheBufferUntouched", "", {"(untouched)"}},
    {"OnlyCommentsReturn", "/a\n/b\n", {"/b\n"}},
};

class ReadDataLineTest : public testing::TestWithParam<LineCase> {};

TEST_P(ReadDataLineTest, ReadsTheExpectedDataLines) {
  const LineCase& c = GetParam();
  EXPECT_EQ(ReadLines(c.text, static_cast<int>(c.expected.size())), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Lines, ReadDataLineTest, testing::ValuesIn(lineCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReadDataLineTest, NeverWritesBeyondTheBuffer) {
  // A line of 1000 characters arrives in pieces of at most 254 plus the NUL.
  std::string text(1000, 'x');
  FILE* stream = OpenMemoryStream(text);
  char line[dataLineSize + 1];
  line[dataLineSize - 1] = '#';
  line[dataLineSize] = '#';
  ReadDataLine(stream, line);
  std::fclose(stream);
  EXPECT_EQ(std::string(line), std::string(254, 'x'));
  EXPECT_EQ(line[dataLineSize - 1], '#');
  EXPECT_EQ(line[dataLineSize], '#');
}

struct HeaderCase {
  const char* line;
  int expected;
};

const HeaderCase headerCases[] = {
    {"NUMPOLLIES 36\n", 36},
    {"NUMPOLLIES36\n", 36},
    {"NUMPOLLIES \t 7 // comment\n", 7},
    {"NUMPOLLIES +5\n", 5},
    {"NUMPOLLIES 0\n", 0},
    {"NUMPOLLIES -3\n", 0},
    {"NUMPOLLIES\n", 0},
    {"NUMPOLLIES x\n", 0},
    {"numpollies 36\n", 0},
    {" NUMPOLLIES 36\n", 0},
    {"NUMPOLLIE 36\n", 0},
    {"NUMPOLLIES 4294967298\n", INT_MAX},
    {"NUMPOLLIES 99999999999999999999999\n", INT_MAX},
    {"NUMPOLLIES -99999999999999999999999\n", 0},
};

TEST(ReadHeaderCountTest, ReadsTheCountAfterTheKeyword) {
  for (const HeaderCase& c : headerCases) {
    EXPECT_EQ(ReadHeaderCount(c.line, "NUMPOLLIES"), c.expected) << c.line;
  }
}

}  // namespace
