#pragma once
// Looking at a written PDF the way a user's tools do: poppler's pdftotext, pdffonts and pdfinfo.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

namespace papyra::test {

// The names in a folder, sorted.
inline std::vector<std::string> NamesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A folder of its own for one test, removed with everything in it.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "papyra-test-XXXXXX");
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp");
        path = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::vector<std::string> Names() const { return NamesIn(path); }
    std::string path;
};

// Sets an environment variable for the life of the object and puts the old value back.
class EnvVar {
public:
    EnvVar(const char* name, const char* value) : name(name) {
        if (const char* old = std::getenv(name)) previous = old;
        had = std::getenv(name) != nullptr;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~EnvVar() {
        if (had)
            setenv(name.c_str(), previous.c_str(), 1);
        else
            unsetenv(name.c_str());
    }

private:
    std::string name, previous;
    bool had = false;
};

inline std::string Run(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
            output.append(buffer, n);
        pclose(pipe);
    }
    return output;
}

inline std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

inline std::string TextOf(const std::string& pdf) {
    return Run("pdftotext -layout " + Quoted(pdf) + " - 2>/dev/null");
}

inline std::string FontsOf(const std::string& pdf) {
    return Run("pdffonts " + Quoted(pdf) + " 2>/dev/null");
}

// One field of pdfinfo's answer ("Pages", "Page size", "Title").
inline std::string InfoOf(const std::string& pdf, const std::string& field) {
    std::string info = Run("pdfinfo " + Quoted(pdf) + " 2>/dev/null");
    std::smatch match;
    if (std::regex_search(info, match, std::regex(field + ": *([^\n]*)"))) return match[1];
    return {};
}

struct Word {
    std::string text;
    double xMin, yMin, xMax, yMax; // points, from the page's top-left
};

// The words of every page in reading order, with their boxes.
inline std::vector<Word> WordsOf(const std::string& pdf) {
    std::string html = Run("pdftotext -bbox " + Quoted(pdf) + " - 2>/dev/null");
    std::vector<Word> words;
    std::regex word(
        R"re(<word xMin="([-0-9.]+)" yMin="([-0-9.]+)" xMax="([-0-9.]+)" yMax="([-0-9.]+)">([^<]*)</word>)re");
    for (auto it = std::sregex_iterator(html.begin(), html.end(), word);
         it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        words.push_back({m[5], std::stod(m[1]), std::stod(m[2]), std::stod(m[3]), std::stod(m[4])});
    }
    return words;
}

// The first page rendered in grey at dpi dots per inch: row by row, 0 black to 255 white.
struct GreyImage {
    int width = 0, height = 0;
    std::string pixels;
    unsigned char At(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

inline GreyImage RenderFirstPage(const std::string& pdf, int dpi) {
    std::string pgm = Run("pdftoppm -gray -singlefile -f 1 -l 1 -r " + std::to_string(dpi) + " " +
                          Quoted(pdf) + " 2>/dev/null");
    GreyImage image;
    int maxValue = 0, consumed = 0;
    if (std::sscanf(pgm.c_str(), "P5 %d %d %d%n", &image.width, &image.height, &maxValue,
                    &consumed) != 3)
        return {};
    image.pixels = pgm.substr(consumed + 1);
    if (image.pixels.size() < size_t(image.width) * image.height) return {};
    return image;
}

} // namespace papyra::test
