#include "framework/physics/EFCollisionSystem.h"

#include "datatypes/maths/DTFrame.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/graphics/particles/PLEmitter.h"
#include "framework/graphics/particles/PLMgr.h"
#include "framework/graphics/particles/PLType.h"
#include "framework/physics/EFCollisionData.h"
#include "framework/physics/EFCollisionReport.h"
#include "framework/physics/EFContactReport.h"
#include "framework/physics/EFDynamicPhysic.h"
#include "framework/physics/EFEnvCollisionPrim.h"
#include "framework/physics/EFGetPrimitivesInSphereData.h"
#include "framework/physics/EFPhysic.h"
#include "framework/physics/EFPhysicMgr.h"
#include "framework/physics/EFPushRecord.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwMatrix.h"
#include "platform/os/OS.h"

#include <cmath>
#include <cstddef>
#include <new>

// Carved one after the other, stages form an array only when their size
// keeps the carving's alignment.
static_assert( sizeof( EFCollisionStage ) % alignof( std::max_align_t ) == 0, "stages carve as one array" );

namespace {

// Time of a check's earliest report before any is found.
constexpr f32 NO_REPORT_TIME		= 100000.0f;
// A member moving more than 0.001 units leaves its contacts behind.
constexpr f32 CONTACT_MOVE_SQUARED	= 1e-6f;
// Frame time left below which no iteration follows.
constexpr f32 MIN_TIME_LEFT			= 0.0005f;
// A normal relative speed above this is not an approach.
constexpr f32 APPROACH_SPEED		= -1e-5f;
// Members whose normal speeds differ by less are nudged apart by 1.0001.
constexpr f32 SEPARATION_SPEED		= -0.0001f;
constexpr f32 SEPARATION_SCALE		= 1.0001f;

EFPhysicMgr & Manager() {
	return EFPhysicMgr::moPhysicMgr;
}

EFPhysic & BodyOf( const EFCollisionStage & stage ) {
	return *stage.mpoRecord->poPhysic;
}

bool SpheresTouch( const DTVector3d & a, const f32 ra, const DTVector3d & b, const f32 rb ) {
	const DTVector3d d = a - b;
	const f32 sum = ra + rb;
	return d * d <= sum * sum;
}

// count pointers from the work memory; when fewer fit, as many as fit
// (count lowered, with a message).
template< class T >
T ** CarveList( u32 & count, const char * what ) {
	if ( count == 0 ) {
		return nullptr;
	}
	void * list = Manager().CarveWorkMemory( count * static_cast<u32>( sizeof( T * ) ) );
	if ( list == nullptr ) {
		u32 left = 0;
		Manager().PeekWorkMemory( left );
		const u32 fit = left / static_cast<u32>( sizeof( T * ) );
		OSReport( "EFCollisionSystem: work memory holds %u of %u %s\n", fit, count, what );
		count = fit;
		list = fit != 0 ? Manager().CarveWorkMemory( fit * static_cast<u32>( sizeof( T * ) ) ) : nullptr;
	}
	return static_cast<T **>( list );
}

// The body that carries this body's owner as a child (flag 0x400000 on
// the body of the parent's game object), or null.
EFPhysic * CarrierOf( const EFPhysic & body ) {
	const EFPhysicData * const owner = body.GetOwner();
	const EFPosData * const parent = owner != nullptr ? owner->mpParent : nullptr;
	const EFGameObject * const object = parent != nullptr ? parent->mpGameObjectOwner : nullptr;
	EFPhysic * const carrier = object != nullptr ? object->mpoPhysic : nullptr;
	return carrier != nullptr && ( carrier->mui32PhysicFlags & EF_PHYSIC_CARRIER ) != 0 ? carrier : nullptr;
}

void GiveBackContacts( EFCollisionStage & stage ) {
	while ( EFContactReport * const contact = stage.mpoContactList ) {
		stage.mpoContactList = contact->mpoNext;
		Manager().GiveBackContact( contact );
	}
}

void GiveBackReports( EFCollisionReport *& list ) {
	while ( EFCollisionReport * const report = list ) {
		list = report->mpoNext;
		Manager().GiveBackReport( report );
	}
}

}

