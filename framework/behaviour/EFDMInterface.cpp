#include "framework/behaviour/EFDMInterface.h"

#include "framework/behaviour/EFDMAcceleration.h"
#include "framework/behaviour/EFDMAirGrip.h"
#include "framework/behaviour/EFDMAnalogMotion.h"
#include "framework/behaviour/EFDMAnalogMove.h"
#include "framework/behaviour/EFDMAnalogRotation.h"
#include "framework/behaviour/EFDMBoneTrackObject.h"
#include "framework/behaviour/EFDMCameraFlex.h"
#include "framework/behaviour/EFDMClimb.h"
#include "framework/behaviour/EFDMConstraintRotation.h"
#include "framework/behaviour/EFDMEdge.h"
#include "framework/behaviour/EFDMEdgeDetect.h"
#include "framework/behaviour/EFDMEdgeDown.h"
#include "framework/behaviour/EFDMEnvColl.h"
#include "framework/behaviour/EFDMEnvDetect.h"
#include "framework/behaviour/EFDMGrabEdge.h"
#include "framework/behaviour/EFDMGroundGrip.h"
#include "framework/behaviour/EFDMFloatingObject.h"
#include "framework/behaviour/EFDMFollow.h"
#include "framework/behaviour/EFDMHelpers.h"
#include "framework/behaviour/EFDMIKTwoJoints.h"
#include "framework/behaviour/EFDMMove.h"
#include "framework/behaviour/EFDMObjColl.h"
#include "framework/behaviour/EFDMPFWeightTilt.h"
#include "framework/behaviour/EFDMParticleLauncher.h"
#include "framework/behaviour/EFDMPlugin.h"
#include "framework/behaviour/EFDMPrimMove.h"
#include "framework/behaviour/EFDMQuadruped.h"
#include "framework/behaviour/EFDMRayIntersect.h"
#include "framework/behaviour/EFDMRopeDetect.h"
#include "framework/behaviour/EFDMRopeSlide.h"
#include "framework/behaviour/EFDMRotate.h"
#include "framework/behaviour/EFDMShaking.h"
#include "framework/behaviour/EFDMSplineMove.h"
#include "framework/behaviour/EFDMTrackObjet.h"
#include "framework/behaviour/EFDMTung.h"
#include "framework/behaviour/EFDMWaterSimulation.h"
#include "framework/behaviour/EFDMWave.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFWorld.h"
#include "framework/physics/EFPhysic.h"
#include "framework/physics/EFPhysicMgr.h"
#include "framework/physics/EFPhysicModule.h"

#include <new>

