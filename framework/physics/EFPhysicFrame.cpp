/*
	EFPhysicMgr: the physics frame, its work memory and its record pools.
*/
#include "framework/physics/EFPhysicMgr.h"

#include "datatypes/maths/DTFrame.h"
#include "datatypes/memory/MMMemory.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFInstanceFlags.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/particles/PLEmitter.h"
#include "framework/graphics/particles/PLMgr.h"
#include "framework/physics/EFCollisionSystem.h"
#include "framework/physics/EFDynamicPhysic.h"
#include "framework/physics/EFPhysic.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwMatrix.h"
#include "platform/os/OS.h"

#include <cstddef>
#include <cstdint>

namespace {

constexpr std::uintptr_t WORK_ALIGNMENT = alignof( std::max_align_t );

u8 * AlignUp( u8 * address ) {
	const std::uintptr_t at = reinterpret_cast<std::uintptr_t>( address );
	return address + ( ( WORK_ALIGNMENT - at % WORK_ALIGNMENT ) % WORK_ALIGNMENT );
}

// Whether a body takes part in frames and queries.
bool Simulated( const EFPhysic * body ) {
	return body != nullptr && ( body->mui32PhysicFlags & ( EF_PHYSIC_OFF | EF_PHYSIC_DELETED ) ) == 0;
}

RwFrame * OwnerFrame( const EFPhysic & body ) {
	EFPhysicData * const owner = body.GetOwner();
	return owner != nullptr && owner->GetFrame() != nullptr ? owner->GetFrame()->GetRwFrame() : nullptr;
}

}

void * EFPhysicMgr::CarveWorkMemory( const u32 bytes ) {
	if ( mpu8WorkCursor == nullptr ) {
		return nullptr;
	}
	u8 * const start = AlignUp( mpu8WorkCursor );
	if ( start > mpu8WorkEnd || static_cast<std::size_t>( mpu8WorkEnd - start ) < bytes ) {
		return nullptr;
	}
	mpu8WorkCursor = start + bytes;
	const u32 used = static_cast<u32>( mpu8WorkCursor - mpu8WorkStart );
	if ( used > mui32WorkHighWater ) {
		mui32WorkHighWater = used;
	}
	return start;
}

void * EFPhysicMgr::PeekWorkMemory( u32 & bytesLeft ) const {
	bytesLeft = 0;
	if ( mpu8WorkCursor == nullptr ) {
		return nullptr;
	}
	u8 * const start = AlignUp( mpu8WorkCursor );
	if ( start > mpu8WorkEnd ) {
		return nullptr;
	}
	bytesLeft = static_cast<u32>( mpu8WorkEnd - start );
	return start;
}

void EFPhysicMgr::RewindWorkMemory( void * memory ) {
	u8 * const to = static_cast<u8 *>( memory );
	if ( mpu8WorkStart != nullptr && to >= mpu8WorkStart && to <= mpu8WorkEnd ) {
		mpu8WorkCursor = to;
	}
}

template< class T >
void EFPhysicMgr::SetUpPool( DTQuickPool<T> & pool ) {
	pool.Init( EF_POOL_HEAP_RECORDS, EF_POOL_HEAP_STEP );
	const u32 header = DTQuickPool<T>::ChunkHeaderSize();
	u8 * const start = AlignUp( mpu8WorkCursor );
	const std::size_t room = start < mpu8WorkEnd ? static_cast<std::size_t>( mpu8WorkEnd - start ) : 0;
	// No block unless its header and one record fit: the pool then serves
	// from the heap alone.
	if ( room < header + sizeof( T ) ) {
		return;
	}
	const std::size_t n = ( room - header ) / sizeof( T );
	const u32 items = n < EF_POOL_WORK_RECORDS ? static_cast<u32>( n ) : EF_POOL_WORK_RECORDS;
	void * const block = CarveWorkMemory( header + items * static_cast<u32>( sizeof( T ) ) );
	const u32 inHeader = n < DTQuickPool<T>::MAX_RECORDS_PER_CHUNK ? static_cast<u32>( n )
																   : DTQuickPool<T>::MAX_RECORDS_PER_CHUNK;
	pool.AddChunk( block, inHeader, items );
}

void EFPhysicMgr::ReleasePools() {
	moReportPool.Terminate();
	moPushPool.Terminate();
	moContactPool.Terminate();
}

void EFPhysicMgr::ReportDryPool( const char * what ) {
	if ( mbPoolDryReported == 0 ) {
		OSReport( "EFPhysicMgr: no more %s records this frame; the rest are dropped\n", what );
		mbPoolDryReported = 1;
	}
}

EFCollisionReport * EFPhysicMgr::TakeReport() {
	EFCollisionReport * const report = moReportPool.Allocate();
	if ( report == nullptr ) {
		ReportDryPool( "collision report" );
	}
	return report;
}

