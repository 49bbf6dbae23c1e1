#include "framework/physics/EFPhysic.h"

#include "datatypes/maths/DTFrame.h"
#include "framework/core/world/EFPhysicData.h"
#include "framework/physics/EFColDMData.h"
#include "framework/physics/EFCollisionData.h"
#include "framework/physics/EFCollisionStage.h"
#include "framework/physics/EFContactReport.h"
#include "framework/physics/EFDynamicPhysic.h"
#include "framework/physics/EFObjCollisionPrim.h"
#include "framework/physics/EFPhysicMgr.h"
#include "framework/physics/EFPhysicModule.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwMatrix.h"

namespace {

typedef EFPhysicModule * EFPhysicModule::*ModuleLink;

// Puts module after every module of the list whose type id is lower or
// equal, so modules of one id keep the order they came in.
void InsertSorted( EFPhysicModule *& head, EFPhysicModule * module, const ModuleLink link ) {
	const u32 id = module->GetTypeId();
	EFPhysicModule ** slot = &head;
	while ( *slot != nullptr && ( *slot )->GetTypeId() <= id ) {
		slot = &( ( *slot )->*link );
	}
	module->*link = *slot;
	*slot = module;
}

void Remove( EFPhysicModule *& head, EFPhysicModule * module, const ModuleLink link ) {
	for ( EFPhysicModule ** slot = &head; *slot != nullptr; slot = &( ( *slot )->*link ) ) {
		if ( *slot == module ) {
			*slot = module->*link;
			module->*link = nullptr;
			return;
		}
	}
}

ModuleLink LinkOfPhase( const u32 phase ) {
	switch ( phase ) {
	case EF_DM_PHASE_PRE:
		return &EFPhysicModule::mpoNextPre;
	case EF_DM_PHASE_COL:
		return &EFPhysicModule::mpoNextCol;
	default:
		return &EFPhysicModule::mpoNextPost;
	}
}

u32 OnceFlagOfPhase( const u32 phase ) {
	switch ( phase ) {
	case EF_DM_PHASE_PRE:
		return EF_DM_ONCE_PRE;
	case EF_DM_PHASE_COL:
		return EF_DM_ONCE_COL;
	default:
		return EF_DM_ONCE_POST;
	}
}

// A floor normal steeper than this takes the primitive's own escape.
constexpr f32 FLAT_FLOOR_NORMAL_Y	= 0.995f;
// Push-off from a body: the window of the escape speed s, the speed
// given below the knee, and the top the speed is brought up to above it.
constexpr f32 ESCAPE_MIN_SPEED		= -0.5f;
constexpr f32 ESCAPE_MAX_SPEED		= 2.0f;
constexpr f32 ESCAPE_KNEE_SPEED		= 1.5f;
constexpr f32 ESCAPE_SPEED			= 0.5f;
// Distance of the time tolerance.
constexpr f32 TOLERANCE_DISTANCE	= 0.001f;

}

EFPhysic::EFPhysic( EFPhysicData * owner, const u32 primitives )
	: moPhysicNode{ nullptr, nullptr, nullptr }, mui32PhysicFlags( 0 ), mpoPreColDM( nullptr ), mpoColDM( nullptr ),
	  mpoPostColDM( nullptr ), mpoAllModules( nullptr ), muiPriority( 0 ), mfWeight( 1.0f ), moVelocity(),
	  mui32PhysicState( 0 ), mui32StateChangeNotifyBits( 0 ), mui32CurrentContext( 0 ),
	  mfFallingSpeed( EF_PHYSIC_FALLING_SPEED ), mfFallingDelay( EF_PHYSIC_FALLING_DELAY ),
	  mfFallingTimer( EF_PHYSIC_FALLING_DELAY ), mfFriction( 1.0f ), mfMinFloorNormalY( EF_PHYSIC_MIN_FLOOR_NORMAL_Y ),
	  moCollisionModel( owner, primitives ), mfHardness( 1.0f ), mfRebound( 0.0f ), mpoLastFloorPrim( nullptr ),
	  mpoWalkNext( nullptr ), mpoWalkCurrent( nullptr ), mui32WalkPhase( 0 ) {
	moPhysicNode.pData = this;
}