EFCollisionSystem::EFCollisionSystem()
	: mui32SetUp( 0 ), mpoStages( nullptr ), mui32NbStages( 0 ), mpoReports( nullptr ), mfElapsed( 0.0f ), moBSphere(),
	  mui32Flags( 0 ), mui32CollisionType( 0 ), mui32CollisionUDType( 0 ), mui32DetectType( 0 ),
	  mui32UDDetectType( 0 ), maCollidables() {
}

EFCollisionSystem::~EFCollisionSystem() {
}

void EFCollisionSystem::Init( EFUpdatePhysicStruct & frame, const u32 pass, const u32 index, void * memory, void * ) {
	if ( mui32SetUp != 0 ) {
		Terminate( frame );
	}
	// Every island of the pass reuses the same area.
	Manager().RewindWorkMemory( memory );
	CreateSystem( frame, pass, index );
	BuildCollidableLists( frame );
	BuildParticleEmittersList( frame );
	BuildEnvPrimsLists( frame );
	mui32SetUp = 1;
	for ( u32 i = 0; i < mui32NbStages; i++ ) {
		EFCollisionModel & model = BodyOf( mpoStages[i] ).moCollisionModel;
		if ( model.muiPrimaryPrimIndex != EF_NO_PRIMARY_PRIM ) {
			model.ValidatePrimaryPrimTrans( &mpoStages[i] );
		}
	}
}

EFCollisionStage * EFCollisionSystem::AddStage( EFDynamicPhysic & record, const f32 dt ) {
	void * const memory = Manager().CarveWorkMemory( sizeof( EFCollisionStage ) );
	// The stages are one array: a piece that is not next to the last one
	// (or none) makes no stage.
	if ( memory == nullptr || ( mpoStages != nullptr && memory != mpoStages + mui32NbStages ) ) {
		OSReport( "EFCollisionSystem: no work memory for stage %u\n", mui32NbStages + 1 );
		return nullptr;
	}
	EFCollisionStage * const stage = new ( memory ) EFCollisionStage();
	if ( mpoStages == nullptr ) {
		mpoStages = stage;
	}
	mui32NbStages++;
	record.uiFlags |= EF_RECORD_MEMBER;
	stage->mpoRecord = &record;
	EFPhysic & body = *record.poPhysic;
	stage->mui32LostRecords = 0;
	stage->mfReserved = 0.0f;
	stage->mbDirty = 1;
	stage->mfSquaredRadius = record.fFrameBSphereRadius * record.fFrameBSphereRadius;
	const f32 speed = RwV3dLength( DTAsRwV3d( &body.moVelocity ) );
	stage->mfTimeTolerance = speed > 0.0f ? 0.001f / speed : dt;
	stage->mfEarliestTime = NO_REPORT_TIME;
	return stage;
}

void EFCollisionSystem::CreateSystem( EFUpdatePhysicStruct & frame, const u32 pass, const u32 index ) {
	const EFUpdatePhysicStruct::Pass & list = frame.aoPass[pass];
	mpoStages = nullptr;
	mui32NbStages = 0;
	mpoReports = nullptr;
	mfElapsed = 0.0f;
	mui32Flags = mui32CollisionType = mui32CollisionUDType = mui32DetectType = mui32UDDetectType = 0;
	if ( AddStage( list.poFirst[index], frame.fDt ) == nullptr ) {
		moBSphere = DTSphere();
		return;
	}
	// The array grows while it is walked: a joining body is set up in turn
	// and gathers its own neighbours.
	for ( u32 s = 0; s < mui32NbStages; s++ ) {
		EFCollisionStage & stage = mpoStages[s];
		const EFDynamicPhysic & record = *stage.mpoRecord;
		const EFPhysic & body = *record.poPhysic;
		const EFCollisionModel & model = body.moCollisionModel;
		mui32Flags |= body.mui32PhysicFlags;
		mui32CollisionType |= model.muiCollisionType;
		mui32CollisionUDType |= model.muiCollisionUDType;
		mui32DetectType |= model.muiCollisionDetectType;
		mui32UDDetectType |= model.muiCollisionUDDetectType;
		stage.InitColPrims();
		for ( u32 r = index + 1; r < list.ui32Count && mui32NbStages < EF_SYSTEM_MAX_STAGES; r++ ) {
			EFDynamicPhysic & other = list.poFirst[r];
			const EFPhysic & candidate = *other.poPhysic;
			if ( ( other.uiFlags & ( EF_RECORD_MEMBER | EF_RECORD_DONE ) ) != 0 ||
				 ( candidate.mui32PhysicFlags & EF_PHYSIC_COLLIDES ) == 0 ||
				 candidate.moCollisionModel.mui32MaxPrims == 0 ||
				 !SpheresTouch( record.oFrameBSpherePos, record.fFrameBSphereRadius, other.oFrameBSpherePos,
								other.fFrameBSphereRadius ) ) {
				continue;
			}
			if ( AddStage( other, frame.fDt ) == nullptr ) {
				break;
			}
		}
	}
	ComputeBSphere();
}

