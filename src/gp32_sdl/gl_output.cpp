#include "gp32_sdl/gl_output.h"

// SDL's header brings the system's gl.h in the order it needs (gl.h first would have it
// define GL_GLEXT_VERSION twice).
#include <SDL.h>
#include <SDL_opengl.h>

#include "gp32_functions/gp32_functions.h"

namespace {

// OpenGL 1.1 wants power-of-two textures: the frame fills the top-left 320 x 240 of 512 x 256.
constexpr GLsizei kTextureWidth = 512;
constexpr GLsizei kTextureHeight = 256;

GLuint texture = 0;
DisplayPlan placed{};
uint32_t picture[kFramePixels]; // the frame's 1x conversion, rows from the top

// The texture coordinate of the picture's left or top edge: the sample points moved back as the
// software conversion moves them (SampleShift), in units of the texture's size.
GLfloat EdgeCoordinate(int32_t frame, int32_t picture, GLsizei texture_size) {
    return static_cast<GLfloat>(-static_cast<double>(SampleShift(frame, picture)) / (2.0 * picture) /
                                texture_size);
}

} // namespace

void GlDraw() {
    glClear(GL_COLOR_BUFFER_BIT);
    const GLfloat u0 = EdgeCoordinate(kFrameWidth, placed.picture.w, kTextureWidth);
    const GLfloat v0 = EdgeCoordinate(kFrameHeight, placed.picture.h, kTextureHeight);
    const GLfloat u1 = u0 + static_cast<GLfloat>(kFrameWidth) / kTextureWidth;
    const GLfloat v1 = v0 + static_cast<GLfloat>(kFrameHeight) / kTextureHeight;
    const GLint x0 = placed.x;
    const GLint y0 = placed.y;
    const GLint x1 = x0 + placed.picture.w;
    const GLint y1 = y0 + placed.picture.h;
    glBegin(GL_QUADS);
    glTexCoord2f(u0, v0);
    glVertex2i(x0, y0);
    glTexCoord2f(u1, v0);
    glVertex2i(x1, y0);
    glTexCoord2f(u1, v1);
    glVertex2i(x1, y1);
    glTexCoord2f(u0, v1);
    glVertex2i(x0, y1);
    glEnd();
}

bool GlStart(const DisplayPlan& plan) {
    if (glGetString(GL_VERSION) == nullptr) return false;
    placed = plan;
    // A new mode has a new context: whatever the last one held is gone.
    texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, kTextureWidth, kTextureHeight, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                 nullptr);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_DITHER);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    // One unit per display pixel, y down, so the quad's corners fall on pixel edges.
    glViewport(0, 0, plan.mode.w, plan.mode.h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, plan.mode.w, plan.mode.h, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    return glGetError() == GL_NO_ERROR;
}

void GlPresent(const void* source, int depth) {
    ConvertFrame(source, depth, picture, 0);
    // Each pixel is the little-endian word 0x00RRGGBB: bytes B, G, R, 0.
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, kFrameWidth, kFrameHeight, GL_BGRA, GL_UNSIGNED_BYTE, picture);
    GlDraw();
    SDL_GL_SwapBuffers();
}

void GlRedraw() {
    GlDraw();
    SDL_GL_SwapBuffers();
}
