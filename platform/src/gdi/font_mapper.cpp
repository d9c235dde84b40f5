#include "font_mapper.h"

#include "font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <map>
#include <utility>

namespace win32::gdi {

namespace {

// Our Fontconfig configuration. It scans the system's font folders (reading
// the caches fc-cache keeps for them) and ignores the machine's own rules, so
// each face name programs ask for resolves to the same named face wherever
// the project's font packages are installed. Each name lists its faces in
// order of preference; the generic families stand behind unknown names,
// chosen by pitch and family. Type 1 copies of faces that also come as
// OpenType are left out, so that a face is always the same file.
constexpr char configuration[] = R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <dir>/usr/share/fonts</dir>
  <dir>/usr/local/share/fonts</dir>
  <cachedir>/var/cache/fontconfig</cachedir>
  <cachedir prefix="xdg">fontconfig</cachedir>
  <selectfont>
    <rejectfont>
      <glob>*.pfb</glob><glob>*.pfa</glob><glob>*.t1</glob><glob>*.afm</glob>
      <pattern><patelt name="scalable"><bool>false</bool></patelt></pattern>
    </rejectfont>
  </selectfont>

  <alias binding="same"><family>Console</family>
    <prefer><family>DejaVu Sans Mono</family><family>Liberation Mono</family></prefer></alias>
  <alias binding="same"><family>Times New Roman</family>
    <prefer><family>Liberation Serif</family><family>DejaVu Serif</family></prefer></alias>
  <alias binding="same"><family>Arial</family>
    <prefer><family>Liberation Sans</family><family>DejaVu Sans</family></prefer></alias>
  <alias binding="same"><family>Courier New</family>
    <prefer><family>Liberation Mono</family><family>DejaVu Sans Mono</family></prefer></alias>
  <alias binding="same"><family>Courier New Bold</family>
    <prefer><family>Liberation Mono</family><family>DejaVu Sans Mono</family></prefer></alias>
  <alias binding="same"><family>MS Sans Serif</family>
    <prefer><family>DejaVu Sans</family><family>Liberation Sans</family></prefer></alias>
  <alias binding="same"><family>Small Fonts</family>
    <prefer><family>DejaVu Sans</family><family>Liberation Sans</family></prefer></alias>
  <alias binding="same"><family>System</family>
    <prefer><family>DejaVu Sans</family><family>Liberation Sans</family></prefer></alias>
  <alias binding="same"><family>Script</family>
    <prefer><family>Z003</family></prefer></alias>

  <alias binding="same"><family>serif</family>
    <prefer><family>Liberation Serif</family><family>DejaVu Serif</family></prefer></alias>
  <alias binding="same"><family>sans-serif</family>
    <prefer><family>Liberation Sans</family><family>DejaVu Sans</family></prefer></alias>
  <alias binding="same"><family>monospace</family>
    <prefer><family>Liberation Mono</family><family>DejaVu Sans Mono</family></prefer></alias>
  <alias binding="same"><family>cursive</family>
    <prefer><family>Z003</family></prefer></alias>

  <match target="pattern">
    <test name="family"><string>Courier New Bold</string></test>
    <edit name="weight" mode="assign"><const>bold</const></edit>
  </match>
  <match target="font">
    <test name="weight" compare="less_eq"><const>medium</const></test>
    <test target="pattern" name="weight" compare="more_eq"><const>bold</const></test>
    <edit name="embolden" mode="assign"><bool>true</bool></edit>
  </match>
</fontconfig>
)";

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

std::string text_of(FcPattern *pattern, const char *object) {
    FcChar8 *value = nullptr;
    if (FcPatternGetString(pattern, object, 0, &value) != FcResultMatch || !value) return {};
    return reinterpret_cast<const char *>(value);
}

} // namespace

