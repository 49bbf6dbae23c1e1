#include "framework/behaviour/EFDMNearestPoint.h"

#include "datatypes/maths/DTMatrix.h"
#include "framework/physics/EFEnvCollisionPrim.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwV3d.h"

#include <cmath>

namespace {

constexpr u16 VERTEX_COUNT_MASK	= 0x7FFF;
constexpr u32 GRAB_BITS			= 16;
constexpr f32 PI				= 3.14159265f;

}

u32 DMPolygonVertexCount( const EFEnvCollisionPrim & polygon ) {
	return polygon.mui16NbVertex & VERTEX_COUNT_MASK;
}

bool DMEdgeGrabbable( const EFEnvCollisionPrim & polygon, const u32 i ) {
	return i < GRAB_BITS && ( ( static_cast<u32>( polygon.mui16EdgeGrab ) >> i ) & 1u ) != 0;
}

void DMPolygonEdge( const EFEnvCollisionPrim & polygon, const u32 i, DTVector3d * a, DTVector3d * b ) {
	const u32 count = DMPolygonVertexCount( polygon );
	const DTVector3d * const vertex = polygon.GetVertex();
	*a = vertex[i];
	*b = vertex[i + 1 < count ? i + 1 : 0];
}

EFFindNearestPointResult_e EFCollisionStage_FindNearestPoint( const EFEnvCollisionPrim & polygon,
															  const DTVector3d & centre, const f32 limit,
															  DTVector3d * w ) {
	const u32 count = DMPolygonVertexCount( polygon );
	if ( count == 0 ) {
		return CS_FINDNEARESTPOINT_TOOFAR;
	}
	const EFEnvCollisionPrim::Plane * const edges = polygon.GetEdges();
	f32 greatest = 0.0f;
	u32 index = 0;
	for ( u32 i = 0; i < count; i++ ) {
		const f32 distance = edges[i].moNormal * centre + edges[i].mfD;
		if ( distance > greatest ) {
			greatest = distance;
			index = i;
		}
	}
	if ( greatest == 0.0f ) {
		const f32 d = polygon.moPlane.moNormal * centre + polygon.moPlane.mfD;
		if ( d * d > limit ) {
			return CS_FINDNEARESTPOINT_TOOFAR;
		}
		*w = polygon.moPlane.moNormal * -d;
		return CS_FINDNEARESTPOINT_INPOLY;
	}
	DTVector3d a;
	DTVector3d b;
	DMPolygonEdge( polygon, index, &a, &b );
	const DTVector3d e = b - a;
	DTVector3d v = a - centre;
	const f32 t = e * v;
	const f32 ee = e * e;
	EFFindNearestPointResult_e result = CS_FINDNEARESTPOINT_ONPOINT;
	if ( t > 0.0f ) {
		// The first vertex.
	} else if ( t < -ee ) {
		v = v + e;
	} else {
		v = v - e * ( t / ee );
		result = CS_FINDNEARESTPOINT_ONEDGE;
	}
	*w = v;
	return v * v > limit ? CS_FINDNEARESTPOINT_TOOFAR : result;
}

void DMRotateInPlace( RwFrame * const frame, const DTVector3d & axis, const f32 radians ) {
	if ( frame == nullptr ) {
		return;
	}
	const RwV3d position = frame->modelling.pos;
	RwFrameRotate( frame, DTAsRwV3d( &axis ), radians * DT_RADIANS_TO_DEGREES, rwCOMBINEPOSTCONCAT );
	frame->modelling.pos = position;
	RwFrameUpdateObjects( frame );
}

DTVector3d DMIntoParentAxes( const RwFrame * const frame, const DTVector3d & direction ) {
	const RwFrame * const parent = frame != nullptr ? static_cast<const RwFrame *>( frame->object.parent ) : nullptr;
	if ( parent == nullptr ) {
		return direction;
	}
	// Turned back by the parent's world rotation.
	RwMatrix inverse;
	RwMatrixInvert( &inverse, RwFrameGetLTM( const_cast<RwFrame *>( parent ) ) );
	DTVector3d out;
	RwV3dTransformVectors( DTAsRwV3d( &out ), DTAsRwV3d( &direction ), 1, &inverse );
	return out;
}

DTVector3d DMRow( const RwV3d & row ) {
	return DTVector3d( row.x, row.y, row.z );
}

DTVector3d DMCross( const DTVector3d & a, const DTVector3d & b ) {
	DTVector3d out;
	a.Cross( b, &out );
	return out;
}

DTVector3d DMUnit( const DTVector3d & v ) {
	const f32 length = std::sqrt( v * v );
	return length > 0.0f ? v * ( 1.0f / length ) : DTVector3d();
}

f32 DMClampSymmetric( const f32 v, const f32 limit ) {
	return v > limit ? limit : ( v < -limit ? -limit : v );
}

f32 DMClampedAsin( const f32 sine ) {
	return std::asin( sine > 1.0f ? 1.0f : ( sine < -1.0f ? -1.0f : sine ) );
}

f32 DMClampedAcos( const f32 cosine ) {
	if ( cosine <= -1.0f ) {
		return PI;
	}
	if ( cosine >= 1.0f ) {
		return 0.0f;
	}
	return std::acos( cosine );
}
