#include "tools/assetgen/SoundEffects.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "tools/assetgen/Noise.h"

namespace assetgen {

namespace {

constexpr int kRate = 22050;
constexpr float kTwoPi = 6.28318530718f;
constexpr float kPeak = 0.70795f;  // -3 dBFS

int samplesFor(float seconds) {
    return static_cast<int>(seconds * kRate);
}

float timeOf(int i) {
    return static_cast<float>(i) / kRate;
}

// Attack ramp, then exponential decay with time constant tau.
float envelope(float t, float attack, float tau) {
    if (t < attack) {
        float a = t / attack;
        return a * a;
    }
    return std::exp(-(t - attack) / tau);
}

// Frequency that glides exponentially from f0 to f1 over duration.
float glide(float t, float f0, float f1, float duration) {
    return f0 * std::pow(f1 / f0, std::min(t / duration, 1.0f));
}

// State-variable filter, one sample at a time.
class Filter {
  public:
    // Returns the band-pass output; low() holds the low-pass output of the same step.
    float step(float input, float cutoff, float resonance) {
        // Kept inside the range where this filter is stable for the given damping.
        float f = std::min({2.0f * std::sin(3.14159265f * std::min(cutoff, kRate * 0.2f) / kRate),
                            1.0f, 0.9f * (2.0f - resonance)});
        lowOut += f * bandOut;
        float high = input - lowOut - resonance * bandOut;
        bandOut += f * high;
        return bandOut;
    }
    float low() const { return lowOut; }

  private:
    float lowOut = 0.0f;
    float bandOut = 0.0f;
};

// Scales to the peak level, fades the last few milliseconds to zero, and converts to 16 bits.
Sound finish(std::vector<float> wave) {
    float peak = 0.0f;
    for (float s : wave) {
        peak = std::max(peak, std::fabs(s));
    }
    float gain = peak > 0.0f ? kPeak / peak : 0.0f;
    size_t fade = std::min<size_t>(wave.size(), static_cast<size_t>(kRate / 100));
    Sound sound;
    sound.sampleRate = kRate;
    sound.samples.resize(wave.size());
    for (size_t i = 0; i < wave.size(); ++i) {
        float s = wave[i] * gain;
        size_t fromEnd = wave.size() - 1 - i;
        if (fromEnd < fade) {
            s *= 0.5f - 0.5f * std::cos(3.14159265f * static_cast<float>(fromEnd) / fade);
        }
        sound.samples[i] = static_cast<int16_t>(std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f));
    }
    return sound;
}

std::vector<float> render(float seconds, const std::function<float(float t)>& sample) {
    std::vector<float> wave(static_cast<size_t>(samplesFor(seconds)));
    for (size_t i = 0; i < wave.size(); ++i) {
        wave[i] = sample(timeOf(static_cast<int>(i)));
    }
    return wave;
}

}  // namespace

Sound alienShotSound() {
    float phaseA = 0.0f;
    float phaseB = 0.0f;
    Filter tone;
    return finish(render(0.26f, [&](float t) {
        float f = glide(t, 1150.0f, 240.0f, 0.26f) * (1.0f + 0.05f * std::sin(kTwoPi * 28.0f * t));
        phaseA += kTwoPi * f / kRate;
        phaseB += kTwoPi * f * 1.503f / kRate;
        float raw = std::tanh(2.5f * std::sin(phaseA)) + 0.35f * std::sin(phaseB);
        tone.step(raw, 2600.0f, 1.0f);
        return tone.low() * envelope(t, 0.004f, 0.085f);
    }));
}

Sound bulletSound() {
    float phase = 0.0f;
    Noise noise(11);
    Filter hiss;
    return finish(render(0.055f, [&](float t) {
        phase += kTwoPi * glide(t, 2100.0f, 1250.0f, 0.055f) / kRate;
        float pip = std::sin(phase) * envelope(t, 0.0015f, 0.016f);
        float air =
            hiss.step(noise.range(-1.0f, 1.0f), 3200.0f, 0.8f) * envelope(t, 0.001f, 0.006f);
        return pip + 0.6f * air;
    }));
}

