// StepSequence: how a character's picture sequence moves through its frames as time goes by.
#pragma once

#include "songgame/stage/StageResources.h"

#include <cstdint>

// A frame state: the frame in the low 8 bits, and these flags.
inline constexpr std::int32_t SequenceBackwards = 0x100;
inline constexpr std::int32_t SequenceFinished = 0x200;
inline constexpr std::int32_t SequenceFrameMask = 0xFF;

// Steps the sequence while the time has reached the shown frame's duration (a duration of 0 first
// takes 1 off the time), taking each duration off; `loop` lets plain and round sequences start
// again. True when the frame changed.
bool StepSequence(const PictureEntry& entry, std::int32_t& state, std::int32_t& time, bool loop);
