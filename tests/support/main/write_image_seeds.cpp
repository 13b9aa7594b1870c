// Writes the hand-made image seeds (tests/images/retro_seeds.h) into the
// folder given, as scripts/write-image-seeds.sh asks it to.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "images/retro_seeds.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: write_image_seeds <folder>\n");
    return 2;
  }
  int written = 0;
  for (const vexal::test::Seed& seed : vexal::test::kSeeds) {
    const std::vector<uint8_t> bytes = vexal::test::HandMadeSeed(seed.name);
    if (bytes.empty()) continue;
    const std::string path = std::string(argv[1]) + "/" + seed.name;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out.good()) {
      std::fprintf(stderr, "%s: cannot be written\n", path.c_str());
      return 1;
    }
    ++written;
  }
  std::printf("%d seeds written to %s\n", written, argv[1]);
  return 0;
}
