/*
===============================================================================

	Fixture of the physics tests: the world bench (3D library on the test
	device, a world, objects with frames) plus the scratch matrix, a work
	memory of the test's own (the full 512 KB, or a small area at the end
	of a buffer on request), game objects with bodies, captured
	notifications, a particle type with an emitter, a scripted primitive
	and a counting module.

	Everything made is freed by the world's Terminate, which also ends
	every body; the work memory and the scratch matrix are put back.

===============================================================================
*/
#ifndef PHYSICS_TEST_BENCH_H
#define PHYSICS_TEST_BENCH_H

#include "framework/core/world/WorldTestBench.h"
#include "datatypes/maths/DTMatrix.h"
#include "datatypes/memory/MMMemory.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "platform/os/OS.h"
#include "framework/graphics/particles/PLEmitter.h"
#include "framework/graphics/particles/PLMgr.h"
#include "framework/graphics/particles/PLType.h"
#include "framework/physics/EFDynamicPhysic.h"
#include "framework/physics/EFEnvCollisionPrim.h"
#include "framework/physics/EFObjCollisionPrim.h"
#include "framework/physics/EFPhysic.h"
#include "framework/physics/EFPhysicModule.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

// One notification a body sent to its owner.
struct PhysicsNote {
	u32					type;
	u32					target;
	std::vector<u32>	words;
};

inline std::vector<PhysicsNote> gPhysicsNotes;

// A primitive whose answers the test sets: a result and an output for
// each kind of test, a particle count, a ray hit at a parameter, and an
// escape direction (none by default, like a shape without one).
class ScriptedPrim : public EFObjCollisionPrim {
public:
	explicit ScriptedPrim( DTFrame* frame = nullptr ) : EFObjCollisionPrim( frame ) {}

	u32 CheckEnvCollision( const EFCheckCollisionIn& in, EFCheckCollisionOut& out, EFEnvCollisionPrim* polygon ) override {
		envTested.push_back( polygon );
		lastIn = in;
		const auto found = envAnswers.find( polygon );
		if ( found == envAnswers.end() ) {
			return 0;
		}
		out = found->second.out;
		return found->second.result;
	}
	u32 CheckObjPrimCollision( const EFCheckCollisionIn& in, EFCheckCollisionOut& out, EFObjCollisionPrim* other ) override {
		lastIn = in;
		otherPosAtTest.push_back( other->moPrimPos );
		out = objAnswer.out;
		return objAnswer.result;
	}
	bool CheckPointIntersection( const DTVector3d& ) const override { return false; }
	u32 CheckParticlesIntersection( PLParticle* first, bool count ) override {
		particleCalls.push_back( { first, count } );
		return particleHits;
	}
	u32 RayIntersect( const RayIntersectIn&, EFRayIntersectOut&, f32& t ) override {
		rayTests++;
		if ( rayHit < 0.0f || !( rayHit < t ) ) {
			return 0;
		}
		t = rayHit;
		return 1;
	}
	f32 GetMinRadius() override { return minRadius; }
	void GetEscapeNoPF( const DTVector3d&, DTVector3d& escapeOut, DTVector3d& ) const override {
		if ( hasEscape ) {
			escapeOut = escape;
		}
	}

	struct Answer {
		u32					result = 0;
		EFCheckCollisionOut	out = {};
	};
	std::map<EFEnvCollisionPrim*, Answer>	envAnswers;
	Answer									objAnswer;
	u32										particleHits = 0;
	f32										rayHit = -1.0f;
	f32										minRadius = 0.0f;
	bool									hasEscape = false;
	DTVector3d								escape;

	std::vector<EFEnvCollisionPrim*>				envTested;
	std::vector<DTVector3d>							otherPosAtTest;
	std::vector<std::pair<PLParticle*, bool>>		particleCalls;
	EFCheckCollisionIn								lastIn = {};
	u32												rayTests = 0;
};

// A module that counts its phase calls in a shared log and may act
// inside its pre-collision update.
class CountingModule : public EFPhysicModule {
public:
	CountingModule( const u32 type, EFPhysic* owner, std::vector<std::string>* log, std::string name )
		: EFPhysicModule( type, owner ), mLog( log ), mName( std::move( name ) ) {}

