/*
	The particle table: result codes, flags, frames an emitter borrows or
	owns through EmitterSetJoint, handlers set from a state function, and
	billboard groups under their budget.
*/
#include "framework/graphics/particles/ParticleTestBench.h"

#include "framework/graphics/effects/EFBillboardMgr.h"
#include "framework/graphics/EFLight.h"
#include "framework/graphics/EFLightMgr.h"
#include "framework/graphics/effects/EFLensFlareFX.h"
#include "framework/graphics/effects/EFProjector.h"
#include "framework/graphics/effects/EFProjectorMgr.h"
#include "framework/graphics/effects/EFSprite.h"
#include "framework/graphics/effects/EFSpriteGroup.h"
#include "framework/graphics/effects/EFSpriteMgr.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/EFLogicCallbackRecord.h"
#include "framework/logic/LogicFakeModule.h"
#include "framework/logic/api/LogicApiTables.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr u32 OBJECT		= 0x2A000010;
constexpr u32 UNKNOWN		= 0x2A000099;
constexpr u32 RUNNING		= 0x2A000000;
constexpr u32 FN_STATE		= 3;

std::function<void()>	gState;

s32 RunsState( void* ) {
	gState();
	return 0;
}

class LogicApiParticleTest : public ParticleTestBench {
protected:
	void SetUp() override {
		ParticleTestBench::SetUp();
		Init_particle();
		Init_graphics();
		billboards = new EFBillboardMgr();
		gpoBillboardMgr = billboards;
		object = MakeObject( OBJECT, 1.0f, 2.0f, 3.0f );
		module.SetFunctions( { { FN_STATE, RunsState } } );
		object->moLogicInstance.mpLogicCode = &module;
		emitter = MakeEmitter( 4.0f, 0.0f, 0.0f );
		id = static_cast<s32>( emitter->GetUID() );
	}

	void TearDown() override {
		gpoBillboardMgr = nullptr;
		delete billboards;
		goLensFlareFX.mui32AttachedObject = 0;
		ParticleTestBench::TearDown();
	}

	// Runs body as the object's logic.
	void AsLogic( std::function<void()> body ) {
		gState = std::move( body );
		EFLogicCallbackRecord record = EFLogicCallbackRecordOf( object, FN_STATE );
		EFGameLogicMgr::ExecLogicCallback( &record, nullptr );
	}

	static RwV3d World( const PLEmitter& emitter ) {
		return RwFrameGetLTM( emitter.GetFrame()->GetRwFrame() )->pos;
	}

	EFBillboardMgr*	billboards = nullptr;
	LogicFakeModule	module;
	EFGameObject*	object = nullptr;
	PLEmitter*		emitter = nullptr;
	s32				id = 0;
};

TEST_F( LogicApiParticleTest, EverySlotAnswersItsResultCode ) {
	DTVector3d corner;
	s32 word = 0;
	const struct {
		const char*				name;
		std::function<s32()>	call;
		s32						expected;
	} rows[] = {
		{ "type setter, unknown type", [] { return APIparticle.TypeSetInt( 9999, 1, 2 ); }, 1 },
		{ "type reader, unknown type", [&] { return APIparticle.TypeGetInt( 9999, 1, &word ); }, 1 },
		{ "emitter of an unknown type", [] { return APIparticle.EmitterCreate( 9999 ); }, 1 },
		{ "type move to an unknown type", [&] { return APIparticle.EmitterSetType( id, 9999 ); }, 1 },
		{ "start, unknown emitter", [] { return APIparticle.EmitterStart( 77, 0 ); }, 2 },
		{ "box, unknown emitter", [&] { return APIparticle.EmitterSetBox( 77, &corner, &corner ); }, 2 },
		{ "joint, unknown emitter", [] { return APIparticle.EmitterSetJoint( 77, OBJECT, 0 ); }, 2 },
		{ "handler, unknown emitter", [] { return APIparticle.EmitterSetMessageHandlerID( 77, OBJECT ); }, 2 },
		{ "handler, unknown object first", [] { return APIparticle.EmitterSetMessageHandlerID( 77, UNKNOWN ); }, 64 },
		{ "joint of an unknown object", [&] { return APIparticle.EmitterSetJoint( id, UNKNOWN, 0 ); }, 64 },
		{ "joint an object does not have", [&] { return APIparticle.EmitterSetJoint( id, OBJECT, 5 ); }, 32 },
		{ "nothing positioned under that id", [&] { return APIparticle.EmitterSetJoint( id, 0x1D000099, 0 ); }, 32 },
		{ "own frame whatever the object", [&] { return APIparticle.EmitterSetJoint( id, UNKNOWN, 0x7FFFFFFF ); }, 0 },
		{ "handler", [&] { return APIparticle.EmitterSetMessageHandlerID( id, OBJECT ); }, 0 },
		{ "handler again", [&] { return APIparticle.EmitterSetMessageHandlerID( id, OBJECT ); }, 4 },
		{ "destroy", [&] { return APIparticle.EmitterDestroy( id ); }, 0 },
		{ "destroy again", [&] { return APIparticle.EmitterDestroy( id ); }, 2 },
	};
	for ( const auto& row : rows ) {
		EXPECT_EQ( row.call(), row.expected ) << row.name;
	}
	EXPECT_EQ( word, 0 ) << "an unknown type writes nothing";
	EXPECT_EQ( APIparticle.TypeConvertNameToID( const_cast<char*>( "none" ) ), 0xFFFFFFFFu );
	EXPECT_EQ( APIparticle.EmitterConvertNameToID( const_cast<char*>( "none" ), OBJECT ), 0xFFFFFFFFu );
}

