#include "framework/graphics/EFFBEffectRW.h"

RwRaster*	EFFBEffect_SP::mpoRaster = nullptr;
RwCamera*	EFFBEffect_SP::mpoCamera = nullptr;
RwTexture*	EFFBEffect_SP::mpoTexture = nullptr;
u32			EFFBEffect_SP::mui32RequestedWidth = 0;
u32			EFFBEffect_SP::mui32RequestedHeight = 0;
u32			EFFBEffect_SP::mui32RequestedDepth = 0;
u32			EFFBEffect_SP::mui32RequestedFlags = 0;
