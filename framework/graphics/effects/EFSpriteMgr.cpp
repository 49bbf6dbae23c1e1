#include "framework/graphics/effects/EFSpriteMgr.h"

EFSpriteMgr goSpriteMgr;