TEST_F( LogicApiParticleTest, FlagsStopAndStartAndNamesStayInTheirFields ) {
	u32 flags = 0;
	const struct {
		const char*	name;
		s32			( *call )( s32 );
		u32			flags;
		u8			running;
	} rows[] = {
		{ "flags 0x10", []( s32 e ) { return APIparticle.EmitterSetFlags( e, 0x10 ); }, 0x10, 0 },
		{ "flags 0", []( s32 e ) { return APIparticle.EmitterSetFlags( e, 0 ); }, 0, 1 },
		{ "start", []( s32 e ) { return APIparticle.EmitterStartAt( e, 1, 99.0f ); }, 0, 1 },
		{ "flags 0x30 then stop", []( s32 e ) { APIparticle.EmitterSetFlags( e, 0x30 ); return APIparticle.EmitterStop( e ); },
		  0x20, 0 },
	};
	for ( const auto& row : rows ) {
		EXPECT_EQ( row.call( id ), 0 ) << row.name;
		EXPECT_EQ( APIparticle.EmitterGetFlags( id, &flags ), 0 );
		EXPECT_EQ( flags, row.flags ) << row.name;
		EXPECT_EQ( emitter->mui8Running, row.running ) << row.name;
	}
	const s32 type = APIparticle.TypeCreate();
	const std::string long_name( 40, 'n' );
	EXPECT_EQ( APIparticle.TypeSetName( type, const_cast<char*>( long_name.c_str() ) ), 0 );
	char out[40];
	std::memset( out, 'x', sizeof( out ) );
	EXPECT_EQ( APIparticle.TypeGetName( type, out ), 0 );
	EXPECT_EQ( std::string( out ), std::string( 31, 'n' ) ) << "32 bytes at most, terminated";
	EXPECT_EQ( out[32], 'x' );
	EXPECT_EQ( APIparticle.TypeConvertNameToID( out ), static_cast<u32>( type ) );
	EXPECT_EQ( APIparticle.TypeDestroy( type ), 0 );
	EXPECT_EQ( APIparticle.TypeDestroy( type ), 1 );
}

TEST_F( LogicApiParticleTest, AnEmitterLetsGoOfABorrowedFrameWithoutHarmingItsLender ) {
	PLEmitter* const lender = MakeEmitter( 10.0f, 0.0f, 0.0f );
	PLEmitter* const other = MakeEmitter( 20.0f, 0.0f, 0.0f );
	ASSERT_EQ( APIparticle.EmitterSetJoint( id, lender->GetUID(), 0 ), 0 );
	EXPECT_EQ( emitter->GetFrame(), lender->GetFrame() ) << "its own frame destroyed, the lender's borrowed";
	EXPECT_EQ( emitter->muiPosFlags & EF_POS_OWNS_FRAME, 0u );
	// From one lender to another: the first lender's frame stays its own.
	ASSERT_EQ( APIparticle.EmitterSetJoint( id, other->GetUID(), 0 ), 0 );
	EXPECT_EQ( emitter->GetFrame(), other->GetFrame() );
	MoveTo( *lender, 11.0f, 0.0f, 0.0f );
	EXPECT_EQ( World( *lender ).x, 11.0f );
	// The own-frame joint: a fresh frame at the origin, not the borrowed one.
	ASSERT_EQ( APIparticle.EmitterSetJoint( id, 0, 0x7FFFFFFF ), 0 );
	ASSERT_NE( emitter->GetFrame(), nullptr );
	EXPECT_NE( emitter->GetFrame(), other->GetFrame() );
	EXPECT_NE( emitter->muiPosFlags & EF_POS_OWNS_FRAME, 0u );
	MoveTo( *other, 30.0f, 0.0f, 0.0f );
	EXPECT_EQ( World( *emitter ).x, 0.0f ) << "the other emitter's moves no longer move it";
	EXPECT_EQ( World( *other ).x, 30.0f );
	moParticles->Update( 0.1f );
}

