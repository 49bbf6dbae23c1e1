#include "framework/graphics/effects/EFMotionTrailMgr_BC.h"

#include "datatypes/maths/DTFrame.h"
#include "datatypes/maths/DTMatrix.h"
#include "datatypes/memory/MMMemory.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFGameObjectFlags.h"
#include "framework/core/world/EFWorld.h"

EFMotionTrailMgr_BC::EFMotionTrailMgr_BC() : moSystems( DTMap<u32, _sSystem*>::DEFAULT_TABLE_SIZE ) {
	mui32NextId = 0;
}

EFMotionTrailMgr_BC::~EFMotionTrailMgr_BC() {
	Terminate();
}

void EFMotionTrailMgr_BC::FreeSystem( _sSystem* const system ) {
	MMFree( system->pPoints );
	MMFree( system->pVertices );
	MMFree( system );
}

u32 EFMotionTrailMgr_BC::CreateSystem( const u32 controlPoints, const u32 rows, const u32 flags ) {
	if ( controlPoints == 0 || rows == 0 || controlPoints > EF_TRAIL_MAX_POINTS ) {
		return EF_TRAIL_NO_SYSTEM;
	}
	_sSystem* const system = static_cast<_sSystem*>( MMCalloc( 1, sizeof( _sSystem ) ) );
	_sControlPoint* const points = static_cast<_sControlPoint*>( MMCalloc( controlPoints, sizeof( _sControlPoint ) ) );
	const u64 vertexCount = static_cast<u64>( rows ) * controlPoints;
	_sVertex* const vertices =
		vertexCount <= UINT32_MAX ? static_cast<_sVertex*>( MMCalloc( static_cast<u32>( vertexCount ), sizeof( _sVertex ) ) )
								  : nullptr;
	if ( system == nullptr || points == nullptr || vertices == nullptr ) {
		MMFree( system );
		MMFree( points );
		MMFree( vertices );
		return EF_TRAIL_NO_SYSTEM;
	}
	system->ui32Flags = flags;
	system->ui32Id = mui32NextId;
	system->fFrequency = EF_TRAIL_DEFAULT_FREQUENCY;
	system->fTimer = 0.0f;
	system->ui32PointCount = controlPoints;
	system->pPoints = points;
	system->ui32RowCount = rows;
	system->pVertices = vertices;
	system->ui32Head = 0;
	system->ui32Tail = 0;
	if ( !moSystems.Set( system->ui32Id, system ) ) {
		FreeSystem( system );
		return EF_TRAIL_NO_SYSTEM;
	}
	mui32NextId++;
	return system->ui32Id;
}

EFMotionTrailMgr_BC::_sSystem* EFMotionTrailMgr_BC::GetSystem( const u32 id ) const {
	const DTMap<u32, _sSystem*>::Node* const node = moSystems.Find( id );
	return node != nullptr ? node->mValue : nullptr;
}

EFMotionTrailMgr_BC::_sControlPoint* EFMotionTrailMgr_BC::GetPoint( const u32 id, const u32 point ) const {
	_sSystem* const system = GetSystem( id );
	return system != nullptr && point < system->ui32PointCount ? &system->pPoints[point] : nullptr;
}

void EFMotionTrailMgr_BC::DestroySystem( const u32 id ) {
	_sSystem* const system = GetSystem( id );
	if ( system != nullptr ) {
		moSystems.Remove( id );
		FreeSystem( system );
	}
}

void EFMotionTrailMgr_BC::SetFrequency( const u32 id, const f32 frequency ) {
	_sSystem* const system = GetSystem( id );
	if ( system != nullptr ) {
		system->fFrequency = frequency;
	}
}

void EFMotionTrailMgr_BC::SetLifeSpan( const u32 id, const u32 point, const f32 seconds ) {
	_sControlPoint* const p = GetPoint( id, point );
	if ( p != nullptr ) {
		p->fLifeSpan = seconds;
	}
}

void EFMotionTrailMgr_BC::SetJoint( const u32 id, const u32 point, const u32 objectId, const u32 joint ) {
	_sControlPoint* const p = GetPoint( id, point );
	if ( p == nullptr ) {
		return;
	}
	const EFGameObject* const object = gpoWorldMgr != nullptr ? gpoWorldMgr->GetGameObject( objectId ) : nullptr;
	const u32 found = object != nullptr ? object->GetUID() : EF_TRAIL_NO_OBJECT;
	// A frame cached from another object may outlive that object.
	if ( found != p->ui32ObjectId ) {
		p->pFrame = nullptr;
	}
	p->ui32ObjectId = found;
	p->ui32Joint = joint;
}

void EFMotionTrailMgr_BC::SetPosition( const u32 id, const u32 point, const DTVector3d* position ) {
	_sControlPoint* const p = GetPoint( id, point );
	if ( p != nullptr && position != nullptr ) {
		p->afPosition[0] = position->x;
		p->afPosition[1] = position->y;
		p->afPosition[2] = position->z;
	}
}

