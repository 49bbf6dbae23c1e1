#include "framework/graphics/EF3dObjRes.h"

#include "datatypes/descriptor/DTEmitterContainerDescriptor.h"
#include "datatypes/registry/DTDynamicInstanciator.h"
#include "graphics3d/world/RpClump.h"

#include <new>

DT_IMPLEMENT_DYNAMIC_CLASS( EF3dObjRes, "EF_3DOBJ_RES", EF_3D_OBJ_RES_CLASS_ID, IT_OBJECT );

EF3dObjRes::EF3dObjRes() {
}

EF3dObjRes::~EF3dObjRes() {
}

s32 EF3dObjRes::GetClassID() const {
	return EF_3D_OBJ_RES_CLASS_ID;
}

const char * EF3dObjRes::GetClassName() const {
	return "EF_3DOBJ_RES";
}

EFRessource * EF3dObjRes::Copy() {
	EF3dObjRes * const copy = new ( std::nothrow ) EF3dObjRes;
	if ( copy == nullptr ) {
		return nullptr;
	}
	copy->muiVersion = muiVersion;
	if ( mpClump != nullptr ) {
		copy->mpClump = RpClumpClone( mpClump );
		if ( copy->mpClump == nullptr ) {
			delete copy;
			return nullptr;
		}
	}
	if ( mpResEmitters != nullptr ) {
		copy->mpResEmitters = new ( std::nothrow ) DTEmitterContainerDescriptor;
		if ( copy->mpResEmitters == nullptr ) {
			delete copy;
			return nullptr;
		}
		*copy->mpResEmitters = *mpResEmitters;
	}
	return copy;
}
