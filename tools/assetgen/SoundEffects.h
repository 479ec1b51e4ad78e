#pragma once

#include <cstdint>
#include <vector>

namespace assetgen {

// A mono 16-bit PCM sound.
struct Sound {
    int sampleRate = 22050;
    std::vector<int16_t> samples;
};

// The game's seven sound effects, synthesised. Each starts and ends at zero (no click), has no
// silent lead-in or tail, and peaks at -3 dBFS.
Sound alienShotSound();  // ashot.wav: a falling, wobbling plasma "pew"
Sound bulletSound();     // bullet.wav: a soft, short pip; it may restart 16 times a second
Sound laserSound();      // laser.wav: a bright FM zap
Sound rocketSound();     // rocket.wav: a thump and a rising whoosh
Sound blastSound();      // r_explosion.wav: a deep boom with a long rumbling tail
Sound explosionSound();  // explosion.wav: a crackling burst, under a second
Sound pickupSound();     // upg.wav: a rising bell arpeggio

}  // namespace assetgen
