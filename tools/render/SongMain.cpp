// zyk_song: writes the benchmark song as a Standard MIDI File, for the render tool and for other
// synthesizers to play the same notes.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/render/Song.h"

int main(int argc, char** argv) {
    SongStyle style;
    const double seconds = argc == 4 ? std::atof(argv[2]) : 0.0;
    if (argc != 4 || !songStyleFromName(argv[1], style) || !(seconds >= 2.0 && seconds <= 3600.0)) {
        std::fprintf(stderr, "usage: zyk_song piano|organ SECONDS OUT.mid\n");
        return 2;
    }
    const std::vector<unsigned char> bytes = makeSongMidiFile(style, seconds);
    FILE* file = std::fopen(argv[3], "wb");
    const bool written = file != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (file != nullptr && std::fclose(file) != 0) return 1;
    if (!written) {
        std::fprintf(stderr, "zyk_song: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
