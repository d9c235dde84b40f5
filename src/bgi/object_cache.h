// The least-recently-used cache that keeps the pens and the fonts: an
// intrusive ring of 8 entries inside the cache object, so that selecting
// never allocates. A drawing operation asks for the object of its attributes;
// the cache hands back the one it has, or makes it, and selects it into the
// window DC and the page DC only when it is not already the selected one.
#pragma once

#include "bgi_internal.h"

namespace bgi {

// An element of a circular doubly linked list. The links are left unset: the
// list that takes the element in sets them.
class l2elem {
public:
    l2elem() = default;
    // A ring of one.
    void prune() { next = prev = this; }
    // Takes the element out of its ring; its own links stay as they were.
    void unlink() {
        prev->next = next;
        next->prev = prev;
    }
    void link_after(l2elem *e) {
        next = e->next;
        e->next->prev = this;
        prev = e;
        e->next = this;
    }

    l2elem *next;
    l2elem *prev;
};

// The head of a ring, itself its sentinel. The element after the head is the
// most recently used, the one before it the least recently used.
class l2list : public l2elem {
public:
    l2list() { prune(); }
};

// An entry of the pen and font caches: a GDI object and the four ints it was
// made from. A free entry's next link chains it to the next free one.
struct cache_entry : l2elem {
    HGDIOBJ handle;
    int key1, key2, key3, key4;
};

// What a cache is asked for. key4 takes part in the match only when asked to.
struct cache_key {
    int key1, key2, key3, key4;
    bool match_key4;

    bool matches(const cache_entry &e) const {
        return e.key1 == key1 && e.key2 == key2 && e.key3 == key3 &&
               (!match_key4 || e.key4 == key4);
    }
};

// The mechanism both caches share.
class object_cache : public l2list {
public:
    object_cache(const object_cache &) = delete;
    object_cache &operator=(const object_cache &) = delete;

protected:
    object_cache() : free_list(entries) {
        for (int i = 0; i + 1 < capacity; ++i) entries[i].next = &entries[i + 1];
        entries[capacity - 1].next = nullptr;
    }

    // Makes the object for key the current one (current) in the window DC
    // and the page DC, made by create on a miss.
    template <class Handle, class Create>
    void select_object(Handle &current, const cache_key &key, Create create);

private:
    static constexpr int capacity = 8;
    cache_entry *free_list;
    cache_entry entries[capacity];
};

class pen_cache : public object_cache {
public:
    // The pen of the colour argument (a palette slot) and the line settings.
    void select(int color_arg);
};

class font_cache : public object_cache {
public:
    // The font of the four text attributes; made with the text functions.
    void select(int font, int direction, int width, int height);
};

template <class Handle, class Create>
void object_cache::select_object(Handle &current, const cache_key &key, Create create) {
    for (l2elem *e = next; e != this; e = e->next) {
        auto *entry = static_cast<cache_entry *>(e);
        if (!key.matches(*entry)) continue;
        entry->unlink();
        entry->link_after(this);
        if (entry->handle != current) {
            current = static_cast<Handle>(entry->handle);
            on_both_dcs([&](HDC dc) { SelectObject(dc, current); });
        }
        return;
    }
    const Handle made = create();
    current = made;
    on_both_dcs([&](HDC dc) { SelectObject(dc, made); });
    cache_entry *entry = free_list;
    if (entry) {
        free_list = static_cast<cache_entry *>(entry->next);
    } else {
        // The least recently used object goes. It is not selected anywhere:
        // the new one has just taken its place in both DCs.
        entry = static_cast<cache_entry *>(prev);
        entry->unlink();
        DeleteObject(entry->handle);
    }
    entry->handle = made;
    entry->key1 = key.key1;
    entry->key2 = key.key2;
    entry->key3 = key.key3;
    entry->key4 = key.key4;
    entry->link_after(this);
}

} // namespace bgi
