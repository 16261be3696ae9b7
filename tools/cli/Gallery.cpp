#include "Gallery.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <tuple>

#include "LogoScanRules.h"
#include "LogoStore.h"
#include "Scanner.h"

namespace {

constexpr char kStyle[] = R"(
body { font-family: sans-serif; background: #eee; color: #222; margin: 1em; }
section { background: #fff; border: 1px solid #bbb; margin: 0 0 1em; padding: 0.5em 1em; }
h1 { font-size: 1.3em; }
h2 { font-size: 1.05em; margin: 0.2em 0 0.6em; }
.logo { display: inline-block; vertical-align: top; margin: 0 2em 1em 0; }
.logo img { display: block; margin: 0 0 4px; image-rendering: crisp-edges;
            image-rendering: pixelated; }
.logo p { margin: 0; font-size: 0.85em; }
.superseded { opacity: 0.35; filter: grayscale(1); }
.big { zoom: 3; }
)";

std::string Escape(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

// Display size from the type; a type without one shows the image as it is, zoomed for 3x.
std::string Image(const GalleryLogo& entry, int scale) {
    std::string tag = "<img src=\"" + Escape(entry.image) + "\" alt=\"" +
                      Escape(LogoStore::MakeFileName(entry.logo)) + "\"";
    if (entry.logo.width > 0 && entry.logo.height > 0) {
        tag += " width=\"" + std::to_string(entry.logo.width * scale) + "\" height=\"" +
               std::to_string(entry.logo.height * scale) + "\"";
    } else if (scale != 1) {
        tag += " class=\"big\"";
    }
    return tag + ">";
}

std::string Figure(const GalleryLogo& entry) {
    const LogoRecord& logo = entry.logo;
    std::string html =
        std::string("<div class=\"logo") + (entry.superseded ? " superseded" : "") + "\">" +
        Image(entry, 1) + Image(entry, 3) + "<p>version " + std::to_string(logo.logoVersion) +
        ", type " + std::to_string(logo.logoType) + ", " + std::to_string(logo.width) + "x" +
        std::to_string(logo.height) + ", " + std::to_string(logo.data.size()) + " bytes</p>";
    if (!entry.origin.empty()) html += "<p>" + Escape(entry.origin) + "</p>";
    if (entry.superseded) html += "<p>superseded by a newer version</p>";
    return html + "</div>\n";
}

}  // namespace

void MarkSuperseded(std::vector<GalleryLogo>& logos) {
    std::map<std::string, uint16_t> highest;
    for (const GalleryLogo& entry : logos) {
        const auto [place, added] =
            highest.emplace(LogoStore::MakeKey(entry.logo), entry.logo.logoVersion);
        if (!added && !ScanSupersedes(place->second, entry.logo.logoVersion)) {
            place->second = entry.logo.logoVersion;
        }
    }
    for (GalleryLogo& entry : logos) {
        entry.superseded = highest[LogoStore::MakeKey(entry.logo)] != entry.logo.logoVersion;
    }
}

std::string GalleryPage(const std::string& title, std::vector<GalleryLogo> logos,
                        const std::vector<GalleryOther>& others) {
    // By network and logo id, the newest version first, then by type.
    std::stable_sort(logos.begin(), logos.end(), [](const auto& a, const auto& b) {
        return std::tuple(a.logo.originalNetworkId, a.logo.logoId, b.logo.logoVersion,
                          a.logo.logoType) < std::tuple(b.logo.originalNetworkId, b.logo.logoId,
                                                        a.logo.logoVersion, b.logo.logoType);
    });
    std::string html =
        "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">\n<title>Insigno: " + Escape(title) +
        "</title>\n<style>" + kStyle + "</style></head>\n<body>\n" + "<h1>Logos of " +
        Escape(title) + "</h1>\n<p>" + std::to_string(logos.size()) + " logos</p>\n";
    for (size_t i = 0; i < logos.size(); ++i) {
        const LogoRecord& logo = logos[i].logo;
        if (i == 0 || logo.originalNetworkId != logos[i - 1].logo.originalNetworkId ||
            logo.logoId != logos[i - 1].logo.logoId) {
            if (i != 0) html += "</section>\n";
            html += "<section><h2>network " + Hex(logo.originalNetworkId, 4) + ", logo id " +
                    Hex(logo.logoId, 3) + "</h2>\n";
        }
        html += Figure(logos[i]);
    }
    if (!logos.empty()) html += "</section>\n";
    if (!others.empty()) {
        html += "<section><h2>other files</h2>\n<ul>\n";
        for (const GalleryOther& other : others) {
            html += "<li>" + Escape(other.name) + ": " + Escape(other.fate) + "</li>\n";
        }
        html += "</ul></section>\n";
    }
    return html + "</body></html>\n";
}

void WriteGallery(const std::filesystem::path& directory, const std::string& page) {
    std::error_code ignored;
    std::filesystem::create_directories(directory, ignored);
    const std::filesystem::path path = directory / "index.html";
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(page.data(), static_cast<std::streamsize>(page.size()));
    file.close();
    if (!file) throw OutputError("cannot write " + path.string());
}
