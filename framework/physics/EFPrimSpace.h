/*
===============================================================================

	Small helpers the collision primitives share for working in another
	shape's space: a vector's component by axis index, points and
	directions through a library matrix, a matrix row as a vector (the
	rows of a box's matrix are its axes in world space), a cross product
	by value, the polygon record's walking constants, the one-sided
	polygon's flattening of a push, the random escape heading and the
	walk over a particle list.

===============================================================================
*/
#ifndef EF_PRIM_SPACE_H
#define EF_PRIM_SPACE_H

#include "datatypes/maths/DTFrame.h"
#include "datatypes/maths/DTVector3d.h"
#include "framework/graphics/particles/PLParticle.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwMatrix.h"
#include "platform/runtime/RuntimeRand.h"

#include <cmath>

// A polygon record's bytes: the header, then a vertex and an edge plane
// per vertex.
constexpr u32 EF_POLYGON_HEADER_BYTES	= 28;
constexpr u32 EF_POLYGON_VERTEX_BYTES	= 28;
// The most vertices a polygon record may hold (the edge masks are 32 bits).
constexpr u32 EF_POLYGON_MAX_VERTICES	= 32;

inline f32 EFAxis( const DTVector3d & v, const u32 a ) {
	return a == 0 ? v.x : ( a == 1 ? v.y : v.z );
}

inline void EFSetAxis( DTVector3d & v, const u32 a, const f32 value ) {
	( a == 0 ? v.x : ( a == 1 ? v.y : v.z ) ) = value;
}

inline DTVector3d EFTransformPoint( const DTVector3d & p, const RwMatrix * matrix ) {
	DTVector3d out;
	RwV3dTransformPoints( DTAsRwV3d( &out ), DTAsRwV3d( &p ), 1, matrix );
	return out;
}

inline DTVector3d EFTransformVector( const DTVector3d & v, const RwMatrix * matrix ) {
	DTVector3d out;
	RwV3dTransformVectors( DTAsRwV3d( &out ), DTAsRwV3d( &v ), 1, matrix );
	return out;
}

// A primitive's space to world: the frame's world matrix (the identity
// without a frame) with its position at the primitive's world position,
// and its inverse.
inline void EFPlacePrimMatrices( DTFrame * frame, const DTVector3d & position, RwMatrix * toWorld,
								 RwMatrix * toPrim ) {
	if ( frame != nullptr ) {
		*toWorld = *RwFrameGetLTM( frame->GetRwFrame() );
	} else {
		_rwMatrixSetIdentity( toWorld );
	}
	toWorld->pos = { position.x, position.y, position.z };
	toWorld->flags &= ~rwMATRIXINTERNALIDENTITY;
	RwMatrixInvert( toPrim, toWorld );
}

// The same pair after the primitive moved to position: both positions
// follow, the rotations stay.
inline void EFMovePrimMatrices( const DTVector3d & position, RwMatrix * toWorld, RwMatrix * toPrim ) {
	toWorld->pos = { position.x, position.y, position.z };
	toWorld->flags &= ~rwMATRIXINTERNALIDENTITY;
	const DTVector3d back = -EFTransformVector( position, toPrim );
	toPrim->pos = { back.x, back.y, back.z };
	toPrim->flags &= ~rwMATRIXINTERNALIDENTITY;
}

// Row a of the matrix.
inline DTVector3d EFMatrixRow( const RwMatrix * matrix, const u32 a ) {
	const RwV3d & row = a == 0 ? matrix->right : ( a == 1 ? matrix->up : matrix->at );
	return DTVector3d( row.x, row.y, row.z );
}

inline DTVector3d EFCross( const DTVector3d & a, const DTVector3d & b ) {
	DTVector3d out;
	a.Cross( b, &out );
	return out;
}

// The mask of the first count edges.
inline u32 EFAllEdges( const u32 count ) {
	return count >= 32 ? 0xFFFFFFFFu : ( 1u << count ) - 1u;
}

// Environment polygon flags: two-sided, and a mover along the normal
// passes through.
constexpr u32 EF_ENV_TWO_SIDED			= 0x1;
constexpr u32 EF_ENV_PASS_ALONG_NORMAL	= 0x2;
// A push flattened into a one-sided polygon's plane down to this is dropped.
constexpr f32 EF_MIN_FLAT_PUSH			= 0.001f;

// A one-sided polygon of plane normal n never pushes towards its back: a
// push whose normal points there keeps only its part along the plane.
// False when too little of it remains.
inline bool EFFlattenOneSidedPush( const DTVector3d & n, DTVector3d & normal, f32 & push ) {
	if ( n * normal >= 0.0f ) {
		return true;
	}
	DTVector3d flat = ( normal - n * ( n * normal ) ) * push;
	const f32 size = std::sqrt( flat * flat );
	if ( size <= EF_MIN_FLAT_PUSH ) {
		return false;
	}
	push = size;
	normal = DTVector3d( flat.x / size, flat.y / size, flat.z / size );
	return true;
}

// One of 256 evenly spaced horizontal headings, at random.
inline DTVector3d EFRandomHeading() {
	const f32 angle = static_cast<f32>( RuntimeRand() & 255 ) / 256.0f * 6.2831853f;
	return DTVector3d( std::sin( angle ), 0.0f, std::cos( angle ) );
}

// Walks a particle list with touches( particle ). With count every
// touching particle not yet marked with the global count is marked and
// counted; without it the first touching particle ends the walk with 1.
// Marked particles are skipped when counting, and always with skipMarked.
template <typename Touches>
u32 EFWalkParticles( PLParticle * first, const bool count, const bool skipMarked, Touches touches ) {
	const u16 mark = PLParticle::mui16GlobalCount;
	u32 found = 0;
	for ( PLParticle * particle = first; particle != nullptr; particle = particle->mpoNext ) {
		if ( ( count || skipMarked ) && particle->mui16Mark == mark ) {
			continue;
		}
		if ( !touches( *particle ) ) {
			continue;
		}
		if ( !count ) {
			return 1;
		}
		particle->mui16Mark = mark;
		found++;
	}
	return found;
}

#endif
