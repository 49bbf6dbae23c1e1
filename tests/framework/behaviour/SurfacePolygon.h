/*
===============================================================================

	Environment polygons built in memory for the surface-module tests, laid
	out as a loaded collision map holds them: the record, its vertices, its
	outward edge planes, then its attribute record.

===============================================================================
*/
#ifndef SURFACE_POLYGON_H
#define SURFACE_POLYGON_H

#include "framework/physics/EFEnvCollisionPrim.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

class SurfacePolygon {
public:
	// A convex polygon over vertices in counter-clockwise order seen from
	// the front.
	explicit SurfacePolygon( const std::vector<DTVector3d>& vertices, const u32 detectedBy = 0x1,
							 const u16 edgeGrab = 0, const u32 udDetectedBy = 0 ) {
		const size_t n = vertices.size();
		const size_t attribsAt = 28 + 28 * n;
		words.reset( new u32[( attribsAt + sizeof( EnvPrimAttribs ) ) / 4]() );
		u8* const bytes = reinterpret_cast<u8*>( words.get() );
		EFEnvCollisionPrim& prim = Prim();
		prim.mui32Attributes = static_cast<u32>( attribsAt );
		prim.mui16NbVertex = static_cast<u16>( n );
		prim.mui16EdgeGrab = edgeGrab;
		DTVector3d normal;
		for ( size_t i = 0; i < n; i++ ) {
			const DTVector3d& a = vertices[i];
			const DTVector3d& b = vertices[( i + 1 ) % n];
			normal += DTVector3d( ( a.y - b.y ) * ( a.z + b.z ), ( a.z - b.z ) * ( a.x + b.x ),
								  ( a.x - b.x ) * ( a.y + b.y ) );
		}
		normal = normal * ( 1.0f / std::sqrt( normal * normal ) );
		prim.moPlane.moNormal = normal;
		prim.moPlane.mfD = -( normal * vertices[0] );
		std::memcpy( bytes + 28, vertices.data(), 12 * n );
		auto* const edges = reinterpret_cast<EFEnvCollisionPrim::Plane*>( bytes + 28 + 12 * n );
		for ( size_t i = 0; i < n; i++ ) {
			const DTVector3d e = vertices[( i + 1 ) % n] - vertices[i];
			DTVector3d out;
			e.Cross( normal, &out );
			const f32 length = std::sqrt( out * out );
			out = length > 0.0f ? out * ( 1.0f / length ) : out;
			edges[i].moNormal = out;
			edges[i].mfD = -( out * vertices[i] );
		}
		EnvPrimAttribs& attribs = Attribs();
		attribs.ui32DetectedBy = detectedBy;
		attribs.ui32UDDetectedBy = udDetectedBy;
	}

	EFEnvCollisionPrim& Prim() { return *reinterpret_cast<EFEnvCollisionPrim*>( words.get() ); }
	EnvPrimAttribs& Attribs() { return *const_cast<EnvPrimAttribs*>( Prim().GetAttribs() ); }

private:
	std::unique_ptr<u32[]> words;
};

// Square of half size h in the plane y = height, facing up.
inline std::vector<DTVector3d> SquareAt( const f32 height, const f32 h = 1.0f ) {
	return { { -h, height, h }, { h, height, h }, { h, height, -h }, { -h, height, -h } };
}

#endif
