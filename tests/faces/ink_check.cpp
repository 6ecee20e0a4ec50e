// Checks a title-card render (binary PPM, black ground) whose characters
// alternate between white type and the red emphasis colour: no ink within
// MARGIN pixels of the picture's edge, and no character's ink touching the
// next one's (a red pixel beside a white one, or white type blended over red).
// Usage: ink_check all|edges MARGIN FILE.ppm...   (edges: the edge alone)
// prints one line per fault; exit 1 on any.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgb;
  [[nodiscard]] const unsigned char* At(int x, int y) const {
    return &rgb[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 3];
  }
};

bool ReadPpm(const char* path, Picture& picture) {
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  int maxValue = 0;
  if (!(in >> magic >> picture.width >> picture.height >> maxValue) || magic != "P6" || maxValue != 255 ||
      picture.width <= 0 || picture.height <= 0 || picture.width > 20000 || picture.height > 20000) {
    return false;
  }
  in.get();
  picture.rgb.resize(static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height) * 3);
  in.read(reinterpret_cast<char*>(picture.rgb.data()), static_cast<std::streamsize>(picture.rgb.size()));
  return static_cast<std::size_t>(in.gcount()) == picture.rgb.size();
}

constexpr int kInk = 64;  // anti-aliased fringes fainter than this do not count

bool Ink(const unsigned char* p) { return p[0] > kInk || p[1] > kInk || p[2] > kInk; }
bool Red(const unsigned char* p) { return p[0] > kInk && p[0] > p[1] + 60 && p[1] <= kInk; }
bool White(const unsigned char* p) { return p[1] > kInk && p[0] < p[1] + 40; }
// White type printed over red ink.
bool Blend(const unsigned char* p) { return p[1] > kInk && p[0] >= p[1] + 40; }

int Check(const char* path, int margin, bool neighbours) {
  Picture picture;
  if (!ReadPpm(path, picture)) {
    std::printf("FAIL %s: not a readable binary PPM\n", path);
    return 1;
  }
  int faults = 0;
  int edgeInk = 0;
  int touching = 0;
  int firstX = -1;
  int firstY = -1;
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const unsigned char* p = picture.At(x, y);
      if (!Ink(p)) continue;
      const bool nearEdge = x < margin || y < margin || x >= picture.width - margin || y >= picture.height - margin;
      if (nearEdge) ++edgeInk;
      if (!neighbours) continue;
      bool touch = Blend(p);
      if (!touch && Red(p)) {
        for (int dy = -1; dy <= 1 && !touch; ++dy) {
          for (int dx = -1; dx <= 1 && !touch; ++dx) {
            const int nx = x + dx;
            const int ny = y + dy;
            if (nx < 0 || ny < 0 || nx >= picture.width || ny >= picture.height) continue;
            touch = White(picture.At(nx, ny));
          }
        }
      }
      if (touch && touching++ == 0) {
        firstX = x;
        firstY = y;
      }
    }
  }
  if (edgeInk > 0) {
    std::printf("FAIL %s: %d ink pixels within %d px of the edge\n", path, edgeInk, margin);
    ++faults;
  }
  if (touching > 0) {
    std::printf("FAIL %s: characters' ink touches at %d pixels (first at %d,%d)\n", path, touching, firstX, firstY);
    ++faults;
  }
  return faults;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string what = argc > 1 ? argv[1] : "";
  if (argc < 4 || (what != "all" && what != "edges")) {
    std::fprintf(stderr, "usage: ink_check all|edges MARGIN FILE.ppm...\n");
    return 2;
  }
  const int margin = std::atoi(argv[2]);
  int faults = 0;
  for (int i = 3; i < argc; ++i) faults += Check(argv[i], margin, what == "all");
  return faults == 0 ? 0 : 1;
}
