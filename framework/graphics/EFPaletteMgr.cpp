#include "framework/graphics/EFPaletteMgr.h"

EFPaletteMgr goPaletteMgr;
