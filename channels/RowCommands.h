#pragma once
// The grid's row commands over channels 1-128 (not within a group): insert, delete,
// move and sort. They move whole 16-byte records and leave the channel-valid and scan
// bitmaps as they are. Channels are given as channel indexes 0-127.
#include "core/Band.h"
#include "core/MemoryImage.h"

#include <QList>

namespace kestrel {

// How many channels in use (a receive frequency in the band) an insert of `count`
// channels at `first` would push past channel 128.
int ChannelsLostByInsert(const MemoryImage& image, const BandLimits& band, int first, int count);

// `count` empty channels at `first`; the later ones move down, the last ones drop off.
void InsertChannels(MemoryImage& image, int first, int count);

// Removes the channels; the later ones move up and the places freed at the end are empty.
void DeleteChannels(MemoryImage& image, const QList<int>& channels);

// Moves the channels one place up (`direction` -1) or down (+1), each past its
// neighbour. Nothing moves when one of them is already at the edge: false. `channels`
// then holds their new places.
bool MoveChannels(MemoryImage& image, QList<int>& channels, int direction);

// Puts the records of the channels in order of receive frequency, empty ones last, in
// the same places (a stable sort: equal frequencies keep their order).
void SortChannelsByRx(MemoryImage& image, const BandLimits& band, const QList<int>& channels);

// Sorted, without duplicates and channel indexes outside 0-127.
QList<int> ChannelSet(const QList<int>& channels);

} // namespace kestrel