void EFCollisionSystem::ComputeBSphere() {
	if ( mui32NbStages == 0 ) {
		return;
	}
	if ( mui32NbStages == 1 ) {
		moBSphere = DTSphere( mpoStages[0].mpoRecord->oFrameBSpherePos, mpoStages[0].mpoRecord->fFrameBSphereRadius );
		return;
	}
	// The pair farthest apart, by model centres and frame radii.
	f32 largest = -1.0f;
	DTVector3d centre;
	for ( u32 i = 0; i < mui32NbStages; i++ ) {
		const DTVector3d & a = BodyOf( mpoStages[i] ).moCollisionModel.moPhysicBSphereWPos;
		for ( u32 j = i + 1; j < mui32NbStages; j++ ) {
			const DTVector3d & b = BodyOf( mpoStages[j] ).moCollisionModel.moPhysicBSphereWPos;
			const DTVector3d d = a - b;
			const f32 value = d * d + mpoStages[i].mfSquaredRadius + mpoStages[j].mfSquaredRadius;
			if ( value > largest ) {
				largest = value;
				centre = ( a + b ) * 0.5f;
			}
		}
	}
	f32 radius = 0.0f;
	for ( u32 i = 0; i < mui32NbStages; i++ ) {
		const EFDynamicPhysic & record = *mpoStages[i].mpoRecord;
		const DTVector3d d = record.oFrameBSpherePos - centre;
		const f32 reach = std::sqrt( d * d ) + record.fFrameBSphereRadius;
		radius = reach > radius ? reach : radius;
	}
	moBSphere = DTSphere( centre, radius );
}

void EFCollisionSystem::BuildCollidableLists( EFUpdatePhysicStruct & frame ) {
	u32 listed = 0;
	for ( u32 p = 0; p < EF_PHYSIC_PASS_COUNT; p++ ) {
		const EFUpdatePhysicStruct::Pass & pass = frame.aoPass[p];
		EFCollisionStage::CollidableList & list = maCollidables[p];
		u32 count = 0;
		for ( u32 r = 0; r < pass.ui32Count && listed + count < EF_SYSTEM_MAX_COLLIDABLES; r++ ) {
			const EFDynamicPhysic & record = pass.poFirst[r];
			if ( ( record.uiFlags & EF_RECORD_MEMBER ) == 0 &&
				 SpheresTouch( record.oFrameBSpherePos, record.fFrameBSphereRadius, moBSphere.moPos,
							   moBSphere.mfRadius ) ) {
				count++;
			}
		}
		list.mppoRecords = CarveList<EFDynamicPhysic>( count, "outside bodies" );
		list.mui32Count = 0;
		for ( u32 r = 0; r < pass.ui32Count && list.mui32Count < count; r++ ) {
			EFDynamicPhysic & record = pass.poFirst[r];
			if ( ( record.uiFlags & EF_RECORD_MEMBER ) == 0 &&
				 SpheresTouch( record.oFrameBSpherePos, record.fFrameBSphereRadius, moBSphere.moPos,
							   moBSphere.mfRadius ) ) {
				list.mppoRecords[list.mui32Count++] = &record;
			}
		}
		listed += list.mui32Count;
	}
	for ( u32 s = 0; s < mui32NbStages; s++ ) {
		EFCollisionStage & stage = mpoStages[s];
		const EFDynamicPhysic & member = *stage.mpoRecord;
		for ( u32 p = 0; p < EF_PHYSIC_PASS_COUNT; p++ ) {
			const EFCollisionStage::CollidableList & all = maCollidables[p];
			EFCollisionStage::CollidableList & own = stage.maCollidables[p];
			if ( mui32NbStages == 1 ) {
				own = all;
				continue;
			}
			u32 count = 0;
			for ( u32 k = 0; k < all.mui32Count; k++ ) {
				const EFDynamicPhysic & record = *all.mppoRecords[k];
				count += SpheresTouch( record.oFrameBSpherePos, record.fFrameBSphereRadius, member.oFrameBSpherePos,
									   member.fFrameBSphereRadius )
							 ? 1
							 : 0;
			}
			own.mppoRecords = CarveList<EFDynamicPhysic>( count, "outside bodies of a member" );
			own.mui32Count = 0;
			for ( u32 k = 0; k < all.mui32Count && own.mui32Count < count; k++ ) {
				EFDynamicPhysic * const record = all.mppoRecords[k];
				if ( SpheresTouch( record->oFrameBSpherePos, record->fFrameBSphereRadius, member.oFrameBSpherePos,
								   member.fFrameBSphereRadius ) ) {
					own.mppoRecords[own.mui32Count++] = record;
				}
			}
		}
	}
}

