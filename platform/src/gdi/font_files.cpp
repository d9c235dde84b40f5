// The font mapper of the web page build: face names straight to the font
// files that our Fontconfig configuration resolves them to on the desktop
// (font_mapper.cpp), embedded in the program. A page has no Fontconfig and
// no font folders; only the faces the BGI fonts ask for are embedded, so a
// name resolves as on the desktop wherever the desktop resolves it to one of
// them, and otherwise to the nearest of them.
#include "font_mapper.h"

#include "font.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <initializer_list>
#include <map>
#include <utility>

// The embedded files, one object each (made by the build from the files
// the desktop's Fontconfig names).
#define BGI_EMBEDDED_FACE(id)                                                                      \
    extern const unsigned char id[];                                                               \
    extern const std::size_t id##_size;
namespace win32::gdi::embedded {
BGI_EMBEDDED_FACE(dejavu_sans)
BGI_EMBEDDED_FACE(dejavu_sans_mono_bold)
BGI_EMBEDDED_FACE(liberation_serif)
BGI_EMBEDDED_FACE(liberation_sans)
BGI_EMBEDDED_FACE(liberation_mono)
BGI_EMBEDDED_FACE(liberation_mono_bold)
BGI_EMBEDDED_FACE(z003_medium_italic)
} // namespace win32::gdi::embedded
#undef BGI_EMBEDDED_FACE

