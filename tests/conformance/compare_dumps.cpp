// Compares two conformance dumps: ours and the reference GDI's.
//
// Dump format (text, written by conformance_scenes):
//
//   bgi-conformance-dump 1
//   scene NAME WIDTH HEIGHT
//   HEIGHT lines of WIDTH values, separated by single spaces
//   scene NAME WIDTH HEIGHT
//   ...
//
// A value is a COLORREF as 8 hexadecimal digits: 00bbggrr for a colour,
// ffffffff for CLR_INVALID. Scene names contain no white space. Picture
// scenes hold GetPixel for every pixel of a bitmap; value scenes hold
// function results, one row.
//
// Usage:
//   compare_dumps NATIVE_DUMP REFERENCE_DUMP [--expect FILE] [--diff SCENE OUT.ppm]
//
// Prints one line per scene: its name, the share of equal values (percent,
// truncated to two decimals) and the number of differing values. Exits 1 if a
// scene is below 100% and not allowed a lower share by the expectations file,
// if a scene is missing from either dump or the sizes differ; 2 on bad usage
// or unreadable input.
//
// The expectations file is markdown. The table whose header row is
// `| scene | share | reason |` lists the scenes allowed below 100%: the
// scene's name (backquotes allowed), the minimum share in percent, and why.
//
// --diff writes a PPM image of one scene, four times enlarged: ours, the
// reference, and the differing values in red over a dimmed copy of ours. It
// also prints the first differing values with their coordinates.

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kInvalid = 0xFFFFFFFFu;

struct Scene {
    std::string name;
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> values;
};

struct Dump {
    std::vector<Scene> scenes;

    const Scene *find(const std::string &name) const {
        for (const Scene &scene : scenes) {
            if (scene.name == name) return &scene;
        }
        return nullptr;
    }
};

bool fail(const std::string &message) {
    std::fprintf(stderr, "compare_dumps: %s\n", message.c_str());
    return false;
}

bool read_dump(const std::string &path, Dump &dump) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return fail("cannot read " + path);
    std::string magic;
    int version = 0;
    if (!(in >> magic >> version) || magic != "bgi-conformance-dump" || version != 1) {
        return fail(path + " is not a conformance dump");
    }
    std::string word;
    while (in >> word) {
        Scene scene;
        if (word != "scene" || !(in >> scene.name >> scene.width >> scene.height) ||
            scene.width < 0 || scene.height < 0) {
            return fail(path + ": bad scene header near '" + word + "'");
        }
        const std::size_t count = std::size_t(scene.width) * std::size_t(scene.height);
        scene.values.reserve(count);
        for (std::size_t i = 0; i < count; ++i) {
            std::string text;
            if (!(in >> text) || text.size() != 8 ||
                !std::all_of(text.begin(), text.end(),
                             [](unsigned char c) { return std::isxdigit(c) != 0; })) {
                return fail(path + ": scene " + scene.name + " is cut short or malformed");
            }
            scene.values.push_back(std::uint32_t(std::stoul(text, nullptr, 16)));
        }
        if (dump.find(scene.name)) return fail(path + ": scene " + scene.name + " twice");
        dump.scenes.push_back(std::move(scene));
    }
    return true;
}

std::string trim(const std::string &text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
    return text.substr(begin, end - begin);
}

std::string lower(std::string text) {
    for (char &c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The cells of a markdown table row, or nothing if the line is not one.
std::optional<std::vector<std::string>> table_cells(const std::string &line) {
    const std::string row = trim(line);
    if (row.size() < 2 || row.front() != '|') return std::nullopt;
    std::vector<std::string> cells;
    std::string cell;
    for (std::size_t i = 1; i < row.size(); ++i) {
        if (row[i] == '|') {
            cells.push_back(trim(cell));
            cell.clear();
        } else {
            cell += row[i];
        }
    }
    if (!trim(cell).empty()) cells.push_back(trim(cell));
    return cells;
}

// Reads the minimum shares from the expectations table.
bool read_expectations(const std::string &path, std::map<std::string, double> &minimum) {
    std::ifstream in(path);
    if (!in) return fail("cannot read " + path);
    std::string line;
    bool in_table = false;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        const auto cells = table_cells(line);
        if (!cells) {
            in_table = false;
            continue;
        }
        if (!in_table) {
            in_table = cells->size() >= 3 && lower((*cells)[0]) == "scene" &&
                       lower((*cells)[1]) == "share" && lower((*cells)[2]) == "reason";
            continue;
        }
        if (cells->size() < 2) continue;
        if ((*cells)[0].find_first_not_of("-: ") == std::string::npos) continue; // separator
        std::string name = (*cells)[0];
        name.erase(std::remove(name.begin(), name.end(), '`'), name.end());
        std::string share = (*cells)[1];
        share.erase(std::remove(share.begin(), share.end(), '%'), share.end());
        char *end = nullptr;
        const double value = std::strtod(share.c_str(), &end);
        if (share.empty() || *end != '\0' || !(value >= 0.0 && value <= 100.0)) {
            return fail(path + ":" + std::to_string(number) + ": bad share '" + (*cells)[1] + "'");
        }
        minimum[trim(name)] = value;
    }
    return true;
}

// The share of equal values in percent, truncated to two decimals so that a
// single differing value never shows as 100.00.
double share_percent(std::size_t equal, std::size_t total) {
    if (total == 0) return 100.0;
    return std::floor(double(equal) * 10000.0 / double(total)) / 100.0;
}

void put_colour(std::vector<unsigned char> &image, std::size_t at, std::uint32_t value) {
    if (value == kInvalid) { // magenta: no pixel there
        image[at] = 255;
        image[at + 1] = 0;
        image[at + 2] = 255;
        return;
    }
    image[at] = value & 0xFF;
    image[at + 1] = (value >> 8) & 0xFF;
    image[at + 2] = (value >> 16) & 0xFF;
}

bool write_diff(const Scene &ours, const Scene &reference, const std::string &path) {
    constexpr int kScale = 4, kGap = 4;
    const int panel = ours.width * kScale;
    const int width = 3 * panel + 2 * kGap;
    const int height = ours.height * kScale;
    std::vector<unsigned char> image(std::size_t(width) * height * 3, 64);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < ours.width * kScale; ++x) {
            const std::size_t i = std::size_t(y / kScale) * ours.width + x / kScale;
            const std::size_t row = std::size_t(y) * width;
            put_colour(image, (row + x) * 3, ours.values[i]);
            put_colour(image, (row + panel + kGap + x) * 3, reference.values[i]);
            const std::size_t at = (row + 2 * (panel + kGap) + x) * 3;
            if (ours.values[i] != reference.values[i]) {
                image[at] = 255;
                image[at + 1] = 0;
                image[at + 2] = 0;
            } else {
                put_colour(image, at, ours.values[i]);
                for (int c = 0; c < 3; ++c) image[at + c] = image[at + c] / 3;
            }
        }
    }
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (!file) return fail("cannot write " + path);
    std::fprintf(file, "P6\n%d %d\n255\n", width, height);
    const bool ok = std::fwrite(image.data(), 1, image.size(), file) == image.size();
    return std::fclose(file) == 0 && ok ? true : fail("writing " + path + " failed");
}