namespace {

// Whether a particle type's masks meet the system's crosswise.
bool TypeMeets( const PLType & type, const EFCollisionSystem & system ) {
	return ( type.mui32DetectType & system.mui32CollisionType ) != 0 ||
		   ( type.mui32UDDetectType & system.mui32CollisionUDType ) != 0 ||
		   ( type.mui32CollisionType & system.mui32DetectType ) != 0 ||
		   ( type.mui32UDCollisionType & system.mui32UDDetectType ) != 0;
}

bool EmitterNear( const PLEmitter & emitter, const PLType & type, const DTSphere & sphere ) {
	if ( emitter.moParticles.GetFirst() == nullptr ) {
		return false;
	}
	DTVector3d position;
	if ( emitter.GetFrame() != nullptr ) {
		const RwMatrix * const world = RwFrameGetLTM( emitter.GetFrame()->GetRwFrame() );
		position = DTVector3d( world->pos.x, world->pos.y, world->pos.z );
	}
	return SpheresTouch( position, 0.0f, sphere.moPos, sphere.mfRadius + type.mfRadius );
}

}

void EFCollisionSystem::BuildParticleEmittersList( EFUpdatePhysicStruct & ) {
	if ( ( mui32Flags & EF_PHYSIC_TESTS_PARTICLES ) == 0 || gpoPLParticleMgr == nullptr ) {
		return;
	}
	PLType * const first = gpoPLParticleMgr->GetTypeList().GetFirst();
	u32 count = 0;
	for ( PLType * type = first; type != nullptr; type = type->mpoNext ) {
		if ( !TypeMeets( *type, *this ) ) {
			continue;
		}
		for ( PLEmitter * emitter = type->moEmitters.GetFirst(); emitter != nullptr; emitter = emitter->mpoNext ) {
			count += EmitterNear( *emitter, *type, moBSphere ) ? 1 : 0;
		}
	}
	PLEmitter ** const list = CarveList<PLEmitter>( count, "particle emitters" );
	u32 made = 0;
	for ( PLType * type = first; type != nullptr && made < count; type = type->mpoNext ) {
		if ( !TypeMeets( *type, *this ) ) {
			continue;
		}
		for ( PLEmitter * emitter = type->moEmitters.GetFirst(); emitter != nullptr && made < count;
			  emitter = emitter->mpoNext ) {
			if ( EmitterNear( *emitter, *type, moBSphere ) ) {
				list[made++] = emitter;
			}
		}
	}
	for ( u32 s = 0; s < mui32NbStages; s++ ) {
		mpoStages[s].mpoRecord->ppoEmitterList = list;
		mpoStages[s].mpoRecord->uiNbEmitters = made;
	}
}

