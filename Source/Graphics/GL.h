// The OpenGL headers of the graphics subsystem: GLEW (the entry points of OpenGL 2.0 and of the
// framebuffer objects) and GLU. Only Source/Graphics includes this; no other subsystem sees GL.
#pragma once

#include <GL/glew.h>
// GLEW first: it must come before any other GL header.
#include <GL/glu.h>
