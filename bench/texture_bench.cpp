// Texture encoding against nvcompress (Debian's libnvtt-bin): for a set of varied pictures made
// here (photo-like noise, painted hull panels with decals, cut-out and graded alpha, flat
// colours, gradients, fine stripes) and the corpus's textures, both tools turn each PNG into a
// DDS with its full mip chain as DXT1 and DXT5, run as processes on the same machine. Each level
// is compared with a reference downscale of the source (the exact box average in linear light,
// colour weighted by alpha); the table gives level 1's PSNR, the PSNR over the whole chain
// (colour premultiplied by alpha where the picture has alpha) and the wall time. Skipped with a
// message when nvcompress is missing.
//
//   texture_bench [--size-scale N] [--keep DIR]
#include <fmt/format.h>
#include <sys/resource.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "common/ui.h"
#include "interchange/dds.h"
#include "interchange/image_load.h"
#include "interchange/texture_decode.h"
#include "interchange/texture_encode.h"

namespace fs = std::filesystem;
using namespace gantry;

namespace {

struct Picture {
  std::string name;
  RgbaImage image;
};

RgbaImage Blank(int w, int h) {
  RgbaImage image;
  image.width = w;
  image.height = h;
  image.pixels.assign(static_cast<std::size_t>(w) * h * 4, 255);
  return image;
}

std::uint8_t* At(RgbaImage& image, int x, int y) {
  return image.pixels.data() + (static_cast<std::size_t>(y) * image.width + x) * 4;
}

std::uint8_t Byte(double v) { return static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0) + 0.5); }

// Smooth value noise with `octaves` octaves, 0..1.
class Noise {
 public:
  explicit Noise(unsigned seed) {
    std::mt19937 random(seed);
    for (float& v : lattice_) v = std::uniform_real_distribution<float>(0, 1)(random);
  }
  double operator()(double x, double y, int octaves) const {
    double sum = 0, amplitude = 0.5, total = 0;
    for (int o = 0; o < octaves; ++o) {
      sum += amplitude * Value(x, y);
      total += amplitude;
      x *= 2.03;
      y *= 2.03;
      amplitude *= 0.55;
    }
    return sum / total;
  }

 private:
  double Value(double x, double y) const {
    const int xi = static_cast<int>(std::floor(x)), yi = static_cast<int>(std::floor(y));
    const double fx = x - xi, fy = y - yi;
    const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    auto l = [&](int i, int j) { return lattice_[((i & 255) * 257 + (j & 255) * 31) & 65535]; };
    const double a = l(xi, yi) + sx * (l(xi + 1, yi) - l(xi, yi));
    const double b = l(xi, yi + 1) + sx * (l(xi + 1, yi + 1) - l(xi, yi + 1));
    return a + sy * (b - a);
  }
  std::array<float, 65536> lattice_{};
};

