#include "framework/graphics/EFLightMgr.h"

EFLightMgr* gpoEFLightMgr = nullptr;
