// A core header that reaches up and out: the layer check must refuse it.
#pragma once

#include <QString>
#include <GL/gl.h>
#include "views/GLView.h"
