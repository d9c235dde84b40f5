// What the linkage check must reject: a global of a C name, which would
// collide with a program's own `color`, and a C++ function of the global
// namespace, next to names it accepts.
namespace bgi {
int accepted_shared_state = 0;
}

extern "C" {
int color = 0;
void initgraph(int *, int *, const char *) {}
}

void helper(int) {}
