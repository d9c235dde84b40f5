/* The header classic BGI programs include. */
#ifndef GRAPHICS_H
#define GRAPHICS_H
#include "bgi.h"
#endif
