// GDI objects and their handles. A handle names a slot of one table and the
// slot's generation, so a stale or forged handle is recognised and refused
// instead of being followed.
#pragma once

#include "platform.h"

#include <cstdint>
#include <memory>

namespace win32::gdi {

enum class Kind : std::uint8_t { dc, bitmap, palette, brush, pen, font, region };

struct Object {
    explicit Object(Kind k) : kind(k) {}
    virtual ~Object() = default;
    Object(const Object &) = delete;
    Object &operator=(const Object &) = delete;

    const Kind kind;
    // Stock objects live for the whole process; deleting one does nothing.
    bool stock = false;
};

// Enters an object in the table and returns its new handle (null if the
// table cannot grow).
HGDIOBJ add_object(std::shared_ptr<Object> object);

// The object behind a handle, or null for a handle that names none (with
// ERROR_INVALID_HANDLE as the last error). Every lookup goes through here.
std::shared_ptr<Object> find_object(HGDIOBJ handle);

// The same for a handle that must name an object of kind T.
template <class T> std::shared_ptr<T> find(HGDIOBJ handle) {
    std::shared_ptr<Object> object = find_object(handle);
    if (!object) return nullptr;
    if (object->kind != T::object_kind) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return std::static_pointer_cast<T>(object);
}

// Takes the handle out of the table. Whoever still holds the object (a
// device context it is selected into) keeps it alive until letting go.
bool remove_object(HGDIOBJ handle);

// How many handles of the table name an object of this kind now, stock
// objects left out (test hooks).
int live_objects(Kind kind);

// A selected object together with the handle it was selected by, which
// SelectObject hands back when the next object replaces it.
template <class T> struct Selection {
    std::shared_ptr<T> object;
    HGDIOBJ handle = nullptr;
};

} // namespace win32::gdi
