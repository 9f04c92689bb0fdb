#include "scene/world.h"

#include <array>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "memory_stream.h"

namespace {

using Vertex = std::array<float, 5>;  // x, y, z, u, v

void LoadWorldFromText(const std::string& text) {
  FILE* stream = OpenMemoryStream(text);
  LoadWorldFromStream(stream);
  std::fclose(stream);
}

// Every vertex of the loaded world, triangle by triangle.
std::vector<Vertex> LoadedVertices() {
  std::vector<Vertex> vertices;
  for (int32_t i = 0; i < world.triangleCount; ++i) {
    for (const WorldVertex& vertex : world.triangles[i].vertices) {
      vertices.push_back({vertex.x, vertex.y, vertex.z, vertex.u, vertex.v});
    }
  }
  return vertices;
}

struct WorldCase {
  const char* name;
  std::string text;
  std::vector<Vertex> expected;  // three per triangle
};

void PrintTo(const WorldCase& c, std::ostream* os) { *os << c.name; }

const std::vector<Vertex> exampleFloor = {
    {-3, 0, -3, 0, 6}, {-3, 0, 3, 0, 0}, {3, 0, 3, 6, 0}, {-3, 0, -3, 0, 6}, {3, 0, -3, 6, 6}, {3, 0, 3, 6, 0},
};

const std::string exampleFloorText =
    "// example world\n"
    "NUMPOLLIES 2\n"
    "\n"
    "// floor\n"
    "-3.0 0.0 -3.0 0.0 6.0\n"
    "-3.0 0.0 3.0 0.0 0.0\n"
    "\n"
    "/ between the vertices of a triangle\n"
    "3.0 0.0 3.0 6.0 0.0\n"
    "-3.0 0.0 -3.0 0.0 6.0\n"
    "3.0 0.0 -3.0 6.0 6.0\n"
    "3.0 0.0 3.0 6.0 0.0\n";

const WorldCase worldCases[] = {
    {"ExampleWithCommentsAndEmptyLines", exampleFloorText, exampleFloor},
    {"CrLfLineEnds", WithCrLf(exampleFloorText), exampleFloor},
    {"TrailingCommentAndSixthNumberIgnored",
     "NUMPOLLIES 1\n1 2 3 4 5 // a vertex\n1 2 3 4 5 6\n\t1\t2\t3\t4\t5\n",
     {{1, 2, 3, 4, 5}, {1, 2, 3, 4, 5}, {1, 2, 3, 4, 5}}},
    {"ScanfNumberForms",
     "NUMPOLLIES 1\n+1 -2.5 1e2 .5 -7.\n0 0 0 0 0\n0 0 0 0 0\n",
     {{1, -2.5f, 100, 0.5f, -7}, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}}},
    {"ShortLineRepeatsTrailingValues",
     "NUMPOLLIES 1\n0 0 0 0.25 0.75\n1.0 2.0 3.0\n7\n",
     {{0, 0, 0, 0.25f, 0.75f}, {1, 2, 3, 0.25f, 0.75f}, {7, 2, 3, 0.25f, 0.75f}}},
    {"FirstShortLineFillsWithZero",
     "NUMPOLLIES 1\n1 2\n3 4 5 6 7\n8 x 9\n",
     {{1, 2, 0, 0, 0}, {3, 4, 5, 6, 7}, {8, 4, 5, 6, 7}}},
    {"SpacedSlashesLineRepeatsTheVertexBefore",
     "NUMPOLLIES 1\n1 2 3 4 5\n  // not a comment\n6 7 8 9 10\n",
     {{1, 2, 3, 4, 5}, {1, 2, 3, 4, 5}, {6, 7, 8, 9, 10}}},
    {"EarlyEndRepeatsTheLastLine",
     "NUMPOLLIES 3\n1 1 1 1 1\n2 2 2 2 2\n3 3 3 3 3\n4 4 4 4 4\n5 5 5 5 5\n6 6 6 6 6\n",
     {{1, 1, 1, 1, 1},
      {2, 2, 2, 2, 2},
      {3, 3, 3, 3, 3},
      {4, 4, 4, 4, 4},
      {5, 5, 5, 5, 5},
      {6, 6, 6, 6, 6},
      {6, 6, 6, 6, 6},
      {6, 6, 6, 6, 6},
      {6, 6, 6, 6, 6}}},
    {"EarlyEndWithoutLineFeed", "NUMPOLLIES 1\n1 2 3 4 5\n6 7", {{1, 2, 3, 4, 5}, {6, 7, 3, 4, 5}, {6, 7, 3, 4, 5}}},
    {"EarlyEndInsideComments",
     "NUMPOLLIES 1\n1 2 3 4 5\n/ the end\n\n",
     {{1, 2, 3, 4, 5}, {1, 2, 3, 4, 5}, {1, 2, 3, 4, 5}}},
    {"HeaderOnlyGivesZeros", "NUMPOLLIES 1\n", {{0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}}},
    {"DataLineOf254IsReadWhole",
     "NUMPOLLIES 1\n" + std::string(245, ' ') + "1 2 3 4 5\n6 6 6 6 6\n" + std::string(244, ' ') + "-1 2 3 4 5\r\n",
     {{1, 2, 3, 4, 5}, {6, 6, 6, 6, 6}, {-1, 2, 3, 4, 5}}},
    {"RestOfA300CharacterCommentIsARecord",
     "NUMPOLLIES 1\n/" + std::string(253, 'x') + "9 8 7 6 5" + std::string(37, ' ') + "\n1 1 1 1 1\n2 2 2 2 2\n",
     {{9, 8, 7, 6, 5}, {1, 1, 1, 1, 1}, {2, 2, 2, 2, 2}}},
    {"CountZero", "NUMPOLLIES 0\n1 2 3 4 5\n", {}},
    {"NegativeCount", "NUMPOLLIES -2\n1 2 3 4 5\n", {}},
    {"BadHeader", "numpollies 1\n1 2 3 4 5\n1 2 3 4 5\n1 2 3 4 5\n", {}},
    {"HeaderNotInTheFirstColumn", " NUMPOLLIES 1\n1 2 3 4 5\n1 2 3 4 5\n1 2 3 4 5\n", {}},
    {"CountTooLargeToAllocate", "NUMPOLLIES 65537\n1 2 3 4 5\n", {}},
    {"CountBeyondInt", "NUMPOLLIES 4294967297\n1 2 3 4 5\n", {}},
    {"EmptyFile", "", {}},
    {"OnlyComments", "// nothing\n\n", {}},
};

