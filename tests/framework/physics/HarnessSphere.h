/*
===============================================================================

	A sphere primitive for collision scenarios, kept by the tests while
	the engine's sphere primitive is built elsewhere: the sphere against
	polygons of the collision maps (overlap pushes, plane, edge and corner
	sweeps, one-sided polygons flattened) and against other spheres (shape
	0). It answers as the engine's primitives answer: 0x2 with normal and
	depth for an overlap, 0x1 with time and normal for a contact ahead.

===============================================================================
*/
#ifndef HARNESS_SPHERE_H
#define HARNESS_SPHERE_H

#include "framework/physics/EFEnvCollisionPrim.h"
#include "framework/physics/EFObjCollisionPrim.h"

#include <cmath>

// A sphere of radius mfMaxRadius about moPrimPos, against polygons and
// other spheres: overlaps push (0x2), contacts ahead report their time
// (0x1), as the engine's primitives answer.
class HarnessSphere : public EFObjCollisionPrim {
public:
	explicit HarnessSphere( DTFrame* frame, const f32 radius ) : EFObjCollisionPrim( frame ) {
		SetShape( EF_PRIM_SPHERE );
		mfMaxRadius = radius;
	}

	bool CheckPointIntersection( const DTVector3d& point ) const override {
		const DTVector3d d = point - moPrimPos;
		return d * d <= mfMaxRadius * mfMaxRadius;
	}
	u32 CheckParticlesIntersection( PLParticle*, bool ) override { return 0; }
	u32 RayIntersect( const RayIntersectIn&, EFRayIntersectOut&, f32& ) override { return 0; }
	f32 GetMinRadius() override { return mfMaxRadius; }
	void GetEscapeNoPF( const DTVector3d&, DTVector3d&, DTVector3d& ) const override {}

	u32 CheckObjPrimCollision( const EFCheckCollisionIn& in, EFCheckCollisionOut& out, EFObjCollisionPrim* other ) override {
		if ( other->mui32Shape != EF_PRIM_SPHERE ) {
			return 0;
		}
		const f32 reach = mfMaxRadius + other->mfMaxRadius;
		const DTVector3d d = moPrimPos - other->moPrimPos;
		if ( d * d < reach * reach ) {
			const f32 length = std::sqrt( d * d );
			out.moColNormal = length < 0.015625f ? DTVector3d( 0, 1, 0 ) : d * ( 1.0f / length );
			out.mfPushSize = reach - length;
			return CS_COL_PUSH;
		}
		EFCheckSphereSphereCollisionIn sphereIn = { d, in.moVelocity, reach };
		EFCheckSphereSphereCollisionOut sphereOut = {};
		if ( ( CheckSphereSphereCollision( sphereIn, sphereOut ) & CS_COL_HIT ) == 0 || sphereOut.mfTime > in.mfMaxTime ) {
			return 0;
		}
		out.moColNormal = sphereOut.moNormal;
		out.mfTime = sphereOut.mfTime;
		out.moEffectivePartDep = sphereOut.moPartDep;
		return CS_COL_HIT;
	}

