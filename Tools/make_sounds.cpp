// Synthesises the game's sounds and writes them with libsndfile into the folder given on the
// command line: the four music layers of areas 1 and 2 (pad, plucked melody, low pulse, high
// shimmer), the two endings, the spiral swerve wind of each area, the vine growth loop, Dodod's
// jump (MP3), and the firefly collection chimes of each area for combo counts 0 to 9 (Ogg Vorbis).
//
// The layers of one area share its tempo, key, chords and loop length, so any of them stack into
// music. Loops are seamless: notes ring on across the loop's end into its start, the reverb runs
// over the loop twice before its output is kept, and noise loops cross-fade their end into their
// start. Every file is normalised to its own peak, at or below -1 dBFS; the layers' peaks add up
// to less than that, so all four together do not clip either. Everything comes from fixed seeds:
// two runs write the same bytes (the Ogg stream serial, which libsndfile picks at random, is set).
#include <sndfile.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;

struct Track {
  std::vector<float> l, r;
  explicit Track(size_t frames) : l(frames), r(frames) {}
  size_t Frames() const { return l.size(); }
};

// A small linear congruential generator: the same numbers on every machine.
struct Random {
  uint32_t state;
  float Next() {  // -1 to 1
    state = state * 1664525u + 1013904223u;
    return static_cast<float>(state >> 8) / 8388608.0f - 1.0f;
  }
  int Below(int n) { return static_cast<int>((Next() + 1.0f) * 0.5f * static_cast<float>(n)) % n; }
};

