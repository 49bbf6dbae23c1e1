#include "framework/graphics/EF3dObj.h"

#include "datatypes/registry/DTDynamicInstanciator.h"
#include "framework/core/engine/EFCallTrace.h"
#include "framework/core/level/EFRessource.h"

#include <new>

DT_IMPLEMENT_DYNAMIC_CLASS( EF3dObj, "3D_OBJECT_INST", EF_3D_OBJ_CLASS_ID, IT_OBJECT );

EF3dObj::EF3dObj()
	: mp3dObjRes( nullptr ), mui3dObjState( EF_3D_OBJ_VISIBLE ), mpClump( nullptr ), mpHierarchy( nullptr ),
	  muiTransparentPriority( EF_3D_OBJ_DEFAULT_PRIORITY ) {
}

EF3dObj::~EF3dObj() {
	if ( mp3dObjRes != nullptr && mp3dObjRes->Release() != 0 ) {
		delete mp3dObjRes;
	}
	mp3dObjRes = nullptr;
}

s32 EF3dObj::GetClassID() const {
	return EF_3D_OBJ_CLASS_ID;
}

const char * EF3dObj::GetClassName() const {
	return "3D_OBJECT_INST";
}

void EF3dObj::SetRessource( EFRessource * ressource ) {
	mp3dObjRes = ressource;
}

EFInstance * EF3dObj::ShallowCopy() {
	EF3dObj * const copy = new ( std::nothrow ) EF3dObj;
	if ( copy == nullptr ) {
		return nullptr;
	}
	if ( mp3dObjRes != nullptr ) {
		EFRessource * const shared = mp3dObjRes->Copy();
		if ( shared != nullptr ) {
			shared->muiRefCount++;
		}
		copy->SetRessource( shared );
	}
	copy->muiUID = muiUID;
	return copy;
}

void EF3dObj::LightObject( u32 ) {
	EFCallTraceAdd( "EF3dObj::LightObject" );
}

void EF3dObj::Render( u16 ) {
	EFCallTraceAdd( "EF3dObj::Render" );
}

void EF3dObj::CreateCollisionPrimitives( EFPhysic & ) {
	EFCallTraceAdd( "EF3dObj::CreateCollisionPrimitives" );
}

void EF3dObj::UpdateHierarchy() {
	EFCallTraceAdd( "EF3dObj::UpdateHierarchy" );
}

DTSphere * EF3dObj::GetClippingBSphere() {
	return nullptr;
}

void EF3dObj::SetClippingBSphere( DTSphere & ) {
}
