#pragma once
// Looking at a written PDF the way a user's tools do: poppler's pdftotext, pdfinfo and pdftoppm,
// through the shell.
#include <cstdio>
#include <regex>
#include <string>
#include <vector>

namespace papyra::test {

inline std::string Shell(const std::string& command) { // its standard output
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[65536];
        while (size_t n = fread(buffer, 1, sizeof buffer, pipe))
            output.append(buffer, n);
        pclose(pipe);
    }
    return output;
}

inline std::string Quoted(const std::string& text) { // one shell word
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// What a poppler tool prints for one PDF; tail names its standard output where it needs that.
inline std::string Poppler(const std::string& tool, const std::string& pdf,
                           const std::string& tail = "") {
    return Shell(tool + " " + Quoted(pdf) + " " + tail + " 2>/dev/null");
}

inline std::string TextOf(const std::string& pdf) {
    return Poppler("pdftotext -layout", pdf, "-");
}

// One field of pdfinfo's answer ("Pages", "Page size", "Title").
inline std::string InfoOf(const std::string& pdf, const std::string& field) {
    std::string info = Poppler("pdfinfo", pdf);
    std::smatch match;
    return std::regex_search(info, match, std::regex(field + ": *([^\n]*)")) ? match[1].str() : "";
}

struct Word {
    std::string text;
    double xMin, yMin, xMax, yMax; // points, from the page's top-left
};

// The words of every page in reading order, with their boxes.
inline std::vector<Word> WordsOf(const std::string& pdf) {
    std::string html = Poppler("pdftotext -bbox", pdf, "-");
    std::vector<Word> words;
    std::regex word(R"re(<word xMin="([-0-9.]+)" yMin="([-0-9.]+)" xMax="([-0-9.]+)" )re"
                    R"re(yMax="([-0-9.]+)">([^<]*)</word>)re");
    for (auto it = std::sregex_iterator(html.begin(), html.end(), word);
         it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        words.push_back({m[5], std::stod(m[1]), std::stod(m[2]), std::stod(m[3]), std::stod(m[4])});
    }
    return words;
}

// The first page in grey at dpi dots per inch, row by row; width 0 when it cannot be had.
struct GreyImage {
    int width = 0, height = 0;
    std::string pixels; // 0 black to 255 white
    bool Dark(int x, int y) const { return (unsigned char)pixels[size_t(y) * width + x] < 128; }
};

inline GreyImage RenderFirstPage(const std::string& pdf, int dpi) {
    const std::string pgm = Poppler("pdftoppm -gray -singlefile -r " + std::to_string(dpi), pdf);
    GreyImage image;
    int consumed = 0;
    std::sscanf(pgm.c_str(), "P5 %d %d 255%n", &image.width, &image.height, &consumed);
    if (consumed == 0 || pgm.size() <= consumed + size_t(image.width) * image.height) return {};
    image.pixels = pgm.substr(consumed + 1);
    return image;
}

} // namespace papyra::test
