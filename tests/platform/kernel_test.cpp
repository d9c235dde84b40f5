// KERNEL: last error, system message texts and local memory.
#include "platform.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace win32;

namespace {

TEST(LastError, IsKeptUntilSetAgain) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    EXPECT_EQ(GetLastError(), ERROR_CLASS_ALREADY_EXISTS);
    EXPECT_EQ(GetLastError(), ERROR_CLASS_ALREADY_EXISTS);
    SetLastError(0);
    EXPECT_EQ(GetLastError(), 0u);
}

TEST(FormatMessage, GivesTheSystemTextOfEveryCodeWeProduce) {
    for (DWORD code : {ERROR_SUCCESS, ERROR_INVALID_HANDLE, ERROR_NOT_ENOUGH_MEMORY,
                       ERROR_INVALID_PARAMETER, ERROR_INVALID_WINDOW_HANDLE,
                       ERROR_CANNOT_FIND_WND_CLASS, ERROR_CLASS_ALREADY_EXISTS, ERROR_NO_DISPLAY}) {
        char buffer[256];
        const DWORD n =
            FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code, 0, buffer, 256, nullptr);
        ASSERT_GT(n, 2u) << code;
        EXPECT_EQ(n, std::strlen(buffer));
        EXPECT_EQ(std::string(buffer + n - 2), "\r\n");
    }
    char buffer[256];
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_NO_DISPLAY, 0, buffer, 256, nullptr);
    EXPECT_NE(std::string(buffer).find("Xvfb"), std::string::npos) << "says what to do";
}

TEST(FormatMessage, LeavesTheBufferAloneWhenItCannotAnswer) {
    char buffer[256] = "previous";
    EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 123456, 0, buffer, 256, nullptr),
              0u);
    EXPECT_EQ(GetLastError(), ERROR_MR_MID_NOT_FOUND);
    EXPECT_STREQ(buffer, "previous");

    char tiny[8] = "keep";
    EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_NO_DISPLAY, 0, tiny,
                             sizeof tiny, nullptr),
              0u);
    EXPECT_STREQ(tiny, "keep");
    EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 0, 0, nullptr, 256, nullptr), 0u);
}

TEST(FormatMessage, CanAllocateTheBuffer) {
    char *text = nullptr;
    const DWORD n =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr,
                       ERROR_INVALID_HANDLE, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(text, n), "The handle is invalid.\r\n");
    EXPECT_EQ(LocalFree(text), nullptr);
}

TEST(LocalMemory, ZeroInitialisedOnRequestAndFreeable) {
    auto *bytes = static_cast<unsigned char *>(LocalAlloc(LPTR, 1032));
    ASSERT_NE(bytes, nullptr);
    for (int i = 0; i < 1032; ++i) ASSERT_EQ(bytes[i], 0) << i;
    EXPECT_EQ(LocalFree(bytes), nullptr);
    void *empty = LocalAlloc(LMEM_FIXED, 0);
    EXPECT_NE(empty, nullptr);
    EXPECT_EQ(LocalFree(empty), nullptr);
}

// A block freed already, or memory LocalAlloc never gave, is refused: the
// handle comes back and ERROR_INVALID_HANDLE is the last error.
TEST(LocalMemory, FreeingWhatIsNotALiveBlockFails) {
    void *block = LocalAlloc(LMEM_FIXED, 16);
    ASSERT_EQ(LocalFree(block), nullptr);
    int local = 0;
    for (void *refused : {block, static_cast<void *>(&local)}) {
        SetLastError(0);
        EXPECT_EQ(LocalFree(refused), refused);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    }
    EXPECT_EQ(LocalFree(nullptr), nullptr);
}

} // namespace
