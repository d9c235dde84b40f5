// sound and nosound: the PC speaker's tone, a square wave, played by the
// system's waveform audio until nosound. One second of the tone holds a
// whole number of its periods and loops without a seam. With no sound
// device the calls do nothing.
#include "bgi.h"
#include "bgi_internal.h"
#include "dos.h"

#ifndef _WIN32
using namespace win32;
#endif

namespace {

constexpr DWORD sample_rate = 22050;
// Quiet enough beside today's sounds: the wave swings a quarter of the way.
constexpr BYTE low_level = 0x60, high_level = 0xA0;

BYTE tone[sample_rate];
WAVEHDR header = {};
HWAVEOUT device = nullptr;
bool no_device = false; // opening failed once: there is none to try again
bool playing = false;

bool open_device() {
    if (device) return true;
    if (no_device) return false;
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = sample_rate;
    format.nAvgBytesPerSec = sample_rate;
    format.nBlockAlign = 1;
    format.wBitsPerSample = 8;
    if (waveOutOpen(&device, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
        device = nullptr;
        no_device = true;
    }
    return device != nullptr;
}

} // namespace

extern "C" {

void nosound(void) {
    if (!playing) return;
    waveOutReset(device);
    waveOutUnprepareHeader(device, &header, sizeof header);
    playing = false;
}

// 0 and frequencies the samples cannot carry are silence.
void sound(unsigned frequency) {
    nosound();
    if (frequency == 0 || frequency >= sample_rate / 2 || !open_device()) return;
    // Half periods alternate between the two levels.
    for (DWORD i = 0; i < sample_rate; ++i)
        tone[i] = (2ULL * frequency * i / sample_rate) % 2 ? low_level : high_level;
    header = {};
    header.lpData = reinterpret_cast<LPSTR>(tone);
    header.dwBufferLength = sample_rate;
    header.dwFlags = WHDR_BEGINLOOP | WHDR_ENDLOOP;
    header.dwLoops = 0xFFFFFFFF;
    if (waveOutPrepareHeader(device, &header, sizeof header) != MMSYSERR_NOERROR) return;
    playing = waveOutWrite(device, &header, sizeof header) == MMSYSERR_NOERROR;
    if (!playing) waveOutUnprepareHeader(device, &header, sizeof header);
}

} // extern "C"
