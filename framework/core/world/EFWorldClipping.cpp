/*
	EFWorld: render preparation and the clipping pass.
*/
#include "framework/core/world/EFWorld.h"

#include "datatypes/maths/DTFrame.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/EFCameraFrustum.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/physics/EFPhysic.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpClump.h"

#include <new>

namespace {

// Distance band of an object whose distance test saw no active camera:
// one past the last band.
constexpr u32 NO_BAND					= EF_CLIP_DISTANCE_COUNT;
constexpr u32 LAST_BAND					= EF_CLIP_DISTANCE_COUNT - 1;
// Bands tested in turn before the last one takes the rest.
constexpr u32 BOUNDED_BANDS				= EF_CLIP_DISTANCE_COUNT - 1;

// Low 12 bits of a camera id name its slot.
constexpr u32 CAMERA_SLOT_MASK			= 0xFFF;

// An object without 3D objects is tested as a sphere of this radius.
constexpr f32 FRAME_SPHERE_RADIUS		= 0.01f;

// The id kind for which an unseen animated object skips its hierarchy.
constexpr u32 KIND_PLAIN_ID				= 0x00;

struct ClipChangeRecord {
	u32						band;
	u32						inAny;
	u32						ops;
};

struct ProximityChangeRecord {
	u32						objectId;
	u32						near;
};

static_assert( sizeof( ClipChangeRecord ) == 12, "logic reads a clip change as three words" );
static_assert( sizeof( ProximityChangeRecord ) == 8, "logic reads a proximity change as two words" );

DTVector3d WorldPosition( EFPosData & instance ) {
	DTFrame * const frame = instance.GetFrame();
	return frame != nullptr ? *frame->GetWMatrix()->GetPos() : DTVector3d();
}

f32 Square( const f32 value ) {
	return value * value;
}

// Whether the sphere lies beyond one of the six planes (normals out).
bool SphereOutside( const EFFrustum & frustum, const DTVector3d & centre, const f32 radius ) {
	for ( const EFPlane & plane : frustum.moPlanes ) {
		if ( plane.Distance( centre ) > radius ) {
			return true;
		}
	}
	return false;
}

bool AtomicVisible( RpAtomic & atomic, const EFFrustum & frustum ) {
	if ( ( atomic.interpolator.flags & rpINTERPOLATORDIRTYSPHERE ) != 0 ) {
		_rpAtomicResyncInterpolatedSphere( &atomic );
	}
	DTVector3d centre( atomic.boundingSphere.center.x, atomic.boundingSphere.center.y, atomic.boundingSphere.center.z );
	RwFrame * const frame = RpAtomicGetFrame( &atomic );
	if ( frame != nullptr ) {
		DTVector3d world;
		DTAsDTMatrix( RwFrameGetLTM( frame ) )->TransformPoint( centre, world );
		centre = world;
	}
	return !SphereOutside( frustum, centre, atomic.boundingSphere.radius );
}

void PushFront( EFGameObject *& head, EFGameObject & object, const u32 place ) {
	object.mpGameObjectPipeLineList[place] = head;
	head = &object;
}

}

void EFWorld::PrepareRender() {
	if ( gpoGraphicsMgr != nullptr ) {
		for ( u32 slot = 0; slot < EF_CAMERA_SLOT_COUNT; slot++ ) {
			EFCamera * const camera = gpoGraphicsMgr->GetCamera( slot );
			if ( camera == nullptr ) {
				continue;
			}
			EFRefreshWorldFrustum( *camera );
		}
	}
	ClipGameObjects();
}

u32 EFWorld::ClipFrustumTest( EFGameObject & object, EFCamera & camera ) {
	const EF3dObj * const model = object.muiNb3dObj != 0 ? object.Get3dObject( 0 ) : nullptr;
	if ( model == nullptr || model->mpClump == nullptr ) {
		return SphereOutside( camera.moWorldFrustum, WorldPosition( object ), FRAME_SPHERE_RADIUS ) ? 0 : 1;
	}
	struct Search {
		const EFFrustum *	frustum;
		bool				visible;
	} search = { &camera.moWorldFrustum, false };
	// The walk stops at the first visible atomic.
	RpClumpForAllAtomics( model->mpClump, []( RpAtomic * atomic, void * data ) -> RpAtomic * {
		Search & state = *static_cast<Search *>( data );
		state.visible = AtomicVisible( *atomic, *state.frustum );
		return state.visible ? nullptr : atomic;
	}, &search );
	return search.visible ? 1 : 0;
}

