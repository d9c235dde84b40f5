// The font mapper: a font request's face name, weight, slant and pitch and
// family to one installed font file, through a Fontconfig configuration of
// our own, so that a name means the same face on every machine.
#pragma once

#include <memory>
#include <string>

typedef struct FT_FaceRec_ *FT_Face;

namespace win32::gdi {

struct Font;
struct FontEngine;

// An open font file, shared by every font made from it and closed with the
// last of them.
struct Typeface {
    Typeface(std::shared_ptr<FontEngine> engine, FT_Face face, std::string name);
    ~Typeface();
    Typeface(const Typeface &) = delete;
    Typeface &operator=(const Typeface &) = delete;

    const std::shared_ptr<FontEngine> engine; // outlives the face
    const FT_Face face;
    const std::string name; // family and style
};

struct MappedFace {
    std::shared_ptr<Typeface> typeface; // null when no font is installed at all
    bool embolden = false;              // bold asked of a face that has none
    bool oblique = false;               // italic asked of a face that has none
};

// Starts Fontconfig and FreeType on the first call.
MappedFace map_font(const Font &request);

// Whether they have been started.
bool font_engine_started();

} // namespace win32::gdi
