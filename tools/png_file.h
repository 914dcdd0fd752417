// PNG files of 0xAARRGGBB pixels (top row first), through libpng. Written without alpha.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Writes width x height pixels to path. Returns an empty string on success, else what went
// wrong.
std::string WritePng(const std::string& path, const uint32_t* pixels, int width, int height);

// The same with the alpha channel kept (icons).
std::string WritePngWithAlpha(const std::string& path, const uint32_t* pixels, int width, int height);

// Decodes a PNG held in memory, as ReadPng does a file.
std::string DecodePng(const unsigned char* bytes, size_t size, int* width, int* height,
                      std::vector<uint32_t>* pixels);

// Reads a PNG of any colour type into opaque-or-not 0xAARRGGBB pixels. Returns an empty
// string on success (the outputs then set), else what went wrong (outputs untouched).
std::string ReadPng(const std::string& path, int* width, int* height, std::vector<uint32_t>* pixels);
