// Waveform audio output on SDL's silent audio device: buffers are played in
// order, as often as their loop asks, and are marked done; the calls refuse
// what winmm refuses.
#include "platform.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

using namespace win32;

namespace {

struct SilentAudio : ::testing::Environment {
    void SetUp() override { setenv("SDL_AUDIODRIVER", "dummy", 1); }
};
const auto *const silent_audio = ::testing::AddGlobalTestEnvironment(new SilentAudio);

constexpr DWORD rate = 8000;

WAVEFORMATEX format(WORD channels = 1, WORD bits = 8, DWORD samples_per_second = rate) {
    WAVEFORMATEX f{};
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = channels;
    f.nSamplesPerSec = samples_per_second;
    f.wBitsPerSample = bits;
    f.nBlockAlign = WORD(channels * bits / 8);
    f.nAvgBytesPerSec = samples_per_second * f.nBlockAlign;
    return f;
}

// Waits until the header is done; false after `seconds`.
bool done_within(const WAVEHDR &header, double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (reinterpret_cast<const volatile DWORD &>(header.dwFlags) & WHDR_DONE) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

TEST(WaveOut, PlaysBuffersInOrderAndMarksThemDone) {
    const WAVEFORMATEX f = format();
    HWAVEOUT device = nullptr;
    ASSERT_EQ(waveOutOpen(&device, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    std::vector<char> samples(rate / 20, char(0x80)); // 50 ms
    WAVEHDR first{}, second{};
    for (WAVEHDR *h : {&first, &second}) {
        h->lpData = samples.data();
        h->dwBufferLength = DWORD(samples.size());
        EXPECT_EQ(waveOutWrite(device, h, sizeof *h), WAVERR_UNPREPARED);
        ASSERT_EQ(waveOutPrepareHeader(device, h, sizeof *h), MMSYSERR_NOERROR);
        EXPECT_TRUE(h->dwFlags & WHDR_PREPARED);
    }
    ASSERT_EQ(waveOutWrite(device, &first, sizeof first), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutWrite(device, &second, sizeof second), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutUnprepareHeader(device, &second, sizeof second), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveOutClose(device), WAVERR_STILLPLAYING);
    ASSERT_TRUE(done_within(second, 5));
    EXPECT_TRUE(first.dwFlags & WHDR_DONE);
    EXPECT_FALSE(second.dwFlags & WHDR_INQUEUE);
    for (WAVEHDR *h : {&first, &second})
        EXPECT_EQ(waveOutUnprepareHeader(device, h, sizeof *h), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutClose(device), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutClose(device), MMSYSERR_INVALHANDLE);
}

// A loop plays its buffer dwLoops times; a reset ends what plays at once.
TEST(WaveOut, LoopsRepeatAndResetStops) {
    const WAVEFORMATEX f = format(2, 16, 11025);
    HWAVEOUT device = nullptr;
    ASSERT_EQ(waveOutOpen(&device, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    std::vector<char> samples(11025 * 4 / 50, 0); // 20 ms
    WAVEHDR looped{};
    looped.lpData = samples.data();
    looped.dwBufferLength = DWORD(samples.size());
    looped.dwFlags = WHDR_BEGINLOOP | WHDR_ENDLOOP;
    looped.dwLoops = 4;
    waveOutPrepareHeader(device, &looped, sizeof looped);
    waveOutWrite(device, &looped, sizeof looped);
    ASSERT_TRUE(done_within(looped, 5));

    looped.dwLoops = 0xFFFFFFFF;
    waveOutWrite(device, &looped, sizeof looped);
    EXPECT_FALSE(done_within(looped, 0.1)) << "as good as for ever";
    EXPECT_EQ(waveOutReset(device), MMSYSERR_NOERROR);
    EXPECT_TRUE(looped.dwFlags & WHDR_DONE);
    EXPECT_EQ(waveOutUnprepareHeader(device, &looped, sizeof looped), MMSYSERR_NOERROR);

    WAVEHDR empty{};
    empty.dwFlags = WHDR_BEGINLOOP | WHDR_ENDLOOP;
    empty.dwLoops = 0xFFFFFFFF;
    waveOutPrepareHeader(device, &empty, sizeof empty);
    waveOutWrite(device, &empty, sizeof empty);
    EXPECT_TRUE(done_within(empty, 5)) << "nothing to repeat";
    EXPECT_EQ(waveOutClose(device), MMSYSERR_NOERROR);
}

TEST(WaveOut, RefusesWhatItCannotPlay) {
    HWAVEOUT device = reinterpret_cast<HWAVEOUT>(1);
    WAVEFORMATEX f = format();
    f.wFormatTag = 3; // floating point
    EXPECT_EQ(waveOutOpen(&device, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL), WAVERR_BADFORMAT);
    EXPECT_EQ(device, nullptr);
    f = format(1, 24);
    EXPECT_EQ(waveOutOpen(&device, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL), WAVERR_BADFORMAT);
    f = format();
    f.nBlockAlign = 2;
    EXPECT_EQ(waveOutOpen(&device, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL), WAVERR_BADFORMAT);
    f = format();
    EXPECT_EQ(waveOutOpen(&device, 7, &f, 0, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(waveOutOpen(&device, WAVE_MAPPER, &f, 0, 0, 0x00030000), MMSYSERR_INVALFLAG);
    EXPECT_EQ(waveOutOpen(nullptr, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL), MMSYSERR_INVALPARAM);

    WAVEHDR header{};
    const HWAVEOUT forged = reinterpret_cast<HWAVEOUT>(0x20010 + 1000);
    EXPECT_EQ(waveOutPrepareHeader(forged, &header, sizeof header), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutWrite(forged, &header, sizeof header), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutReset(nullptr), MMSYSERR_INVALHANDLE);
    ASSERT_EQ(waveOutOpen(&device, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutPrepareHeader(device, &header, sizeof header - 1), MMSYSERR_INVALPARAM);
    EXPECT_EQ(waveOutPrepareHeader(device, nullptr, sizeof header), MMSYSERR_INVALPARAM);
    waveOutPrepareHeader(device, &header, sizeof header);
    header.dwBufferLength = 10; // and no data
    EXPECT_EQ(waveOutWrite(device, &header, sizeof header), MMSYSERR_INVALPARAM);
    EXPECT_EQ(waveOutClose(device), MMSYSERR_NOERROR);
}

} // namespace
