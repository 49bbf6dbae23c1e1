#include "framework/graphics/effects/EFMotionTrailMgr.h"

EFMotionTrailMgr goMotionTrailMgr;