	// The actions run from copies, and the result is read first: an
	// action may delete this module.
	u32 PreColUpdate( EFDynamicPhysic&, f32 ) override {
		Record( "pre" );
		const u32 result = keep;
		Run( onPre );
		return result;
	}
	void ColUpdate( EFCollisionStage*, EFColDMData&, f32 ) override {
		Record( "col" );
		Run( onCol );
	}
	void PostColUpdate( EFCollisionStage*, f32 ) override {
		Record( "post" );
		Run( onPost );
	}

	u32						keep = 1;
	std::function<void()>	onPre;
	std::function<void()>	onCol;
	std::function<void()>	onPost;

private:
	static void Run( const std::function<void()>& action ) {
		if ( action ) {
			const std::function<void()> copy = action;
			copy();
		}
	}
	void Record( const char* phase ) {
		if ( mLog != nullptr ) {
			mLog->push_back( mName + ":" + phase );
		}
	}
	std::vector<std::string>*	mLog;
	std::string					mName;
};

class PhysicsTestBench : public WorldTestBench {
protected:
	// Bytes of the engine's per-frame work memory.
	static constexpr u32 WORK_BYTES = 0x80000;

	void SetUp() override {
		WorldTestBench::SetUp();
		// The graphics manager made the shared work matrices.
		ASSERT_NE( DTMatrix::mpoWork, nullptr );
		moSavedWork = _WorkMem;
		mWorkBuffer.assign( WORK_BYTES, 0 );
		UseWorkMemory( WORK_BYTES );
		gPhysicsNotes.clear();
		moParticles = new PLMgr();
	}

	void TearDown() override {
		// The types and emitters are the bench's: the manager must not
		// delete them, nor take the bench's particle into its pool.
		for ( PLType* type : mTypes ) {
			type->moEmitters.Reset();
		}
		for ( auto& emitter : mEmitters ) {
			emitter->moParticles.Reset();
		}
		moParticles->GetTypeList().Reset();
		delete moParticles;
		for ( PLType* type : mTypes ) {
			delete type;
		}
		WorldTestBench::TearDown();
		_WorkMem = moSavedWork;
	}

	// The frame's work memory becomes the last bytes of the test's buffer.
	void UseWorkMemory( const u32 bytes ) {
		moWork = std::make_unique<DTWorkMemory>( mWorkBuffer.data() + ( WORK_BYTES - bytes ), bytes );
		_WorkMem = moWork.get();
	}

	// A game object at (x, y, z) with a body of flags (requested bits),
	// a model of slots empty slots and its notifications captured.
	static EFPhysic* MakeBody( const u32 id, const u32 flags, const u32 slots = 0, const f32 x = 0.0f,
							   const f32 y = 0.0f, const f32 z = 0.0f ) {
		EFGameObject* const object = MakeObject( id, x, y, z );
		EFPhysic* const body = object->CreatePhysic( 0 );
		body->mui32PhysicFlags = flags;
		body->NormalizeFlags();
		body->moCollisionModel.SetMaxPrims( slots );
		Capture( id, NO_PHYSIC_STATECHANGE );
		Capture( id, NO_PHYSIC_PARTICLECOLLISION );
		return body;
	}

	static EFGameObject* OwnerOf( const EFPhysic* body ) { return static_cast<EFGameObject*>( body->GetOwner() ); }

	// A scripted primitive in slot index of the body's model, on its
	// owner's frame, with attribute words (flags, type, detect, UD type,
	// UD detect, env detect, UD env detect).
	static ScriptedPrim* GivePrim( EFPhysic* body, const u32 index, std::vector<u32> words ) {
		ScriptedPrim* const prim = new ScriptedPrim( body->GetOwner()->GetFrame() );
		for ( u32 i = 0; i < words.size() && i < EF_COL_PRIM_ATTRIB_WORDS; i++ ) {
			prim->moBaseAttrib.IntArray[i] = words[i];
		}
		prim->UpdateCurrentAttribs();
		delete body->moCollisionModel.mppoPrimArray[index];
		body->moCollisionModel.mppoPrimArray[index] = prim;
		return prim;
	}

