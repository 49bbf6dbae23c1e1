#include "framework/behaviour/EFDMLedge.h"

#include "framework/behaviour/EFDMNearestPoint.h"
#include "framework/physics/EFCollisionStage.h"
#include "framework/physics/EFEnvCollisionPrim.h"
#include "framework/physics/EFObjCollisionPrim.h"

#include <cfloat>
#include <cmath>

namespace {

constexpr f32 NO_EDGE		= -10000.0f;
constexpr f32 PROBE_STEP	= 0.01f;

bool InsideEdges( const EFEnvCollisionPrim & polygon, const DTVector3d & y ) {
	const EFEnvCollisionPrim::Plane * const edges = polygon.GetEdges();
	const u32 count = DMPolygonVertexCount( polygon );
	for ( u32 i = 0; i < count; i++ ) {
		if ( edges[i].moNormal * y + edges[i].mfD > 0.0f ) {
			return false;
		}
	}
	return true;
}

}

bool DMFloorAlong( const EFCollisionStage & stage, const DTVector3d & p, const DTVector3d & d ) {
	for ( u32 i = 0; i < stage.mui32NbEnvPrims; i++ ) {
		const EFEnvCollisionPrim * const polygon = stage.mppoEnvPrims[i];
		if ( polygon == nullptr ) {
			continue;
		}
		const DTVector3d & n = polygon->moPlane.moNormal;
		// A ray along the plane gives an infinite t, which both bounds
		// reject.
		const f32 t = ( n * p + polygon->moPlane.mfD ) / ( n * d );
		if ( t >= 0.0f && t <= 1.0f && InsideEdges( *polygon, p + d * t ) ) {
			return true;
		}
	}
	return false;
}

DMLedge DMFindLedge( const EFCollisionStage & stage, const EFObjCollisionPrim & prim, const DMLedgeQuery & query ) {
	DMLedge ledge = {};
	const DTVector3d & c = query.moCentre;
	const f32 r = query.mfRadius;
	f32 best = FLT_MAX;
	for ( u32 i = 0; i < stage.mui32NbEnvPrims; i++ ) {
		const EFEnvCollisionPrim * const polygon = stage.mppoEnvPrims[i];
		if ( polygon == nullptr ) {
			continue;
		}
		const EnvPrimAttribs & attribs = *polygon->GetAttribs();
		const u32 m = attribs.ui32DetectedBy & prim.GetAttrib( 5 );
		const u32 ud = attribs.ui32UDDetectedBy & prim.GetAttrib( 6 );
		if ( m == 0 && ud == 0 ) {
			continue;
		}
		ledge.mui32Matched = m != 0 ? m : ud;
		const DTVector3d & n = polygon->moPlane.moNormal;
		if ( query.mbStrictUp ? !( n.y > query.mfMinUp ) : !( n.y >= query.mfMinUp ) ) {
			continue;
		}
		const f32 s = n * c + polygon->moPlane.mfD;
		if ( std::fabs( s ) > r ) {
			continue;
		}
		const EFEnvCollisionPrim::Plane * const edges = polygon->GetEdges();
		const u32 count = DMPolygonVertexCount( *polygon );
		f32 largest = NO_EDGE;
		u32 kept = 0;
		bool reached = true;
		for ( u32 e = 0; e < count; e++ ) {
			const f32 v = edges[e].moNormal * c + edges[e].mfD;
			if ( v > 0.0f && s * s + v * v > r * r ) {
				reached = false;
				break;
			}
			if ( v > largest ) {
				largest = v;
				kept = e;
			}
		}
		if ( !reached || count == 0 ) {
			continue;
		}
		DTVector3d a;
		DTVector3d b;
		DMPolygonEdge( *polygon, kept, &a, &b );
		const DTVector3d edge = b - a;
		const f32 length2 = edge * edge;
		f32 t = length2 > 0.0f ? ( ( query.moFoot - a ) * edge ) / length2 : 0.0f;
		t = t < 0.0f ? 0.0f : ( t > 1.0f ? 1.0f : t );
		const DTVector3d point = a + edge * t;
		const DTVector3d toFoot = query.moFoot - point;
		const f32 distance2 = toFoot * toFoot;
		const DTVector3d probe = point + toFoot * ( PROBE_STEP / std::sqrt( distance2 ) ) + query.moProbeOffset;
		if ( DMFloorAlong( stage, probe, query.moProbeDirection ) ) {
			continue;
		}
		if ( distance2 <= best ) {
			best = distance2;
			ledge.mbFound = true;
			ledge.moPoint = point;
			ledge.moEdge = edge;
			ledge.moOutward = edges[kept].moNormal;
		}
	}
	return ledge;
}