u32 EFWorld::ClipDistanceTest( EFGameObject & object, EFCamera & camera ) {
	const EFClippingParams & params = object.moClipping.clipParams;
	const f32 distance = ( WorldPosition( object ) - WorldPosition( camera ) ).LengthSquare();
	const f32 margin = params.fThreshold;
	const u32 slot = camera.GetUID() & CAMERA_SLOT_MASK;
	// A slot past the object's camera states has no previous band: the
	// band is found without the margin.
	if ( slot < EF_CLIP_CAMERA_SLOTS ) {
		const u32 level = object.moClipping.camClipState[slot].ui16CamDistLevel;
		if ( level <= LAST_BAND ) {
			const bool nearer = level > 0 && distance < Square( params.oDists[level - 1].fDist - margin );
			const bool farther = level < LAST_BAND && params.oDists[level].fDist > 0.0f &&
								 distance > Square( params.oDists[level].fDist + margin );
			if ( !nearer && !farther ) {
				return level;
			}
		}
	}
	for ( u32 band = 0; band < BOUNDED_BANDS; band++ ) {
		const f32 bound = params.oDists[band].fDist;
		if ( bound < 0.0f || Square( bound ) > distance ) {
			return band;
		}
	}
	return LAST_BAND;
}

u32 EFWorld::ClipProximityTest( EFGameObject & object ) {
	EFObjProximityClipping & proximity = object.moProximityClipping;
	const EFProximityClippingParams & params = proximity.proxClipParams;
	EFGameObject * other = mpoProximityCache;
	if ( other == nullptr || other->GetUID() != params.uiObjectID ) {
		other = GetGameObject( params.uiObjectID, nullptr );
		mpoProximityCache = other;
	}
	if ( other == nullptr ) {
		return proximity.bInProxDist;
	}
	const f32 distance = ( WorldPosition( object ) - WorldPosition( *other ) ).LengthSquare();
	if ( proximity.bInProxDist != 0 ) {
		return distance > Square( params.fDistance + params.fThreshold ) ? 0 : 1;
	}
	return distance <= Square( params.fDistance - params.fThreshold ) ? 1 : 0;
}

void EFWorld::ClipGameObjects() {
	if ( gpoGraphicsMgr == nullptr || gpoGraphicsMgr->GetCameraCount() == 0 ) {
		return;
	}
	mpoProximityCache = nullptr;
	ClipLists lists = {};
	for ( MLIST * link = moObjectList.pNext; link != nullptr; link = link->pNext ) {
		ClipGameObject( *link->GetData<EFGameObject>(), lists );
	}
	for ( u32 place = 0; place < EF_WORLD_DELETION_LIST; place++ ) {
		mpListHeads[place] = lists.heads[place];
	}
	// The clip notifications reach the logic in the frame they arise.
	if ( gpoGameLogicMgr != nullptr ) {
		gpoGameLogicMgr->GetNotificationMgr().FlushNotification();
	}
}

