/*
===============================================================================

	Scenario harness of the collision tests, over the physics fixture:
	tiny worlds (floors, walls, wedges, steps) written as collision maps
	by the map writer and registered with the manager, bodies with sphere
	primitives, flags, priorities and weights, frame stepping at 30 and
	60 fps, and the contact and state notifications (3, 5, 23) captured
	with their records.

	The spheres are the engine's sphere primitives (HarnessSphere.h).

===============================================================================
*/
#ifndef COLLISION_SCENARIO_BENCH_H
#define COLLISION_SCENARIO_BENCH_H

#include "framework/physics/CollisionMapTestScenes.h"
#include "framework/physics/HarnessSphere.h"
#include "framework/physics/PhysicsTestBench.h"

#include "framework/physics/EFCollisionMap.h"
#include "framework/physics/EFPhysicMgr.h"

#include <cmath>

// One contact notification (3 or 23) as the body received it.
struct ContactNote {
	u32						type;
	u32						target;
	EFObjectCollisionRecord	record;
};

// What MakeSphere gives a body and its sphere.
struct SphereSetup {
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
		return Quad( { x, -half, half }, { x, half, half }, { x, half, -half }, { x, -half, -half }, attrib );
	}
	// A wall across x at z facing -z.
	static ToolColPolygon WallFacingMinusZ( const f32 z, const f32 half = 20.0f, const u32 attrib = 0 ) {
		return Quad( { -half, half, z }, { half, half, z }, { half, -half, z }, { -half, -half, z }, attrib );
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
		return { Quad( { edge, 0, half }, { edge, height, half }, { edge, height, -half }, { edge, 0, -half } ),
				 Quad( { edge, height, -half }, { edge, height, half }, { edge + half, height, half },
					   { edge + half, height, -half } ) };
	}
	static ToolColMap World( std::vector<ToolColPolygon> polygons, const ToolColAttribs& attribs = {} ) {
		ToolColMap scene;
		scene.attribs.push_back( attribs );
		scene.polygons = std::move( polygons );
		return scene;
	}


	// A game object at pos with a body of one harness sphere (slot 0,
	// centred on the object), its bounding sphere the primitive's, and
	// its contact and state notifications captured.
	HarnessSphere* MakeSphere( const u32 id, const DTVector3d& pos, const SphereSetup& setup = {},
							   const DTVector3d& velocity = DTVector3d() ) {
		EFPhysic* const body = MakeBody( id, setup.flags, 1, pos.x, pos.y, pos.z );
		HarnessSphere* const prim = new HarnessSphere( body->GetOwner()->GetFrame(), setup.radius );
		prim->moBaseAttrib.IntArray[EF_ATTR_FLAGS] = setup.primFlags;
		prim->moBaseAttrib.IntArray[EF_ATTR_TYPE] = setup.type;
		prim->moBaseAttrib.IntArray[EF_ATTR_DETECT] = setup.detect;
		prim->moBaseAttrib.IntArray[EF_ATTR_ENV_DETECT] = setup.envDetect;
		prim->UpdateCurrentAttribs();
		body->moCollisionModel.mppoPrimArray[0] = prim;
		body->moCollisionModel.moPhysicBSphere = DTSphere( DTVector3d(), setup.radius );
		body->moCollisionModel.PrecalcData();
		body->muiPriority = setup.priority;
		body->mfWeight = setup.weight;
		body->mfHardness = setup.hardness;
		body->mfRebound = setup.rebound;
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
				std::memcpy( static_cast<void*>( &copy.record ), note.words.data(), sizeof( copy.record ) );
				found.push_back( copy );
			}
		}
		return found;
	}
};

#endif
