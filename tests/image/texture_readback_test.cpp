// Uploads through a real GL (Mesa, under Xvfb) and reads the textures back:
// what GL holds must be the file's pixels, whatever the row width.
#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include "answered_message_boxes.h"
#include "datagen/bmp_file.h"
#include "gl_test_window.h"
#include "image/texture_bank.h"
#include "test_files.h"

namespace {

class RealGlTexture : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(OpenGlTestWindow("texture readback", 16, 16, false, &screen)) << SDL_GetError();
    EnterTestDirectory();
    AnswerMessageBoxesFromScript();
    textureBank = TextureBank{};
  }
  void TearDown() override {
    LeaveTestDirectory();
    CloseGlTestWindow(&screen);
  }

  // The texture's level 0 as red, green, blue bytes without row gaps.
  Bytes ReadBack(GLuint name, GLint* width, GLint* height) {
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, height);
    Bytes pixels(size_t(*width) * size_t(*height) * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
  }

  GlTestWindow screen;
};

TEST_F(RealGlTexture, OddWidthsReadBackAsInTheFile) {
  BmpFields threeWide;  // rows of 9 bytes
  threeWide.width = 3;
  threeWide.height = 2;
  threeWide.pixels = {3, 2, 1, 6, 5, 4, 9, 8, 7, 0, 0, 0, 12, 11, 10, 15, 14, 13, 18, 17, 16, 0, 0, 0};
  BmpFields fiveWide;  // one row of 15 bytes
  fiveWide.width = 5;
  fiveWide.pixels = {30, 20, 10, 60, 50, 40, 90, 80, 70, 120, 110, 100, 150, 140, 130, 0};
  WriteTestFile("Data/map1.bmp", BuildBmp(threeWide));
  WriteTestFile("Data/begin.bmp", BuildBmp(fiveWide));

  ASSERT_EQ(LoadTextures(), 1);
  EXPECT_TRUE(answeredMessageBoxes.shown.empty());
  ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));

  GLint width = 0, height = 0;
  EXPECT_EQ(ReadBack(textureBank.names[TextureSlot::map1], &width, &height),
            (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18}));
  EXPECT_EQ(width, 3);
  EXPECT_EQ(height, 2);
  EXPECT_EQ(ReadBack(textureBank.names[TextureSlot::begin], &width, &height),
            (Bytes{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150}));
  EXPECT_EQ(width, 5);
  EXPECT_EQ(height, 1);
  // Slots past the images are names without a texture image.
  ReadBack(textureBank.names[200], &width, &height);
  EXPECT_EQ(width, 0);
}

}  // namespace
