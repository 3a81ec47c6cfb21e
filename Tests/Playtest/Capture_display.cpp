// A capture reads the window's back buffer with the top row first, whatever framebuffer is bound.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <SDL.h>

#include "Playtest/Image.h"

TEST(Capture, TheBackBufferIsReadTopRowFirst) {
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
  SDL_Window* window = SDL_CreateWindow("capture", 0, 0, 64, 32, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  ASSERT_NE(window, nullptr) << SDL_GetError();
  SDL_GLContext context = SDL_GL_CreateContext(window);
  ASSERT_NE(context, nullptr) << SDL_GetError();
  glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glEnable(GL_SCISSOR_TEST);
  glScissor(0, 24, 64, 8);  // GL counts rows from the bottom: these are the top eight
  glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glDisable(GL_SCISSOR_TEST);

  // A framebuffer object the renderer left bound is not what the window shows.
  using GenFramebuffers = void (*)(GLsizei, GLuint*);
  using BindFramebuffer = void (*)(GLenum, GLuint);
  const auto gen = reinterpret_cast<GenFramebuffers>(SDL_GL_GetProcAddress("glGenFramebuffers"));
  const auto bind = reinterpret_cast<BindFramebuffer>(SDL_GL_GetProcAddress("glBindFramebuffer"));
  ASSERT_TRUE(gen && bind);
  GLuint framebuffer = 0;
  gen(1, &framebuffer);
  bind(0x8D40, framebuffer);  // GL_FRAMEBUFFER

  Play::Image image;
  ASSERT_TRUE(Play::ReadBackBuffer(64, 32, image));
  GLint bound = 0;
  glGetIntegerv(0x8CAA, &bound);  // GL_READ_FRAMEBUFFER_BINDING
  EXPECT_EQ(static_cast<GLuint>(bound), framebuffer);
  const auto pixel = [&](int x, int y) {
    const uint8_t* p = &image.rgb[static_cast<size_t>((y * 64 + x) * 3)];
    return std::vector<int>{p[0], p[1], p[2]};
  };
  EXPECT_EQ(pixel(5, 0), (std::vector<int>{0, 0, 255}));
  EXPECT_EQ(pixel(5, 31), (std::vector<int>{255, 0, 0}));
  SDL_GL_DeleteContext(context);
  SDL_DestroyWindow(window);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
