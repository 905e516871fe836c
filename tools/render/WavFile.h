#pragma once
#include <string>
#include <vector>

// Writes 32-bit float PCM with one channel per vector (all of equal length).
bool writeWavFile(const std::string& path, const std::vector<std::vector<float>>& channels, int rate);