std::vector<Picture> MakePictures(int scale) {
  std::vector<Picture> pictures;
  const Noise noise(7);
  std::mt19937 random(11);
  auto uniform = [&](double lo, double hi) {
    return std::uniform_real_distribution<double>(lo, hi)(random);
  };
  {  // photo-like: coloured fractal noise with fine grain
    const int n = 1024 / scale;
    RgbaImage im = Blank(n, n);
    for (int y = 0; y < n; ++y)
      for (int x = 0; x < n; ++x) {
        const double u = x * 8.0 / n, v = y * 8.0 / n;
        std::uint8_t* p = At(im, x, y);
        p[0] = Byte(255 * noise(u, v, 7));
        p[1] = Byte(255 * noise(u + 17, v + 3, 7));
        p[2] = Byte(255 * noise(u + 41, v + 29, 7) * 0.8);
      }
    pictures.push_back({"photo_noise", im});
  }
  {  // painted hull: grey panels, seams, rivets, coloured decal stripes and numbers
    const int n = 2048 / scale;
    RgbaImage im = Blank(n, n);
    const int panel = std::max(8, n / 16);
    for (int y = 0; y < n; ++y)
      for (int x = 0; x < n; ++x) {
        const int px = x / panel, py = y / panel;
        const double base =
            90 + 60 * noise(px * 3.1, py * 1.7, 1) + 25 * noise(x / 9.0, y / 9.0, 4);
        const bool seam = x % panel == 0 || y % panel == 0;
        const bool rivet = (x % panel == panel / 8 || x % panel == panel - panel / 8) &&
                           (y % (panel / 4)) == panel / 8;
        std::uint8_t* p = At(im, x, y);
        const double v = seam ? base * 0.45 : rivet ? base * 1.35 : base;
        p[0] = Byte(v);
        p[1] = Byte(v * 1.02);
        p[2] = Byte(v * 1.06);
      }
    for (int d = 0; d < 24; ++d) {  // decals: stripes and blocky glyphs
      const int x0 = static_cast<int>(uniform(0, n * 0.8)),
                y0 = static_cast<int>(uniform(0, n * 0.9));
      const int w = static_cast<int>(uniform(n / 20.0, n / 5.0)), h = std::max(2, n / 64);
      const std::array<std::uint8_t, 3> colour{Byte(uniform(0, 255)), Byte(uniform(0, 255)),
                                               Byte(uniform(0, 255))};
      for (int y = y0; y < std::min(n, y0 + h); ++y)
        for (int x = x0; x < std::min(n, x0 + w); ++x) {
          const bool glyph = d % 3 == 0 && ((x - x0) / std::max(1, h / 2) + (y - y0) / 2) % 3 == 0;
          if (glyph) continue;
          std::uint8_t* p = At(im, x, y);
          p[0] = colour[0];
          p[1] = colour[1];
          p[2] = colour[2];
        }
    }
    pictures.push_back({"hull_panels", im});
  }
  {  // cut-out alpha mask: leaves (ellipses) with 0/255 alpha over green noise
    const int n = 512 / scale;
    RgbaImage im = Blank(n, n);
    std::vector<std::array<double, 5>> leaves;
    for (int i = 0; i < 40; ++i)
      leaves.push_back({uniform(0, n), uniform(0, n), uniform(n / 40.0, n / 10.0),
                        uniform(n / 120.0, n / 30.0), uniform(0, 3.14159)});
    for (int y = 0; y < n; ++y)
      for (int x = 0; x < n; ++x) {
        bool inside = false;
        for (const auto& l : leaves) {
          const double dx = x - l[0], dy = y - l[1];
          const double u = dx * std::cos(l[4]) + dy * std::sin(l[4]);
          const double v = -dx * std::sin(l[4]) + dy * std::cos(l[4]);
          if ((u * u) / (l[2] * l[2]) + (v * v) / (l[3] * l[3]) <= 1) inside = true;
        }
        std::uint8_t* p = At(im, x, y);
        p[0] = Byte(40 + 60 * noise(x / 16.0, y / 16.0, 3));
        p[1] = Byte(110 + 100 * noise(x / 16.0 + 5, y / 16.0, 3));
        p[2] = Byte(30 + 40 * noise(x / 16.0, y / 16.0 + 9, 3));
        p[3] = inside ? 255 : 0;
      }
    pictures.push_back({"alpha_cutout", im});
  }
  {  // graded alpha: engine glow, radial falloff in alpha and colour
    const int n = 512 / scale;
    RgbaImage im = Blank(n, n);
    for (int y = 0; y < n; ++y)
      for (int x = 0; x < n; ++x) {
        const double dx = (x + 0.5) / n - 0.5, dy = (y + 0.5) / n - 0.5;
        const double r = std::sqrt(dx * dx + dy * dy) * 2;
        const double falloff = std::clamp(1 - r, 0.0, 1.0);
        std::uint8_t* p = At(im, x, y);
        p[0] = Byte(255 * std::pow(falloff, 0.3));
        p[1] = Byte(200 * falloff);
        p[2] = Byte(120 + 135 * falloff * falloff);
        p[3] = Byte(255 * falloff * falloff * (0.8 + 0.2 * noise(x / 20.0, y / 20.0, 3)));
      }
    pictures.push_back({"alpha_glow", im});
  }
  {  // flat colours: a team-colour style map of a few flat regions
    const int n = 1024 / scale;
    RgbaImage im = Blank(n, n);
    const std::array<std::array<std::uint8_t, 3>, 5> colours{
        {{200, 30, 30}, {30, 60, 200}, {240, 240, 240}, {20, 20, 20}, {250, 190, 20}}};
    for (int y = 0; y < n; ++y)
      for (int x = 0; x < n; ++x) {
        const int region = static_cast<int>(5 * noise(x * 4.0 / n, y * 4.0 / n, 1)) % 5;
        std::uint8_t* p = At(im, x, y);
        p[0] = colours[region][0];
        p[1] = colours[region][1];
        p[2] = colours[region][2];
      }
    pictures.push_back({"flat_colours", im});
  }
  {  // smooth gradients: the case DXT bands on
    const int n = 1024 / scale;
    RgbaImage im = Blank(n, n);
    for (int y = 0; y < n; ++y)
      for (int x = 0; x < n; ++x) {
        std::uint8_t* p = At(im, x, y);
        p[0] = Byte(255.0 * x / (n - 1));
        p[1] = Byte(255.0 * y / (n - 1));
        p[2] = Byte(128 + 127 * std::sin(6.28318 * (x + y) / (2.0 * n)));
      }
    pictures.push_back({"gradients", im});
  }
  {  // fine stripes and checks: what goes grey, or dark when filtered in gamma space
    const int n = 512 / scale;
    RgbaImage im = Blank(n, n);
    for (int y = 0; y < n; ++y)
      for (int x = 0; x < n; ++x) {
        const bool on = y < n / 2 ? (x / 1) % 2 == 0 : ((x / 2) + (y / 2)) % 2 == 0;
        std::uint8_t* p = At(im, x, y);
        p[0] = on ? 255 : 0;
        p[1] = on ? 255 : 20;
        p[2] = on ? 200 : 0;
      }
    pictures.push_back({"fine_stripes", im});
  }
  {  // hull lights: dark plating with bright dots and a graded glow mask in alpha
    const int n = 1024 / scale;
    RgbaImage im = Blank(n, n);
    for (int y = 0; y < n; ++y)
      for (int x = 0; x < n; ++x) {
        const double v = 40 + 30 * noise(x / 6.0, y / 6.0, 5);
        const bool light = (x % 32) < 3 && (y % 48) < 3;
        std::uint8_t* p = At(im, x, y);
        p[0] = light ? 255 : Byte(v);
        p[1] = light ? 230 : Byte(v);
        p[2] = light ? 150 : Byte(v * 1.1);
        p[3] = light ? 255 : Byte(255 * 0.3 * noise(x / 50.0, y / 50.0, 2));
      }
    pictures.push_back({"lights_glowmask", im});
  }
  return pictures;
}