EFPhysic::~EFPhysic() {
	RemoveAllModules();
	MLISTUnlink( moPhysicNode );
}

void EFPhysic::NormalizeFlags() {
	u32 flags = mui32PhysicFlags & ~EF_PHYSIC_EFFECTIVE_MASK;
	flags |= ( flags & ( EF_PHYSIC_DISABLED | EF_PHYSIC_DYNAMIC | EF_PHYSIC_COLLIDING | EF_PHYSIC_PARTICLES ) ) << 16;
	if ( ( flags & EF_PHYSIC_CLIP_DISABLED ) != 0 ) {
		flags |= EF_PHYSIC_OFF;
	}
	if ( ( flags & ( EF_PHYSIC_CLIP_SUSPENDED | EF_PHYSIC_PAUSED ) ) != 0 ) {
		flags &= ~( EF_PHYSIC_MOVES | EF_PHYSIC_COLLIDES | EF_PHYSIC_TESTS_PARTICLES );
	}
	mui32PhysicFlags = flags;
}

void EFPhysic::LinkModule( EFPhysicModule * module ) {
	if ( module == nullptr ) {
		return;
	}
	InsertSorted( mpoAllModules, module, &EFPhysicModule::mpoNextAll );
	if ( ( module->mui32Type & EF_DM_PHASE_PRE ) != 0 ) {
		InsertSorted( mpoPreColDM, module, &EFPhysicModule::mpoNextPre );
	}
	if ( ( module->mui32Type & EF_DM_PHASE_COL ) != 0 ) {
		InsertSorted( mpoColDM, module, &EFPhysicModule::mpoNextCol );
	}
	if ( ( module->mui32Type & EF_DM_PHASE_POST ) != 0 ) {
		InsertSorted( mpoPostColDM, module, &EFPhysicModule::mpoNextPost );
	}
}

void EFPhysic::UnLinkModule( EFPhysicModule * module ) {
	if ( module == nullptr ) {
		return;
	}
	if ( module == mpoWalkNext ) {
		mpoWalkNext = module->*LinkOfPhase( mui32WalkPhase );
	}
	if ( module == mpoWalkCurrent ) {
		mpoWalkCurrent = nullptr;
	}
	Remove( mpoAllModules, module, &EFPhysicModule::mpoNextAll );
	Remove( mpoPreColDM, module, &EFPhysicModule::mpoNextPre );
	Remove( mpoColDM, module, &EFPhysicModule::mpoNextCol );
	Remove( mpoPostColDM, module, &EFPhysicModule::mpoNextPost );
}

void EFPhysic::RemoveAllModules() {
	while ( mpoAllModules != nullptr ) {
		EFPhysicModule * const module = mpoAllModules;
		// The destructor unlinks it; a module that lost its owner is taken
		// off here so that the walk always ends.
		if ( module->mpoOwner != this ) {
			UnLinkModule( module );
		}
		delete module;
	}
	mpoPreColDM = nullptr;
	mpoColDM = nullptr;
	mpoPostColDM = nullptr;
}

EFPhysicModule * EFPhysic::FindModule( const u32 typeId, EFPhysicModule * after ) const {
	EFPhysicModule * module = after != nullptr ? after->mpoNextAll : mpoAllModules;
	while ( module != nullptr && module->GetTypeId() < typeId ) {
		module = module->mpoNextAll;
	}
	return module != nullptr && module->GetTypeId() == typeId ? module : nullptr;
}

bool EFPhysic::ModuleRuns( const EFPhysicModule & module, const u32 phase ) const {
	if ( ( module.mui32Flags & OnceFlagOfPhase( phase ) ) != 0 ) {
		return true;
	}
	return ( module.mui32Flags & EF_DM_ACTIVE ) != 0 && ( module.mui32ContextMask & mui32CurrentContext ) != 0;
}