void EFCollisionSystem::BuildEnvPrimsLists( EFUpdatePhysicStruct & ) {
	for ( u32 s = 0; s < mui32NbStages; s++ ) {
		EFCollisionStage & stage = mpoStages[s];
		const EFDynamicPhysic & record = *stage.mpoRecord;
		const EFCollisionModel & model = record.poPhysic->moCollisionModel;
		// The query writes straight into the rest of the work memory, which
		// is then carved to what it found.
		u32 left = 0;
		void * const output = Manager().PeekWorkMemory( left );
		EFGetPrimitivesInSphereData query = {};
		query.oSphere = DTSphere( record.oFrameBSpherePos, record.fFrameBSphereRadius );
		query.ui32DetectType = model.muiEnvDetectType;
		query.ui32UDDetectType = model.muiUDEnvDetectType;
		query.ppoOutput = static_cast<EFEnvCollisionPrim **>( output );
		query.ui32Capacity = left / static_cast<u32>( sizeof( EFEnvCollisionPrim * ) );
		const u32 found = Manager().GetPrimitivesInSphere( &query );
		stage.mppoEnvPrims = static_cast<EFEnvCollisionPrim **>( output );
		stage.mui32NbEnvPrims = found;
		if ( found != 0 ) {
			Manager().CarveWorkMemory( found * static_cast<u32>( sizeof( EFEnvCollisionPrim * ) ) );
		}
		stage.mbDirty = 1;
	}
}

void EFCollisionSystem::Advance( const f32 step ) {
	for ( u32 s = 0; s < mui32NbStages; s++ ) {
		EFCollisionStage & stage = mpoStages[s];
		EFPhysic & body = BodyOf( stage );
		DTVector3d velocity = body.moVelocity;
		if ( const EFPhysic * const carrier = CarrierOf( body ) ) {
			// Carried: the velocity relative to the carrier, in the parent
			// frame's space.
			velocity -= carrier->moVelocity;
			DTFrame * const parentFrame = body.GetOwner()->mpParent->GetFrame();
			if ( parentFrame != nullptr ) {
				RwMatrix inverse = {};
				RwMatrixInvert( &inverse, RwFrameGetLTM( parentFrame->GetRwFrame() ) );
				RwV3dTransformVectors( DTAsRwV3d( &velocity ), DTAsRwV3d( &velocity ), 1, &inverse );
			}
		}
		const DTVector3d move = velocity * step;
		body.moCollisionModel.Translate( move );
		stage.moTranslation += move;
		if ( move * move > CONTACT_MOVE_SQUARED ) {
			GiveBackContacts( stage );
		}
	}
}

void EFCollisionSystem::DropFirstReport() {
	EFCollisionReport * const report = mpoReports;
	mpoReports = report->mpoNext;
	Manager().GiveBackReport( report );
}

void EFCollisionSystem::Update( EFUpdatePhysicStruct & frame ) {
	const f32 dt = frame.fDt;
	mfElapsed = 0.0f;
	for ( u32 iteration = 0; iteration < EF_SYSTEM_MAX_ITERATIONS && mui32NbStages != 0; iteration++ ) {
		CheckCollisions( frame );
		const f32 target = mpoReports != nullptr && mpoReports->mfTime < dt ? mpoReports->mfTime : dt;
		Advance( target - mfElapsed );
		f32 window = dt;
		const auto narrow = [&]() {
			const EFCollisionReport & first = *mpoReports;
			f32 tolerance = first.mpoStage->mfTimeTolerance;
			if ( first.mpoOtherStage != nullptr && first.mpoOtherStage->mfTimeTolerance < tolerance ) {
				tolerance = first.mpoOtherStage->mfTimeTolerance;
			}
			if ( target + tolerance < window ) {
				window = target + tolerance;
			}
		};
		while ( mpoReports != nullptr && mpoReports->mfTime < window ) {
			narrow();
			ComputeCollision( frame );
			narrow();
			DropFirstReport();
		}
		for ( u32 s = 0; s < mui32NbStages; s++ ) {
			if ( mpoStages[s].mbDirty != 0 ) {
				mpoStages[s].CheckMultipleCollisions( dt );
			}
		}
		mfElapsed = target;
		if ( !( dt - mfElapsed > MIN_TIME_LEFT ) ) {
			break;
		}
	}
	// A member that needed environment records the pools could not give,
	// and held none, may have been moved into or through a floor: it rests
	// where the system found it for this frame (a velocity kept while held
	// would grow frame by frame and carry it into the floor once let go).
	for ( u32 s = 0; s < mui32NbStages; s++ ) {
		EFCollisionStage & stage = mpoStages[s];
		if ( stage.mui32LostRecords != 0 ) {
			EFPhysic & body = BodyOf( stage );
			body.moCollisionModel.Translate( -stage.moTranslation );
			body.moVelocity = DTVector3d();
			stage.moTranslation = DTVector3d();
		}
	}
	for ( u32 s = 0; s < mui32NbStages; s++ ) {
		BodyOf( mpoStages[s] ).moCollisionModel.ValidatePrimaryPrimTrans( &mpoStages[s] );
	}
}