void print_differences(const Scene &ours, const Scene &reference) {
    constexpr int kLimit = 40;
    int shown = 0;
    for (int y = 0; y < ours.height && shown < kLimit; ++y) {
        for (int x = 0; x < ours.width && shown < kLimit; ++x) {
            const std::size_t i = std::size_t(y) * ours.width + x;
            if (ours.values[i] == reference.values[i]) continue;
            std::printf("  (%d, %d): ours %08x, reference %08x\n", x, y, ours.values[i],
                        reference.values[i]);
            ++shown;
        }
    }
}

int usage() {
    std::fprintf(stderr, "usage: compare_dumps NATIVE_DUMP REFERENCE_DUMP [--expect FILE] "
                         "[--diff SCENE OUT.ppm]\n");
    return 2;
}

} // namespace

int main(int argc, char **argv) {
    std::vector<std::string> paths;
    std::string expect_path, diff_scene, diff_path;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--expect" && i + 1 < argc) {
            expect_path = argv[++i];
        } else if (arg == "--diff" && i + 2 < argc) {
            diff_scene = argv[++i];
            diff_path = argv[++i];
        } else if (!arg.empty() && arg[0] == '-') {
            return usage();
        } else {
            paths.push_back(arg);
        }
    }
    if (paths.size() != 2) return usage();

    Dump ours, reference;
    std::map<std::string, double> minimum;
    if (!read_dump(paths[0], ours) || !read_dump(paths[1], reference)) return 2;
    if (!expect_path.empty() && !read_expectations(expect_path, minimum)) return 2;

    bool all_pass = true;
    std::vector<std::string> names;
    for (const Scene &scene : ours.scenes) names.push_back(scene.name);
    for (const Scene &scene : reference.scenes) {
        if (!ours.find(scene.name)) names.push_back(scene.name);
    }
    for (const std::string &name : names) {
        const Scene *a = ours.find(name);
        const Scene *b = reference.find(name);
        if (!a || !b) {
            std::printf("%-32s missing from the %s dump  FAIL\n", name.c_str(),
                        a ? "reference" : "native");
            all_pass = false;
            continue;
        }
        if (a->width != b->width || a->height != b->height) {
            std::printf("%-32s size %dx%d, reference %dx%d  FAIL\n", name.c_str(), a->width,
                        a->height, b->width, b->height);
            all_pass = false;
            continue;
        }
        std::size_t equal = 0;
        for (std::size_t i = 0; i < a->values.size(); ++i) equal += a->values[i] == b->values[i];
        const std::size_t differing = a->values.size() - equal;
        const double share = share_percent(equal, a->values.size());
        std::string verdict = "ok";
        if (differing != 0) {
            const auto allowed = minimum.find(name);
            if (allowed != minimum.end() && share >= allowed->second) {
                char text[48];
                std::snprintf(text, sizeof text, "allowed (>= %.2f%%)", allowed->second);
                verdict = text;
            } else {
                verdict = "FAIL";
                all_pass = false;
            }
        }
        std::printf("%-32s %6.2f%% %6zu differ  %s\n", name.c_str(), share, differing,
                    verdict.c_str());
    }

    if (!diff_scene.empty()) {
        const Scene *a = ours.find(diff_scene);
        const Scene *b = reference.find(diff_scene);
        if (!a || !b || a->width != b->width || a->height != b->height) {
            fail("no comparable scene " + diff_scene + " for --diff");
            return 2;
        }
        std::printf("%s: ours | reference | differences -> %s\n", diff_scene.c_str(),
                    diff_path.c_str());
        print_differences(*a, *b);
        if (!write_diff(*a, *b, diff_path)) return 2;
    }
    return all_pass ? 0 : 1;
}