class LoadWorldTest : public testing::TestWithParam<WorldCase> {};

TEST_P(LoadWorldTest, HoldsTheExpectedTriangles) {
  const WorldCase& c = GetParam();
  LoadWorldFromText(c.text);
  EXPECT_EQ(world.triangleCount, static_cast<int32_t>(c.expected.size() / 3));
  EXPECT_EQ(LoadedVertices(), c.expected);
  EXPECT_EQ(world.triangles == nullptr, world.triangleCount == 0);
}

INSTANTIATE_TEST_SUITE_P(Files, LoadWorldTest, testing::ValuesIn(worldCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LoadWorldTest, LargestCountWithAShortFileRepeatsTheLastVertex) {
  LoadWorldFromText("NUMPOLLIES 65536\n1 2 3 4 5\n/ the end\n");
  ASSERT_EQ(world.triangleCount, maxWorldTriangles);
  const WorldVertex& last = world.triangles[maxWorldTriangles - 1].vertices[2];
  EXPECT_EQ((Vertex{last.x, last.y, last.z, last.u, last.v}), (Vertex{1, 2, 3, 4, 5}));
}

// The sanitizer build's leak check fails this test if a reload keeps the old array.
TEST(LoadWorldTest, ReloadReplacesTheWorld) {
  LoadWorldFromText(exampleFloorText);
  ASSERT_EQ(world.triangleCount, 2);
  LoadWorldFromText("NUMPOLLIES 1\n1 1 1 1 1\n");
  EXPECT_EQ(world.triangleCount, 1);
  EXPECT_EQ(world.triangles[0].vertices[2].x, 1);
}

TEST(LoadWorldTest, MissingFileEmptiesTheWorld) {
  LoadWorldFromText(exampleFloorText);
  LoadWorldFromStream(nullptr);
  EXPECT_EQ(world.triangleCount, 0);
  EXPECT_EQ(world.triangles, nullptr);
}

}  // namespace
