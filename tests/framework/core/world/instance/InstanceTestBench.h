/*
===============================================================================

	Fixture of the instance and game-object tests: the 3D library started
	(frames come from it), the managers a game object reaches published
	(game logic, world, resources, logic stack, HUD, audio, test camera),
	logic messages recorded through the game logic manager's hook and the
	placeholder managers' calls through the call trace; and helpers that
	load a game object from a record written by the level tools.

===============================================================================
*/
#ifndef INSTANCE_TEST_BENCH_H
#define INSTANCE_TEST_BENCH_H

#include "datatypes/persist/DTMemoryPersistStream.h"
#include "framework/audio/EFNewAudioMgr.h"
#include "framework/core/engine/EFCallTrace.h"
#include "framework/core/engine/EFEngineController.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/level/EFRessourcesMgr.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/hud/EFHudMgr.h"
#include "framework/graphics/effects/EFProjectorMgr.h"
#include "framework/graphics/effects/EFShadowMgr.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/EFLogicStack.h"
#include "framework/physics/EFPhysicMgr.h"
#include "graphics3d/core/RwTestChunks.h"
#include "tools/lib/level/ToolInstanceWriter.h"
#include "tools/lib/level/ToolLevelWriter.h"

#include <vector>

struct LogicMessage {
	u32		target;
	u32		message;
	u32		parameter;

	bool operator==( const LogicMessage& other ) const {
		return target == other.target && message == other.message && parameter == other.parameter;
	}
};

inline std::vector<LogicMessage> gSentMessages;

inline void RecordLogicMessage( const u32 target, const u32 message, const u32 parameter, void* ) {
	gSentMessages.push_back( { target, message, parameter } );
}

class InstanceTestBench : public RwWorldStartedTestCase {
protected:
	void SetUp() override {
		RwWorldStartedTestCase::SetUp();
		gSentMessages.clear();
		gpoGameLogicMgr = new EFGameLogicMgr();
		gpoGameLogicMgr->mpfnMessageHook = &RecordLogicMessage;
		gpoWorldMgr = new EFWorld();
		gpoRessourcesMgr = new EFRessourcesMgr();
		EFLogicStack::Create();
		gpoHudMgr = new EFHudMgr();
		new EFNewAudioMgr();
		gpoTestCamera = new EFCamera( nullptr );
		EFCallTraceEnable( true );
	}

	void TearDown() override {
		EFCallTraceEnable( false );
		delete gpoTestCamera;
		gpoTestCamera = nullptr;
		delete gpoNewAudioMgr;
		delete gpoHudMgr;
		gpoHudMgr = nullptr;
		EFLogicStack::Destroy();
		gpoRessourcesMgr->GetRessourceFactory().Clear();
		delete gpoRessourcesMgr;
		gpoRessourcesMgr = nullptr;
		gpoGameLogicMgr->Terminate();
		delete gpoGameLogicMgr;
		gpoGameLogicMgr = nullptr;
		delete gpoWorldMgr;
		gpoWorldMgr = nullptr;
		goShadowMgr.Terminate();
		goProjectorMgr.Terminate();
		EFPhysicMgr::moPhysicMgr.UpdateDeletedPhysic();
		EFPhysicMgr::moPhysicMgr.Terminate();
		RwWorldStartedTestCase::TearDown();
	}

public:
	// The stored bytes of a game-object record.
	static std::vector<u8> GloBytes( const ToolGloRecord& record ) {
		ToolBigEndianWriter out;
		ToolLevelWriter::WriteGlo( out, record );
		return out.Bytes();
	}

	// A new game object loaded from bytes; result receives the load's.
	static EFGameObject* LoadObject( const std::vector<u8>& bytes, s32* result = nullptr ) {
		std::vector<char> copy( bytes.begin(), bytes.end() );
		DTMemoryPersistStream stream( copy.data(), static_cast<s32>( copy.size() ) );
		EFGameObject* const object = new EFGameObject;
		const s32 loaded = object->Load( stream );
		if ( result != nullptr ) {
			*result = loaded;
		}
		return object;
	}

	// Takes the object out of the world, terminates and deletes it, as
	// the world's deletion does.
	static void DestroyObject( EFGameObject* object ) {
		gpoWorldMgr->RemoveGameObject( object->GetUID() );
		object->Terminate();
		delete object;
	}

	static ToolInstanceDescriptor Descriptor( const s32 classId, const u32 uid, const s32 puid = -1,
											  const s32 refPuid = -1 ) {
		ToolInstanceDescriptor descriptor;
		descriptor.classId = classId;
		descriptor.header = { uid, puid, refPuid };
		return descriptor;
	}

	static ToolGloRecord Record( const u32 uid, const std::vector<ToolContainerEntry>& entries ) {
		ToolGloRecord record;
		record.uid = uid;
		record.descriptors = entries;
		return record;
	}
};

#endif