TEST_F( LogicApiParticleTest, AStateFunctionsAliasIsKeptAsTheRunningObjectsOwnId ) {
	s32 results[2] = { -1, -1 };
	AsLogic( [&] {
		results[0] = APIparticle.EmitterSetMessageHandlerID( static_cast<u32>( id ), RUNNING );
		results[1] = APIparticle.EmitterCreate( static_cast<s32>( emitter->mpoType->GetUID() ) );
		APIgraphics.LensFlareAttachSunPositionToObject( RUNNING );
	} );
	EXPECT_EQ( results[0], 0 );
	EXPECT_EQ( emitter->mui32NotifyTarget, OBJECT );
	EXPECT_EQ( goLensFlareFX.mui32AttachedObject, OBJECT );
	const PLEmitter_BC* const made = moParticles->GetEmitter( results[1] );
	ASSERT_NE( made, nullptr );
	EXPECT_EQ( made->mui32OwnerId, OBJECT );
	// Outside logic the alias finds no object.
	EXPECT_EQ( APIparticle.EmitterSetMessageHandlerID( static_cast<u32>( results[1] ), RUNNING ), 64 );
}

TEST_F( LogicApiParticleTest, TheBudgetChangesOncePerLevelAndArraysComeBackOnTheirNamesakes ) {
	const u32 expected[] = { 0xFFFFFFFF, 0, 0xFFFFFFFF };
	const u32 asked[] = { 500, 800, 900 };
	for ( u32 i = 0; i < 3; i++ ) {
		EXPECT_EQ( APIparticle.SetMaxNumBillboards( asked[i] ), expected[i] ) << asked[i];
	}
	EXPECT_EQ( billboards->GetBudget(), 800u );
	DTVector3d* positions = nullptr;
	u32* colours = nullptr;
	f32* sizes = nullptr;
	f32* rotations = nullptr;
	const u32 group = APIparticle.CreateBillboardGroup( 3, const_cast<char*>( "dot" ), 0, &positions, &colours, &sizes,
														&rotations );
	ASSERT_NE( group, 0xFFFFFFFFu );
	EXPECT_EQ( group & 0xFF000000, 0x5A000000u );
	const EFBillboardGroup* found = nullptr;
	for ( const EFBillboardGroup* g = billboards->moGroups.mpFirst; g != nullptr; g = g->mpoNext ) {
		found = g->mui32Id == group ? g : found;
	}
	ASSERT_NE( found, nullptr );
	EXPECT_EQ( positions, found->mpoPositions );
	EXPECT_EQ( colours, found->mpui32Colors );
	EXPECT_EQ( sizes, found->mpfSizes );
	EXPECT_EQ( rotations, found->mpfRotations );
	EXPECT_EQ( APIparticle.CreateBillboardGroup( 798, const_cast<char*>( "dot" ), 0, &positions, &colours, &sizes,
												 &rotations ),
			   0xFFFFFFFFu ) << "past the budget";
	EXPECT_EQ( APIparticle.DestroyBillboardGroup( group ), 0u );
	EXPECT_EQ( APIparticle.DestroyBillboardGroup( group ), 0xFFFFFFFFu );
}

