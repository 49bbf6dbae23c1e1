#include "framework/logic/api/LogicApiTables.h"

#include <cstring>

#include "datatypes/maths/DTFrame.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/effects/EFSprite.h"
#include "framework/graphics/effects/EFBillboardMgr.h"
#include "framework/graphics/particles/PLEmitter.h"
#include "framework/graphics/particles/PLMgr.h"
#include "framework/graphics/particles/PLType.h"
#include "framework/logic/api/EFApiTrace.h"
#include "framework/logic/api/LogicApiTable.h"

namespace {

bool bDone = false;

constexpr u32 NOT_FOUND				= 0xFFFFFFFF;
constexpr s32 NO_FRAME				= 32;
constexpr s32 UNKNOWN_OBJECT		= 64;
constexpr s32 HANDLER_ALREADY_SET	= 4;
constexpr u32 OWN_FRAME_JOINT		= 0x7FFFFFFF;
constexpr u32 GAME_OBJECT_ALIAS		= 0x2A;
constexpr u32 DEFAULT_BUDGET		= 500;
constexpr u32 CAMERA_KIND			= 0x10;
constexpr u32 EMITTER_KIND			= 0x2E;
constexpr u32 SPRITE_KIND			= 0x4C;

PLType_BC * Type( const s32 id ) {
	return gpoPLParticleMgr != nullptr ? gpoPLParticleMgr->GetType( id ) : nullptr;
}

PLEmitter_BC * Emitter( const s32 id ) {
	return gpoPLParticleMgr != nullptr ? gpoPLParticleMgr->GetEmitter( id ) : nullptr;
}

EFGameObject * GameObject( const u32 id ) {
	return gpoWorldMgr != nullptr ? gpoWorldMgr->GetGameObject( id ) : nullptr;
}

// The type slots' frame: the trace set while the action runs on the type
// found; 0, or 1 for an unknown type.
template <typename Action>
s32 OnType( const char * trace, const s32 id, Action && act ) {
	EFApiTrace::mFuncName = trace;
	PLType_BC * const type = Type( id );
	if ( type != nullptr ) {
		act( *type );
	}
	EFApiTrace::mFuncName = nullptr;
	return type != nullptr ? PL_OK : PL_UNKNOWN_TYPE;
}

// The same for the emitter slots: 0, or 2 for an unknown emitter.
template <typename Action>
s32 OnEmitter( const char * trace, const s32 id, Action && act ) {
	EFApiTrace::mFuncName = trace;
	PLEmitter_BC * const emitter = Emitter( id );
	if ( emitter != nullptr ) {
		act( *emitter );
	}
	EFApiTrace::mFuncName = nullptr;
	return emitter != nullptr ? PL_OK : PL_UNKNOWN_EMITTER;
}

// The emitter lets go of its current frame: an owned one is destroyed, a
// borrowed one only forgotten (destroying it would take the lender's
// frame out of its tree).
void DropFrame( PLEmitter_BC & emitter ) {
	if ( ( emitter.muiPosFlags & EF_POS_OWNS_FRAME ) != 0 ) {
		emitter.DestroyFrame();
	}
	emitter.mpFrame = nullptr;
	emitter.muiPosFlags &= ~EF_POS_OWNS_FRAME;
	emitter.mui32LenderId = PL_NO_LENDER;
}

// Whose end takes the frame away: a game object's instance ends with its
// owner, and a thing that borrows its frame too passes on its own lender.
u32 LenderOf( const EFPosData & thing ) {
	if ( thing.mpGameObjectOwner != nullptr ) {
		return thing.mpGameObjectOwner->GetUID();
	}
	u32 lender = PL_NO_LENDER;
	switch ( EFIdKind( thing.GetUID() ) ) {
	case EMITTER_KIND:
		lender = static_cast<const PLEmitter_BC &>( thing ).mui32LenderId;
		break;
	case SPRITE_KIND:
		lender = static_cast<const EFSprite &>( thing ).mui32LenderId;
		break;
	case CAMERA_KIND:
		lender = static_cast<const EFCamera &>( thing ).mui32LenderId;
		break;
	default:
		break;
	}
	return lender != PL_NO_LENDER ? lender : thing.GetUID();
}

// --- Types ---

u32 TypeConvertNameToID( char * name ) {
	EFApiTrace::mFuncName = "TypeConvertNameToID";
	const PLType_BC * const type = gpoPLParticleMgr != nullptr ? gpoPLParticleMgr->GetType( name ) : nullptr;
	EFApiTrace::mFuncName = nullptr;
	return type != nullptr ? type->GetUID() : NOT_FOUND;
}

s32 TypeCreate() {
	EFApiTrace::mFuncName = "TypeCreate";
	const s32 id = gpoPLParticleMgr != nullptr ? gpoPLParticleMgr->ParticleTypeCreate() : 0;
	EFApiTrace::mFuncName = nullptr;
	return id;
}

s32 TypeDestroy( const s32 type ) {
	EFApiTrace::mFuncName = "TypeDestroy";
	const s32 result = gpoPLParticleMgr != nullptr ? gpoPLParticleMgr->ParticleTypeDelete( type ) : PL_UNKNOWN_TYPE;
	EFApiTrace::mFuncName = nullptr;
	return result;
}

s32 TypeSetInter( const s32 id, const u32 mask, const f32 start, const f32 middle, const f32 end, const f32 time ) {
	return OnType( "TypeSetInter", id, [&]( PLType_BC & type ) { type.SetInter( mask, start, middle, end, time ); } );
}

s32 TypeSetInt( const s32 id, const u32 mask, const s32 value ) {
	return OnType( "TypeSetInt", id, [&]( PLType_BC & type ) { type.SetInt( mask, static_cast<u32>( value ) ); } );
}

s32 TypeGetInt( const s32 id, const u32 which, s32 * value ) {
	EFApiTrace::mFuncName = "TypeGetInt";
	const PLType_BC * const type = Type( id );
	u32 read = 0;
	const s32 result = type != nullptr ? type->GetInt( which, &read ) : PL_UNKNOWN_TYPE;
	if ( type != nullptr && result == PL_OK && value != nullptr ) {
		*value = static_cast<s32>( read );
	}
	EFApiTrace::mFuncName = nullptr;
	return result;
}

s32 TypeSetFloat( const s32 id, const u32 which, const f32 value ) {
	return OnType( "TypeSetFloat", id, [&]( PLType_BC & type ) { type.SetReal( which, value ); } );
}

s32 TypeSetVec( const s32 id, const u32 which, const f32 x, const f32 y, const f32 z ) {
	return OnType( "TypeSetVec", id, [&]( PLType_BC & type ) { type.SetVec( which, x, y, z ); } );
}

s32 TypeSetTexture( const s32 id, char * name ) {
	EFApiTrace::mFuncName = "TypeSetTexture";
	PLType_BC * const type = Type( id );
	const s32 result = type != nullptr ? type->SetTexture( name ) : PL_UNKNOWN_TYPE;
	EFApiTrace::mFuncName = nullptr;
	return result;
}

s32 TypeSetName( const s32 id, char * name ) {
	return OnType( nullptr, id, [&]( PLType_BC & type ) { type.SetDisplayName( name ); } );
}

// At most the 32-byte name field, always terminated.
s32 TypeGetName( const s32 id, char * out ) {
	const PLType_BC * const type = Type( id );
	if ( type == nullptr ) {
		return PL_UNKNOWN_TYPE;
	}
	if ( out != nullptr ) {
		std::strncpy( out, type->GetDisplayName(), PL_NAME_LENGTH - 1 );
		out[PL_NAME_LENGTH - 1] = '\0';
	}
	return PL_OK;
}

// --- Emitters ---

u32 EmitterConvertNameToID( char * name, const u32 ownerId ) {
	const PLEmitter_BC * const emitter =
		gpoPLParticleMgr != nullptr ? gpoPLParticleMgr->GetEmitter( name, ownerId ) : nullptr;
	return emitter != nullptr ? emitter->GetUID() : NOT_FOUND;
}

s32 EmitterCreate( const s32 type ) {
	EFApiTrace::mFuncName = "EmitterCreate";
	const s32 id = gpoPLParticleMgr != nullptr
					   ? gpoPLParticleMgr->ParticleEmitterCreate( type, GameObject( EF_RUNNING_OBJECT_ID ) )
					   : PL_UNKNOWN_TYPE;
	EFApiTrace::mFuncName = nullptr;
	return id;
}

s32 EmitterDestroy( const s32 emitter ) {
	EFApiTrace::mFuncName = "EmitterDestroy";
	const s32 result = gpoPLParticleMgr != nullptr ? gpoPLParticleMgr->ParticleEmitterDelete( emitter )
												   : PL_UNKNOWN_EMITTER;
	EFApiTrace::mFuncName = nullptr;
	return result == PL_UNKNOWN_EMITTER ? PL_UNKNOWN_EMITTER : PL_OK;
}

s32 EmitterSetType( const s32 emitter, const s32 type ) {
	EFApiTrace::mFuncName = "EmitterSetType";
	const s32 result = gpoPLParticleMgr != nullptr ? gpoPLParticleMgr->ParticleEmitterSetType( emitter, type )
												   : PL_UNKNOWN_TYPE;
	EFApiTrace::mFuncName = nullptr;
	return result;
}

s32 EmitterStart( const s32 id, const u32 oneShot ) {
	return OnEmitter( "EmitterStart", id, [&]( PLEmitter_BC & emitter ) { emitter.Start( oneShot ); } );
}

// The time is not used: the emitter starts now.
s32 EmitterStartAt( const s32 id, const u32 oneShot, f32 ) {
	return OnEmitter( nullptr, id, [&]( PLEmitter_BC & emitter ) { emitter.Start( oneShot ); } );
}

s32 EmitterStop( const s32 id ) {
	return OnEmitter( "EmitterStop", id, []( PLEmitter_BC & emitter ) {
		emitter.mui8Running = 0;
		emitter.mui32Flags &= ~PL_EMITTER_FROZEN;
	} );
}

s32 EmitterReset( const s32 id ) {
	return OnEmitter( "EmitterReset", id, []( PLEmitter_BC & emitter ) { emitter.Reset(); } );
}

s32 EmitterSetCollisionPlane( const s32 id, const u32 plane, DTVector3d * point, DTVector3d * normal,
							  const f32 restitution ) {
	return OnEmitter( "EmitterSetPlane", id, [&]( PLEmitter_BC & emitter ) {
		if ( point != nullptr && normal != nullptr ) {
			emitter.SetCollisionPlane( normal, point, restitution, plane );
		}
	} );
}

// The frame a joint names and its lender: a positioned thing's own frame,
// or for a game object (0x2A ids, the running-object alias resolved) its
// joint's frame.
s32 FindJointFrame( const u32 objectId, const u32 joint, DTFrame *& frame, u32 & lender ) {
	if ( EFIdKind( objectId ) != GAME_OBJECT_ALIAS ) {
		EFPosData * const thing = gpoWorldMgr != nullptr ? gpoWorldMgr->GetObjectPosData( objectId ) : nullptr;
		frame = thing != nullptr ? thing->GetFrame() : nullptr;
		lender = thing != nullptr ? LenderOf( *thing ) : PL_NO_LENDER;
	} else {
		EFGameObject * const object = GameObject( objectId );
		if ( object == nullptr ) {
			return UNKNOWN_OBJECT;
		}
		frame = object->GetObjectFrame( joint );
		lender = object->GetUID();
	}
	return frame != nullptr ? PL_OK : NO_FRAME;
}

// Joint 0x7FFFFFFF gives the emitter a fresh frame of its own at the
// origin: a borrowed frame is dropped first, since CreateFrame would hand
// the borrowed one back. Else the emitter borrows the frame found and
// records its lender, whose end gives it a frame of its own in place.
s32 EmitterSetJoint( const s32 id, const u32 objectId, const u32 joint ) {
	EFApiTrace::mFuncName = "EmitterSetJoint";
	s32 result = PL_UNKNOWN_EMITTER;
	PLEmitter_BC * const emitter = Emitter( id );
	if ( emitter != nullptr && joint == OWN_FRAME_JOINT ) {
		if ( ( emitter->muiPosFlags & EF_POS_OWNS_FRAME ) == 0 ) {
			DropFrame( *emitter );
		}
		emitter->CreateFrame( nullptr );
		result = PL_OK;
	} else if ( emitter != nullptr ) {
		DTFrame * frame = nullptr;
		u32 lender = PL_NO_LENDER;
		result = FindJointFrame( objectId, joint, frame, lender );
		if ( result == PL_OK && frame != emitter->mpFrame ) {
			DropFrame( *emitter );
			emitter->mpFrame = frame;
			emitter->mui32LenderId = lender;
		}
	}
	EFApiTrace::mFuncName = nullptr;
	return result;
}

s32 EmitterSetFlags( const s32 id, const u32 flags ) {
	return OnEmitter( "EmitterSetFlags", id, [&]( PLEmitter_BC & emitter ) {
		emitter.mui32Flags = flags;
		emitter.mui8Running = ( flags & PL_EMITTER_FROZEN ) != 0 ? 0 : 1;
	} );
}

s32 EmitterGetFlags( const s32 id, u32 * flags ) {
	return OnEmitter( "EmitterSetFlags", id, [&]( PLEmitter_BC & emitter ) {
		if ( flags != nullptr ) {
			*flags = emitter.mui32Flags;
		}
	} );
}

s32 EmitterSetBox( const s32 id, DTVector3d * a, DTVector3d * b ) {
	return OnEmitter( "EmitterSetBox", id, [&]( PLEmitter_BC & emitter ) {
		if ( a != nullptr && b != nullptr ) {
			emitter.SetBox( a, b );
		}
	} );
}

s32 EmitterGetBBox( const s32 id, DTVector3d * min, DTVector3d * max, const u32 mode ) {
	EFApiTrace::mFuncName = "EmitterGetBBox";
	const PLEmitter_BC * const emitter = Emitter( id );
	const s32 result = emitter != nullptr ? emitter->GetBBox( min, max, mode ) : PL_UNKNOWN_EMITTER;
	EFApiTrace::mFuncName = nullptr;
	return result;
}

s32 EmitterSetBSphereRadius( const s32 id, const f32 radius ) {
	return OnEmitter( "EmitterSetBSphereRadius", id, [&]( PLEmitter_BC & emitter ) { emitter.mfClipRadius = radius; } );
}

// The handler is kept by the object's own id: the running-object alias
// would name whatever object runs when the emitter later reports.
s32 EmitterSetMessageHandlerID( const u32 id, const u32 objectId ) {
	const EFGameObject * const object = GameObject( objectId );
	if ( object == nullptr ) {
		return UNKNOWN_OBJECT;
	}
	PLEmitter_BC * const emitter = Emitter( static_cast<s32>( id ) );
	if ( emitter == nullptr ) {
		return PL_UNKNOWN_EMITTER;
	}
	if ( emitter->mui32NotifyTarget != PL_NO_TARGET ) {
		return HANDLER_ALREADY_SET;
	}
	emitter->mui32NotifyTarget = object->GetUID();
	return PL_OK;
}

// --- Billboards ---

// The arrays come back on their namesakes.
u32 CreateBillboardGroup( const u32 count, char * texture, const u32 flags, DTVector3d ** positions, u32 ** colours,
						  f32 ** sizes, f32 ** rotations ) {
	return gpoBillboardMgr != nullptr
			   ? gpoBillboardMgr->AddBillboardGroup( count, texture, flags, positions, colours, rotations, sizes )
			   : NOT_FOUND;
}

void RenderBillboardGroup( const u32 group, const u32 on ) {
	if ( gpoBillboardMgr != nullptr ) {
		gpoBillboardMgr->EnableBillboardGroupRender( group, on );
	}
}

u32 DestroyBillboardGroup( const u32 group ) {
	return gpoBillboardMgr != nullptr ? static_cast<u32>( gpoBillboardMgr->RemoveBillboardGroup( group ) )
									  : NOT_FOUND;
}

// Once per level: the budget can leave its default only once, and the
// default itself is refused.
u32 SetMaxNumBillboards( const u32 max ) {
	if ( gpoBillboardMgr == nullptr || max == DEFAULT_BUDGET || gpoBillboardMgr->GetBudget() != DEFAULT_BUDGET ) {
		return NOT_FOUND;
	}
	gpoBillboardMgr->SetBudget( max );
	return 0;
}

}

