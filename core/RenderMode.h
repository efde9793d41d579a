#pragma once

// How the surface's polygons are drawn.
enum class RenderMode { Solid, Wireframe, Point };