TEST_F( LogicApiParticleTest, BorrowersOfAnEndingLenderStayWhereTheyWere ) {
	// Each lender stands at (7, 8, 9): made, lent, then ended.
	struct Lender {
		const char*							name;
		std::function<u32( EFPosData*& )>	make;
		std::function<void( u32 )>			end;
	};
	const Lender lenders[] = {
		{ "emitter",
		  [&]( EFPosData*& thing ) {
			  thing = MakeEmitter( 7.0f, 8.0f, 9.0f );
			  return thing->GetUID();
		  },
		  []( u32 lender ) { EXPECT_EQ( APIparticle.EmitterDestroy( static_cast<s32>( lender ) ), 0 ); } },
		{ "sprite",
		  [&]( EFPosData*& thing ) {
			  EFSpriteGroup* const group = goSpriteMgr.AddSpriteGroup();
			  const u32 sprite = group->AddSprite( 0, 0x6FFFFFFF, 1.0f );
			  thing = goSpriteMgr.GetSprite( sprite );
			  MoveTo( *thing, 7.0f, 8.0f, 9.0f );
			  return sprite;
		  },
		  []( u32 ) { goSpriteMgr.RemoveAllSpriteGroups(); } },
		{ "camera",
		  [&]( EFPosData*& thing ) {
			  thing = MakeCamera();
			  MoveTo( *thing, 7.0f, 8.0f, 9.0f );
			  return thing->GetUID();
		  },
		  [&]( u32 lender ) { moGraphics->DestroyCamera( lender ); } },
		{ "light",
		  [&]( EFPosData*& thing ) {
			  const u32 light = gpoEFLightMgr->CreateDynamicLight( nullptr, LIGHT_TYPE_POINT );
			  thing = gpoEFLightMgr->GetLight( light );
			  MoveTo( *thing, 7.0f, 8.0f, 9.0f );
			  return light;
		  },
		  []( u32 lender ) { gpoEFLightMgr->DestroyLight( lender ); } },
		{ "projector",
		  [&]( EFPosData*& thing ) {
			  thing = goProjectorMgr.CreateProjector();
			  MoveTo( *thing, 7.0f, 8.0f, 9.0f );
			  return thing->GetUID();
		  },
		  []( u32 lender ) { goProjectorMgr.DestroyProjector( lender ); } },
		{ "game object through its model",
		  [&]( EFPosData*& thing ) {
			  EFGameObject* const lender = MakeObject( 0x2A000020, 7.0f, 8.0f, 9.0f );
			  RecordingModel* const model = GiveModel( *lender );
			  model->CreateFrame( lender->GetFrame() );
			  thing = lender;
			  return lender->GetUID();
		  },
		  []( u32 lender ) {
			  EFGameObject* const object = gpoWorldMgr->GetGameObject( lender );
			  gpoWorldMgr->RemoveGameObject( lender );
			  object->Terminate();
			  delete object;
		  } },
	};
	for ( const Lender& lender : lenders ) {
		SCOPED_TRACE( lender.name );
		EFPosData* thing = nullptr;
		const u32 lenderId = lender.make( thing );
		ASSERT_NE( thing, nullptr );
		// The model is found as an instance of the running object.
		const u32 target = EFIdKind( lenderId ) == 0x2A ? 0x0F000001 : lenderId;
		s32 result = -1;
		if ( target == 0x0F000001 ) {
			EFGameObject* const running = gpoWorldMgr->GetGameObject( lenderId );
			EFGameObject* const saved = object;
			object = running;
			running->moLogicInstance.mpLogicCode = &module;
			AsLogic( [&] { result = APIparticle.EmitterSetJoint( id, target, 0 ); } );
			object = saved;
		} else {
			result = APIparticle.EmitterSetJoint( id, target, 0 );
		}
		ASSERT_EQ( result, 0 );
		ASSERT_EQ( emitter->GetFrame(), thing->GetFrame() );
		EXPECT_EQ( emitter->mui32LenderId, lenderId );
		lender.end( lenderId );
		ASSERT_NE( emitter->GetFrame(), nullptr );
		EXPECT_NE( emitter->muiPosFlags & EF_POS_OWNS_FRAME, 0u ) << "a frame of its own";
		const RwV3d at = World( *emitter );
		EXPECT_EQ( std::vector<f32>( { at.x, at.y, at.z } ), std::vector<f32>( { 7.0f, 8.0f, 9.0f } ) );
		moParticles->Update( 0.1f );
		BeginDrawing();
		moParticles->Render();
		// Back to a frame of its own at the origin for the next lender.
		ASSERT_EQ( APIparticle.EmitterSetJoint( id, 0, 0x7FFFFFFF ), 0 );
	}
}

}