// The corpus's textures, level 1, brought to powers of two so both tools start from one source.
void AddCorpusPictures(const std::string& folder, std::vector<Picture>& pictures) {
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string path = it->path().string();
    std::string ext = it->path().extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::optional<RgbaImage> image;
    if (ext == ".tga" || ext == ".png") {
      std::string why;
      image = LoadImageFile(path, &why);
    } else if (ext == ".dds") {
      std::ifstream in(path, std::ios::binary);
      const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                            std::istreambuf_iterator<char>()};
      QuietUi ui;
      const auto texture = ReadDDSTexture(bytes, path, ui);
      if (texture) image = DecodeTextureLevel(*texture, 1);
    }
    if (!image || image->width < 16 || image->height < 16) continue;
    const auto [w, h] = TopLevelSize(image->width, image->height, SizeRounding::kNearest, 0);
    std::string stem = it->path().stem().string();  // owner__repository__file: the file
    if (const std::size_t cut = stem.rfind("__"); cut != std::string::npos) stem.erase(0, cut + 2);
    std::string name = "corpus_" + stem;
    for (char& c : name)
      if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    pictures.push_back({name.substr(0, 40), ResizeImage(*image, w, h)});
  }
}

// The exact box average of each level in linear light (colour weighted by alpha), from the source.
std::vector<RgbaImage> ReferenceChain(const RgbaImage& source) {
  auto to_linear = [](double c) {
    c /= 255;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  auto to_srgb = [](double l) {
    const double c = l <= 0.0031308 ? l * 12.92 : 1.055 * std::pow(l, 1 / 2.4) - 0.055;
    return Byte(c * 255);
  };
  int w = source.width, h = source.height;
  // premultiplied linear red, green, blue, alpha, and plain linear colour for alpha-0 areas
  std::vector<std::array<double, 7>> level(static_cast<std::size_t>(w) * h);
  for (std::size_t i = 0; i < level.size(); ++i) {
    const std::uint8_t* p = source.pixels.data() + i * 4;
    const double a = p[3] / 255.0;
    for (int c = 0; c < 3; ++c) {
      level[i][c] = to_linear(p[c]) * a;
      level[i][4 + c] = to_linear(p[c]);
    }
    level[i][3] = a;
  }
  std::vector<RgbaImage> chain;
  while (true) {
    RgbaImage out = Blank(w, h);
    for (std::size_t i = 0; i < level.size(); ++i) {
      const auto& v = level[i];
      std::uint8_t* p = out.pixels.data() + i * 4;
      for (int c = 0; c < 3; ++c) p[c] = to_srgb(v[3] > 1e-9 ? v[c] / v[3] : v[4 + c]);
      p[3] = Byte(v[3] * 255);
    }
    chain.push_back(std::move(out));
    if (w == 1 && h == 1) break;
    const int nw = std::max(1, w / 2), nh = std::max(1, h / 2);
    std::vector<std::array<double, 7>> next(static_cast<std::size_t>(nw) * nh);
    for (int y = 0; y < nh; ++y)
      for (int x = 0; x < nw; ++x) {
        std::array<double, 7> sum{};
        int count = 0;
        for (int dy = 0; dy < (h > 1 ? 2 : 1); ++dy)
          for (int dx = 0; dx < (w > 1 ? 2 : 1); ++dx) {
            const auto& v = level[static_cast<std::size_t>(y * (h > 1 ? 2 : 1) + dy) * w +
                                  x * (w > 1 ? 2 : 1) + dx];
            for (int c = 0; c < 7; ++c) sum[c] += v[c];
            ++count;
          }
        for (double& s : sum) s /= count;
        next[static_cast<std::size_t>(y) * nw + x] = sum;
      }
    level = std::move(next);
    w = nw;
    h = nh;
  }
  return chain;
}

struct Score {
  double level1 = 0;
  double chain = 0;
  double seconds = 0;
  bool ok = false;
};

double PsnrOf(double squared, double samples) {
  if (squared == 0) return 99.0;
  return 10 * std::log10(255.0 * 255.0 * samples / squared);
}

Score Measure(const std::string& dds, const std::vector<RgbaImage>& reference, bool alpha,
              double seconds) {
  Score score;
  std::ifstream in(dds, std::ios::binary);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                        std::istreambuf_iterator<char>()};
  QuietUi ui;
  const auto texture = ReadDDSTexture(bytes, dds, ui);
  if (!texture || texture->MipCount != static_cast<std::int32_t>(reference.size())) return score;
  double squared = 0, samples = 0;
  for (std::size_t l = 0; l < reference.size(); ++l) {
    const auto decoded = DecodeTextureLevel(*texture, static_cast<int>(l) + 1);
    if (!decoded || decoded->width != reference[l].width) return score;
    double level_squared = 0, level_samples = 0;
    // With alpha, colour counts as much as it shows: premultiplied, next to alpha itself.
    const std::vector<std::uint8_t>& ours = decoded->pixels;
    const std::vector<std::uint8_t>& wanted = reference[l].pixels;
    for (std::size_t i = 0; i < ours.size(); ++i) {
      const std::size_t a = i - i % 4 + 3;
      if (!alpha && i == a) continue;
      const double d = alpha && i != a ? (ours[i] * ours[a] - wanted[i] * wanted[a]) / 255.0
                                       : double(ours[i]) - wanted[i];
      level_squared += d * d;
      ++level_samples;
    }
    if (l == 0) score.level1 = PsnrOf(level_squared, level_samples);
    squared += level_squared;
    samples += level_samples;
  }
  score.chain = PsnrOf(squared, samples);
  score.seconds = seconds;
  score.ok = true;
  return score;
}