	static void Capture( const u32 id, const EFNotifyType_e type ) {
		// The manager frees caller data with operator delete.
		u32* const who = static_cast<u32*>( ::operator new( 2 * sizeof( u32 ) ) );
		who[0] = static_cast<u32>( type );
		who[1] = id;
		gpoGameLogicMgr->GetNotificationMgr().RegisterNotify( type, id, id, &RecordNote, who );
	}

	static std::vector<PhysicsNote> Notes( const u32 type ) {
		std::vector<PhysicsNote> found;
		for ( const PhysicsNote& note : gPhysicsNotes ) {
			if ( note.type == type ) {
				found.push_back( note );
			}
		}
		return found;
	}

	// A particle type with the four masks and one emitter of id with
	// flags and one live particle, on the manager's list.
	PLEmitter* MakeEmitter( const u32 typeId, const u32 emitterId, const u32 flags, const u32 collision,
							const u32 detect, const u32 udCollision = 0, const u32 udDetect = 0 ) {
		PLType* const type = new PLType;
		type->muiUID = typeId;
		type->mui32CollisionType = collision;
		type->mui32DetectType = detect;
		type->mui32UDCollisionType = udCollision;
		type->mui32UDDetectType = udDetect;
		PLEmitter* const emitter = new PLEmitter;
		emitter->SetUID( emitterId );
		emitter->mui32Flags = flags;
		emitter->mpoType = type;
		emitter->moParticles.AddFirst( &mParticle );
		type->moEmitters.AddFirst( emitter );
		moParticles->GetTypeList().AddLast( type );
		mTypes.push_back( type );
		mEmitters.emplace_back( emitter );
		return emitter;
	}

	// Runs work inside one physics frame (the record pools exist only
	// there), from the pre-collision update of a helper body.
	void RunInFrame( std::function<void()> work, const f32 dt = 1.0f / 60.0f ) {
		if ( mpoFrameModule == nullptr ) {
			EFPhysic* const helper = MakeBody( FRAME_HELPER_ID, EF_PHYSIC_DYNAMIC );
			mpoFrameModule = new CountingModule( EF_DM_PHASE_PRE | 4, helper, nullptr, "frame" );
			mpoFrameModule->mui32ContextMask = 1;
			helper->mui32CurrentContext = 1;
			helper->LinkModule( mpoFrameModule );
		}
		mpoFrameModule->onPre = std::move( work );
		manager.Update( dt );
		mpoFrameModule->onPre = nullptr;
	}

	// A frame record for body as the frame makes one.
	static EFDynamicPhysic RecordOf( EFPhysic* body ) {
		EFDynamicPhysic record = {};
		record.poPhysic = body;
		record.ui32InitPhysicState = body->mui32PhysicState;
		return record;
	}

	static DTVector3d WorldPos( const EFPosData& instance ) {
		const RwMatrix* const world = RwFrameGetLTM( instance.GetFrame()->GetRwFrame() );
		return DTVector3d( world->pos.x, world->pos.y, world->pos.z );
	}

	static constexpr u32 FRAME_HELPER_ID = 0x2A00FFFF;

	EFPhysicMgr&							manager = EFPhysicMgr::moPhysicMgr;
	CountingModule*							mpoFrameModule = nullptr;
	PLMgr*									moParticles = nullptr;
	PLParticle								mParticle;

private:
	static s32 RecordNote( void* callerData, void* eventData ) {
		const u32* const who = static_cast<const u32*>( callerData );
		const u32* const words = static_cast<const u32*>( eventData );
		// State changes carry two words, contacts a whole contact record.
		const bool contact = who[0] == NO_PHYSIC_OBJECTCOLLISION || who[0] == NO_DM_OBJCOL;
		const u32 count = who[0] == NO_PHYSIC_STATECHANGE ? 2 : contact ? sizeof( EFObjectCollisionRecord ) / 4 : 3;
		gPhysicsNotes.push_back( { who[0], who[1], std::vector<u32>( words, words + count ) } );
		return 0;
	}

	DTWorkMemory*							moSavedWork = nullptr;
	std::unique_ptr<DTWorkMemory>			moWork;
	std::vector<u8>							mWorkBuffer;
	std::vector<PLType*>					mTypes;
	std::vector<std::unique_ptr<PLEmitter>>	mEmitters;
};

#endif
