// The stage's change codes: which screen transition each code runs and which effect data it loads
// first.
#pragma once

// What a transition needs loaded before it starts.
enum class TTransitionData { None, Mask, Water, Halo };

struct TStageTransition {
    int kind;              // the screen transition's kind, or kNoTransition
    TTransitionData data;  // what to load first
    const char* maskFile;  // the wipe mask, for TTransitionData::Mask
};

inline constexpr int kNoTransition = 255;

// Code 0 runs no transition; codes below 0 or above 28 run the cross-fade of kind 0.
TStageTransition StageTransitionOf(int changeCode);
