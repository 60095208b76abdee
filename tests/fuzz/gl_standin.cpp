// Stands in for the GL driver in the fuzz targets: no context exists, but
// every call that takes a pointer reads (or writes) exactly as many bytes as
// a driver would, so a pixel buffer or a string shorter than the call claims
// is caught by the address checker.  These definitions take the place of the
// library's.
#include <GL/gl.h>
#include <GL/glu.h>

#include <cstddef>
#include <cstdint>

namespace {

volatile uint8_t gSink;
GLint gUnpackAlignment = 4;
GLuint gNextName = 1;

void Touch(const void* p, size_t n) {
  const auto* b = static_cast<const uint8_t*>(p);
  uint8_t x = 0;
  for (size_t i = 0; i < n; ++i) x ^= b[i];
  gSink = x;
}

size_t Components(GLenum format) {
  switch (format) {
    case GL_RGBA:
    case GL_BGRA:
      return 4;
    case GL_RGB:
    case GL_BGR:
      return 3;
    case GL_LUMINANCE_ALPHA:
      return 2;
    default:
      return 1;
  }
}

// The bytes an unpack of width x height pixels reads, rows padded to the
// unpack alignment except after the last one.
void ReadPixels(GLsizei width, GLsizei height, GLenum format, GLenum type, const void* pixels) {
  if (pixels == nullptr || width <= 0 || height <= 0 || type != GL_UNSIGNED_BYTE) return;
  const size_t row = static_cast<size_t>(width) * Components(format);
  const size_t a = static_cast<size_t>(gUnpackAlignment);
  const size_t stride = (row + a - 1) / a * a;
  Touch(pixels, stride * static_cast<size_t>(height - 1) + row);
}

}  // namespace

extern "C" {

void glGenTextures(GLsizei n, GLuint* names) {
  for (GLsizei i = 0; i < n; ++i) names[i] = gNextName++;
}
void glDeleteTextures(GLsizei n, const GLuint* names) {
  Touch(names, static_cast<size_t>(n) * sizeof(GLuint));
}
void glBindTexture(GLenum, GLuint) {}
void glTexParameteri(GLenum, GLenum, GLint) {}
void glPixelStorei(GLenum name, GLint value) {
  if (name == GL_UNPACK_ALIGNMENT && (value == 1 || value == 2 || value == 4 || value == 8))
    gUnpackAlignment = value;
}
void glTexImage2D(GLenum, GLint, GLint, GLsizei width, GLsizei height, GLint, GLenum format,
                  GLenum type, const void* pixels) {
  ReadPixels(width, height, format, type, pixels);
}
GLint gluBuild2DMipmaps(GLenum, GLint, GLsizei width, GLsizei height, GLenum format, GLenum type,
                        const void* data) {
  ReadPixels(width, height, format, type, data);
  return 0;
}

GLuint glGenLists(GLsizei range) {
  if (range <= 0) return 0;
  const GLuint base = gNextName;
  gNextName += static_cast<GLuint>(range);
  return base;
}
void glDeleteLists(GLuint, GLsizei) {}
void glNewList(GLuint, GLenum) {}
void glEndList() {}
void glListBase(GLuint) {}
void glCallLists(GLsizei n, GLenum type, const void* lists) {
  if (n > 0 && type == GL_UNSIGNED_BYTE) Touch(lists, static_cast<size_t>(n));
}
void glCallList(GLuint) {}

void glBegin(GLenum) {}
void glEnd() {}
void glVertex2f(GLfloat, GLfloat) {}
void glTexCoord2f(GLfloat, GLfloat) {}
void glTranslatef(GLfloat, GLfloat, GLfloat) {}
void glColor3ub(GLubyte, GLubyte, GLubyte) {}
void glColor4f(GLfloat, GLfloat, GLfloat, GLfloat) {}
void glColor4fv(const GLfloat* v) {
  Touch(v, 4 * sizeof(GLfloat));
}
void glGetFloatv(GLenum, GLfloat* v) {
  for (int i = 0; i < 4; ++i) v[i] = 1.0f;  // GL_CURRENT_COLOR is all the game asks for
}
void glEnable(GLenum) {}
void glDisable(GLenum) {}
void glBlendFunc(GLenum, GLenum) {}
void glDepthMask(GLboolean) {}
void glMatrixMode(GLenum) {}
void glPushMatrix() {}
void glPopMatrix() {}
void glLoadIdentity() {}
void glOrtho(GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble) {}

}  // extern "C"
