#include "framework/physics/EFCollisionModel.h"

#include "framework/physics/EFObjCollisionPrim.h"

#include <new>

EFCollisionModel::EFCollisionModel( EFPhysicData * owner, const u32 slots )
	: mppoPrimArray( nullptr ), mui32MaxPrims( 0 ), moPhysicBSphere(), moPhysicBSphereWPos(),
	  muiLastPrimaryPrimSaveCount( 0 ), muiPrimaryPrimIndex( EF_NO_PRIMARY_PRIM ), moPrimaryPrimSavedPos(),
	  mbUsingFixVolume( 0 ), muiCollisionType( 0 ), muiCollisionUDType( 0 ), muiCollisionDetectType( 0 ),
	  muiCollisionUDDetectType( 0 ), muiEnvDetectType( 0 ), muiUDEnvDetectType( 0 ), mpoPhysicData( owner ) {
	SetMaxPrims( slots );
}

EFCollisionModel::~EFCollisionModel() {
	DeletePrims();
}

void EFCollisionModel::DeletePrims() {
	for ( u32 i = 0; i < mui32MaxPrims; i++ ) {
		delete mppoPrimArray[i];
	}
	delete[] mppoPrimArray;
	mppoPrimArray = nullptr;
	mui32MaxPrims = 0;
}

void EFCollisionModel::SetMaxPrims( const u32 count ) {
	DeletePrims();
	if ( count == 0 ) {
		return;
	}
	mppoPrimArray = new ( std::nothrow ) EFObjCollisionPrim *[count];
	if ( mppoPrimArray == nullptr ) {
		return;
	}
	for ( u32 i = 0; i < count; i++ ) {
		mppoPrimArray[i] = nullptr;
	}
	mui32MaxPrims = count;
}

s32 EFCollisionModel::PrimTagToPrimIndex( const u32 tag ) const {
	for ( u32 i = 0; i < mui32MaxPrims; i++ ) {
		if ( mppoPrimArray[i] != nullptr && mppoPrimArray[i]->mui32Tag == tag ) {
			return static_cast<s32>( i );
		}
	}
	return -1;
}
