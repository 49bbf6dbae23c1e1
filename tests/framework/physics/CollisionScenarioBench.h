/*
===============================================================================

	Scenario harness of the collision tests, over the physics fixture:
	tiny worlds (floors, walls, wedges, steps) written as collision maps
	by the map writer and registered with the manager, bodies with sphere
	primitives, flags, priorities and weights, frame stepping at 30 and
	60 fps, and the contact and state notifications (3, 5, 23) captured
	with their records.

	The spheres are the harness's own (HarnessSphere): a sphere test
	against polygons and against other spheres, enough for scenarios
	while the engine's sphere primitive is built elsewhere.

===============================================================================
*/
#ifndef COLLISION_SCENARIO_BENCH_H
#define COLLISION_SCENARIO_BENCH_H

#include "framework/physics/CollisionMapTestScenes.h"
#include "framework/physics/PhysicsTestBench.h"

#include "framework/physics/EFCollisionMap.h"
#include "framework/physics/EFPhysicMgr.h"

#include <cmath>

// A sphere of radius mfMaxRadius about moPrimPos, against polygons and
// other spheres: overlaps push (0x2), contacts ahead report their time
// (0x1), as the engine's primitives answer.
class HarnessSphere : public ScriptedPrim {
public:
	explicit HarnessSphere( DTFrame* frame, const f32 radius ) : ScriptedPrim( frame ) {
		SetShape( EF_PRIM_SPHERE );
		mfMaxRadius = radius;
		minRadius = radius;
	}

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
		envTested.push_back( polygon );
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

// One contact notification (3 or 23) as the body received it.
struct ContactNote {
	u32						type;
	u32						target;
	EFObjectCollisionRecord	record;
};

class CollisionScenarioBench : public PhysicsTestBench {
protected:
	void SetUp() override {
		PhysicsTestBench::SetUp();
	}

	// The scene as a map of the manager's (which deletes it).
	EFCollisionMap* AddWorld( const ToolColMap& scene ) {
		std::unique_ptr<EFCollisionMap> owned = LoadMap( EncodeMap( scene ) );
		EXPECT_NE( owned, nullptr );
		EFCollisionMap* const map = owned.release();
		if ( map != nullptr ) {
			manager.AddMap( map );
		}
		return map;
	}

	// Shapes of tiny worlds, in attribute record attrib.
	static ToolColPolygon Floor( const f32 y, const f32 half = 20.0f, const u32 attrib = 0 ) {
		return Quad( { -half, y, -half }, { -half, y, half }, { half, y, half }, { half, y, -half }, attrib );
	}
	// A wall across z at x facing -x (toward smaller x).
	static ToolColPolygon WallFacingMinusX( const f32 x, const f32 half = 20.0f, const u32 attrib = 0 ) {
		return Quad( { x, -half, -half }, { x, half, -half }, { x, half, half }, { x, -half, half }, attrib );
	}
	// A wall across x at z facing -z.
	static ToolColPolygon WallFacingMinusZ( const f32 z, const f32 half = 20.0f, const u32 attrib = 0 ) {
		return Quad( { -half, -half, z }, { half, -half, z }, { half, half, z }, { -half, half, z }, attrib );
	}
	// A slope along z rising toward +x (normal (-sin, cos, 0)) through
	// the origin, or falling (normal (sin, cos, 0)).
	static ToolColPolygon Slope( const f32 angle, const bool rising, const f32 half = 10.0f, const u32 attrib = 0 ) {
		const f32 cx = half * std::cos( angle );
		const f32 sy = half * std::sin( angle ) * ( rising ? 1.0f : -1.0f );
		const f32 x0 = rising ? 0.0f : -cx;
		const f32 x1 = rising ? cx : 0.0f;
		const f32 y0 = rising ? 0.0f : -sy;
		const f32 y1 = rising ? sy : 0.0f;
		return Quad( { x0, y0, -half }, { x0, y0, half }, { x1, y1, half }, { x1, y1, -half }, attrib );
	}
	// A step of height h at x = edge: a riser facing -x and a tread.
	static std::vector<ToolColPolygon> Step( const f32 edge, const f32 height, const f32 half = 10.0f ) {
		return { Quad( { edge, 0, -half }, { edge, height, -half }, { edge, height, half }, { edge, 0, half } ),
				 Quad( { edge, height, -half }, { edge, height, half }, { edge + half, height, half },
					   { edge + half, height, -half } ) };
	}
	static ToolColMap World( std::vector<ToolColPolygon> polygons, const ToolColAttribs& attribs = {} ) {
		ToolColMap scene;
		scene.attribs.push_back( attribs );
		scene.polygons = std::move( polygons );
		return scene;
	}

