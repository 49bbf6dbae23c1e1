#include "framework/graphics/effects/EFFBEffectMgr.h"

EFFBEffectMgr goFBEffectMgr;