namespace {

template< class T >
EFPhysicModule * Make( EFPhysic * body, EFGameObject * ) {
	return new ( std::nothrow ) T( body );
}

// Classes whose creation applies their defaults.
template< class T >
EFPhysicModule * MakeDefaulted( EFPhysic * body, EFGameObject * ) {
	T * const module = new ( std::nothrow ) T( body );
	if ( module != nullptr ) {
		module->SetDefaultParams();
	}
	return module;
}

// The water simulation also keeps the object owning its grid.
template< u32 TYPE_ID >
EFPhysicModule * MakeWater( EFPhysic * body, EFGameObject * object ) {
	return new ( std::nothrow ) EFDMWaterSimulation( body, object, TYPE_ID );
}

// Type words of every id; a row without a factory creates nothing.
const EFDMTypeRow TYPE_ROWS[EF_DM_TYPE_COUNT] = {
	{ EFDMAcceleration::TYPE_WORD, &Make<EFDMAcceleration> },
	{ EFDMTrackObjet::TYPE_WORD, &Make<EFDMTrackObjet> },
	{ EFDMAnalogRotation::TYPE_WORD, &Make<EFDMAnalogRotation> },
	{ EFDMSplineMove::TYPE_WORD, &Make<EFDMSplineMove> },
	{ EFDMMove::TYPE_WORD, &Make<EFDMMove> },
	{ EFDMAnalogMove::TYPE_WORD, &Make<EFDMAnalogMove> },
	{ EFDMAnalogMotion::TYPE_WORD, &Make<EFDMAnalogMotion> },
	{ EFDMAirGrip::TYPE_WORD, &Make<EFDMAirGrip> },
	{ EFDMGroundGrip::TYPE_WORD, &Make<EFDMGroundGrip> },
	{ EFDMWave::TYPE_WORD, &Make<EFDMWave> },
	{ EFDMRotate::TYPE_WORD, &Make<EFDMRotate> },
	{ EFDMPrimMove::TYPE_WORD, &Make<EFDMPrimMove> },
	{ EFDMWaterSimulation::TYPE_WORD_WATER, &MakeWater<EF_DM_WATER> },
	{ EFDMWaterSimulation::TYPE_WORD_FOG, &MakeWater<EF_DM_GROUND_FOG> },
	{ EFDMConstraintRotation::TYPE_WORD, &MakeDefaulted<EFDMConstraintRotation> },
	{ 0, nullptr },
	{ EFDMPFWeightTilt::TYPE_WORD, &Make<EFDMPFWeightTilt> },
	{ EFDMRopeSlide::TYPE_WORD, &Make<EFDMRopeSlide> },
	{ EFDMCameraFlex::TYPE_WORD, &Make<EFDMCameraFlex> },
	{ EFDMEdgeDown::TYPE_WORD, &Make<EFDMEdgeDown> },
	{ EFDMFollow::TYPE_WORD, &Make<EFDMFollow> },
	{ EFDMFloatingObject::TYPE_WORD, &Make<EFDMFloatingObject> },
	{ EFDMShaking::TYPE_WORD, &Make<EFDMShaking> },
	{ EFDMEdge::TYPE_WORD, &Make<EFDMEdge> },
	{ EFDMGrabEdge::TYPE_WORD, &Make<EFDMGrabEdge> },
	{ EFDMEdgeDetect::TYPE_WORD, &Make<EFDMEdgeDetect> },
	{ EFDMEnvDetect::TYPE_WORD, &Make<EFDMEnvDetect> },
	{ EFDMRayIntersect::TYPE_WORD, &Make<EFDMRayIntersect> },
	{ EFDMBoneTrackObject::TYPE_WORD, &Make<EFDMBoneTrackObject> },
	{ EFDMParticleLauncher::TYPE_ID | EF_DM_PHASE_PRE | EF_DM_PHASE_POST, &Make<EFDMParticleLauncher> },
	{ EFDMRopeDetect::TYPE_WORD, &Make<EFDMRopeDetect> },
	{ EFDMQuadruped::TYPE_WORD, &Make<EFDMQuadruped> },
	{ EFDMIKTwoJoints::TYPE_WORD, &Make<EFDMIKTwoJoints> },
	{ EFDMClimb::TYPE_WORD, &Make<EFDMClimb> },
	{ EFDMEnvColl::TYPE_WORD, &Make<EFDMEnvColl> },
	{ EFDMObjColl::TYPE_WORD, &Make<EFDMObjColl> },
	{ EFDMTung::TYPE_WORD, &Make<EFDMTung> },
	{ EFDMPlugin::TYPE_WORD, &Make<EFDMPlugin> },
};

EFPhysicModule * ModuleOf( const u32 handle ) {
	return EFPhysicMgr::moPhysicMgr.GetModule( handle );
}

EFGameObject * ObjectOf( const u32 objectId ) {
	return gpoWorldMgr != nullptr ? gpoWorldMgr->GetGameObject( objectId, nullptr ) : nullptr;
}

}

const EFDMTypeRow * DMTypeRow( const u32 typeId ) {
	return typeId < EF_DM_TYPE_COUNT ? &TYPE_ROWS[typeId] : nullptr;
}

u32 DMAdd( const u32 objectId, const u32 typeId ) {
	EFGameObject * const object = ObjectOf( objectId );
	if ( object == nullptr || object->mpoPhysic == nullptr ) {
		return 0;
	}
	const EFDMTypeRow * const row = DMTypeRow( typeId );
	if ( row == nullptr || row->mpfnCreate == nullptr ) {
		return 0;
	}
	EFPhysicModule * const module = row->mpfnCreate( object->mpoPhysic, object );
	if ( module == nullptr ) {
		return 0;
	}
	object->mpoPhysic->LinkModule( module );
	return module->mui32Handle;
}

