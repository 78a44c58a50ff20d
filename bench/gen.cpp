// Writes a realistic Harvex-style report in Windows-1252: ledger lines up to the page's column
// count, em-dash rules, emphasis codes, and a form-feed line after every full page.
//
// usage: gen PAGES P|L OUTPUT [SEED]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace {

const char* const Accounts[] = {"Fournitures de bureau", "Kaffee & Kuchen GmbH", "Peña Hermanos",
                                "Smørrebrød A/S",        "Café Zürich",          "Øresund Freight",
                                "Müller Büromaschinen",  "Ñandú Logística",      "Hôtel Élysée"};

std::string Ansi(const std::string& utf8) {
    // The accented letters above are Latin-1; the report is Windows-1252.
    std::string out;
    for (size_t i = 0; i < utf8.size(); ++i) {
        unsigned char c = utf8[i];
        if (c == 0xC3 && i + 1 < utf8.size())
            out += static_cast<char>(0x40 + static_cast<unsigned char>(utf8[++i]));
        else
            out += static_cast<char>(c);
    }
    return out;
}

std::string Pad(std::string text, size_t width) {
    text.resize(width, ' ');
    return text;
}

std::string Amount(long cents) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "\x80%11.2f", cents / 100.0);
    return buffer;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: gen PAGES P|L OUTPUT [SEED]\n");
        return 2;
    }
    const long pages = std::atol(argv[1]);
    const bool portrait = std::string(argv[2]) == "P";
    FILE* out = std::fopen(argv[3], "wb");
    if (!out) return 1;
    std::mt19937 random(argc > 4 ? std::atoi(argv[4]) : 1996);
    const size_t columns = portrait ? 112 : 138;
    const int lines = portrait ? 80 : 65;
    const std::string rule(columns, '\x97');
    long balance = 0;

    for (long page = 1; page <= pages; ++page) {
        std::string text;
        auto line = [&](const std::string& content) { text += content + "\r\n"; };
        line("\x0E"
             "TILLWREN LEDGER\x14" +
             std::string(columns - 32, ' ') + "Page " + std::to_string(page));
        line("\x1BG" + Pad("Date       Ref     Account                       Description", 74) +
             "      Debit       Credit     Balance\x1BH");
        line(rule);
        for (int row = 4; row < lines - 2; ++row) {
            const long debit = random() % 2 ? static_cast<long>(random() % 500000) : 0;
            const long credit = debit ? 0 : static_cast<long>(random() % 400000);
            balance += credit - debit;
            char date[16];
            std::snprintf(date, sizeof date, "%02ld.%02d.1996", 1 + page % 28, 1 + row % 12);
            std::string entry = std::string(date) + " " + std::to_string(10000 + page * 100 + row) +
                                "  " + Pad(Ansi(Accounts[random() % 9]), 30) +
                                Pad(row % 7 ? "Invoice settled" : "Transfer \x96 see note", 22) +
                                Amount(debit) + " " + Amount(credit) + " " + Amount(balance);
            if (!portrait) entry += "  " + Pad("Cost centre " + std::to_string(row % 40), 20);
            line(entry.substr(0, columns));
        }
        line(rule);
        // A balance past 12 columns takes room from the label, never from the page width.
        const std::string carried = Amount(balance);
        line("\x1BG" +
             (Pad("Carried forward", columns - std::min(carried.size(), columns)) + carried)
                 .substr(0, columns) +
             "\x1BH");
        line("\x0C");
        std::fwrite(text.data(), 1, text.size(), out);
    }
    return std::fclose(out) == 0 ? 0 : 1;
}