void ApiParticleNotInit() {
	bDone = true;
}

bool ApiParticleNotInitDone() {
	return bDone;
}

constexpr _api_particle APIparticleStubs = MakeLogicApiStubs<_api_particle, ApiParticleNotInit>();
constinit _api_particle APIparticle = MakeLogicApiStubs<_api_particle, ApiParticleNotInit>();

void Init_particle() {
	InitAPI( &APIparticle, LOGIC_API_PARTICLE_SLOTS, &APIparticleStubs );
	APIparticle.TypeConvertNameToID = TypeConvertNameToID;
	APIparticle.TypeCreate = TypeCreate;
	APIparticle.TypeDestroy = TypeDestroy;
	APIparticle.TypeSetInter = TypeSetInter;
	APIparticle.TypeSetInt = TypeSetInt;
	APIparticle.TypeGetInt = TypeGetInt;
	APIparticle.TypeSetFloat = TypeSetFloat;
	APIparticle.TypeSetVec = TypeSetVec;
	APIparticle.TypeSetTexture = TypeSetTexture;
	APIparticle.TypeSetName = TypeSetName;
	APIparticle.TypeGetName = TypeGetName;
	APIparticle.EmitterConvertNameToID = EmitterConvertNameToID;
	APIparticle.EmitterCreate = EmitterCreate;
	APIparticle.EmitterDestroy = EmitterDestroy;
	APIparticle.EmitterSetType = EmitterSetType;
	APIparticle.EmitterStart = EmitterStart;
	APIparticle.EmitterStartAt = EmitterStartAt;
	APIparticle.EmitterStop = EmitterStop;
	APIparticle.EmitterReset = EmitterReset;
	APIparticle.EmitterSetCollisionPlane = EmitterSetCollisionPlane;
	APIparticle.EmitterSetJoint = EmitterSetJoint;
	APIparticle.EmitterSetFlags = EmitterSetFlags;
	APIparticle.EmitterGetFlags = EmitterGetFlags;
	APIparticle.EmitterSetBox = EmitterSetBox;
	APIparticle.EmitterGetBBox = EmitterGetBBox;
	APIparticle.EmitterSetBSphereRadius = EmitterSetBSphereRadius;
	APIparticle.EmitterSetMessageHandlerID = EmitterSetMessageHandlerID;
	APIparticle.CreateBillboardGroup = CreateBillboardGroup;
	APIparticle.RenderBillboardGroup = RenderBillboardGroup;
	APIparticle.DestroyBillboardGroup = DestroyBillboardGroup;
	APIparticle.SetMaxNumBillboards = SetMaxNumBillboards;
}
