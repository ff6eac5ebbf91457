// GetDXVersion: which display generation the machine offers, asked before the display is opened.
#pragma once

#include "platform/video/VideoBackEnd.h"

// The version code (high byte major, low byte minor). On this system the display is the video
// service: 0x700 when its back end starts (the process's chosen one, or the one given), 0 when
// it cannot. Callers require 0x700 or more.
unsigned long GetDXVersion();
unsigned long GetDXVersion(video::BackEnd& backEnd);
