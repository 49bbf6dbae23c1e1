/*
===============================================================================

	Fixture of the behaviour-module tests, over the collision scenario
	harness (tiny worlds, sphere bodies, frame stepping): one phase of
	one module on a hand-made frame record, stage or collision record;
	the module state notifications recorded through the real
	notification manager; stick actions installed through the input
	configuration calls; camera 0 made by the graphics manager; and logic
	callbacks served by a fake logic module.

===============================================================================
*/
#ifndef BEHAVIOUR_TEST_BENCH_H
#define BEHAVIOUR_TEST_BENCH_H

#include "framework/logic/LogicFakeModule.h"
#include "framework/physics/CollisionScenarioBench.h"

#include "framework/behaviour/EFDMInterface.h"
#include "framework/core/input/EFInputAction.h"
#include "framework/core/input/EFInputConfig.h"
#include "framework/core/input/EFInputMgr.h"
#include "framework/logic/api/LogicBehaviourRecords.h"
#include "framework/physics/EFColDMData.h"
#include "framework/physics/EFCollisionStage.h"

#include <vector>

// One module state notification as the instance received it.
struct DMStateNote {
	u32					target;
	DMStateChangeRecord	record;
};

inline std::vector<DMStateNote> gDMStateNotes;

class BehaviourTestBench : public CollisionScenarioBench {
protected:
	void SetUp() override {
		CollisionScenarioBench::SetUp();
		gDMStateNotes.clear();
		EFInputMgr::Create();
	}

	void TearDown() override {
		delete gpoInputMgr;
		gpoInputMgr = nullptr;
		CollisionScenarioBench::TearDown();
	}

	// A game object at (x, y, z) with a dynamic body in context 1 and its
	// module state notifications recorded.
	static EFPhysic* MakeModuleBody( const u32 id, const f32 x = 0.0f, const f32 y = 0.0f, const f32 z = 0.0f,
									 const u32 slots = 0 ) {
		EFPhysic* const body = MakeBody( id, EF_PHYSIC_DYNAMIC, slots, x, y, z );
		body->mui32CurrentContext = 1;
		RecordStates( id );
		return body;
	}

	static void RecordStates( const u32 id ) {
		u32* const who = static_cast<u32*>( ::operator new( sizeof( u32 ) ) );
		*who = id;
		gpoGameLogicMgr->GetNotificationMgr().RegisterNotify( NO_PHYSIC_DMSTATECHANGE, id, id, &RecordState, who );
	}

	// Takes the object of id out of the world and deletes it; none: nothing.
	static void Drop( const u32 id ) {
		EFGameObject* const object = gpoWorldMgr->FindGameObject( id );
		gpoWorldMgr->RemoveGameObject( id );
		delete object;
	}

	// A module of typeId added through DMAdd, running in context 1.
	static u32 Add( const u32 objectId, const u32 typeId ) {
		const u32 handle = DMAdd( objectId, typeId );
		DMSetContextMask( handle, 1 );
		return handle;
	}

	template< class T >
	static T* Module( const u32 handle ) {
		return static_cast<T*>( EFPhysicMgr::moPhysicMgr.GetModule( handle ) );
	}

	// A stick action (config, action) holding (x, y).
	static EFInputAction* InstallStick( const s32 config, const s32 action, const f32 x = 0.0f, const f32 y = 0.0f ) {
		EFInputConfig* found = gpoInputMgr->InputConfigGet( config );
		if ( found == nullptr ) {
			found = gpoInputMgr->InputConfigAdd( config );
		}
		EFInputAction* const stick = found->InputActionAdd( action );
		stick->GetState().x = x;
		stick->GetState().y = y;
		return stick;
	}

	// A collision record for a module's collision phase.
	static EFColDMData Collision( const DTVector3d& normal, EFPhysic* collider = nullptr,
								  EFEnvCollisionPrim* polygon = nullptr, EFContactReport* contacts = nullptr ) {
		return EFColDMData{ 0.0f, normal, DTVector3d(), collider, nullptr, polygon, contacts };
	}

	// A stage of record over the polygons.
	static EFCollisionStage StageOf( EFDynamicPhysic& record, std::vector<EFEnvCollisionPrim*>& polygons ) {
		EFCollisionStage stage = {};
		stage.mpoRecord = &record;
		stage.mppoEnvPrims = polygons.data();
		stage.mui32NbEnvPrims = static_cast<u32>( polygons.size() );
		return stage;
	}

	// A polygon record with its attribute record right after it, as a map
	// holds them.
	struct Polygon {
		EFEnvCollisionPrim	prim;
		EnvPrimAttribs		attribs;
	};
	static Polygon MakePolygon( const DTVector3d& normal, const f32 friction ) {
		Polygon polygon = {};
		polygon.prim.mui32Attributes = static_cast<u32>( offsetof( Polygon, attribs ) );
		polygon.prim.moPlane.moNormal = normal;
		polygon.attribs.fFriction = friction;
		return polygon;
	}

private:
	static s32 RecordState( void* callerData, void* eventData ) {
		gDMStateNotes.push_back( { *static_cast<const u32*>( callerData ),
								   *static_cast<const DMStateChangeRecord*>( eventData ) } );
		return 0;
	}
};

#endif