void EFPhysic::PrepareWalk( const u32 phase, EFPhysicModule * head ) {
	mui32WalkPhase = phase;
	mpoWalkNext = head;
	mpoWalkCurrent = nullptr;
}

EFPhysicModule * EFPhysic::NextOfWalk() {
	EFPhysicModule * const module = mpoWalkNext;
	mpoWalkCurrent = module;
	if ( module != nullptr ) {
		mpoWalkNext = module->*LinkOfPhase( mui32WalkPhase );
	}
	return module;
}

const RwMatrix * EFPhysic::GetOwnerLTM() const {
	const EFPhysicData * const owner = GetOwner();
	if ( owner == nullptr || owner->GetFrame() == nullptr ) {
		return nullptr;
	}
	return RwFrameGetLTM( owner->GetFrame()->GetRwFrame() );
}

void EFPhysic::Notify( const u32 type, void * data ) const {
	EFPhysicData * const owner = GetOwner();
	if ( owner != nullptr ) {
		owner->Notify( static_cast<EFNotifyType_e>( type ), data, false );
	}
}

void EFPhysic::PreCollisionUpdate( const f32 dt, EFDynamicPhysic & record ) {
	if ( const RwMatrix * const world = GetOwnerLTM() ) {
		record.oInitPos = DTVector3d( world->pos.x, world->pos.y, world->pos.z );
	}
	mui32PhysicState = 0;
	PrepareWalk( EF_DM_PHASE_PRE, mpoPreColDM );
	while ( EFPhysicModule * const module = NextOfWalk() ) {
		if ( !ModuleRuns( *module, EF_DM_PHASE_PRE ) ) {
			continue;
		}
		module->mui32Flags &= ~EF_DM_ONCE_PRE;
		// A module that was deleted during its own call is gone already.
		if ( module->PreColUpdate( record, dt ) == 0 && mpoWalkCurrent == module ) {
			delete module;
		}
	}
	mpoWalkCurrent = nullptr;
}

void EFPhysic::PostCollisionUpdate( const f32 dt, EFCollisionStage * stage, EFDynamicPhysic & record ) {
	if ( const RwMatrix * const world = GetOwnerLTM() ) {
		record.oInitPos = DTVector3d( world->pos.x, world->pos.y, world->pos.z );
	}
	if ( stage != nullptr ) {
		moCollisionModel.ValidatePrimaryPrimTrans( stage );
	}
	if ( ( mui32PhysicFlags & EF_PHYSIC_MOVES ) != 0 ) {
		PrepareWalk( EF_DM_PHASE_POST, mpoPostColDM );
		while ( EFPhysicModule * const module = NextOfWalk() ) {
			if ( ModuleRuns( *module, EF_DM_PHASE_POST ) ) {
				module->PostColUpdate( stage, dt );
			}
			if ( mpoWalkCurrent == module ) {
				module->mui32Flags &= ~EF_DM_ONCE_POST;
			}
		}
		mpoWalkCurrent = nullptr;
	}
	if ( ( mui32PhysicFlags & EF_PHYSIC_TESTS_PARTICLES ) != 0 ) {
		CheckParticleCollisions( record.ppoEmitterList, record.uiNbEmitters );
	}
	if ( stage != nullptr ) {
		moCollisionModel.ValidatePrimaryPrimTrans( stage );
	}
	UpdatePhysicState( dt, record );
}

void EFPhysic::UpdatePhysicState( const f32 dt, EFDynamicPhysic & record ) {
	if ( mui32PhysicState == 0 ) {
		mfFallingTimer += dt;
		if ( mfFallingTimer >= mfFallingDelay && moVelocity.y < mfFallingSpeed ) {
			mui32PhysicState |= EF_STATE_FALLING;
		}
	} else {
		mfFallingTimer = 0.0f;
	}
	const u32 changed = mui32PhysicState ^ record.ui32InitPhysicState;
	if ( ( changed & mui32StateChangeNotifyBits ) != 0 ) {
		u32 data[2] = { mui32PhysicState, changed };
		Notify( NO_PHYSIC_STATECHANGE, data );
	}
}

