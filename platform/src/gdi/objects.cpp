#include "objects.h"

#include "trace.h"

#include <vector>

namespace win32::gdi {

namespace {

struct Slot {
    std::shared_ptr<Object> object;
    std::uint32_t generation = 1;
};

// Slot i is named by a handle carrying i + 1 in its low bits and the slot's
// generation above them, so a reused slot never answers an old handle: 32
// bits each in a 64-bit handle; 24 and 8 in a 32-bit one (WebAssembly),
// where a generation comes back after 255 reuses of its slot.
std::vector<Slot> &slots() {
    static std::vector<Slot> table;
    return table;
}

std::vector<std::uint32_t> &free_slots() {
    static std::vector<std::uint32_t> list;
    return list;
}

constexpr bool wide_handles = sizeof(std::uintptr_t) >= 8;
constexpr unsigned slot_bits = wide_handles ? 32 : 24;
constexpr std::uint32_t generation_mask = wide_handles ? 0xFFFFFFFFu : 0xFFu;
constexpr std::uint32_t max_slots = wide_handles ? 1u << 24 : (1u << 24) - 1;

HGDIOBJ make_handle(std::uint32_t index, std::uint32_t generation) {
    const std::uint64_t value =
        (std::uint64_t(generation) << slot_bits) | (std::uint64_t(index) + 1);
    return reinterpret_cast<HGDIOBJ>(static_cast<std::uintptr_t>(value));
}

Slot *slot_of(HGDIOBJ handle) {
    const auto value = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(handle));
    const std::uint64_t low = value & ((std::uint64_t(1) << slot_bits) - 1);
    if (low == 0 || low > slots().size()) return nullptr;
    Slot &slot = slots()[low - 1];
    if (!slot.object || slot.generation != std::uint32_t(value >> slot_bits)) return nullptr;
    return &slot;
}

} // namespace

HGDIOBJ add_object(std::shared_ptr<Object> object) {
    std::uint32_t index;
    if (!free_slots().empty()) {
        index = free_slots().back();
        free_slots().pop_back();
    } else {
        if (slots().size() >= max_slots) return nullptr;
        slots().emplace_back();
        index = std::uint32_t(slots().size() - 1);
    }
    Slot &slot = slots()[index];
    slot.object = std::move(object);
    return make_handle(index, slot.generation);
}

std::shared_ptr<Object> find_object(HGDIOBJ handle) {
    Slot *slot = slot_of(handle);
    if (!slot) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return slot->object;
}

bool remove_object(HGDIOBJ handle) {
    Slot *slot = slot_of(handle);
    if (!slot) return false;
    std::shared_ptr<Object> released = std::move(slot->object);
    slot->object.reset();
    slot->generation = (slot->generation + 1) & generation_mask;
    if (slot->generation == 0) slot->generation = 1;
    free_slots().push_back(std::uint32_t(slot - slots().data()));
    return true;
}

int live_objects(Kind kind) {
    int n = 0;
    for (const Slot &slot : slots())
        n += slot.object && slot.object->kind == kind && !slot.object->stock;
    return n;
}

} // namespace win32::gdi