void EFCollisionSystem::CheckCollisions( EFUpdatePhysicStruct & frame ) {
	const f32 dt = frame.fDt;
	for ( EFCollisionReport ** link = &mpoReports; *link != nullptr; ) {
		EFCollisionReport * const report = *link;
		const bool otherDirty = report->mpoOtherStage != nullptr && report->mpoOtherStage->mbDirty != 0;
		if ( report->mpoStage->mbDirty != 0 || otherDirty ) {
			*link = report->mpoNext;
			Manager().GiveBackReport( report );
		} else {
			link = &report->mpoNext;
		}
	}
	for ( u32 s = 0; s < mui32NbStages; s++ ) {
		if ( mpoStages[s].mbDirty != 0 ) {
			mpoStages[s].mfEarliestTime = NO_REPORT_TIME;
		}
	}
	for ( u32 i = 0; i < mui32NbStages; i++ ) {
		EFCollisionStage & stage = mpoStages[i];
		if ( stage.mbDirty == 0 ) {
			continue;
		}
		EFPhysic & body = BodyOf( stage );
		body.CheckEnvCollisions( stage, mfElapsed, dt );
		for ( const EFCollisionStage::CollidableList & list : stage.maCollidables ) {
			for ( u32 k = 0; k < list.mui32Count; k++ ) {
				body.CheckObjCollisions( stage, *list.mppoRecords[k], nullptr, mfElapsed, dt );
			}
		}
		for ( u32 j = 0; j < mui32NbStages; j++ ) {
			// A pair with an earlier dirty member was tested from there.
			if ( j == i || ( j < i && mpoStages[j].mbDirty != 0 ) ) {
				continue;
			}
			body.CheckObjCollisions( stage, *mpoStages[j].mpoRecord, &mpoStages[j], mfElapsed, dt );
		}
		// Merge by time; a new report goes before the ones of equal time.
		EFCollisionReport ** link = &mpoReports;
		while ( EFCollisionReport * const report = stage.mpoNewReports ) {
			stage.mpoNewReports = report->mpoNext;
			while ( *link != nullptr && ( *link )->mfTime < report->mfTime ) {
				link = &( *link )->mpoNext;
			}
			report->mpoNext = *link;
			*link = report;
			link = &report->mpoNext;
		}
	}
	for ( u32 s = 0; s < mui32NbStages; s++ ) {
		mpoStages[s].mbDirty = 0;
		mpoStages[s].CheckPush();
	}
}