struct Timing {
  double wall = -1;
  double cpu = 0;  // user and system time of the process: what a busy machine does not inflate
};

double ChildrenCpu() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

Timing Run(const std::string& command) {
  const double cpu = ChildrenCpu();
  const auto start = std::chrono::steady_clock::now();
  const int status = std::system((command + " >/dev/null 2>&1").c_str());
  Timing timing;
  timing.cpu = ChildrenCpu() - cpu;
  if (status == 0) {
    timing.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  return timing;
}

}  // namespace

int main(int argc, char** argv) {
  int scale = 1;
  std::string keep;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--size-scale") scale = std::max(1, std::atoi(argv[i + 1]));
    if (option == "--keep") keep = argv[i + 1];
  }
  if (std::system("command -v nvcompress >/dev/null 2>&1") != 0) {
    fmt::print("nvcompress not found (Debian package libnvtt-bin): the comparison is skipped\n");
    return 0;
  }
  const fs::path folder =
      keep.empty() ? fs::temp_directory_path() / "gantry_texture_bench" : fs::path(keep);
  fs::create_directories(folder);
  std::vector<Picture> pictures = MakePictures(scale);
  AddCorpusPictures(GANTRY_CORPUS_DIR "/other", pictures);

  fmt::print("{:<24} {:>9} {:>4} | {:>7} {:>7} {:>6} {:>6} | {:>7} {:>7} {:>6} {:>6}\n", "image",
             "size", "fmt", "G L1", "G all", "G wall", "G cpu", "N L1", "N all", "N wall", "N cpu");
  double sum_gantry = 0, sum_nv = 0, time_gantry = 0, time_nv = 0, cpu_gantry = 0, cpu_nv = 0;
  int rows = 0;
  for (const Picture& picture : pictures) {
    const std::string png = (folder / (picture.name + ".png")).string();
    const std::vector<std::uint8_t> bytes = EncodePng(picture.image);
    std::ofstream(png, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    const std::vector<RgbaImage> reference = ReferenceChain(picture.image);
    const bool has_alpha = AnalyseAlpha(picture.image) != AlphaUse::kOpaque;
    for (const char* format : {"dxt1", "dxt5"}) {
      // DXT1 keeps one bit of alpha (nvcompress's -bc1a), so alpha counts in both formats.
      const bool alpha = has_alpha;
      const bool dxt1 = std::string(format) == "dxt1";
      const std::string ours = (folder / (picture.name + "_gantry_" + format + ".dds")).string();
      const std::string theirs = (folder / (picture.name + "_nv_" + format + ".dds")).string();
      const Timing our_time = Run(fmt::format("'{}' convert-texture '{}' -o '{}' --format {}",
                                              GANTRY_CLI, png, ours, format));
      const Timing their_time =
          Run(fmt::format("nvcompress -nocuda {} '{}' '{}'",
                          dxt1 ? (has_alpha ? "-bc1a" : "-bc1") : "-bc3", png, theirs));
      const Score g = Measure(ours, reference, alpha, our_time.wall);
      const Score n = Measure(theirs, reference, alpha, their_time.wall);
      fmt::print(
          "{:<24} {:>9} {:>4} | {:>7.2f} {:>7.2f} {:>6.2f} {:>6.2f} | {:>7.2f} {:>7.2f} {:>6.2f} "
          "{:>6.2f}{}\n",
          picture.name.substr(0, 24),
          fmt::format("{}x{}", picture.image.width, picture.image.height), format, g.level1,
          g.chain, g.seconds, our_time.cpu, n.level1, n.chain, n.seconds, their_time.cpu,
          g.ok && n.ok ? "" : "  (a run failed)");
      if (g.ok && n.ok) {
        sum_gantry += g.chain;
        sum_nv += n.chain;
        time_gantry += g.seconds;
        time_nv += n.seconds;
        cpu_gantry += our_time.cpu;
        cpu_nv += their_time.cpu;
        ++rows;
      }
    }
  }
  if (rows > 0) {
    fmt::print(
        "\nmean PSNR over each whole chain: Gantry {:.2f} dB, nvcompress {:.2f} dB ({:+.2f} dB)\n",
        sum_gantry / rows, sum_nv / rows, (sum_gantry - sum_nv) / rows);
    fmt::print("total wall time: Gantry {:.2f} s, nvcompress {:.2f} s\n", time_gantry, time_nv);
    fmt::print("total processor time: Gantry {:.2f} s, nvcompress {:.2f} s\n", cpu_gantry, cpu_nv);
  }
  if (keep.empty()) fs::remove_all(folder);
  return 0;
}