void EFPhysic::RunCollisionPhase( EFCollisionStage * stage, EFCollisionData & data, const f32 dt ) {
	EFColDMData moduleData = { data.fTime,		data.oNorm,		  DTVector3d(), data.poCollider,
							   data.poColliderPrim, data.poEnvPrim, data.poContact };
	PrepareWalk( EF_DM_PHASE_COL, mpoColDM );
	while ( EFPhysicModule * const module = NextOfWalk() ) {
		if ( !ModuleRuns( *module, EF_DM_PHASE_COL ) ) {
			continue;
		}
		module->ColUpdate( stage, moduleData, dt );
		if ( mpoWalkCurrent == module ) {
			module->mui32Flags &= ~EF_DM_ONCE_COL;
		}
	}
	mpoWalkCurrent = nullptr;
}

void EFPhysic::CollisionUpdate( EFCollisionStage * stage, EFCollisionData & data, const f32 dt ) {
	RunCollisionPhase( stage, data, dt );
	if ( stage != nullptr ) {
		if ( data.bCreateContact != 0 ) {
			if ( EFContactReport * const contact = EFPhysicMgr::moPhysicMgr.TakeContact() ) {
				*contact = { data.oNorm, data.poCollider, data.poColliderPrim, data.poEnvPrim, stage->mpoContactList };
				stage->mpoContactList = contact;
			} else if ( data.poEnvPrim != nullptr ) {
				stage->LoseEnvRecord( EF_STAGE_LOST_CONTACT, data.oNorm );
			}
		}
		const f32 speed = RwV3dLength( DTAsRwV3d( &moVelocity ) );
		stage->mfTimeTolerance = speed > 0.0f ? TOLERANCE_DISTANCE / speed : dt;
		stage->mbDirty = 1;
	}
	const DTVector3d & n = data.oNorm;
	if ( !( n.y > mfMinFloorNormalY ) ) {
		return;
	}
	if ( data.poCollider == nullptr || ( mui32PhysicFlags & EF_PHYSIC_COLLIDES ) == 0 ) {
		mui32PhysicState |= EF_STATE_ON_FLOOR;
		mpoLastFloorPrim = data.poEnvPrim;
		return;
	}
	if ( ( data.poCollider->mui32PhysicFlags & ( EF_PHYSIC_PLATFORM | EF_PHYSIC_CARRIER ) ) != 0 ) {
		mui32PhysicState |= EF_STATE_ON_PLATFORM;
		return;
	}
	// Zero unless a primitive's escape writes it: not every shape has one.
	DTVector3d escape;
	if ( n.y > FLAT_FLOOR_NORMAL_Y ) {
		if ( data.poColliderPrim != nullptr ) {
			DTVector3d position;
			if ( const RwMatrix * const world = GetOwnerLTM() ) {
				position = DTVector3d( world->pos.x, world->pos.y, world->pos.z );
			}
			data.poColliderPrim->GetEscapeNoPF( position, escape, moVelocity );
		}
	} else {
		const DTVector3d descent( n.x * n.y, n.y * n.y - 1.0f, n.z * n.y );
		RwV3dNormalize( DTAsRwV3d( &escape ), DTAsRwV3d( &descent ) );
	}
	const f32 s = escape * moVelocity;
	if ( ESCAPE_MIN_SPEED < s && s < ESCAPE_MAX_SPEED ) {
		moVelocity += escape * ( s < ESCAPE_KNEE_SPEED ? ESCAPE_SPEED : ESCAPE_MAX_SPEED - s );
	}
	mui32PhysicState |= EF_STATE_ON_BODY;
}
