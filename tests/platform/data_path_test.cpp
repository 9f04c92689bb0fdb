#include "platform/data_path.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fresh_working_directory.h"

namespace {

struct PathCase {
  const char* name;
  std::vector<std::string> files;  // what exists on disk
  std::string asked;
  std::string expected;
};

void PrintTo(const PathCase& c, std::ostream* os) { *os << c.name; }

const PathCase pathCases[] = {
    {"ExistsAsWritten", {"Data/demo.mp3"}, "Data/demo.mp3", "Data/demo.mp3"},
    {"UpperCaseNameFindsLowerCaseDirectory", {"data/demo.mp3"}, "Data/demo.mp3", "data/demo.mp3"},
    {"LowerCaseNameFindsUpperCaseDirectory", {"Data/world.txt"}, "data/world.txt", "Data/world.txt"},
    {"EveryComponentIsResolved", {"data/Anim1/ANIM_5.BMP"}, "Data/anim1/anim_5.bmp", "data/Anim1/ANIM_5.BMP"},
    {"DotComponentsAreKept", {"DATA/cam.txt"}, "./data/cam.txt", "./DATA/cam.txt"},
    {"SeveralSpellingsTakeTheFirstInSortedOrder", {"data/a", "DATA/a", "dAtA/a"}, "Data/a", "DATA/a"},
    {"ExactComponentIsPreferred", {"data/a", "DATA/b"}, "data/A", "data/a"},
    {"MissingFileIsReturnedUnchanged", {"data/world.txt"}, "Data/cam.txt", "Data/cam.txt"},
    {"MissingDirectoryIsReturnedUnchanged", {"other/world.txt"}, "data/world.txt", "data/world.txt"},
    {"FileInPlaceOfADirectory", {"data"}, "Data/world.txt", "Data/world.txt"},
};

class ResolveDataPathTest : public FreshWorkingDirectory, public testing::WithParamInterface<PathCase> {};

TEST_P(ResolveDataPathTest, FindsTheSpellingOnDisk) {
  for (const std::string& file : GetParam().files) WriteFile(file, file);
  EXPECT_EQ(ResolveDataPath(GetParam().asked.c_str()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Paths, ResolveDataPathTest, testing::ValuesIn(pathCases),
                         [](const auto& info) { return std::string(info.param.name); });

class OpenDataFileTest : public FreshWorkingDirectory {};

TEST_F(OpenDataFileTest, AbsolutePathIsResolvedBelowItsRoot) {
  WriteFile("data/world.txt", "");
  std::string asked = (directory() / "DATA/World.txt").string();
  EXPECT_EQ(ResolveDataPath(asked.c_str()), (directory() / "data/world.txt").string());
}

TEST_F(OpenDataFileTest, OpensTheResolvedFile) {
  WriteFile("data/anim1/anim_5.bmp", "frame five");
  FILE* file = OpenDataFile("Data/anim1/anim_5.bmp", "rb");
  ASSERT_NE(file, nullptr);
  char contents[16] = {};
  EXPECT_EQ(std::fread(contents, 1, sizeof contents - 1, file), 10u);
  std::fclose(file);
  EXPECT_STREQ(contents, "frame five");
}

TEST_F(OpenDataFileTest, MissingFileGivesNull) {
  EXPECT_EQ(OpenDataFile("Data/demo.mp3", "rb"), nullptr);
  EXPECT_EQ(OpenDataFile(nullptr, "rb"), nullptr);
}

}  // namespace