	u32 CheckEnvCollision( const EFCheckCollisionIn& in, EFCheckCollisionOut& out, EFEnvCollisionPrim* polygon ) override {
		const f32 r = mfMaxRadius;
		const DTVector3d& c = moPrimPos;
		const DTVector3d& n = polygon->moPlane.moNormal;
		const bool oneSided = ( polygon->GetAttribs()->ui32Flags & 0x1 ) == 0;
		const f32 vn = in.moVelocity * n;
		if ( ( polygon->GetAttribs()->ui32Flags & 0x2 ) != 0 && vn * in.mfMaxTime > 0.0f ) {
			return 0;
		}
		const f32 h = n * c + polygon->moPlane.mfD;
		const f32 hEnd = h + vn * in.mfMaxTime;
		if ( ( h > r && hEnd > r ) || ( h < -r && hEnd > r ) ) {
			return 0;
		}
		const u32 count = polygon->mui16NbVertex & 0x7FFF;
		const DTVector3d* const v = polygon->GetVertex();
		const EFEnvCollisionPrim::Plane* const edges = polygon->GetEdges();
		const bool touchesPlane = std::fabs( h ) < r;
		if ( touchesPlane ) {
			// Overlap: the nearest point of the polygon to the centre.
			DTVector3d nearest = c - n * h;
			bool outside = false;
			for ( u32 i = 0; i < count; i++ ) {
				outside |= edges[i].moNormal * c + edges[i].mfD > 0.0f;
			}
			if ( outside ) {
				f32 best = 1e30f;
				for ( u32 i = 0; i < count; i++ ) {
					const DTVector3d a = v[i];
					const DTVector3d e = v[( i + 1 ) % count] - a;
					f32 t = ( ( c - a ) * e ) / ( e * e );
					t = t < 0.0f ? 0.0f : ( t > 1.0f ? 1.0f : t );
					const DTVector3d k = a + e * t;
					if ( ( c - k ) * ( c - k ) < best ) {
						best = ( c - k ) * ( c - k );
						nearest = k;
					}
				}
			}
			const DTVector3d away = c - nearest;
			const f32 distance = std::sqrt( away * away );
			if ( distance < r ) {
				DTVector3d normal = distance > 0.0f ? away * ( 1.0f / distance ) : ( h >= 0.0f ? n : -n );
				f32 push = r - distance;
				if ( oneSided && n * normal < 0.0f ) {
					normal = ( normal - n * ( n * normal ) ) * push;
					push = std::sqrt( normal * normal );
					if ( push <= 0.001f ) {
						return 0;
					}
					normal = normal * ( 1.0f / push );
				}
				out.moColNormal = normal;
				out.mfPushSize = push;
				return CS_COL_PUSH;
			}
		}
		// Plane sweep, then edges and corners.
		if ( in.mfMaxTime == 0.0f ) {
			return 0;
		}
		bool inside = false;
		if ( !touchesPlane ) {
			if ( std::fabs( vn ) < 0.00001f ) {
				return 0;
			}
			const f32 gap = h > 0.0f ? h - r : h + r;
			const f32 t = gap / -vn;
			if ( t < 0.0f || t > in.mfMaxTime ) {
				return 0;
			}
			const DTVector3d q = c + in.moVelocity * t;
			inside = true;
			for ( u32 i = 0; i < count; i++ ) {
				inside &= edges[i].moNormal * q + edges[i].mfD < 0.0f;
			}
			out.mfTime = t;
		}
		if ( inside ) {
			const f32 t = out.mfTime;
			const DTVector3d normal = h > 0.0f ? n : -n;
			if ( oneSided && n * normal < 0.0f ) {
				return 0;
			}
			out.moColNormal = normal;
			out.mfTime = t;
			out.moEffectivePartDep = in.moVelocity * t;
			return CS_COL_HIT;
		}
		f32 first = in.mfMaxTime + 1.0f;
		for ( u32 i = 0; i < count; i++ ) {
			EFCheckSphereSweepCollisionIn sweep = { v[( i + 1 ) % count] - v[i], c - v[i], in.moVelocity, r, in.mfMaxTime };
			EFCheckSphereSweepCollisionOut hit = {};
			if ( ( CheckSphereSweepCollision( sweep, hit ) & CS_COL_HIT ) != 0 && hit.mfTime < first &&
				 !( oneSided && n * hit.moNormal < 0.0f ) ) {
				first = hit.mfTime;
				out.moColNormal = hit.moNormal;
			}
		}
		if ( first > in.mfMaxTime ) {
			return 0;
		}
		out.mfTime = first;
		out.moEffectivePartDep = in.moVelocity * first;
		return CS_COL_HIT;
	}
};

#endif