u32 GetDM( const u32 objectId, const u32 typeId, const u32 after ) {
	EFGameObject * const object = ObjectOf( objectId );
	if ( object == nullptr || object->mpoPhysic == nullptr ) {
		return 0;
	}
	EFPhysic * const body = object->mpoPhysic;
	// A handle of another body's module walks on through that body's list.
	EFPhysicModule * const from = ModuleOf( after );
	const EFPhysicModule * const found = body->FindModule( typeId, from );
	return found != nullptr ? found->mui32Handle : 0;
}

void DMGetParams( const u32 handle, void * params ) {
	if ( EFPhysicModule * const module = ModuleOf( handle ) ) {
		module->GetParams( params );
	}
}

void DMSetParams( const u32 handle, void * params ) {
	if ( EFPhysicModule * const module = ModuleOf( handle ) ) {
		module->SetParams( params );
	}
}

void DMDoAction( const u32 handle, const u32 action, void * data ) {
	if ( EFPhysicModule * const module = ModuleOf( handle ) ) {
		module->DoAction( action, data );
	}
}

void DMGetData( const u32 handle, void * data ) {
	if ( EFPhysicModule * const module = ModuleOf( handle ) ) {
		module->GetData( data );
	}
}

void DMSetContextMask( const u32 handle, const u32 mask ) {
	if ( EFPhysicModule * const module = ModuleOf( handle ) ) {
		module->mui32ContextMask = mask;
	}
}

void DMSetActive( const u32 handle, const u32 value ) {
	EFPhysicModule * const module = ModuleOf( handle );
	if ( module == nullptr ) {
		return;
	}
	if ( value == 1 ) {
		module->mui32Flags |= EF_DM_ACTIVE;
	} else if ( value == 0xFFFFFFFF ) {
		const u32 type = module->mui32Type;
		if ( ( type & EF_DM_PHASE_PRE ) != 0 ) {
			module->mui32Flags |= EF_DM_ONCE_PRE;
		}
		if ( ( type & EF_DM_PHASE_COL ) != 0 ) {
			module->mui32Flags |= EF_DM_ONCE_COL;
		}
		if ( ( type & EF_DM_PHASE_POST ) != 0 ) {
			module->mui32Flags |= EF_DM_ONCE_POST;
		}
		module->mui32Flags &= ~EF_DM_ACTIVE;
	} else {
		module->mui32Flags &= ~( EF_DM_ACTIVE | EF_DM_ONCE_PRE | EF_DM_ONCE_COL | EF_DM_ONCE_POST );
		module->mui32State = 0;
	}
}

u32 DMIsActive( const u32 handle ) {
	const EFPhysicModule * const module = ModuleOf( handle );
	if ( module == nullptr ) {
		return 0;
	}
	if ( ( module->mui32Flags & ( EF_DM_ONCE_PRE | EF_DM_ONCE_COL | EF_DM_ONCE_POST ) ) != 0 ) {
		return 1;
	}
	const u32 context = module->mpoOwner != nullptr ? module->mpoOwner->mui32CurrentContext : 0;
	return ( module->mui32Flags & EF_DM_ACTIVE ) != 0 && ( module->mui32ContextMask & context ) != 0 ? 1 : 0;
}

u32 DMGetState( const u32 handle ) {
	const EFPhysicModule * const module = ModuleOf( handle );
	return module != nullptr ? module->mui32State : 0;
}

void DMSetStateBits( const u32 handle, const u32 bits ) {
	if ( EFPhysicModule * const module = ModuleOf( handle ) ) {
		DMChangeState( *module, module->mui32State | bits );
	}
}

void DMResetStateBits( const u32 handle, const u32 bits ) {
	if ( EFPhysicModule * const module = ModuleOf( handle ) ) {
		DMChangeState( *module, module->mui32State & ~bits );
	}
}

void DMSetStateChangeNotifyBits( const u32 handle, const u32 bits ) {
	if ( EFPhysicModule * const module = ModuleOf( handle ) ) {
		module->mui32StateChangeNotifyBits |= bits;
	}
}

void DMResetStateChangeNotifyBits( const u32 handle, const u32 bits ) {
	if ( EFPhysicModule * const module = ModuleOf( handle ) ) {
		module->mui32StateChangeNotifyBits &= ~bits;
	}
}
