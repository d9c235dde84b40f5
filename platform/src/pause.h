// Pausing the program's one thread for a while. On the desktop the thread
// sleeps. In a web page the page itself runs on this thread, so a pause hands
// the thread back to the browser and the program carries on where it was once
// the time is up (Asyncify puts the program's stack aside meanwhile).
#pragma once

namespace win32 {

void pause_us(long long microseconds);

} // namespace win32