double Frequency(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

// Adds a mono note to the track at `start` seconds, panned (-1 left, 1 right). With `wrap` the
// samples past the end continue at the start, so a loop's last notes ring into its first bar.
template <class Voice>
void AddNote(Track& track, double start, double length, float gain, float pan, bool wrap, Voice&& voice) {
  const size_t frames = track.Frames();
  const size_t first = static_cast<size_t>(start * kRate);
  const size_t count = static_cast<size_t>(length * kRate);
  const float left = gain * std::sqrt(0.5f * (1.0f - pan)), right = gain * std::sqrt(0.5f * (1.0f + pan));
  for (size_t i = 0; i < count; ++i) {
    size_t at = first + i;
    if (at >= frames) {
      if (!wrap) break;
      at %= frames;
    }
    const float v = voice(static_cast<double>(i) / kRate);
    track.l[at] += v * left;
    track.r[at] += v * right;
  }
}

float Envelope(double t, double attack, double length, double release) {
  if (t < attack) return static_cast<float>(t / attack);
  if (t < length) return 1.0f;
  return static_cast<float>(std::max(0.0, 1.0 - (t - length) / release));
}

// ---- Instruments --------------------------------------------------------------------------------

// One sine partial of a tone: frequency, level and how fast it dies (per second).
struct Partial {
  double frequency;
  double level;
  double decay;
};

// Adds a tone made of partials, shaped by an envelope of the time in seconds. The partials turn
// as phasors rather than through a sine each sample: the music is rendered in well under a second.
template <class Shape>
void AddTone(Track& track, double start, double length, float gain, float pan, bool wrap,
             const std::vector<Partial>& partials, Shape&& shape) {
  struct Phasor {
    double c, s, cw, sw, level, fall;
  };
  std::vector<Phasor> phasors;
  for (const Partial& p : partials)
    phasors.push_back({1.0, 0.0, std::cos(2 * kPi * p.frequency / kRate), std::sin(2 * kPi * p.frequency / kRate),
                       p.level, std::exp(-p.decay / kRate)});
  AddNote(track, start, length, gain, pan, wrap, [&phasors, &shape](double t) {
    double v = 0.0;
    for (Phasor& p : phasors) {
      v += p.level * p.s;
      const double c = p.c * p.cw - p.s * p.sw;
      p.s = p.s * p.cw + p.c * p.sw;
      p.c = c;
      p.level *= p.fall;
    }
    return static_cast<float>(v) * shape(t);
  });
}

// A soft additive pad: a few harmonics falling off fast, slow to rise and to fade.
void Pad(Track& t, double start, double f, double length, float pan, bool wrap) {
  std::vector<Partial> partials;
  for (int h = 1; h <= 6; ++h) partials.push_back({f * h, 1.0 / std::pow(h, 1.6), 0.0});
  AddTone(t, start, length + 1.6, 0.3f, pan, wrap, partials, [length](double s) {
    return Envelope(s, 1.2, length, 1.6) * (0.85f + 0.15f * static_cast<float>(std::sin(2 * kPi * 0.3 * s)));
  });
}

// A plucked string: bright at the attack, the upper partials dying first.
void Pluck(Track& t, double start, double f, float gain, float pan, bool wrap) {
  std::vector<Partial> partials;
  for (int h = 1; h <= 5; ++h) partials.push_back({f * h, 1.0 / h, 2.0 + 1.8 * h});
  AddTone(t, start, 2.2, gain, pan, wrap, partials,
          [](double s) { return static_cast<float>(std::min(1.0, s / 0.004)); });
}

// A low, round pulse with a soft attack.
void Pulse(Track& t, double start, double f, float gain, bool wrap) {
  AddTone(t, start, 1.0, gain, 0.0f, wrap, {{f, 1.0, 3.2}, {2 * f, 0.25, 3.2}},
          [](double s) { return static_cast<float>(std::min(1.0, s / 0.03)); });
}

// A high glassy tone that trembles.
void Shimmer(Track& t, double start, double f, double length, float pan, bool wrap) {
  AddTone(t, start, length + 1.2, 0.4f, pan, wrap, {{f, 1.0, 0.0}, {3 * f, 0.3, 0.0}}, [length](double s) {
    return static_cast<float>(0.7 + 0.3 * std::sin(2 * kPi * 5.5 * s)) * Envelope(s, 0.5, length, 1.2);
  });
}

// A bell: inharmonic partials, the high ones short.
void Bell(Track& t, double f) {
  AddTone(t, 0.0, 0.4, 1.0f, 0.0f, false,
          {{f, 1.0, 6.0}, {2.0 * f, 0.5, 10.0}, {2.76 * f, 0.35, 14.0}, {4.07 * f, 0.2, 18.0}, {5.4 * f, 0.12, 22.0}},
          [](double s) { return static_cast<float>(std::min(1.0, s / 0.002) * std::min(1.0, (0.4 - s) / 0.03)); });
}

// ---- Effects ------------------------------------------------------------------------------------

// A few damped feedback delays per side and two all-pass stages; `passes` runs the track through
// more than once (a loop's reverb tail then covers its start) and keeps the last pass.
void Reverb(Track& track, float wet, int passes) {
  static const int kCombs[] = {1277, 1523, 1733, 1871};
  static const int kAllpasses[] = {223, 79};
  for (int side = 0; side < 2; ++side) {
    std::vector<float>& x = side ? track.r : track.l;
    const int spread = side ? 23 : 0;
    std::vector<std::vector<float>> combs, allpasses;
    for (int d : kCombs) combs.emplace_back(static_cast<size_t>(d + spread), 0.0f);
    for (int d : kAllpasses) allpasses.emplace_back(static_cast<size_t>(d + spread), 0.0f);
    std::vector<size_t> ci(combs.size()), ai(allpasses.size());
    std::vector<float> damp(combs.size()), out(x.size());
    for (int pass = 0; pass < passes; ++pass)
      for (size_t i = 0; i < x.size(); ++i) {
        float sum = 0.0f;
        for (size_t c = 0; c < combs.size(); ++c) {
          float& slot = combs[c][ci[c]];
          damp[c] = slot * 0.7f + damp[c] * 0.3f;
          sum += slot;
          slot = x[i] + damp[c] * 0.78f;
          if (++ci[c] == combs[c].size()) ci[c] = 0;
        }
        for (size_t a = 0; a < allpasses.size(); ++a) {
          float& slot = allpasses[a][ai[a]];
          const float y = slot - 0.5f * sum;
          slot = sum + 0.5f * y;
          sum = y;
          if (++ai[a] == allpasses[a].size()) ai[a] = 0;
        }
        out[i] = sum * 0.25f;
      }
    for (size_t i = 0; i < x.size(); ++i) x[i] += wet * out[i];
  }
}

// Band-passed noise (a state-variable filter) whose centre and level follow the given curves.
template <class Centre, class Level>
std::vector<float> FilteredNoise(size_t frames, uint32_t seed, float q, Centre&& centre, Level&& level) {
  Random random{seed};
  std::vector<float> out(frames);
  float low = 0.0f, band = 0.0f;
  for (size_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / kRate;
    const float f = static_cast<float>(2.0 * std::sin(kPi * centre(t) / kRate));
    const float high = random.Next() - low - q * band;
    band += f * high;
    low += f * band;
    out[i] = band * level(t);
  }
  return out;
}

// A loop of `frames` from a signal `fade` frames longer: its end cross-fades into its start.
std::vector<float> Seamless(const std::vector<float>& x, size_t frames, size_t fade) {
  std::vector<float> out(x.begin(), x.begin() + static_cast<std::ptrdiff_t>(frames));
  for (size_t i = 0; i < fade; ++i) {
    const float a = static_cast<float>(i) / static_cast<float>(fade);
    out[i] = out[i] * a + x[frames + i] * (1.0f - a);
  }
  return out;
}

void Normalise(Track& track, float peak) {
  float top = 1e-9f;
  for (size_t i = 0; i < track.Frames(); ++i) top = std::max({top, std::fabs(track.l[i]), std::fabs(track.r[i])});
  for (size_t i = 0; i < track.Frames(); ++i) {
    track.l[i] *= peak / top;
    track.r[i] *= peak / top;
  }
}

// ---- Writing ------------------------------------------------------------------------------------

uint32_t OggCrc(const unsigned char* data, size_t length) {
  uint32_t crc = 0;
  for (size_t i = 0; i < length; ++i) {
    crc ^= static_cast<uint32_t>(data[i]) << 24;
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
  }
  return crc;
}

// Gives every page of an Ogg file one fixed stream serial and its checksum again.
bool FixOggSerial(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "r+b");
  if (!file) return false;
  std::vector<unsigned char> bytes;
  for (int c; (c = std::fgetc(file)) != EOF;) bytes.push_back(static_cast<unsigned char>(c));
  for (size_t at = 0; at + 27 <= bytes.size();) {
    unsigned char* page = &bytes[at];
    if (std::string(reinterpret_cast<char*>(page), 4) != "OggS" || at + 27 + page[26] > bytes.size()) break;
    size_t length = 27 + page[26];
    for (int s = 0; s < page[26]; ++s) length += page[27 + s];
    if (at + length > bytes.size()) break;
    const uint32_t serial = 0x48446D53;
    for (int b = 0; b < 4; ++b) page[14 + b] = static_cast<unsigned char>(serial >> (8 * b));
    std::fill(page + 22, page + 26, 0);
    const uint32_t crc = OggCrc(page, length);
    for (int b = 0; b < 4; ++b) page[22 + b] = static_cast<unsigned char>(crc >> (8 * b));
    at += length;
  }
  std::rewind(file);
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && ok;
}

