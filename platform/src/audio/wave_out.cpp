// Waveform audio output (winmm's waveOut) on SDL2's audio: an open device
// plays the buffers written to it in order, each as many times as its loop
// asks, and marks each done when it has been played. SDL calls our callback
// on a thread of its own, holding the device's lock; everything the callback
// touches (the queue, the headers' flags) is changed only under that lock.
#include "platform.h"
#include "trace.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>

namespace win32 {

namespace {

struct Device {
    SDL_AudioDeviceID id = 0;
    std::uint8_t silence = 0;
    std::deque<WAVEHDR *> queue; // the first one is playing
    DWORD offset = 0;            // bytes of the first one played in this pass
    DWORD passes_left = 0;       // of the first one, this pass included
};

// Devices by handle; handles are never reused.
std::map<std::uintptr_t, Device> &devices() {
    static std::map<std::uintptr_t, Device> table;
    return table;
}
std::uintptr_t next_handle = 0x20010;

// SDL's audio threads read the devices: they are closed before the table
// goes, at exit.
void close_all_devices() {
    for (auto &[handle, device] : devices()) SDL_CloseAudioDevice(device.id);
    devices().clear();
}

Device *device_of(HWAVEOUT handle) {
    auto it = devices().find(reinterpret_cast<std::uintptr_t>(handle));
    return it == devices().end() ? nullptr : &it->second;
}

DWORD passes_of(const WAVEHDR &header) {
    const DWORD loop = WHDR_BEGINLOOP | WHDR_ENDLOOP;
    return (header.dwFlags & loop) == loop ? std::max<DWORD>(header.dwLoops, 1) : 1;
}

void finish(WAVEHDR &header) {
    header.dwFlags = (header.dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
}

// On SDL's audio thread, under the device's lock.
void SDLCALL fill(void *data, Uint8 *stream, int length) {
    Device &device = *static_cast<Device *>(data);
    while (length > 0 && !device.queue.empty()) {
        WAVEHDR &header = *device.queue.front();
        const DWORD count = std::min<DWORD>(DWORD(length), header.dwBufferLength - device.offset);
        if (count > 0) std::memcpy(stream, header.lpData + device.offset, count);
        stream += count, length -= int(count), device.offset += count;
        if (device.offset < header.dwBufferLength) continue;
        device.offset = 0;
        // An empty buffer has nothing to repeat.
        if (header.dwBufferLength > 0 && --device.passes_left > 0) continue;
        finish(header);
        device.queue.pop_front();
        if (!device.queue.empty()) device.passes_left = passes_of(*device.queue.front());
    }
    std::memset(stream, device.silence, std::size_t(length));
}

bool is_playable(const WAVEFORMATEX &f) {
    return f.wFormatTag == WAVE_FORMAT_PCM && (f.nChannels == 1 || f.nChannels == 2) &&
           (f.wBitsPerSample == 8 || f.wBitsPerSample == 16) && f.nSamplesPerSec >= 1000 &&
           f.nSamplesPerSec <= 192000 && f.nBlockAlign == f.nChannels * f.wBitsPerSample / 8;
}

// Runs `change` on the device with SDL's callback held off.
template <class F> MMRESULT locked(HWAVEOUT handle, F change) {
    Device *device = device_of(handle);
    if (!device) return MMSYSERR_INVALHANDLE;
    SDL_LockAudioDevice(device->id);
    const MMRESULT result = change(*device);
    SDL_UnlockAudioDevice(device->id);
    return result;
}

} // namespace

MMRESULT waveOutOpen(LPHWAVEOUT handle, UINT device_id, LPCWAVEFORMATEX format, DWORD_PTR,
                     DWORD_PTR, DWORD flags) {
    trace::record("waveOutOpen", nullptr, {device_id, flags});
    if (!handle || !format) return MMSYSERR_INVALPARAM;
    *handle = nullptr;
    if (device_id != WAVE_MAPPER && device_id != 0) return MMSYSERR_BADDEVICEID;
    if (flags != CALLBACK_NULL) return MMSYSERR_INVALFLAG;
    if (!is_playable(*format)) return WAVERR_BADFORMAT;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return MMSYSERR_NODRIVER;
    // Registered after the table exists, so that it runs before the table goes.
    static const bool closing_at_exit = (devices(), std::atexit(close_all_devices) == 0);
    (void)closing_at_exit;

    const std::uintptr_t value = next_handle++;
    Device &device = devices()[value];
    SDL_AudioSpec want{};
    want.freq = int(format->nSamplesPerSec);
    want.format = format->wBitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    want.channels = Uint8(format->nChannels);
    want.samples = 1024;
    want.callback = fill;
    want.userdata = &device;
    SDL_AudioSpec have{};
    device.id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device.id == 0) {
        devices().erase(value);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return MMSYSERR_NODRIVER;
    }
    device.silence = have.silence;
    SDL_PauseAudioDevice(device.id, 0);
    *handle = reinterpret_cast<HWAVEOUT>(value);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutClose(HWAVEOUT handle) {
    trace::record("waveOutClose", nullptr, {trace::value(handle)});
    Device *device = device_of(handle);
    if (!device) return MMSYSERR_INVALHANDLE;
    SDL_LockAudioDevice(device->id);
    const bool playing = !device->queue.empty();
    SDL_UnlockAudioDevice(device->id);
    if (playing) return WAVERR_STILLPLAYING;
    SDL_CloseAudioDevice(device->id);
    devices().erase(reinterpret_cast<std::uintptr_t>(handle));
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutPrepareHeader(HWAVEOUT handle, LPWAVEHDR header, UINT size) {
    trace::record("waveOutPrepareHeader", nullptr, {trace::value(handle)});
    if (!header || size < sizeof(WAVEHDR)) return MMSYSERR_INVALPARAM;
    return locked(handle, [header](Device &) {
        if (header->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
        header->dwFlags |= WHDR_PREPARED;
        return MMSYSERR_NOERROR;
    });
}

MMRESULT waveOutUnprepareHeader(HWAVEOUT handle, LPWAVEHDR header, UINT size) {
    trace::record("waveOutUnprepareHeader", nullptr, {trace::value(handle)});
    if (!header || size < sizeof(WAVEHDR)) return MMSYSERR_INVALPARAM;
    return locked(handle, [header](Device &) {
        if (header->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
        header->dwFlags &= ~WHDR_PREPARED;
        return MMSYSERR_NOERROR;
    });
}

MMRESULT waveOutWrite(HWAVEOUT handle, LPWAVEHDR header, UINT size) {
    trace::record("waveOutWrite", nullptr, {trace::value(handle)});
    if (!header || size < sizeof(WAVEHDR)) return MMSYSERR_INVALPARAM;
    return locked(handle, [header](Device &device) {
        if (!(header->dwFlags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
        if (header->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
        if (!header->lpData && header->dwBufferLength > 0) return MMSYSERR_INVALPARAM;
        header->dwFlags = (header->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
        device.queue.push_back(header);
        if (device.queue.size() == 1) device.offset = 0, device.passes_left = passes_of(*header);
        return MMSYSERR_NOERROR;
    });
}

MMRESULT waveOutReset(HWAVEOUT handle) {
    trace::record("waveOutReset", nullptr, {trace::value(handle)});
    return locked(handle, [](Device &device) {
        for (WAVEHDR *header : device.queue) finish(*header);
        device.queue.clear();
        device.offset = 0;
        return MMSYSERR_NOERROR;
    });
}

} // namespace win32
