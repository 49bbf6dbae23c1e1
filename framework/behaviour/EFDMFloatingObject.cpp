#include "framework/behaviour/EFDMFloatingObject.h"

#include "datatypes/maths/DTFrame.h"
#include "datatypes/maths/DTQuaternion.h"
#include "framework/behaviour/EFDMHelpers.h"
#include "framework/behaviour/EFDMInterface.h"
#include "framework/behaviour/EFDMWaterSimulation.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/logic/api/LogicBehaviourRecords.h"
#include "framework/physics/EFDynamicPhysic.h"
#include "framework/physics/EFPhysic.h"
#include "framework/physics/EFPhysicMgr.h"
#include "graphics3d/core/RwFrame.h"

namespace {

constexpr f32 DEFAULT_THRESHOLD	= 0.1f;
// The body lists walked for the water, in order.
constexpr u32 WATER_LISTS		= 2;

}

EFDMFloatingObject::EFDMFloatingObject( EFPhysic * owner )
	: EFPhysicModule( TYPE_WORD, owner ), mfTiltFactor( 1.0f ), mfHeightOffset( 0.0f ), mfWaveFactor( 1.0f ),
	  mfEmersionThreshold( DEFAULT_THRESHOLD ), mui32WaterHandle( 0 ), mfBaseHeight( 0.0f ), mbSearch( 1 ) {
}

void EFDMFloatingObject::SetDefaults() {
	mfTiltFactor = 1.0f;
	mfHeightOffset = 0.0f;
	mfWaveFactor = 1.0f;
	mfEmersionThreshold = DEFAULT_THRESHOLD;
	mfBaseHeight = 0.0f;
}

void EFDMFloatingObject::SetParams( void * params ) {
	mui32WaterHandle = 0;
	mbSearch = 1;
	if ( params == nullptr ) {
		SetDefaults();
		return;
	}
	const DMFloatingObjectParams & record = *static_cast<const DMFloatingObjectParams *>( params );
	mfTiltFactor = record.fTiltFactor;
	mfHeightOffset = record.fHeightOffset;
	mfWaveFactor = record.fWaveFactor;
	mfEmersionThreshold = record.fEmersionThreshold;
}

void EFDMFloatingObject::GetParams( void * params ) {
	if ( params == nullptr ) {
		return;
	}
	DMFloatingObjectParams & record = *static_cast<DMFloatingObjectParams *>( params );
	record.fTiltFactor = mfTiltFactor;
	record.fHeightOffset = mfHeightOffset;
	record.fWaveFactor = mfWaveFactor;
	record.fEmersionThreshold = mfEmersionThreshold;
}

EFDMWaterSimulation * EFDMFloatingObject::GetWaterSimModule() {
	const EFPhysicMgr & manager = EFPhysicMgr::moPhysicMgr;
	for ( u32 list = 0; list < WATER_LISTS; list++ ) {
		for ( EFPhysic * body = manager.GetFirstPhysic( list ); body != nullptr;
			  body = body->moPhysicNode.pNext != nullptr ? body->moPhysicNode.pNext->GetData<EFPhysic>() : nullptr ) {
			if ( ( body->mui32PhysicFlags & EF_PHYSIC_DELETED ) != 0 ) {
				continue;
			}
			if ( EFPhysicModule * const found = body->FindModule( EF_DM_WATER, nullptr ) ) {
				return static_cast<EFDMWaterSimulation *>( found );
			}
		}
	}
	return nullptr;
}

EFDMWaterSimulation * EFDMFloatingObject::Water() {
	if ( mbSearch == 0 ) {
		EFPhysicModule * const kept = EFPhysicMgr::moPhysicMgr.GetModule( mui32WaterHandle );
		// A body marked for deletion goes with its object: its water is gone.
		if ( kept != nullptr && kept->GetTypeId() == EF_DM_WATER &&
			 ( kept->mpoOwner->mui32PhysicFlags & EF_PHYSIC_DELETED ) == 0 ) {
			return static_cast<EFDMWaterSimulation *>( kept );
		}
		mbSearch = 1;
	}
	EFDMWaterSimulation * const water = GetWaterSimModule();
	if ( water == nullptr ) {
		return nullptr;
	}
	mui32WaterHandle = water->mui32Handle;
	mfBaseHeight = water->moGridOrigin.y;
	// A water without a handle cannot be kept: it is searched for each pass.
	mbSearch = mui32WaterHandle != 0 ? 0 : 1;
	return water;
}

u32 EFDMFloatingObject::PreColUpdate( EFDynamicPhysic & record, const f32 dt ) {
	EFGameObject * const object = DMOwnerObject( *this );
	EF3dObj * const model = object != nullptr ? object->Get3dObject( 0 ) : nullptr;
	DTFrame * const frame = model != nullptr && model->mpClump != nullptr ? model->GetFrame() : nullptr;
	if ( frame == nullptr ) {
		return 1;
	}
	const EFDMWaterSimulation * const water = Water();
	if ( water == nullptr ) {
		return 1;
	}
	DTVector3d normal;
	f32 height = 0.0f;
	const u32 result = water->GetWaterValueAtThisPos( record.oInitPos, normal, height );
	if ( result == EF_DM_WATER_OUTSIDE || record.oInitPos.y > mfBaseHeight + mfEmersionThreshold ) {
		DMChangeState( *this, mui32State & ~EF_DM_FLOATING_IN_WATER );
		return 1;
	}
	DMChangeState( *this, mui32State | EF_DM_FLOATING_IN_WATER );
	const RwMatrix * const ltm = RwFrameGetLTM( frame->GetRwFrame() );
	DTVector3d up( ltm->up.x, ltm->up.y, ltm->up.z );
	DTQuaternion turn;
	turn.SetFromAxes( up, normal );
	DTVector3d axis;
	f32 angle = 0.0f;
	turn.GetValue( axis, angle );
	if ( angle != 0.0f ) {
		frame->Rotate( axis, angle * mfTiltFactor );
	}
	const f32 target = mfBaseHeight + mfHeightOffset + mfWaveFactor * height;
	EFPhysic & body = *mpoOwner;
	body.moVelocity.y = ( target - record.oInitPos.y ) / dt;
	body.mfFallingTimer = body.mfFallingDelay;
	return 1;
}