bool Write(const std::string& path, const Track& track, bool mono) {
  const bool ogg = path.size() > 4 && path.compare(path.size() - 4, 4, ".ogg") == 0;
  SF_INFO info{};
  info.samplerate = kRate;
  info.channels = mono ? 1 : 2;
  info.format = ogg ? (SF_FORMAT_OGG | SF_FORMAT_VORBIS) : (SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III);
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) {
    std::fprintf(stderr, "make_sounds: cannot write %s: %s\n", path.c_str(), sf_strerror(nullptr));
    return false;
  }
  std::vector<float> frames;
  for (size_t i = 0; i < track.Frames(); ++i) {
    if (mono) {
      frames.push_back(0.5f * (track.l[i] + track.r[i]));
    } else {
      frames.push_back(track.l[i]);
      frames.push_back(track.r[i]);
    }
  }
  const sf_count_t written = sf_writef_float(file, frames.data(), static_cast<sf_count_t>(track.Frames()));
  sf_close(file);
  return written == static_cast<sf_count_t>(track.Frames()) && (!ogg || FixOggSerial(path));
}

// ---- The areas' music ---------------------------------------------------------------------------

struct Area {
  int number;
  double bpm;
  int tonic;  // MIDI note of the key's root
  bool minor;
  std::array<int, 4> chords;  // scale degrees of the chord roots, two bars each
  uint32_t seed;

  double Beat() const { return 60.0 / bpm; }
  // The MIDI note of a scale degree (0 the tonic; 7 an octave up; negative below).
  int Note(int degree) const {
    static const int kMajor[] = {0, 2, 4, 5, 7, 9, 11}, kMinor[] = {0, 2, 3, 5, 7, 8, 10};
    const int octave = degree >= 0 ? degree / 7 : -((-degree + 6) / 7);
    return tonic + 12 * octave + (minor ? kMinor : kMajor)[degree - 7 * octave];
  }
};