Sound laserSound() {
    float carrier = 0.0f;
    float modulator = 0.0f;
    Filter soften;
    return finish(render(0.3f, [&](float t) {
        float f = glide(t, 1900.0f, 330.0f, 0.22f);
        carrier += kTwoPi * f / kRate;
        modulator += kTwoPi * f * 2.005f / kRate;
        float index = 0.6f + 2.6f * std::exp(-t / 0.05f);
        float raw = std::sin(carrier + index * std::sin(modulator));
        soften.step(raw, 5000.0f, 0.8f);
        return soften.low() * envelope(t, 0.002f, 0.09f);
    }));
}

Sound rocketSound() {
    float thumpPhase = 0.0f;
    Noise noise(23);
    Filter whoosh;
    Filter body;
    return finish(render(0.72f, [&](float t) {
        thumpPhase += kTwoPi * glide(t, 95.0f, 45.0f, 0.16f) / kRate;
        float thump = std::sin(thumpPhase) * envelope(t, 0.003f, 0.06f);
        float n = noise.range(-1.0f, 1.0f);
        float sweep = 350.0f + 2600.0f * std::sin(3.14159265f * std::min(t / 0.72f, 1.0f) * 0.8f);
        float air = whoosh.step(n, sweep, 0.5f);
        body.step(n, 600.0f, 1.0f);
        float swell = std::min(t / 0.08f, 1.0f) * std::exp(-t / 0.3f);
        return 0.9f * thump + (0.9f * air + 0.5f * body.low()) * swell;
    }));
}

Sound blastSound() {
    float boomPhase = 0.0f;
    Noise noise(37);
    Filter rumble;
    Filter crack;
    float brown = 0.0f;
    return finish(render(1.5f, [&](float t) {
        boomPhase += kTwoPi * glide(t, 72.0f, 30.0f, 0.8f) / kRate;
        float boom = std::sin(boomPhase) * envelope(t, 0.004f, 0.35f);
        float n = noise.range(-1.0f, 1.0f);
        brown = 0.985f * brown + 0.06f * n;
        rumble.step(brown + 0.3f * n, glide(t, 2200.0f, 160.0f, 1.2f), 1.1f);
        float body = rumble.low() * envelope(t, 0.003f, 0.42f);
        float snap = crack.step(n, 3500.0f, 0.7f) * envelope(t, 0.001f, 0.025f);
        return boom + 1.6f * body + 0.5f * snap;
    }));
}

Sound explosionSound() {
    float thumpPhase = 0.0f;
    Noise noise(51);
    Noise sparks(52);
    Filter roar;
    float crackle = 0.0f;
    return finish(render(0.85f, [&](float t) {
        thumpPhase += kTwoPi * glide(t, 120.0f, 42.0f, 0.3f) / kRate;
        float thump = std::sin(thumpPhase) * envelope(t, 0.003f, 0.12f);
        float n = noise.range(-1.0f, 1.0f);
        roar.step(n, glide(t, 4200.0f, 280.0f, 0.7f), 1.0f);
        float body = roar.low() * envelope(t, 0.002f, 0.2f);
        if (sparks.unit() < 0.012f * std::exp(-t / 0.3f)) {
            crackle = sparks.range(-1.0f, 1.0f);
        }
        crackle *= 0.9f;
        return 0.8f * thump + 1.4f * body + 0.5f * crackle;
    }));
}

Sound pickupSound() {
    // C6, E6, G6, C7, one every 55 ms, each a small bell with a quicker overtone.
    const float notes[4] = {1046.5f, 1318.5f, 1568.0f, 2093.0f};
    return finish(render(0.62f, [&](float t) {
        float sum = 0.0f;
        for (int k = 0; k < 4; ++k) {
            float start = 0.055f * static_cast<float>(k);
            if (t < start) {
                continue;
            }
            float local = t - start;
            float f = notes[k];
            float tone =
                std::sin(kTwoPi * f * local) * envelope(local, 0.002f, 0.16f) +
                0.35f * std::sin(kTwoPi * f * 2.0f * local) * envelope(local, 0.002f, 0.07f) +
                0.12f * std::sin(kTwoPi * f * 3.01f * local) * envelope(local, 0.002f, 0.04f);
            sum += tone * (0.8f + 0.07f * static_cast<float>(k));
        }
        return sum;
    }));
}

}  // namespace assetgen
