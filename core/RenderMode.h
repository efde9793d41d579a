#pragma once

// How the 3D view draws the surface; the views map it to OpenGL.
enum class RenderMode { Solid, Wireframe, Point };
