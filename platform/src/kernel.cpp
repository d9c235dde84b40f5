// KERNEL: the calling thread's last error, system message texts, local memory and
// sleeping.
#include "pause.h"
#include "platform.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <unordered_set>

namespace win32 {

namespace {

thread_local DWORD last_error = ERROR_SUCCESS;

constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;

struct SystemMessage {
    DWORD code;
    const char *text;
};

// The codes our platform produces, with the texts the system gives them.
constexpr SystemMessage system_messages[] = {
    {ERROR_SUCCESS, "The operation completed successfully."},
    {ERROR_INVALID_HANDLE, "The handle is invalid."},
    {ERROR_NOT_ENOUGH_MEMORY, "Not enough memory resources are available to process this command."},
    {ERROR_OUTOFMEMORY, "Not enough memory resources are available to complete this operation."},
    {ERROR_INVALID_PARAMETER, "The parameter is incorrect."},
    {ERROR_INSUFFICIENT_BUFFER, "The data area passed to a system call is too small."},
    {ERROR_MR_MID_NOT_FOUND, "The system cannot find message text for the message number."},
    {ERROR_INVALID_FLAGS, "Invalid flags."},
    {ERROR_INVALID_WINDOW_HANDLE, "Invalid window handle."},
    {ERROR_CANNOT_FIND_WND_CLASS, "Cannot find window class."},
    {ERROR_CLASS_ALREADY_EXISTS, "Class already exists."},
    {ERROR_NO_DISPLAY,
     "No display is available to show the window. Run the program in a graphical session, or "
     "point DISPLAY at a running X server (for example one started with Xvfb)."},
};

// The blocks LocalAlloc handed out and LocalFree has not taken back: only
// those are freed, so a stale or made-up handle is refused, not followed.
std::unordered_set<void *> &local_blocks() {
    static std::unordered_set<void *> blocks;
    return blocks;
}

const char *find_system_message(DWORD code) {
    for (const SystemMessage &m : system_messages)
        if (m.code == code) return m.text;
    return nullptr;
}

} // namespace

DWORD GetLastError() {
    return last_error;
}

void SetLastError(DWORD code) {
    last_error = code;
}

DWORD FormatMessageA(DWORD flags, LPCVOID, DWORD message_id, DWORD, LPSTR buffer, DWORD size,
                     void *) {
    if (!(flags & FORMAT_MESSAGE_FROM_SYSTEM)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const char *text = find_system_message(message_id);
    if (!text) {
        SetLastError(ERROR_MR_MID_NOT_FOUND);
        return 0;
    }
    // System texts end with a line break, as the system's own do.
    const DWORD length = DWORD(std::strlen(text)) + 2;
    char *target = nullptr;
    if (flags & FORMAT_MESSAGE_ALLOCATE_BUFFER) {
        if (!buffer) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        const DWORD bytes = (length + 1 > size ? length + 1 : size);
        target = static_cast<char *>(LocalAlloc(LMEM_FIXED, bytes));
        if (!target) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return 0;
        }
        *reinterpret_cast<char **>(buffer) = target;
    } else {
        if (!buffer || size < length + 1) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return 0;
        }
        target = buffer;
    }
    std::memcpy(target, text, length - 2);
    std::memcpy(target + length - 2, "\r\n", 3);
    return length;
}

HLOCAL LocalAlloc(UINT flags, SIZE_T bytes) {
    // A zero-sized request still yields a distinct, freeable block.
    void *memory = (flags & LMEM_ZEROINIT) ? std::calloc(bytes ? bytes : 1, 1)
                                           : std::malloc(bytes ? bytes : 1);
    if (!memory) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    local_blocks().insert(memory);
    return memory;
}

// Fails by giving the handle back.
HLOCAL LocalFree(HLOCAL memory) {
    if (!memory) return nullptr;
    if (!local_blocks().erase(memory)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return memory;
    }
    std::free(memory);
    return nullptr;
}

void Sleep(DWORD milliseconds) {
    pause_us((long long)milliseconds * 1000);
}

} // namespace win32