const Area kAreas[] = {
    {1, 72.0, 62, false, {0, 5, 3, 4}, 0x1D0D0D01u},  // D major: I vi IV V
    {2, 66.0, 57, true, {0, 5, 2, 6}, 0x1D0D0D02u},   // A minor: i VI III VII
};

constexpr int kBars = 8;  // a loop: the progression twice over, two bars a chord

int ChordOf(const Area& area, int bar) { return area.chords[static_cast<size_t>((bar / 2) % 4)]; }

void PadLayer(Track& t, const Area& a, int bars, bool wrap) {
  const double chord = 8 * a.Beat();
  for (int bar = 0; bar < bars; bar += 2)
    for (int tone = 0; tone < 3; ++tone)
      Pad(t, bar * 4 * a.Beat(), Frequency(a.Note(ChordOf(a, bar) + 2 * tone - 7)), chord, 0.5f * (tone - 1), wrap);
}

void MelodyLayer(Track& t, const Area& a, int bars, bool wrap, int octave) {
  static const int kRhythms[][4] = {{0, 3, 4, 6}, {0, 2, 5, 6}};  // eighth notes of a bar that play
  Random random{a.seed};
  int degree = 9;
  for (int bar = 0; bar < bars; ++bar)
    for (int eighth : kRhythms[bar % 2]) {
      // A gentle walk over the scale that leans on the chord's tones.
      degree = std::clamp(degree + random.Below(5) - 2, 6, 13);
      const int root = ChordOf(a, bar);
      if (eighth == 0) degree = root + 7 + 2 * random.Below(3);
      Pluck(t, (bar * 8 + eighth) * 0.5 * a.Beat(), Frequency(a.Note(degree) + 12 * octave), 0.5f, 0.3f * random.Next(),
            wrap);
    }
}

void PulseLayer(Track& t, const Area& a, int bars, bool wrap) {
  for (int beat = 0; beat < bars * 4; ++beat)
    Pulse(t, beat * a.Beat(), Frequency(a.Note(ChordOf(a, beat / 4) - 14)), beat % 4 == 0 ? 1.0f : 0.6f, wrap);
}

void ShimmerLayer(Track& t, const Area& a, int bars, bool wrap) {
  for (int half = 0; half < bars * 2; ++half) {
    const int tone = (half % 3) * 2;
    Shimmer(t, half * 2 * a.Beat(), Frequency(a.Note(ChordOf(a, half / 2) + tone + 14)), 3 * a.Beat(),
            half % 2 ? 0.6f : -0.6f, wrap);
  }
}

Track Layer(const Area& area, int layer) {
  Track t(static_cast<size_t>(kBars * 4 * area.Beat() * kRate));
  static const float kWet[] = {0.3f, 0.35f, 0.15f, 0.5f};
  static const float kPeak[] = {0.19f, 0.2f, 0.17f, 0.11f};  // together under -1 dBFS, 6 dB under effects
  switch (layer) {
    case 1:
      PadLayer(t, area, kBars, true);
      break;
    case 2:
      MelodyLayer(t, area, kBars, true, 0);
      break;
    case 3:
      PulseLayer(t, area, kBars, true);
      break;
    default:
      ShimmerLayer(t, area, kBars, true);
      break;
  }
  Reverb(t, kWet[layer - 1], 2);
  Normalise(t, kPeak[layer - 1]);
  return t;
}

// The area's theme in full: all layers through the progression twice, the melody doubled an
// octave up the second time, then the tonic held and faded.
Track Ending(const Area& area) {
  const int bars = 2 * kBars + 4;
  Track t(static_cast<size_t>((bars * 4 * area.Beat() + 4.0) * kRate));
  PadLayer(t, area, bars, false);
  MelodyLayer(t, area, 2 * kBars, false, 0);
  Track high(t.Frames());
  MelodyLayer(high, area, kBars, false, 1);
  const size_t second = static_cast<size_t>(kBars * 4 * area.Beat() * kRate);
  for (size_t i = 0; i + second < t.Frames(); ++i) {
    t.l[i + second] += 0.5f * high.l[i];
    t.r[i + second] += 0.5f * high.r[i];
  }
  PulseLayer(t, area, 2 * kBars, false);
  ShimmerLayer(t, area, bars, false);
  Pluck(t, 2 * kBars * 4 * area.Beat(), Frequency(area.Note(7)), 0.6f, 0.0f, false);
  Reverb(t, 0.35f, 1);
  const size_t fadeFrom = second * 2;
  for (size_t i = fadeFrom; i < t.Frames(); ++i) {
    const float g = static_cast<float>(t.Frames() - i) / static_cast<float>(t.Frames() - fadeFrom);
    t.l[i] *= g;
    t.r[i] *= g;
  }
  Normalise(t, 0.45f);
  return t;
}

