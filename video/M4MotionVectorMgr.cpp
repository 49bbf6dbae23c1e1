#include "video/M4MotionVectorMgr.h"

const M4_VECTOR M4MotionVectorMgr::MV_ZERO = { 0, 0 };