// FreeType and our Fontconfig configuration, started with the first font and
// ended with the last typeface (or at exit).
struct FontEngine {
    FontEngine() {
        if (FT_Init_FreeType(&library) != 0) library = nullptr;
        config = FcConfigCreate();
        if (config && (!FcConfigParseAndLoadFromMemory(
                           config, reinterpret_cast<const FcChar8 *>(configuration), FcTrue) ||
                       !FcConfigBuildFonts(config))) {
            FcConfigDestroy(config);
            config = nullptr;
        }
    }
    ~FontEngine() {
        if (config) FcConfigDestroy(config);
        if (library) FT_Done_FreeType(library);
    }
    FontEngine(const FontEngine &) = delete;
    FontEngine &operator=(const FontEngine &) = delete;

    FT_Library library = nullptr;
    FcConfig *config = nullptr;
    std::map<std::pair<std::string, int>, std::weak_ptr<Typeface>> open; // by file and index
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
                                        FcPattern *match) {
    const std::string file = text_of(match, FC_FILE);
    int index = 0;
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    if (file.empty() || !fonts->library) return nullptr;
    std::weak_ptr<Typeface> &slot = fonts->open[{file, index}];
    if (auto shared = slot.lock()) return shared;
    FT_Face face = nullptr;
    if (FT_New_Face(fonts->library, file.c_str(), index, &face) != 0) return nullptr;
    if (!face->charmap) FT_Select_Charmap(face, FT_ENCODING_UNICODE);
    const std::string name = text_of(match, FC_FAMILY) + " " + text_of(match, FC_STYLE);
    auto typeface = std::make_shared<Typeface>(fonts, face, name);
    slot = typeface;
    return typeface;
}

// Opens a prepared match and takes what the font needs synthesised.
void take(MappedFace &mapped, const std::shared_ptr<FontEngine> &fonts, const Font &request,
          FcPattern *match) {
    mapped.typeface = open_typeface(fonts, match);
    FcBool embolden = FcFalse;
    FcPatternGetBool(match, FC_EMBOLDEN, 0, &embolden);
    int slant = FC_SLANT_ROMAN;
    FcPatternGetInteger(match, FC_SLANT, 0, &slant);
    mapped.embolden = embolden;
    mapped.oblique = request.italic && slant == FC_SLANT_ROMAN;
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
    if (!fonts->config) return mapped;
    std::erase_if(fonts->open, [](const auto &entry) { return entry.second.expired(); });

    FcPattern *pattern = FcPatternCreate();
    if (!pattern) return mapped;
    if (!request.face.empty())
        FcPatternAddString(pattern, FC_FAMILY,
                           reinterpret_cast<const FcChar8 *>(request.face.c_str()));
    FcPatternAddString(pattern, FC_FAMILY,
                       reinterpret_cast<const FcChar8 *>(generic_family(request.pitch_and_family)));
    const int weight = request.weight <= 0 ? FW_NORMAL : std::min(request.weight, 1000);
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
    FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddInteger(pattern, FC_WIDTH, FC_WIDTH_NORMAL);
    if ((request.pitch_and_family & 0x3) == FIXED_PITCH)
        FcPatternAddInteger(pattern, FC_SPACING, FC_MONO);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(fonts->config, pattern, FcMatchPattern);

    // The best match; should its file not open, the next best that does.
    FcResult result = FcResultNoMatch;
    if (FcPattern *match = FcFontMatch(fonts->config, pattern, &result)) {
        take(mapped, fonts, request, match);
        FcPatternDestroy(match);
    }
    FcFontSet *candidates =
        mapped.typeface ? nullptr : FcFontSort(fonts->config, pattern, FcFalse, nullptr, &result);
    for (int i = 0; candidates && i < candidates->nfont && !mapped.typeface; ++i) {
        if (FcPattern *match = FcFontRenderPrepare(fonts->config, pattern, candidates->fonts[i])) {
            take(mapped, fonts, request, match);
            FcPatternDestroy(match);
        }
    }
    if (candidates) FcFontSetDestroy(candidates);
    FcPatternDestroy(pattern);
    return mapped;
}

bool font_engine_started() {
    return engine_started;
}

} // namespace win32::gdi