// ---- Effects of the game ------------------------------------------------------------------------

Track Chime(const Area& area, int combo) {
  Track t(static_cast<size_t>(0.4 * kRate));
  Bell(t, Frequency(area.Note(combo + 7)));
  Normalise(t, 0.7f);
  return t;
}

Track Jump() {
  Track t(static_cast<size_t>(0.25 * kRate));
  AddNote(t, 0.0, 0.25, 1.0f, 0.0f, false, [](double s) {
    const double f = 260.0 + 340.0 * std::min(1.0, s / 0.12);  // a rising hop
    return static_cast<float>(std::sin(2 * kPi * f * s) * std::min(1.0, s / 0.006) * std::exp(-s * 14.0));
  });
  Normalise(t, 0.6f);
  return t;
}

// Rustling grains of bright noise and slow creaks of a resonant low buzz.
Track VineGrowth() {
  const size_t frames = 4 * kRate, fade = kRate / 4;
  Random random{0xC0FFEEu};
  std::vector<double> grains, creaks;
  for (double s = 0.0; s < 4.25; s += 0.05 + 0.1 * (random.Next() + 1.0)) grains.push_back(s);
  for (double s = 0.2; s < 4.25; s += 0.6 + 0.4 * (random.Next() + 1.0)) creaks.push_back(s);
  auto burst = [](const std::vector<double>& at, double width) {
    return [&at, width](double t) {
      float level = 0.0f;
      for (double s : at)
        if (t >= s && t < s + width) level += static_cast<float>(std::sin(kPi * (t - s) / width));
      return level;
    };
  };
  const std::vector<float> rustle = FilteredNoise(
      frames + fade, 11, 0.6f, [](double t) { return 2200.0 + 800.0 * std::sin(t * 3.1); }, burst(grains, 0.08));
  const std::vector<float> creak = FilteredNoise(
      frames + fade, 12, 0.05f, [](double t) { return 520.0 + 90.0 * std::sin(t * 9.0); }, burst(creaks, 0.3));
  std::vector<float> mix(frames + fade);
  for (size_t i = 0; i < mix.size(); ++i) mix[i] = rustle[i] + 0.5f * creak[i];
  Track t(frames);
  t.l = t.r = Seamless(mix, frames, fade);
  Normalise(t, 0.35f);
  return t;
}

// Wind: noise through a slowly swaying band, swelling twice a loop, the sides out of phase.
Track Swerve(const Area& area) {
  const size_t frames = 6 * kRate, fade = kRate / 2;
  Track t(frames);
  for (int side = 0; side < 2; ++side) {
    const double phase = side * 0.9 + area.number;
    const std::vector<float> wind = FilteredNoise(
        frames + fade, area.seed + static_cast<uint32_t>(side), 0.35f,
        [phase, &area](double s) { return 350.0 * area.number + 600.0 * (1.0 + std::sin(2 * kPi * s / 3.0 + phase)); },
        [phase](double s) { return static_cast<float>(0.4 + 0.6 * std::pow(std::sin(kPi * s / 3.0 + phase), 2.0)); });
    (side ? t.r : t.l) = Seamless(wind, frames, fade);
  }
  Normalise(t, 0.4f);
  return t;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_sounds <folder>\n");
    return 2;
  }
  const std::string folder = std::string(argv[1]) + "/";
  bool ok = true;
  for (const Area& area : kAreas) {
    const std::string n = std::to_string(area.number);
    for (int layer = 1; layer <= 4; ++layer)
      ok &= Write(folder + "music_" + n + "_" + std::to_string(layer) + ".mp3", Layer(area, layer), false);
    ok &= Write(folder + "music_end_" + n + ".mp3", Ending(area), false);
    ok &= Write(folder + "spiralswerve_" + n + ".mp3", Swerve(area), false);
    for (int combo = 0; combo <= 9; ++combo)
      ok &= Write(folder + "firefly_collect_" + n + "_" + std::to_string(combo) + ".ogg", Chime(area, combo), true);
  }
  ok &= Write(folder + "vine_growth.mp3", VineGrowth(), false);
  ok &= Write(folder + "dodod_jump.mp3", Jump(), true);
  return ok ? 0 : 1;
}
