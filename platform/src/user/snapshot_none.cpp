// Headless snapshots are a feature of the desktop build, which has files to
// save pictures in and a process to end. A web page has neither: its
// programs run without them, as with BGI_SNAPSHOT unset.
#include "snapshot.h"

namespace win32::user::snapshot {

bool active = false;

void configure() {}
void window_created() {}
void window_destroying(const Window &) {}
void before_wait(bool) {}
void nothing_waiting() {}

} // namespace win32::user::snapshot
