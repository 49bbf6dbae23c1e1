/*
===============================================================================

	Fixture of the logic runtime tests: the logic stack, the game logic
	manager, a world and a graphics manager without the 3D library, so
	that a camera can be added and the clipping pass builds the world's
	logic list (objects have no frame and sit in view).

	The fixture owns the fake modules it hands out: they outlive the
	objects, which the world's Terminate deletes in TearDown.

===============================================================================
*/
#ifndef LOGIC_WORLD_FIXTURE_H
#define LOGIC_WORLD_FIXTURE_H

#include "datatypes/maths/DTFrame.h"
#include "framework/core/engine/EFAppContext.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/EFLogicStack.h"
#include "framework/logic/LogicFakeModule.h"
#include "graphics3d/core/RwFrame.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

class LogicWorldFixture : public ::testing::Test {
protected:
	void SetUp() override {
		EFLogicStack::Create();
		manager = new EFGameLogicMgr();
		graphics = new EFGraphicsMgr( context );
		gpoWorldMgr = new EFWorld();
	}

	void TearDown() override {
		EXPECT_EQ( EFLogicStack::GetLevel(), 0 );
		gpoWorldMgr->Terminate();
		delete gpoWorldMgr;
		gpoWorldMgr = nullptr;
		for ( u32 slot = 0; slot < cameras; slot++ ) {
			graphics->DestroyCamera( slot );
		}
		delete graphics;
		manager->Terminate();
		delete manager;
		modules.clear();
		EFLogicStack::Destroy();
	}

	// A module owned by the fixture.
	LogicFakeModule& Module() {
		modules.push_back( std::make_unique<LogicFakeModule>() );
		return *modules.back();
	}

	// A game object of id running module (none: no logic), in the world.
	static EFGameObject* AddObject( const u32 id, LogicFakeModule* module ) {
		EFGameObject* const object = new EFGameObject;
		object->SetUID( id );
		object->moLogicInstance.mpLogicCode = module;
		gpoWorldMgr->AddGameObject( object );
		return object;
	}

	// One camera, so that the clipping pass fills the world's lists; it
	// stands back from the origin, where the objects are, looking at them.
	void AddCamera() {
		EFCamera* const camera = graphics->GetCamera( graphics->CreateCamera( nullptr ) );
		ASSERT_NE( camera, nullptr );
		if ( camera->GetFrame() != nullptr ) {
			const RwV3d back = { 0.0f, 0.0f, -10.0f };
			RwFrameTranslate( camera->GetFrame()->GetRwFrame(), &back, rwCOMBINEREPLACE );
		}
		cameras++;
	}

	EFAppContext									context{};
	EFGameLogicMgr*									manager = nullptr;
	EFGraphicsMgr*									graphics = nullptr;
	u32												cameras = 0;
	std::vector<std::unique_ptr<LogicFakeModule>>	modules;
};

#endif
