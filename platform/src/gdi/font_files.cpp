// The font mapper of the web page build: face names straight to the font
// files that our Fontconfig configuration resolves them to on the desktop
// (font_mapper.cpp). A page has no Fontconfig and no font folders: it has
// the files the BGI fonts ask for, and fetches each the first time a font
// needs it (or takes it from inside the page, in a one-file page), so a
// page downloads only the faces its program uses. A name resolves as on the
// desktop wherever the desktop resolves it to one of them, and otherwise to
// the nearest of them. A file the page cannot have is a face that is not
// installed: the name's next preference stands in for it.
#include "font_mapper.h"

#include "font.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <initializer_list>
#include <utility>
#include <vector>

// The page's side (display/browser_page.js). The first gives the thread to
// the page until the font file has come, and answers its size in bytes, or
// -1 when the page cannot have it; the second then copies the bytes out.
extern "C" {
int bgi_page_font_load(const char *file);
void bgi_page_font_take(const char *file, unsigned char *out);
}

namespace win32::gdi {

namespace {

struct FaceFile {
    const char *family;
    const char *style;
    bool bold, italic;
    const char *file; // the name of the file, as the build puts it beside the page
};

const FaceFile faces[] = {
    {"DejaVu Sans", "Book", false, false, "DejaVuSans.ttf"},
    {"DejaVu Sans Mono", "Bold", true, false, "DejaVuSansMono-Bold.ttf"},
    {"Liberation Serif", "Regular", false, false, "LiberationSerif-Regular.ttf"},
    {"Liberation Sans", "Regular", false, false, "LiberationSans-Regular.ttf"},
    {"Liberation Mono", "Regular", false, false, "LiberationMono-Regular.ttf"},
    {"Liberation Mono", "Bold", true, false, "LiberationMono-Bold.ttf"},
    {"Z003", "Medium Italic", false, true, "Z003-MediumItalic.otf"},
};
constexpr std::size_t face_count = std::size(faces);

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

// The families a face name stands for: its own name when it is the family
// of one of the page's faces, its alias's preferences, then the generic
// family's.
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

bool wants_bold(const Font &request) {
    return request.weight >= FW_BOLD || same_name(request.face, "courier new bold");
}

// The faces in the order the request prefers them: those of its families,
// family by family, each family's nearest in weight, then in slant, first;
// then the others, nearest first. The first the page can have is the one.
std::vector<const FaceFile *> preferences(const Font &request) {
    const bool bold = wants_bold(request);
    const auto distance = [&](const FaceFile *f) {
        return 2 * (f->bold != bold) + (f->italic != request.italic);
    };
    std::vector<const FaceFile *> out;
    const auto add_nearest_first = [&](std::vector<const FaceFile *> some) {
        std::stable_sort(some.begin(), some.end(), [&](const FaceFile *a, const FaceFile *b) {
            return distance(a) < distance(b);
        });
        for (const FaceFile *f : some)
            if (std::find(out.begin(), out.end(), f) == out.end()) out.push_back(f);
    };
    for (const char *family : families_for(request)) {
        std::vector<const FaceFile *> of_family;
        for (const FaceFile &f : faces)
            if (same_name(family, f.family)) of_family.push_back(&f);
        add_nearest_first(std::move(of_family));
    }
    std::vector<const FaceFile *> all;
    for (const FaceFile &f : faces) all.push_back(&f);
    add_nearest_first(std::move(all));
    return out;
}

} // namespace

// FreeType, started with the first font and ended with the last typeface
// (or at exit), and the font files the page gave, kept for the program's
// life so that a face closed and opened again is not fetched again.
struct FontEngine {
    FontEngine() {
        if (FT_Init_FreeType(&library) != 0) library = nullptr;
    }
    ~FontEngine() {
        if (library) FT_Done_FreeType(library);
    }
    FontEngine(const FontEngine &) = delete;
    FontEngine &operator=(const FontEngine &) = delete;

    struct File {
        bool asked = false;   // the page was asked for it
        bool missing = false; // the page could not give it, or it is no font
        std::vector<unsigned char> bytes;
        std::weak_ptr<Typeface> open;
    };

    FT_Library library = nullptr;
    File files[face_count];
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

// The typeface of a face file, asking the page for the file the first time;
// null when the page cannot give it or FreeType cannot read it (a server
// that answers with a page of its own instead of the file).
std::shared_ptr<Typeface> open_typeface(const std::shared_ptr<FontEngine> &fonts,
                                        const FaceFile &face_file) {
    if (!fonts->library) return nullptr;
    FontEngine::File &file = fonts->files[&face_file - faces];
    if (auto shared = file.open.lock()) return shared;
    if (!file.asked) {
        file.asked = true;
        const int size = bgi_page_font_load(face_file.file);
        if (size > 0) {
            file.bytes.resize(std::size_t(size));
            bgi_page_font_take(face_file.file, file.bytes.data());
        } else {
            file.missing = true;
        }
    }
    if (file.missing) return nullptr;
    FT_Face face = nullptr;
    if (FT_New_Memory_Face(fonts->library, file.bytes.data(), FT_Long(file.bytes.size()), 0,
                           &face) != 0) {
        file.missing = true;
        file.bytes = {};
        return nullptr;
    }
    if (!face->charmap) FT_Select_Charmap(face, FT_ENCODING_UNICODE);
    auto typeface = std::make_shared<Typeface>(
        fonts, face, std::string(face_file.family) + " " + face_file.style);
    file.open = typeface;
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
    for (const FaceFile *file : preferences(request)) {
        mapped.typeface = open_typeface(fonts, *file);
        if (!mapped.typeface) continue;
        // What the face lacks is synthesised, as Fontconfig asks for on the
        // desktop: bold of a face of medium weight or less, and a slant.
        mapped.embolden = wants_bold(request) && !file->bold;
        mapped.oblique = request.italic && !file->italic;
        break;
    }
    return mapped;
}

bool font_engine_started() {
    return engine_started;
}

} // namespace win32::gdi
