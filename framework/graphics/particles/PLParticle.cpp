#include "framework/graphics/particles/PLParticle.h"

u16 PLParticle::mui16GlobalCount = 0;