void EFWorld::ClipGameObject( EFGameObject & object, ClipLists & lists ) {
	EFObjClipping & clipping = object.moClipping;
	const EFClippingDistance * const bands = clipping.clipParams.oDists;
	const bool distanceTest = ( object.muiClipTests & EF_CLIPTEST_DISTANCE ) != 0;
	const bool proximityTest = ( object.muiClipTests & EF_CLIPTEST_PROXIMITY ) != 0;

	u32 inAny = 0;
	u32 band = distanceTest ? NO_BAND : 0;
	const u32 cameras = gpoGraphicsMgr->GetCameraCount();
	for ( u32 slot = 0; slot < cameras; slot++ ) {
		EFCamera * const camera = gpoGraphicsMgr->GetCamera( slot );
		if ( camera == nullptr || ( camera->muiFlags & EF_INSTANCE_ACTIVE ) == 0 ) {
			continue;
		}
		EFCamClipState * const state = slot < EF_CLIP_CAMERA_SLOTS ? &clipping.camClipState[slot] : nullptr;
		const u32 in = ClipFrustumTest( object, *camera );
		inAny |= in;
		u32 cameraBand = 0;
		if ( distanceTest ) {
			cameraBand = ClipDistanceTest( object, *camera );
			band = cameraBand < band ? cameraBand : band;
		}
		if ( state != nullptr ) {
			state->ui16CamInFrustum = static_cast<u16>( in );
			if ( distanceTest ) {
				state->ui16CamDistLevel = static_cast<u16>( cameraBand );
			}
			state->uiCamClipOps = in != 0 ? bands[cameraBand].uiInFrustClipOps : bands[cameraBand].uiOutFrustClipOps;
		}
	}

	// Without an active camera the band stays one past the last: its
	// words are those of the last band.
	const EFClippingDistance & words = bands[band < NO_BAND ? band : LAST_BAND];
	u32 ops = inAny != 0 ? words.uiInFrustClipOps : words.uiOutFrustClipOps;

	u32 near = 0;
	if ( proximityTest ) {
		near = ClipProximityTest( object );
		if ( near == 0 ) {
			ops |= object.moProximityClipping.proxClipParams.uiProxClipOps & ~EF_CLIPOP_NOTIFY;
		}
	}

	if ( ( ops & EF_CLIPOP_NO_ANIMATION ) == 0 && object.moAnimationMgr.muiNbAnims != 0 ) {
		if ( inAny == 0 && EFIdKind( object.GetUID() ) == KIND_PLAIN_ID ) {
			ops |= EF_CLIPOP_NO_HIERARCHY;
		}
		PushFront( lists.heads[EF_WORLD_ANIMATION_LIST], object, EF_WORLD_ANIMATION_LIST );
	}

	if ( ( ops & EF_CLIPOP_NO_RENDER ) == 0 && inAny != 0 && object.muiNb3dObj != 0 ) {
		PushFront( lists.heads[EF_WORLD_RENDER_LIST], object, EF_WORLD_RENDER_LIST );
		if ( ( object.muiUtilFlag & EF_UTIL_CLUMPS_IN_WORLD ) == 0 ) {
			MoveClumps( object, true );
			object.muiUtilFlag |= EF_UTIL_CLUMPS_IN_WORLD;
		}
	} else if ( ( object.muiUtilFlag & EF_UTIL_CLUMPS_IN_WORLD ) != 0 ) {
		MoveClumps( object, false );
		object.muiUtilFlag &= ~EF_UTIL_CLUMPS_IN_WORLD;
	}

	if ( ( ops & EF_CLIPOP_NO_LOGIC ) == 0 ) {
		PushFront( lists.heads[EF_WORLD_LOGIC_LIST], object, EF_WORLD_LOGIC_LIST );
	}
	if ( ( ops & EF_CLIPOP_NO_PHYSICS ) == 0 && object.mpoPhysic != nullptr &&
		 ( object.mpoPhysic->mui32PhysicFlags & EF_PHYSIC_OFF ) == 0 ) {
		PushFront( lists.heads[EF_WORLD_PHYSICS_LIST], object, EF_WORLD_PHYSICS_LIST );
	}

	object.ApplyClipOps( ops );
	NotifyClipChange( object, band, inAny, ops, near );

	if ( proximityTest ) {
		object.moProximityClipping.bInProxDist = near;
	}
	if ( distanceTest ) {
		clipping.ui16DistLevel = static_cast<u16>( band );
	}
	clipping.ui16InFrustum = static_cast<u16>( inAny );
	object.muiClipTests &= ~( EF_CLIPTEST_FORCE_NOTIFY | EF_CLIPTEST_FORCE_PROX );
}

void EFWorld::MoveClumps( EFGameObject & object, const bool intoWorld ) {
	for ( u32 i = 0; i < object.muiNb3dObj; i++ ) {
		EF3dObj * const model = object.Get3dObject( i );
		// A grid draws itself; its quad never joins the library's world.
		if ( model == nullptr || model->GetClassID() != EF_3D_OBJ_CLASS_ID ) {
			continue;
		}
		if ( intoWorld ) {
			Add3dObj( model );
		} else {
			Remove3dObj( model );
		}
	}
}

void EFWorld::NotifyClipChange( EFGameObject & object, const u32 band, const u32 inAny, const u32 ops, const u32 near ) {
	const EFObjClipping & clipping = object.moClipping;
	const bool forced = ( object.muiClipTests & EF_CLIPTEST_FORCE_NOTIFY ) != 0;
	if ( ( ops & EF_CLIPOP_NOTIFY ) != 0 &&
		 ( forced || inAny != clipping.ui16InFrustum || band != clipping.ui16DistLevel ) ) {
		// The notification manager frees deferred data with operator delete.
		ClipChangeRecord * const record = static_cast<ClipChangeRecord *>( ::operator new( sizeof( ClipChangeRecord ), std::nothrow ) );
		if ( record != nullptr ) {
			*record = { band, inAny, ops };
			object.Notify( NO_CLIPCHANGE, record, true );
		}
	}
	const EFObjProximityClipping & proximity = object.moProximityClipping;
	const bool forcedProximity = ( object.muiClipTests & EF_CLIPTEST_FORCE_PROX ) != 0;
	if ( ( proximity.proxClipParams.uiProxClipOps & EF_CLIPOP_NOTIFY ) != 0 &&
		 ( forcedProximity || near != proximity.bInProxDist ) ) {
		ProximityChangeRecord * const record =
			static_cast<ProximityChangeRecord *>( ::operator new( sizeof( ProximityChangeRecord ), std::nothrow ) );
		if ( record != nullptr ) {
			*record = { proximity.proxClipParams.uiObjectID, near };
			object.Notify( NO_PROXIMITYCLIPCHANGE, record, true );
		}
	}
}
