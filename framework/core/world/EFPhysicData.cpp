#include "framework/core/world/EFPhysicData.h"

#include "framework/physics/EFPhysic.h"
#include "framework/physics/EFPhysicMgr.h"

EFPhysicData::EFPhysicData() : mpoPhysic( nullptr ) {
}

EFPhysicData::~EFPhysicData() {
	if ( mpoPhysic == nullptr ) {
		return;
	}
	// The sweep that deletes the body must not reach back into this
	// instance once it is gone.
	mpoPhysic->moCollisionModel.mpoPhysicData = nullptr;
	if ( gpoPhysicMgr != nullptr ) {
		gpoPhysicMgr->DeletePhysic( mpoPhysic );
	}
	mpoPhysic = nullptr;
}

EFPhysic * EFPhysicData::CreatePhysic( const u32 list ) {
	if ( mpoPhysic == nullptr && gpoPhysicMgr != nullptr ) {
		mpoPhysic = gpoPhysicMgr->CreatePhysic( this, list );
	}
	return mpoPhysic;
}

void EFPhysicData::RequestPhysicDeletion() {
	if ( gpoPhysicMgr != nullptr ) {
		gpoPhysicMgr->DeletePhysic( mpoPhysic );
	}
}
