#include "tools/ruvane-render/demo_phrase.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ruvane::render {

namespace {

constexpr double kLowestNote = 100.0;     // Hz; sizes the string buffers
constexpr double kStringDecay = 1.2;      // seconds to fall 60 dB
constexpr double kKickSeconds = 1.0;
constexpr double kSnareSeconds = 0.6;
constexpr double kEndFadeSeconds = 0.03;  // the phrase ends without a click
constexpr float kMasterLevel = 0.5f;
constexpr float kPluckGain = 1.8f;  // the softened noise burst is quiet; the strings lead

// Constant-power pan.
void panGains(double pan, float& left, float& right) {
    const double angle = (pan + 1.0) * std::numbers::pi / 4.0;
    left = static_cast<float>(std::cos(angle));
    right = static_cast<float>(std::sin(angle));
}

}  // namespace

const std::array<DemoPhrase::Event, 16>& DemoPhrase::score() {
    // A minor over two bars; beats 3 and 7 are left open for the echoes.
    static const std::array<Event, 16> events{{
        {0.0, Sound::Kick, 0.0, 0.0, 0.5},
        {0.0, Sound::Pluck, 220.00, -0.4, 0.7},   // A3
        {0.5, Sound::Pluck, 261.63, 0.4, 0.6},    // C4
        {1.0, Sound::Pluck, 329.63, -0.4, 0.6},   // E4
        {1.5, Sound::Pluck, 440.00, 0.4, 0.6},    // A4
        {2.0, Sound::Snare, 0.0, 0.1, 0.4},
        {2.5, Sound::Pluck, 392.00, 0.0, 0.6},    // G4
        {3.5, Sound::Pluck, 329.63, 0.6, 0.4},    // E4
        {4.0, Sound::Kick, 0.0, 0.0, 0.5},
        {4.0, Sound::Pluck, 174.61, -0.4, 0.7},   // F3
        {4.5, Sound::Pluck, 220.00, 0.4, 0.6},    // A3
        {5.0, Sound::Pluck, 261.63, -0.4, 0.6},   // C4
        {5.75, Sound::Pluck, 329.63, 0.4, 0.6},   // E4
        {6.0, Sound::Snare, 0.0, 0.1, 0.4},
        {6.5, Sound::Pluck, 440.00, 0.0, 0.6},    // A4
        {6.75, Sound::Pluck, 523.25, 0.3, 0.5},   // C5
    }};
    return events;
}

DemoPhrase::DemoPhrase(double sampleRate, double tempo)
    : sampleRate_(sampleRate), tempo_(tempo), length_(frameOf(kBeats)) {
    const size_t longest = static_cast<size_t>(std::ceil(sampleRate / kLowestNote)) + 2;
    for (PluckVoice& voice : plucks_) voice.line.assign(longest, 0.0f);
}

int64_t DemoPhrase::frameOf(double beat) const {
    return static_cast<int64_t>(std::llround(beat * 60.0 / tempo_ * sampleRate_));
}

std::vector<int64_t> DemoPhrase::onsetFrames() const {
    std::vector<int64_t> onsets;
    for (const Event& event : score()) onsets.push_back(frameOf(event.beat));
    return onsets;
}

float DemoPhrase::noise() {
    // xorshift32: cheap, and the same every run.
    noiseState_ ^= noiseState_ << 13;
    noiseState_ ^= noiseState_ >> 17;
    noiseState_ ^= noiseState_ << 5;
    return static_cast<float>(noiseState_) / 2147483648.0f - 1.0f;
}