EFPushRecord * EFPhysicMgr::TakePush() {
	EFPushRecord * const push = moPushPool.Allocate();
	if ( push == nullptr ) {
		ReportDryPool( "push" );
	}
	return push;
}

EFContactReport * EFPhysicMgr::TakeContact() {
	EFContactReport * const contact = moContactPool.Allocate();
	if ( contact == nullptr ) {
		ReportDryPool( "contact" );
	}
	return contact;
}

void EFPhysicMgr::GiveBackReport( EFCollisionReport * report ) {
	moReportPool.Free( report );
}

void EFPhysicMgr::GiveBackPush( EFPushRecord * push ) {
	moPushPool.Free( push );
}

void EFPhysicMgr::GiveBackContact( EFContactReport * contact ) {
	moContactPool.Free( contact );
}

void EFPhysicMgr::Update( const f32 dt ) {
	const bool paused = gpoWorldMgr != nullptr && gpoWorldMgr->GetPauseFlag() != 0;
	if ( paused ) {
		mui32FlaggedFrames++;
	}
	mui32FrameFlag = paused ? 1 : 0;
	mui32FrameNumber++;
	if ( _WorkMem != nullptr ) {
		_WorkMem->Reset();
		const u32 size = _WorkMem->GetFree();
		mpu8WorkStart = static_cast<u8 *>( _WorkMem->GetAll() );
		mpu8WorkCursor = mpu8WorkStart;
		mpu8WorkEnd = mpu8WorkStart != nullptr ? mpu8WorkStart + size : nullptr;
		mbPoolDryReported = 0;
		mui32WorkHighWater = 0;
		EFUpdatePhysicStruct frame = {};
		frame.fDt = dt;
		mpu8WorkCursor = InitFrame( frame, mpu8WorkCursor );
		SetUpPool( moReportPool );
		SetUpPool( moPushPool );
		SetUpPool( moContactPool );
		for ( u32 pass = 0; pass < EF_PHYSIC_PASS_COUNT; pass++ ) {
			PreCollisionStage( frame, pass );
			CollisionStage( frame, pass, mpu8WorkCursor, mpu8WorkEnd );
			PostCollisionStage( frame );
		}
		ReleasePools();
		mpu8WorkStart = mpu8WorkCursor = mpu8WorkEnd = nullptr;
	}
	if ( !paused ) {
		mui32FlaggedFrames = 0;
	}
	mui32PreviousFrameFlag = mui32FrameFlag;
}

u8 * EFPhysicMgr::InitFrame( EFUpdatePhysicStruct & frame, u8 * memory ) {
	mpu8WorkCursor = memory;
	// Emitters whose particles may meet bodies: two walks, so that the
	// list is one array.
	u32 emitterCount = 0;
	PLType * const firstType = gpoPLParticleMgr != nullptr ? gpoPLParticleMgr->GetTypeList().GetFirst() : nullptr;
	for ( PLType * type = firstType; type != nullptr; type = type->mpoNext ) {
		if ( !type->Collides() ) {
			continue;
		}
		for ( PLEmitter * emitter = type->moEmitters.GetFirst(); emitter != nullptr; emitter = emitter->mpoNext ) {
			emitterCount += emitter->moParticles.GetFirst() != nullptr ? 1 : 0;
		}
	}
	PLEmitter ** const emitters = static_cast<PLEmitter **>( CarveWorkMemory( emitterCount * sizeof( PLEmitter * ) ) );
	frame.ppoEmitterList = emitters;
	frame.uiNbEmitters = 0;
	for ( PLType * type = firstType; type != nullptr && emitters != nullptr; type = type->mpoNext ) {
		if ( !type->Collides() ) {
			continue;
		}
		for ( PLEmitter * emitter = type->moEmitters.GetFirst(); emitter != nullptr; emitter = emitter->mpoNext ) {
			if ( emitter->moParticles.GetFirst() != nullptr ) {
				emitters[frame.uiNbEmitters++] = emitter;
			}
		}
	}
	EFGameObject * const firstObject = gpoWorldMgr != nullptr ? gpoWorldMgr->GetFirstGameObject() : nullptr;
	u32 count = 0;
	for ( EFGameObject * object = firstObject; object != nullptr; object = EFWorld::GetNextGameObject( object ) ) {
		count += Simulated( object->mpoPhysic ) ? 1 : 0;
	}
	EFDynamicPhysic * records = static_cast<EFDynamicPhysic *>( CarveWorkMemory( count * sizeof( EFDynamicPhysic ) ) );
	if ( records == nullptr && count != 0 ) {
		const u8 * const start = AlignUp( mpu8WorkCursor );
		const u32 fit = start < mpu8WorkEnd ? static_cast<u32>( ( mpu8WorkEnd - start ) / sizeof( EFDynamicPhysic ) ) : 0;
		OSReport( "EFPhysicMgr: work memory holds %u of %u bodies this frame\n", fit, count );
		count = fit;
		records = static_cast<EFDynamicPhysic *>( CarveWorkMemory( count * sizeof( EFDynamicPhysic ) ) );
	}
	u32 made = 0;
	for ( EFGameObject * object = firstObject; object != nullptr && made < count;
		  object = EFWorld::GetNextGameObject( object ) ) {
		EFPhysic * const body = object->mpoPhysic;
		if ( !Simulated( body ) ) {
			continue;
		}
		EFDynamicPhysic & record = records[made++];
		EFCollisionModel & model = body->moCollisionModel;
		record = {};
		record.poPhysic = body;
		record.ui32InitPhysicState = body->mui32PhysicState;
		record.ppoEmitterList = frame.ppoEmitterList;
		record.uiNbEmitters = frame.uiNbEmitters;
		record.oFrameBSpherePos = model.moPhysicBSphere.moPos;
		model.PrecalcData();
		record.fFrameBSphereRadius = model.moPhysicBSphere.mfRadius;
	}
	frame.aoPass[0] = { records, made };
	frame.aoPass[1] = { records != nullptr ? records + made : nullptr, 0 };
	return mpu8WorkCursor;
}