void EFMotionTrailMgr_BC::SetRGB( const u32 id, const u32 point, const f32 red, const f32 green, const f32 blue ) {
	_sControlPoint* const p = GetPoint( id, point );
	if ( p != nullptr ) {
		p->afColor[0] = red;
		p->afColor[1] = green;
		p->afColor[2] = blue;
	}
}

void EFMotionTrailMgr_BC::Start( const u32 id ) {
	_sSystem* const system = GetSystem( id );
	if ( system != nullptr ) {
		system->ui32Flags |= EF_TRAIL_TRACKING | EF_TRAIL_DRAWING;
		system->fTimer = 0.0f;
		system->ui32Head = 0;
		system->ui32Tail = 0;
	}
}

void EFMotionTrailMgr_BC::StopTracking( const u32 id ) {
	_sSystem* const system = GetSystem( id );
	if ( system != nullptr ) {
		system->ui32Flags &= ~EF_TRAIL_TRACKING;
	}
}

void EFMotionTrailMgr_BC::StopDraw( const u32 id ) {
	_sSystem* const system = GetSystem( id );
	if ( system != nullptr ) {
		system->ui32Flags &= ~( EF_TRAIL_TRACKING | EF_TRAIL_DRAWING );
	}
}

void EFMotionTrailMgr_BC::Update( const f32 dt ) {
	for ( DTMap<u32, _sSystem*>::Node* node = moSystems.GetFirst(); node != nullptr; node = moSystems.GetNext( node ) ) {
		UpdateSystem( *node->mValue, dt );
	}
}

void EFMotionTrailMgr_BC::Terminate() {
	for ( DTMap<u32, _sSystem*>::Node* node = moSystems.GetFirst(); node != nullptr; node = moSystems.GetNext( node ) ) {
		FreeSystem( node->mValue );
	}
	moSystems.RemoveAll();
}

s32 EFMotionTrailMgr_BC::SamplePoint( _sSystem& system, _sControlPoint& point, _sVertex& vertex ) {
	vertex.fAge = 0.0f;
	if ( ( system.ui32Flags & EF_TRAIL_STORED_POSITIONS ) != 0 ) {
		vertex.afPosition[0] = point.afPosition[0];
		vertex.afPosition[1] = point.afPosition[1];
		vertex.afPosition[2] = point.afPosition[2];
		return 0;
	}
	EFGameObject* const object =
		point.ui32ObjectId != EF_TRAIL_NO_OBJECT && gpoWorldMgr != nullptr ? gpoWorldMgr->GetGameObject( point.ui32ObjectId )
																			 : nullptr;
	if ( object == nullptr ) {
		system.ui32Flags &= ~( EF_TRAIL_TRACKING | EF_TRAIL_DRAWING );
		return -1;
	}
	if ( point.pFrame == nullptr ) {
		point.pFrame = object->GetBoneFrame( point.ui32Joint );
	}
	// A joint that does not resolve samples the object itself.
	DTFrame* const frame = point.pFrame != nullptr ? point.pFrame : object->GetObjectFrame( EF_OWN_FRAME_JOINT );
	if ( frame != nullptr ) {
		const DTVector3d& at = *frame->GetWMatrix()->GetPos();
		vertex.afPosition[0] = at.x;
		vertex.afPosition[1] = at.y;
		vertex.afPosition[2] = at.z;
	}
	return 0;
}

s32 EFMotionTrailMgr_BC::UpdateSystem( _sSystem& system, const f32 dt ) {
	const u32 rows = system.ui32RowCount;
	const u32 count = system.ui32PointCount;
	if ( ( system.ui32Flags & EF_TRAIL_TRACKING ) != 0 ) {
		if ( system.fTimer >= system.fFrequency ) {
			system.fTimer -= system.fFrequency;
			system.ui32Head = ( system.ui32Head + 1 ) % rows;
			if ( system.ui32Tail == system.ui32Head ) {
				system.ui32Tail = ( system.ui32Tail + 1 ) % rows;
			}
		} else {
			system.fTimer += dt;
		}
		_sVertex* const row = system.pVertices + system.ui32Head * count;
		for ( u32 i = 0; i < count; i++ ) {
			if ( SamplePoint( system, system.pPoints[i], row[i] ) != 0 ) {
				return -1;
			}
		}
	}
	for ( u32 r = system.ui32Tail; r != system.ui32Head; r = ( r + 1 ) % rows ) {
		_sVertex* const row = system.pVertices + r * count;
		for ( u32 i = 0; i < count; i++ ) {
			const f32 life = system.pPoints[i].fLifeSpan;
			row[i].fAge += dt;
			if ( row[i].fAge > life ) {
				row[i].fAge = life;
			}
		}
	}
	return 0;
}
