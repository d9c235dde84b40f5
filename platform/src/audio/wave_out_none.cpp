// Waveform audio where there is no sound device (the web page's build): no
// device opens, and every other call names a device that does not exist.
#include "platform.h"
#include "trace.h"

namespace win32 {

MMRESULT waveOutOpen(LPHWAVEOUT device, UINT device_id, LPCWAVEFORMATEX, DWORD_PTR, DWORD_PTR,
                     DWORD flags) {
    trace::record("waveOutOpen", nullptr, {device_id, flags});
    if (device) *device = nullptr;
    return MMSYSERR_NODRIVER;
}

MMRESULT waveOutClose(HWAVEOUT) {
    return MMSYSERR_INVALHANDLE;
}
MMRESULT waveOutPrepareHeader(HWAVEOUT, LPWAVEHDR, UINT) {
    return MMSYSERR_INVALHANDLE;
}
MMRESULT waveOutUnprepareHeader(HWAVEOUT, LPWAVEHDR, UINT) {
    return MMSYSERR_INVALHANDLE;
}
MMRESULT waveOutWrite(HWAVEOUT, LPWAVEHDR, UINT) {
    return MMSYSERR_INVALHANDLE;
}
MMRESULT waveOutReset(HWAVEOUT) {
    return MMSYSERR_INVALHANDLE;
}

} // namespace win32