	struct SphereSpec {
		f32		radius = 0.5f;
		u32		flags = EF_PHYSIC_DYNAMIC | EF_PHYSIC_COLLIDING;
		u32		primFlags = EF_PRIM_ENV_COLLISIONS;
		u32		type = 0x1;
		u32		detect = 0x1;
		u32		envDetect = 0x1;
		u32		priority = 0;
		f32		weight = 1.0f;
		f32		hardness = 1.0f;
		f32		rebound = 0.0f;
	};

	// A game object at pos with a body of one harness sphere (slot 0,
	// centred on the object), its bounding sphere the primitive's, and
	// its contact and state notifications captured.
	HarnessSphere* MakeSphere( const u32 id, const DTVector3d& pos, const SphereSpec& spec = {},
							   const DTVector3d& velocity = DTVector3d() ) {
		EFPhysic* const body = MakeBody( id, spec.flags, 1, pos.x, pos.y, pos.z );
		HarnessSphere* const prim = new HarnessSphere( body->GetOwner()->GetFrame(), spec.radius );
		prim->moBaseAttrib.IntArray[EF_ATTR_FLAGS] = spec.primFlags;
		prim->moBaseAttrib.IntArray[EF_ATTR_TYPE] = spec.type;
		prim->moBaseAttrib.IntArray[EF_ATTR_DETECT] = spec.detect;
		prim->moBaseAttrib.IntArray[EF_ATTR_ENV_DETECT] = spec.envDetect;
		prim->UpdateCurrentAttribs();
		body->moCollisionModel.mppoPrimArray[0] = prim;
		body->moCollisionModel.moPhysicBSphere = DTSphere( DTVector3d(), spec.radius );
		body->moCollisionModel.PrecalcData();
		body->muiPriority = spec.priority;
		body->mfWeight = spec.weight;
		body->mfHardness = spec.hardness;
		body->mfRebound = spec.rebound;
		body->moVelocity = velocity;
		Capture( id, NO_PHYSIC_OBJECTCOLLISION );
		Capture( id, NO_DM_OBJCOL );
		return prim;
	}

	static EFPhysic* BodyOfPrim( const EFObjCollisionPrim* prim ) {
		for ( EFGameObject* object = gpoWorldMgr->GetFirstGameObject(); object != nullptr;
			  object = EFWorld::GetNextGameObject( object ) ) {
			if ( object->mpoPhysic != nullptr && object->mpoPhysic->moCollisionModel.mui32MaxPrims != 0 &&
				 object->mpoPhysic->moCollisionModel.mppoPrimArray[0] == prim ) {
				return object->mpoPhysic;
			}
		}
		return nullptr;
	}

	// frames physics frames at fps.
	void Step( const u32 fps, const u32 frames = 1 ) {
		for ( u32 i = 0; i < frames; i++ ) {
			manager.Update( 1.0f / static_cast<f32>( fps ) );
		}
	}

	// The contact notifications in the order sent; type 0 for both kinds.
	static std::vector<ContactNote> ContactNotes( const u32 type = 0 ) {
		std::vector<ContactNote> found;
		for ( const PhysicsNote& note : gPhysicsNotes ) {
			const bool contact = note.type == NO_PHYSIC_OBJECTCOLLISION || note.type == NO_DM_OBJCOL;
			if ( contact && ( type == 0 || note.type == type ) ) {
				ContactNote copy = { note.type, note.target, {} };
				std::memcpy( &copy.record, note.words.data(), sizeof( copy.record ) );
				found.push_back( copy );
			}
		}
		return found;
	}
};

#endif