void EFPhysicMgr::PreCollisionStage( EFUpdatePhysicStruct & frame, const u32 pass ) {
	const EFUpdatePhysicStruct::Pass & list = frame.aoPass[pass];
	for ( u32 i = 0; i < list.ui32Count; i++ ) {
		EFDynamicPhysic & record = list.poFirst[i];
		EFPhysic & body = *record.poPhysic;
		if ( EFPhysicData * const owner = body.GetOwner() ) {
			owner->muiFlags &= ~EF_INSTANCE_MOVED;
		}
		record.oTargetVelocity = DTVector3d();
		record.oAppliedAccel = DTVector3d();
		if ( ( body.mui32PhysicFlags & EF_PHYSIC_MOVES ) != 0 ) {
			body.PreCollisionUpdate( frame.fDt, record );
		}
		if ( RwFrame * const owner = OwnerFrame( body ) ) {
			RwV3dTransformPoints( DTAsRwV3d( &record.oFrameBSpherePos ), DTAsRwV3d( &record.oFrameBSpherePos ), 1,
								  RwFrameGetLTM( owner ) );
		}
		const f32 target = RwV3dLength( DTAsRwV3d( &record.oTargetVelocity ) );
		const f32 own = RwV3dLength( DTAsRwV3d( &body.moVelocity ) );
		record.fFrameBSphereRadius += frame.fDt * ( target > own ? target : own );
	}
}

void EFPhysicMgr::CollisionStage( EFUpdatePhysicStruct & frame, const u32 pass, void * memory, void * end ) {
	EFCollisionSystem system;
	const EFUpdatePhysicStruct::Pass & list = frame.aoPass[pass];
	for ( u32 i = 0; i < list.ui32Count; i++ ) {
		EFDynamicPhysic & record = list.poFirst[i];
		if ( ( record.uiFlags & EF_RECORD_DONE ) != 0 ) {
			continue;
		}
		EFPhysic & body = *record.poPhysic;
		if ( ( body.mui32PhysicFlags & EF_PHYSIC_COLLIDES ) != 0 ) {
			system.Init( frame, pass, i, memory, end );
			system.Update( frame );
			system.PostUpdate( frame );
			system.Terminate( frame );
			// A body that no stage could hold is still done this pass.
			record.uiFlags |= EF_RECORD_DONE;
			continue;
		}
		record.uiFlags |= EF_RECORD_DONE;
		if ( ( body.mui32PhysicFlags & EF_PHYSIC_MOVES ) != 0 ) {
			const DTVector3d move = body.moVelocity * frame.fDt;
			RwFrame * const owner = OwnerFrame( body );
			if ( owner != nullptr && !EFCollisionModel::IsNegligibleMove( move ) ) {
				RwFrameTranslate( owner, DTAsRwV3d( &move ), rwCOMBINEPOSTCONCAT );
			}
			if ( body.GetOwner() != nullptr ) {
				body.GetOwner()->muiFlags |= EF_INSTANCE_MOVED;
			}
		}
		body.PostCollisionUpdate( frame.fDt, nullptr, record );
	}
	// Nothing of the islands outlives them.
	RewindWorkMemory( memory );
}

void EFPhysicMgr::PostCollisionStage( EFUpdatePhysicStruct & ) {
}
