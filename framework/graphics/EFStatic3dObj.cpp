#include "framework/graphics/EFStatic3dObj.h"

#include "datatypes/registry/DTDynamicInstanciator.h"
#include "framework/core/engine/EFCallTrace.h"
#include "graphics3d/world/RpWorld.h"

DT_IMPLEMENT_DYNAMIC_CLASS( EFStatic3dObj, "STATIC_3D_OBJECT_INST", EF_STATIC_3D_OBJ_CLASS_ID, IT_OBJECT );

EFStatic3dObj::EFStatic3dObj() : mpWorld( nullptr ) {
}

EFStatic3dObj::~EFStatic3dObj() {
	RpWorldDestroy( mpWorld );
	mpWorld = nullptr;
}

s32 EFStatic3dObj::GetClassID() const {
	return EF_STATIC_3D_OBJ_CLASS_ID;
}

const char * EFStatic3dObj::GetClassName() const {
	return "STATIC_3D_OBJECT_INST";
}

void EFStatic3dObj::Terminate() {
	EFCallTraceAdd( "EFStatic3dObj::Terminate" );
	RpWorldDestroy( mpWorld );
	mpWorld = nullptr;
}
