#include "framework/physics/EFObjCollisionPolygon.h"

#include "framework/physics/EFEnvCollisionPrim.h"
#include "framework/physics/EFPrimSpace.h"
#include "graphics3d/core/RwMatrix.h"

#include <cstring>
#include <initializer_list>

namespace {

// The ray's parameter before any polygon passed.
constexpr f32 NO_RAY_HIT = 1.01f;

// Whether the float's bits are all zero (+0.0 only; -0.0 is not).
bool ZeroBits( const f32 value ) {
	u32 bits;
	std::memcpy( &bits, &value, sizeof( bits ) );
	return bits == 0;
}

}

EFObjCollisionPolygon::EFObjCollisionPolygon( DTFrame * frame )
	: EFObjCollisionPrim( frame ), mpoWorldMatrix( RwMatrixCreate() ), mpoInverseMatrix( RwMatrixCreate() ),
	  mui32NbPolygons( 0 ), mpoFirstPolygon( nullptr ) {
	SetShape( EF_PRIM_POLYGON );
}

EFObjCollisionPolygon::~EFObjCollisionPolygon() {
	for ( RwMatrix * matrix : { mpoWorldMatrix, mpoInverseMatrix } ) {
		if ( matrix != nullptr ) {
			RwMatrixDestroy( matrix );
		}
	}
	mpoFirstPolygon = nullptr;
}

void EFObjCollisionPolygon::SetPolygons( const u32 count, EFEnvCollisionPrim * first ) {
	mui32NbPolygons = first != nullptr ? count : 0;
	mpoFirstPolygon = first;
}

void EFObjCollisionPolygon::PrecalcPrimData() {
	EFObjCollisionPrim::PrecalcPrimData();
	if ( HasMatrices() ) {
		EFPlacePrimMatrices( mpoFrame, moPrimPos, mpoWorldMatrix, mpoInverseMatrix );
	}
}

void EFObjCollisionPolygon::Translate( const DTVector3d & v ) {
	EFObjCollisionPrim::Translate( v );
	if ( HasMatrices() ) {
		EFMovePrimMatrices( moPrimPos, mpoWorldMatrix, mpoInverseMatrix );
	}
}

u32 EFObjCollisionPolygon::CheckEnvCollision( const EFCheckCollisionIn &, EFCheckCollisionOut &,
											  EFEnvCollisionPrim * ) {
	return 0;
}

u32 EFObjCollisionPolygon::CheckObjPrimCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
												  EFObjCollisionPrim * other ) {
	if ( !HasMatrices() || other->mui32Shape > EF_PRIM_BBOX ) {
		return 0;
	}
	return Mirror( in, out, other );
}

bool EFObjCollisionPolygon::CheckPointIntersection( const DTVector3d & ) const {
	return false;
}

u32 EFObjCollisionPolygon::CheckParticlesIntersection( PLParticle *, bool ) {
	return 0;
}

// Both sides of every polygon are hit. A polygon is a candidate at
// t' = (n.start + d) / -(n.displacement) when 0 < t' <= 1, t' is nearer
// than the best so far (the first polygon keeps a tie) and no farther
// than the caller's t (the nearest hit of the query so far; an equal
// time is taken, as the other shapes do); the point must then lie
// inside every edge plane.
u32 EFObjCollisionPolygon::RayIntersect( const RayIntersectIn & in, EFRayIntersectOut & out, f32 & t ) {
	if ( !HasMatrices() || mpoFirstPolygon == nullptr ) {
		return 0;
	}
	const DTVector3d start = EFTransformPoint( in.oStartVector, mpoInverseMatrix );
	const DTVector3d depl = EFTransformVector( in.oDeplVector, mpoInverseMatrix );
	f32 best = NO_RAY_HIT;
	DTVector3d normal;
	const u8 * record = reinterpret_cast<const u8 *>( mpoFirstPolygon );
	for ( u32 i = 0; i < mui32NbPolygons; i++ ) {
		const EFEnvCollisionPrim * const polygon = reinterpret_cast<const EFEnvCollisionPrim *>( record );
		const u32 count = polygon->mui16NbVertex & 0x7FFF;
		record += EF_POLYGON_HEADER_BYTES + EF_POLYGON_VERTEX_BYTES * count;
		const f32 den = polygon->moPlane.moNormal * depl;
		if ( ZeroBits( den ) ) {
			continue;
		}
		const f32 hit = ( polygon->moPlane.moNormal * start + polygon->moPlane.mfD ) / -den;
		if ( !( hit > 0.0f && hit <= 1.0f && hit < best && hit <= t ) ) {
			continue;
		}
		const DTVector3d point = start + depl * hit;
		const EFEnvCollisionPrim::Plane * const edges = polygon->GetEdges();
		bool inside = true;
		for ( u32 e = 0; e < count && inside; e++ ) {
			inside = edges[e].moNormal * point + edges[e].mfD <= 0.0f;
		}
		if ( inside ) {
			best = hit;
			normal = polygon->moPlane.moNormal;
		}
	}
	if ( best == NO_RAY_HIT ) {
		return 0;
	}
	out.oIntersectionNormal = EFTransformVector( normal, mpoWorldMatrix );
	t = best;
	return 1;
}

f32 EFObjCollisionPolygon::GetMinRadius() {
	return 1.0f;
}

void EFObjCollisionPolygon::GetEscapeNoPF( const DTVector3d &, DTVector3d &, DTVector3d & ) const {
}