void EFCollisionSystem::ComputeCollision( EFUpdatePhysicStruct & frame ) {
	const f32 dt = frame.fDt;
	EFCollisionReport & report = *mpoReports;
	EFCollisionStage & stageA = *report.mpoStage;
	EFDynamicPhysic & recordA = *stageA.mpoRecord;
	EFPhysic & a = *recordA.poPhysic;
	EFDynamicPhysic * const recordB = report.mpoOtherRecord;
	EFPhysic * const b = recordB != nullptr ? recordB->poPhysic : nullptr;
	EFCollisionStage * const stageB = report.mpoOtherStage;
	const bool member = stageB != nullptr && b != nullptr;
	const DTVector3d n = report.moNormal;

	EFCollisionData data = {};
	data.fTime = report.mfTime;
	data.oNorm = n;
	data.bCreateContact = report.mui32Overlap != 0 ? 0 : 1;

	const DTVector3d velocityA = a.moVelocity;
	const DTVector3d velocityB = b != nullptr ? b->moVelocity : DTVector3d();
	if ( ( velocityA - velocityB ) * n > APPROACH_SPEED ) {
		if ( b != nullptr ) {
			report.CheckNotify( velocityA, velocityB );
		}
		return;
	}

	f32 hardnessB = 0.0f;
	f32 reboundB = 0.0f;
	if ( b != nullptr ) {
		hardnessB = b->mfHardness;
		reboundB = b->mfRebound;
	} else if ( report.mpoEnvPrim != nullptr ) {
		hardnessB = report.mpoEnvPrim->GetAttribs()->fHardness;
		reboundB = report.mpoEnvPrim->GetAttribs()->fRebound;
	}
	const f32 softness = 2.0f - ( a.mfHardness + hardnessB );
	const f32 springs = ( 1.0f - a.mfHardness ) * a.mfRebound + ( 1.0f - hardnessB ) * reboundB;
	const f32 e = softness > 0.0f ? springs / softness : 0.0f;

	// The normal parts of velocities and applied accelerations.
	f32 uA = a.moVelocity * n;
	a.moVelocity -= n * uA;
	f32 uB = 0.0f;
	if ( b != nullptr ) {
		uB = b->moVelocity * n;
		if ( member ) {
			b->moVelocity -= n * uB;
		}
	}
	f32 accelA = recordA.oAppliedAccel * n;
	recordA.oAppliedAccel -= n * accelA;
	f32 accelB = 0.0f;
	if ( recordB != nullptr ) {
		accelB = recordB->oAppliedAccel * n;
		recordB->oAppliedAccel -= n * accelB;
	}

	// Take out what the accelerations add over the rest of the step; when
	// that alone makes the impact, scale it until the impact speed is 0.
	const f32 tau = dt - report.mfTime;
	uA -= accelA * tau;
	uB -= accelB * tau;
	if ( uA - uB > 0.0f ) {
		const f32 k = -( uA - uB ) / ( tau * ( accelA - accelB ) );
		uA += tau * accelA * k;
		uB += tau * accelB * k;
		accelA -= accelA * k;
		accelB -= accelB * k;
	}

	// A still platform counts as the higher priority of the pair, and
	// keeps its own velocity whatever the impulse gives it.
	const bool stillA = a.IsStillPlatform();
	const bool stillB = member && b->IsStillPlatform();
	const bool equal = member && !stillA && !stillB && b->muiPriority == a.muiPriority;
	const bool lower = member && !stillB && ( stillA || b->muiPriority < a.muiPriority );
	// Weights that cannot share (0, or sums that are not finite) split
	// equally instead of dividing by zero.
	bool split = false;
	if ( equal ) {
		const f32 sum = a.mfWeight + b->mfWeight;
		const f32 inverseSum = 1.0f / a.mfWeight + 1.0f / b->mfWeight;
		split = sum == 0.0f || !std::isfinite( sum ) || inverseSum == 0.0f || !std::isfinite( inverseSum );
	}
	f32 common = accelB;
	if ( equal ) {
		common = split ? ( accelA + accelB ) * 0.5f
					   : ( accelA * a.mfWeight + accelB * b->mfWeight ) / ( a.mfWeight + b->mfWeight );
	} else if ( lower ) {
		common = accelA;
	}
	recordA.oAppliedAccel += n * common;
	if ( recordB != nullptr ) {
		recordB->oAppliedAccel += n * common;
	}

	uA += common * tau;
	uB += common * tau;
	const f32 impulse = ( 1.0f + e ) * ( uB - uA );
	if ( equal ) {
		if ( split ) {
			uA += impulse * 0.5f;
			uB -= impulse * 0.5f;
		} else {
			const f32 shared = impulse / ( 1.0f / a.mfWeight + 1.0f / b->mfWeight );
			uA += shared / a.mfWeight;
			uB -= shared / b->mfWeight;
		}
	} else if ( lower ) {
		uB -= impulse;
	} else {
		uA += impulse;
	}
	a.moVelocity += n * uA;
	if ( member ) {
		b->moVelocity += n * uB;
	}
	if ( stillA ) {
		a.moVelocity = velocityA;
	}
	if ( stillB ) {
		b->moVelocity = velocityB;
	}

	data.poCollider = b;
	data.poColliderPrim = nullptr;
	if ( b != nullptr && report.mui32OtherPrimIndex < b->moCollisionModel.mui32MaxPrims ) {
		data.poColliderPrim = b->moCollisionModel.mppoPrimArray[report.mui32OtherPrimIndex];
	}
	data.poEnvPrim = b == nullptr ? report.mpoEnvPrim : nullptr;
	data.poContact = nullptr;
	a.CollisionUpdate( &stageA, data, dt );
	if ( b != nullptr ) {
		data.oNorm = -n;
		data.poCollider = &a;
		const u32 index = report.mui32PrimIndex;
		data.poColliderPrim = index < stageA.mui32NbPrims ? stageA.mapoPrims[index] : nullptr;
		data.poEnvPrim = nullptr;
		b->CollisionUpdate( stageB, data, dt );
	}

	if ( member ) {
		stageA.CheckMultipleCollisions( dt );
		f32 speedA = a.moVelocity * n;
		const f32 speedB = b->moVelocity * n;
		const f32 slower = speedA < speedB ? speedA : speedB;
		if ( speedA < speedB && !stillB ) {
			b->moVelocity -= n * ( speedB - speedA );
		}
		stageB->CheckMultipleCollisions( dt );
		speedA = a.moVelocity * n;
		if ( speedA < slower && !stillA ) {
			a.moVelocity += n * ( slower - speedA );
		}
		if ( a.moVelocity * n - b->moVelocity * n > SEPARATION_SPEED && !stillA ) {
			a.moVelocity *= SEPARATION_SCALE;
		}
		a.mfFallingTimer = a.mfFallingDelay;
		b->mfFallingTimer = b->mfFallingDelay;
	}
	report.CheckNotify( velocityA, velocityB );
}

