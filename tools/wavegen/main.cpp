// wavegen: writes the wave ROM image. Deterministic (seeded generators only), so every build embeds
// the same bytes.
#include "tools/wavegen/RomImage.h"
#include "tools/wavegen/Sampled.h"
#include "tools/wavegen/SingleCycle.h"

#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: wavegen <output.wav>\n");
        return 2;
    }
    std::vector<unsigned char> samples(wavegen::SampleCount, 0x80); // the unused tail stays silent
    wavegen::writeSampledSegments(samples);
    wavegen::writeSingleCycleWaves(samples);
    const std::vector<unsigned char> image = wavegen::buildRomImage(samples);

    // Written beside the target and renamed, so an interrupted run never leaves a partial image.
    const std::string path = argv[1];
    const std::string temporary = path + ".part";
    std::ofstream file(temporary, std::ios::binary);
    file.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    file.close();
    if (!file || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::fprintf(stderr, "wavegen: cannot write %s\n", path.c_str());
        return 1;
    }
    return 0;
}
