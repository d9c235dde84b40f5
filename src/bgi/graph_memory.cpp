// The memory hooks of the graphics system, in a file of their own: a program
// that defines both itself, as DOS programs could, links without ours.
#include "graphics.h"

#include <cstdlib>

extern "C" {

void *_graphgetmem(unsigned size) {
    return std::malloc(size);
}

void _graphfreemem(void *ptr, unsigned) {
    std::free(ptr);
}

} // extern "C"