namespace win32::gdi {

namespace {

struct FaceFile {
    const char *family;
    const char *style;
    bool bold, italic;
    const unsigned char *data;
    const std::size_t &size;
};

const FaceFile faces[] = {
    {"DejaVu Sans", "Book", false, false, embedded::dejavu_sans, embedded::dejavu_sans_size},
    {"DejaVu Sans Mono", "Bold", true, false, embedded::dejavu_sans_mono_bold,
     embedded::dejavu_sans_mono_bold_size},
    {"Liberation Serif", "Regular", false, false, embedded::liberation_serif,
     embedded::liberation_serif_size},
    {"Liberation Sans", "Regular", false, false, embedded::liberation_sans,
     embedded::liberation_sans_size},
    {"Liberation Mono", "Regular", false, false, embedded::liberation_mono,
     embedded::liberation_mono_size},
    {"Liberation Mono", "Bold", true, false, embedded::liberation_mono_bold,
     embedded::liberation_mono_bold_size},
    {"Z003", "Medium Italic", false, true, embedded::z003_medium_italic,
     embedded::z003_medium_italic_size},
};

// Each name and the families it prefers, in order, as in our Fontconfig
// configuration; the generic families stand behind unknown names.
struct Alias {
    const char *name;
    std::initializer_list<const char *> families;
};
const Alias aliases[] = {
    {"console", {"DejaVu Sans Mono", "Liberation Mono"}},
    {"times new roman", {"Liberation Serif", "DejaVu Serif"}},
    {"arial", {"Liberation Sans", "DejaVu Sans"}},
    {"courier new", {"Liberation Mono", "DejaVu Sans Mono"}},
    {"courier new bold", {"Liberation Mono", "DejaVu Sans Mono"}},
    {"ms sans serif", {"DejaVu Sans", "Liberation Sans"}},
    {"small fonts", {"DejaVu Sans", "Liberation Sans"}},
    {"system", {"DejaVu Sans", "Liberation Sans"}},
    {"script", {"Z003"}},
    {"serif", {"Liberation Serif", "DejaVu Serif"}},
    {"sans-serif", {"Liberation Sans", "DejaVu Sans"}},
    {"monospace", {"Liberation Mono", "DejaVu Sans Mono"}},
    {"cursive", {"Z003"}},
};

// The generic family that stands in for a face name nobody installed.
const char *generic_family(DWORD pitch_and_family) {
    if ((pitch_and_family & 0x3) == FIXED_PITCH) return "monospace";
    switch (pitch_and_family & 0xF0) {
    case FF_ROMAN:
        return "serif";
    case FF_MODERN:
        return "monospace";
    case FF_SCRIPT:
        return "cursive";
    default:
        return "sans-serif";
    }
}

std::string lower(std::string s) {
    for (char &c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool same_name(const std::string &a, const char *b) {
    return lower(a) == lower(b);
}

// The families a face name stands for: its own name when a face of it is
// embedded, its alias's preferences, then the generic family's.
std::vector<const char *> families_for(const Font &request) {
    std::vector<const char *> out;
    const auto add_name = [&](const std::string &name) {
        for (const FaceFile &f : faces)
            if (same_name(name, f.family)) {
                out.push_back(f.family);
                return;
            }
        for (const Alias &a : aliases)
            if (same_name(name, a.name)) out.insert(out.end(), a.families);
    };
    if (!request.face.empty()) add_name(request.face);
    add_name(generic_family(request.pitch_and_family));
    return out;
}

// The embedded face of the first family that has one, nearest in weight,
// then in slant.
const FaceFile *choose(const Font &request) {
    const bool bold = request.weight >= FW_BOLD || same_name(request.face, "courier new bold");
    for (const char *family : families_for(request)) {
        const FaceFile *best = nullptr;
        int best_distance = 0;
        for (const FaceFile &f : faces) {
            if (!same_name(family, f.family)) continue;
            const int distance = 2 * (f.bold != bold) + (f.italic != request.italic);
            if (!best || distance < best_distance) best = &f, best_distance = distance;
        }
        if (best) return best;
    }
    return &faces[0];
}

} // namespace

// FreeType, started with the first font and ended with the last typeface
// (or at exit).
struct FontEngine {
    FontEngine() {
        if (FT_Init_FreeType(&library) != 0) library = nullptr;
    }
    ~FontEngine() {
        if (library) FT_Done_FreeType(library);
    }
    FontEngine(const FontEngine &) = delete;
    FontEngine &operator=(const FontEngine &) = delete;

    FT_Library library = nullptr;
    std::map<const FaceFile *, std::weak_ptr<Typeface>> open;
};

namespace {

bool engine_started = false;

std::shared_ptr<FontEngine> engine() {
    static const std::shared_ptr<FontEngine> started = [] {
        engine_started = true;
        return std::make_shared<FontEngine>();
    }();
    return started;
}

std::shared_ptr<Typeface> open_typeface(const std::shared_ptr<FontEngine> &fonts,
                                        const FaceFile &file) {
    if (!fonts->library) return nullptr;
    std::weak_ptr<Typeface> &slot = fonts->open[&file];
    if (auto shared = slot.lock()) return shared;
    FT_Face face = nullptr;
    if (FT_New_Memory_Face(fonts->library, file.data, FT_Long(file.size), 0, &face) != 0)
        return nullptr;
    if (!face->charmap) FT_Select_Charmap(face, FT_ENCODING_UNICODE);
    auto typeface =
        std::make_shared<Typeface>(fonts, face, std::string(file.family) + " " + file.style);
    slot = typeface;
    return typeface;
}

} // namespace

Typeface::Typeface(std::shared_ptr<FontEngine> e, FT_Face f, std::string n)
    : engine(std::move(e)), face(f), name(std::move(n)) {}

Typeface::~Typeface() {
    FT_Done_Face(face);
}

MappedFace map_font(const Font &request) {
    MappedFace mapped;
    const std::shared_ptr<FontEngine> fonts = engine();
    const FaceFile &file = *choose(request);
    mapped.typeface = open_typeface(fonts, file);
    // What the face lacks is synthesised, as Fontconfig asks for on the
    // desktop: bold of a face of medium weight or less, and a slant.
    const bool bold = request.weight >= FW_BOLD || same_name(request.face, "courier new bold");
    mapped.embolden = bold && !file.bold;
    mapped.oblique = request.italic && !file.italic;
    return mapped;
}

bool font_engine_started() {
    return engine_started;
}

} // namespace win32::gdi
