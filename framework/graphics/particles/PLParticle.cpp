#include "framework/graphics/particles/PLParticle.h"

#include "datatypes/maths/DTMatrix.h"

u16 PLParticle::mui16GlobalCount = 0;

void PLParticle::DestroyMatrix() {
	if ( mpoMatrix != nullptr ) {
		mpoMatrix->Destroy();
		mpoMatrix = nullptr;
	}
}
