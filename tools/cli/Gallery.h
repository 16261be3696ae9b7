#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "LogoRecord.h"

// One logo of the gallery page.
struct GalleryLogo {
    LogoRecord logo;     // ids, type, display size, and the bytes as broadcast (for their count)
    std::string image;   // the viewable PNG's file name beside the page
    std::string origin;  // where it was found: "recording.ts, packet 5", or the logo file's name
    bool superseded = false;
};

// A file of a logo directory that is no logo to show, and what the start-up scan does with it.
struct GalleryOther {
    std::string name;
    std::string fate;
};

// Marks every logo that another of its network, logo id and type supersedes as the start-up
// scan would: all but the highest version.
void MarkSuperseded(std::vector<GalleryLogo>& logos);

// The page: logos grouped by network and logo id, each at its display size and at 3x, superseded
// ones greyed. Plain HTML and CSS whose only references are the images' names.
std::string GalleryPage(const std::string& title, std::vector<GalleryLogo> logos,
                        const std::vector<GalleryOther>& others);

// Writes the page as DIRECTORY/index.html; throws OutputError when it cannot.
void WriteGallery(const std::filesystem::path& directory, const std::string& page);
