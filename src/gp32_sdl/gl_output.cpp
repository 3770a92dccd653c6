#include "gp32_sdl/gl_output.h"

// SDL's header brings the system's gl.h in the order it needs (gl.h first would have it
// define GL_GLEXT_VERSION twice).
#include <SDL.h>
#include <SDL_opengl.h>

#include "gp32_functions/gp32_functions.h"

namespace {

// The OpenGL 1.1 calls used, looked up through SDL once a context exists (SDL loads the
// system's GL library itself): nothing links it, so the program starts where there is none
// and shows the surface.
#define ZARVELIN_GL_CALLS(X)                                                                                 \
    X(const GLubyte*, GetString, (GLenum))                                                                   \
    X(GLenum, GetError, ())                                                                                  \
    X(void, GenTextures, (GLsizei, GLuint*))                                                                 \
    X(void, BindTexture, (GLenum, GLuint))                                                                   \
    X(void, TexParameteri, (GLenum, GLenum, GLint))                                                          \
    X(void, TexImage2D, (GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum, const void*))        \
    X(void, TexSubImage2D, (GLenum, GLint, GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, const void*))     \
    X(void, Enable, (GLenum))                                                                                \
    X(void, Disable, (GLenum))                                                                               \
    X(void, PixelStorei, (GLenum, GLint))                                                                    \
    X(void, ClearColor, (GLfloat, GLfloat, GLfloat, GLfloat))                                                \
    X(void, Clear, (GLbitfield))                                                                             \
    X(void, Viewport, (GLint, GLint, GLsizei, GLsizei))                                                      \
    X(void, MatrixMode, (GLenum))                                                                            \
    X(void, LoadIdentity, ())                                                                                \
    X(void, Ortho, (GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble))                             \
    X(void, Begin, (GLenum))                                                                                 \
    X(void, End, ())                                                                                         \
    X(void, TexCoord2f, (GLfloat, GLfloat))                                                                  \
    X(void, Vertex2i, (GLint, GLint))

#define ZARVELIN_GL_DECLARE(result, name, params) result(APIENTRY* name) params = nullptr;
struct {
    ZARVELIN_GL_CALLS(ZARVELIN_GL_DECLARE)
} gl;

bool LoadGl() {
#define ZARVELIN_GL_LOAD(result, name, params)                                                               \
    gl.name = reinterpret_cast<result(APIENTRY*) params>(SDL_GL_GetProcAddress("gl" #name));                 \
    if (gl.name == nullptr) return false;
    ZARVELIN_GL_CALLS(ZARVELIN_GL_LOAD)
    return true;
}

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
    gl.Clear(GL_COLOR_BUFFER_BIT);
    const GLfloat u0 = EdgeCoordinate(kFrameWidth, placed.picture.w, kTextureWidth);
    const GLfloat v0 = EdgeCoordinate(kFrameHeight, placed.picture.h, kTextureHeight);
    const GLfloat u1 = u0 + static_cast<GLfloat>(kFrameWidth) / kTextureWidth;
    const GLfloat v1 = v0 + static_cast<GLfloat>(kFrameHeight) / kTextureHeight;
    const GLint x0 = placed.x;
    const GLint y0 = placed.y;
    const GLint x1 = x0 + placed.picture.w;
    const GLint y1 = y0 + placed.picture.h;
    gl.Begin(GL_QUADS);
    gl.TexCoord2f(u0, v0);
    gl.Vertex2i(x0, y0);
    gl.TexCoord2f(u1, v0);
    gl.Vertex2i(x1, y0);
    gl.TexCoord2f(u1, v1);
    gl.Vertex2i(x1, y1);
    gl.TexCoord2f(u0, v1);
    gl.Vertex2i(x0, y1);
    gl.End();
}

bool GlStart(const DisplayPlan& plan) {
    if (!LoadGl() || gl.GetString(GL_VERSION) == nullptr) return false;
    placed = plan;
    // A new mode has a new context: whatever the last one held is gone.
    texture = 0;
    gl.GenTextures(1, &texture);
    gl.BindTexture(GL_TEXTURE_2D, texture);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, kTextureWidth, kTextureHeight, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                  nullptr);
    gl.Enable(GL_TEXTURE_2D);
    gl.Disable(GL_DEPTH_TEST);
    gl.Disable(GL_BLEND);
    gl.Disable(GL_DITHER);
    gl.PixelStorei(GL_UNPACK_ALIGNMENT, 4);
    gl.ClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    // One unit per display pixel, y down, so the quad's corners fall on pixel edges.
    gl.Viewport(0, 0, plan.mode.w, plan.mode.h);
    gl.MatrixMode(GL_PROJECTION);
    gl.LoadIdentity();
    gl.Ortho(0.0, plan.mode.w, plan.mode.h, 0.0, -1.0, 1.0);
    gl.MatrixMode(GL_MODELVIEW);
    gl.LoadIdentity();
    return gl.GetError() == GL_NO_ERROR;
}

void GlPresent(const void* source, int depth) {
    ConvertFrame(source, depth, picture, 0);
    // Each pixel is the little-endian word 0x00RRGGBB: bytes B, G, R, 0.
    gl.TexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, kFrameWidth, kFrameHeight, GL_BGRA, GL_UNSIGNED_BYTE, picture);
    GlDraw();
    SDL_GL_SwapBuffers();
}

void GlRedraw() {
    GlDraw();
    SDL_GL_SwapBuffers();
}
