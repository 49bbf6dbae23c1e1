#include "framework/graphics/effects/EFProjectorMgr.h"

EFProjectorMgr goProjectorMgr;
