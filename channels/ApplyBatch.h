#pragma once
// Apply of the batch channel editor: fills channels 1-16 (a range of them) with
// frequencies that advance by a step, tones that walk the tone option table or are
// drawn at random, and the scan, power and lockout options.
#include "channels/BatchFields.h"
#include "channels/ChannelNameStore.h"
#include "core/Band.h"
#include "core/MemoryImage.h"

#include <QStringList>
#include <cstdint>
#include <random>

namespace kestrel {

// The random tone picks: one sequence from a fixed seed, never reseeded, so every
// run of the program draws the same positions in the same order.
class ToneRandom {
public:
    static constexpr std::uint32_t FixedSeed = 20261208u;

    explicit ToneRandom(std::uint32_t seed = FixedSeed) : m_generator(seed) {}

    // A position 0-260 of the tone option table, evenly distributed: a uniform
    // number in [0, 1) times 261, rounded down.
    int next();

private:
    std::mt19937 m_generator;
};

// The channel name step 11 builds for channel number n: with named by channel the
// first two characters of the name field and n in three digits ("CH005"), otherwise
// the name field as it is.
QString BatchChannelName(const BatchValues& values, int channelNumber);

// Writes the batch into the records of channels first-last (numbers 1-16), their
// channel-valid bits and scan bits. Nothing is written when last is below first.
// A channel that was empty first gets the new-channel option bytes, so that it does
// not come out with transmit inhibit and the other 0xFF bits on. Names go to `names`.
void ApplyBatch(MemoryImage& image, const BandLimits& band, const QStringList& toneTable,
                const BatchValues& values, ToneRandom& random, ChannelNameStore& names);

} // namespace kestrel
