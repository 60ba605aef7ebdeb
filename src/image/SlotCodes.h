#pragma once
// How slot settings are encoded in the message table, and which values have
// no encoding (a hand-edited configuration file, or -1 from a list without a
// selection). Such values must be refused before the flash is touched.
#include <cstdint>
#include <string>

#include "job/JobState.h"
#include "job/UserPort.h"

namespace zorvek {

bool ToneEncodable(int32_t toneIndex);
bool BeaconEncodable(int32_t beaconIndex);
bool VolumeEncodable(int32_t volumeIndex);

// Tone code of a list entry: the entry, except 43, 45, 47 and 48 play no tone.
uint8_t ToneCode(int32_t toneIndex);
// 0x30 None, 0x00 Single, 0x10 Double, 0x20 Static.
uint8_t BeaconCode(int32_t beaconIndex);

// Text naming the first slot (as "Message N") whose tone, beacon or volume has
// no encoding, with the value; empty when every slot can be encoded.
std::string UnencodableSettingMessage(const JobState& job);
// The same, for the volumes alone.
std::string UnencodableVolumeMessage(const JobState& job);

// For programming: when a slot cannot be encoded, shows which one and
// "Siren has NOT been programmed." and returns false. Call it before the
// flash is touched.
bool CheckSlotSettings(const JobState& job, UserPort& port);

}  // namespace zorvek