void DemoPhrase::start(const Event& event) {
    if (event.sound == Sound::Kick || event.sound == Sound::Snare) {
        DrumVoice& drum = event.sound == Sound::Kick ? kick_ : snare_;
        drum = DrumVoice{};
        drum.active = true;
        panGains(event.pan, drum.gainLeft, drum.gainRight);
        drum.gainLeft *= static_cast<float>(event.level);
        drum.gainRight *= static_cast<float>(event.level);
        return;
    }

    PluckVoice& voice = plucks_[nextPluck_];
    nextPluck_ = (nextPluck_ + 1) % plucks_.size();
    // Loop delay = length + 0.5 (averaging) + d (all-pass), with d kept in 0.1..1.1.
    const double period = sampleRate_ / event.frequency;
    voice.length = std::min(voice.line.size(), static_cast<size_t>(std::floor(period - 0.6)));
    const double fraction = period - 0.5 - static_cast<double>(voice.length);
    voice.allpassCoefficient = static_cast<float>((1.0 - fraction) / (1.0 + fraction));
    voice.allpassInput = voice.allpassOutput = 0.0f;
    voice.loss = static_cast<float>(std::pow(0.001, 1.0 / (event.frequency * kStringDecay)));
    voice.position = 0;
    panGains(event.pan, voice.gainLeft, voice.gainRight);

    // The pluck: a burst of softened noise with its average removed (no thump).
    float smoothed = 0.0f;
    double sum = 0.0;
    for (size_t i = 0; i < voice.length; ++i) {
        smoothed = 0.5f * smoothed + 0.5f * noise();
        voice.line[i] = smoothed;
        sum += smoothed;
    }
    const float mean = static_cast<float>(sum / static_cast<double>(voice.length));
    for (size_t i = 0; i < voice.length; ++i)
        voice.line[i] = (voice.line[i] - mean) * static_cast<float>(event.level) * kPluckGain;
}

void DemoPhrase::stereoSample(float& left, float& right) {
    left = right = 0.0f;
    for (PluckVoice& voice : plucks_) {
        if (voice.length == 0) continue;
        const size_t next = voice.position + 1 == voice.length ? 0 : voice.position + 1;
        const float out = voice.line[voice.position];
        const float averaged = 0.5f * (out + voice.line[next]) * voice.loss;
        const float c = voice.allpassCoefficient;
        const float shifted = c * averaged + voice.allpassInput - c * voice.allpassOutput;
        voice.allpassInput = averaged;
        voice.allpassOutput = shifted;
        voice.line[voice.position] = shifted;
        voice.position = next;
        left += out * voice.gainLeft;
        right += out * voice.gainRight;
    }

    const double twoPi = 2.0 * std::numbers::pi;
    if (kick_.active) {
        const double t = static_cast<double>(kick_.age) / sampleRate_;
        // A falling sine with a short click on top.
        const double frequency = 48.0 + 120.0 * std::exp(-t / 0.035);
        kick_.phase = std::fmod(kick_.phase + twoPi * frequency / sampleRate_, twoPi);
        const float body = static_cast<float>(std::sin(kick_.phase) * std::exp(-t / 0.22));
        const float click = 0.3f * noise() * static_cast<float>(std::exp(-t / 0.002));
        left += (body + click) * kick_.gainLeft;
        right += (body + click) * kick_.gainRight;
        kick_.active = ++kick_.age < static_cast<int64_t>(kKickSeconds * sampleRate_);
    }
    if (snare_.active) {
        const double t = static_cast<double>(snare_.age) / sampleRate_;
        // Bright noise (first difference) over a short 185 Hz body.
        const float white = noise();
        const float bright = 0.5f * (white - snare_.noiseState);
        snare_.noiseState = white;
        const float rattle = bright * static_cast<float>(std::exp(-t / 0.11));
        const float body = 0.5f * static_cast<float>(std::sin(twoPi * 185.0 * t) * std::exp(-t / 0.05));
        left += (rattle + body) * snare_.gainLeft;
        right += (rattle + body) * snare_.gainRight;
        snare_.active = ++snare_.age < static_cast<int64_t>(kSnareSeconds * sampleRate_);
    }
    left *= kMasterLevel;
    right *= kMasterLevel;
}

size_t DemoPhrase::read(float* left, float* right, size_t frames) {
    const auto& events = score();
    const int64_t fadeFrames = std::max<int64_t>(1, static_cast<int64_t>(kEndFadeSeconds * sampleRate_));
    size_t count = 0;
    for (; count < frames && position_ < length_; ++count, ++position_) {
        while (nextEvent_ < events.size() && frameOf(events[nextEvent_].beat) <= position_)
            start(events[nextEvent_++]);
        stereoSample(left[count], right[count]);
        const int64_t remaining = length_ - position_;
        if (remaining < fadeFrames) {
            const float fade = static_cast<float>(remaining) / static_cast<float>(fadeFrames);
            left[count] *= fade;
            right[count] *= fade;
        }
    }
    return count;
}

}  // namespace ruvane::render
