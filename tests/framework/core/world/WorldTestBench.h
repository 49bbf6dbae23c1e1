/*
===============================================================================

	Fixture of the world, clipping and retriever tests: the 3D library
	started with its world modules (frames, cameras and lights come from
	it), a world with a static object whose library world is the level's,
	a graphics manager for the cameras, the game logic manager
	(notifications) and the logic stack, with the call trace on.

	Objects are made in place: a game object with its own frame at a
	position, optionally with one recording 3D object over a clump of one
	atomic. Everything made is freed by the world's Terminate.

===============================================================================
*/
#ifndef WORLD_TEST_BENCH_H
#define WORLD_TEST_BENCH_H

#include "datatypes/maths/DTFrame.h"
#include "framework/core/engine/EFAppContext.h"
#include "framework/core/engine/EFCallTrace.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "framework/graphics/EFStatic3dObj.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/EFLogicStack.h"
#include "framework/physics/EFPhysicMgr.h"
#include "graphics3d/core/RwTestChunks.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpClump.h"
#include "graphics3d/world/RpWorld.h"

#include <vector>

// One Render call of a recording 3D object.
struct WorldDraw {
	const EF3dObj*	object;
	u16				clipOps;
};

inline std::vector<WorldDraw> gWorldDraws;

// A 3D object whose drawing is recorded; its clump (one atomic of radius
// 1 on the object's frame) is its own.
class RecordingModel : public EF3dObj {
public:
	RecordingModel() {
		mpClump = RpClumpCreate();
		mpAtomic = RpAtomicCreate();
		mpAtomic->boundingSphere.radius = 1.0f;
		RpClumpAddAtomic( mpClump, mpAtomic );
	}
	~RecordingModel() override { RpClumpDestroy( mpClump ); }
	void Render( const u16 clipOps ) override { gWorldDraws.push_back( { this, clipOps } ); }

	RpAtomic*	mpAtomic;
};

// A recording model of the water grid's class, which draws itself.
class RecordingGrid : public RecordingModel {
public:
	s32 GetClassID() const override { return 65; }
};

class WorldTestBench : public RwWorldStartedTestCase {
protected:
	void SetUp() override {
		RwWorldStartedTestCase::SetUp();
		gWorldDraws.clear();
		gpoGameLogicMgr = new EFGameLogicMgr();
		EFLogicStack::Create();
		moGraphics = new EFGraphicsMgr( moContext );
		gpoWorldMgr = new EFWorld();
		EFStatic3dObj* const level = new EFStatic3dObj();
		const RwBBox box = { { 1000.0f, 1000.0f, 1000.0f }, { -1000.0f, -1000.0f, -1000.0f } };
		level->SetWorld( RpWorldCreate( &box ) );
		gpoWorldMgr->SetStatic3dObj( level );
		EFCallTraceEnable( true );
	}

	void TearDown() override {
		EFCallTraceEnable( false );
		gpoWorldMgr->Terminate();
		for ( u32 slot = 0; slot < EF_CAMERA_SLOT_COUNT; slot++ ) {
			moGraphics->DestroyCamera( slot );
		}
		delete gpoWorldMgr;
		gpoWorldMgr = nullptr;
		delete moGraphics;
		EFLogicStack::Destroy();
		gpoGameLogicMgr->Terminate();
		delete gpoGameLogicMgr;
		gpoGameLogicMgr = nullptr;
		RwWorldStartedTestCase::TearDown();
	}

	// A game object of id at (x, y, z), added to the world.
	static EFGameObject* MakeObject( const u32 id, const f32 x = 0.0f, const f32 y = 0.0f, const f32 z = 0.0f ) {
		EFGameObject* const object = new EFGameObject;
		object->SetUID( id );
		object->CreateFrame( nullptr );
		MoveTo( *object, x, y, z );
		gpoWorldMgr->AddGameObject( object );
		return object;
	}

	// Gives the object one recording 3D object (of id uid) on its frame.
	template <class Model = RecordingModel>
	static Model* GiveModel( EFGameObject& object, const u32 uid = 0x0f000001 ) {
		Model* const model = new Model;
		model->mpGameObjectOwner = &object;
		model->SetUID( uid );
		RpAtomicSetFrame( model->mpAtomic, object.GetFrame()->GetRwFrame() );
		delete[] object.mppEFInstance;
		object.mppEFInstance = new EFInstance*[1]{ model };
		object.muiNbInstance = 1;
		object.muiNb3dObj = 1;
		return model;
	}

	static void MoveTo( EFPosData& instance, const f32 x, const f32 y, const f32 z ) {
		RwFrame* const frame = instance.GetFrame()->GetRwFrame();
		frame->modelling.pos = { x, y, z };
		RwFrameUpdateObjects( frame );
	}

	// A camera at the origin looking along +z, far plane at 1000.
	EFCamera* MakeCamera() {
		EFCamera* const camera = moGraphics->GetCamera( moGraphics->CreateCamera( nullptr ) );
		RwCameraSetFarClipPlane( camera->mpoRwCamera, 1000.0f );
		camera->muiPlanesDirty = 1;
		return camera;
	}

	// Makes object the running logic's object (null: none runs).
	static void SetRunning( EFGameObject* object ) {
		gpoLogicStack->mppGameObj[0] = object;
		gpoLogicStack->miCurStackLevel = object != nullptr ? 1 : 0;
	}

	// Objects of a per-frame list in list order.
	static std::vector<EFGameObject*> List( const u32 place ) {
		std::vector<EFGameObject*> objects;
		for ( EFGameObject* at = gpoWorldMgr->GetListHead( place ); at != nullptr;
			  at = at->mpGameObjectPipeLineList[place] ) {
			objects.push_back( at );
		}
		return objects;
	}

	EFAppContext	moContext{};
	EFGraphicsMgr*	moGraphics = nullptr;
};

#endif