void EFCollisionSystem::PostUpdate( EFUpdatePhysicStruct & frame ) {
	CheckNoPushCollisions();
	for ( u32 s = 0; s < mui32NbStages; s++ ) {
		EFCollisionStage & stage = mpoStages[s];
		EFDynamicPhysic & record = *stage.mpoRecord;
		record.poPhysic->PostCollisionUpdate( frame.fDt, &stage, record );
		record.uiFlags = ( record.uiFlags & ~EF_RECORD_MEMBER ) | EF_RECORD_DONE;
		GiveBackReports( stage.mpoNewReports );
		GiveBackContacts( stage );
	}
}

void EFCollisionSystem::CheckNoPushCollisions() {
	for ( u32 i = 0; i < mui32NbStages; i++ ) {
		EFCollisionStage & stage = mpoStages[i];
		EFPhysic & body = BodyOf( stage );
		for ( const EFCollisionStage::CollidableList & list : stage.maCollidables ) {
			for ( u32 k = 0; k < list.mui32Count; k++ ) {
				body.CheckNoPushCollisions( &stage, list.mppoRecords[k] );
			}
		}
		for ( u32 j = i + 1; j < mui32NbStages; j++ ) {
			body.CheckNoPushCollisions( &stage, mpoStages[j].mpoRecord );
		}
	}
}

void EFCollisionSystem::Terminate( EFUpdatePhysicStruct & frame ) {
	if ( mui32SetUp == 0 ) {
		return;
	}
	GiveBackReports( mpoReports );
	for ( u32 s = 0; s < mui32NbStages; s++ ) {
		mpoStages[s].mpoRecord->ppoEmitterList = frame.ppoEmitterList;
		mpoStages[s].mpoRecord->uiNbEmitters = frame.uiNbEmitters;
	}
	mui32SetUp = 0;
}
