/*
	The game-object table's logic slots: states, flags, messages, ids,
	game buffers and notifications, with unknown ids answered by the
	table's failure values and callback records that never outlive their
	object.
*/
#include "framework/logic/LogicWorldFixture.h"
#include "framework/core/world/notification/CountingNew.h"

#include "datatypes/memory/MMMemory.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFInstance.h"
#include "framework/core/world/EFNotificationMgr.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/EFLogicCallbackRecord.h"
#include "framework/logic/api/EFApiTrace.h"
#include "framework/logic/api/LogicApiTables.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

constexpr u32 OBJECT_A = 0x2A000021;
constexpr u32 OBJECT_B = 0x2A000022;
constexpr u32 UNKNOWN  = 0x2A000099;
constexpr u32 SOUND	   = 0x17000005;
constexpr u32 FN_HEARD = 1;
constexpr u32 FN_CHANGE = 2;
constexpr u32 FN_BREAK = 3;

u32				   gAfterLeaving = 0;
std::vector<u32>   gHeard;

s32 Heard( void* data ) {
	gHeard.push_back( static_cast<u32>( reinterpret_cast<uintptr_t>( data ) ) );
	return 0;
}

// Each leaves halfway: nothing after the slot runs.
s32 ChangesState( void* ) {
	APIgameobj.ChangeState( 7 );
	gAfterLeaving++;
	return 0;
}

s32 Breaks( void* ) {
	APIgameobj.Break();
	gAfterLeaving++;
	return 0;
}

class LogicApiGameObjTest : public LogicWorldFixture {
protected:
	void SetUp() override {
		LogicWorldFixture::SetUp();
		LogicFakeModule& module = Module();
		module.SetFunctions( { { FN_HEARD, Heard }, { FN_CHANGE, ChangesState }, { FN_BREAK, Breaks } } );
		a = AddObject( OBJECT_A, &module );
		b = AddObject( OBJECT_B, &module );
		gHeard.clear();
		gAfterLeaving = 0;
	}

	EFNotificationMgr& Notifications() { return manager->GetNotificationMgr(); }

	EFGameObject* a = nullptr;
	EFGameObject* b = nullptr;
};

TEST_F( LogicApiGameObjTest, AnUnknownIdGivesTheFailureValuesAndChangesNothing ) {
	const u32 flags = a->muiLogicFlags;
	APIgameobj.SetNextState( UNKNOWN, 4 );
	APIgameobj.Sleep( UNKNOWN, 2.0f );
	APIgameobj.SetLogicFlag( UNKNOWN, 0xFF );
	APIgameobj.ResetLogicFlag( UNKNOWN, 0xFF );
	APIgameobj.SetGameObjectVisible( UNKNOWN, 1 );
	APIgameobj.KillObject( UNKNOWN );
	APIgameobj.SetContextFlag( UNKNOWN, 3 );
	APIgameobj.RegisterNotify( UNKNOWN, 0xFFFFFFFF, NO_TIMER, FN_HEARD );
	APIgameobj.UnregisterNotify( UNKNOWN, 0xFFFFFFFF, NO_TIMER );
	APIgameobj.UnregisterAllNotify( UNKNOWN );
	EXPECT_EQ( APIgameobj.IsGameObjectVisible( UNKNOWN ), -1 );
	EXPECT_EQ( APIgameobj.GetContextFlag( UNKNOWN ), 0u );
	EXPECT_EQ( APIgameobj.GetContextFlag( OBJECT_A ), 0u );	// no body
	EXPECT_EQ( APIgameobj.GetCurrentStateID( UNKNOWN ), 0xFFFFFFFFu );
	EXPECT_EQ( APIgameobj.GetID( UNKNOWN, nullptr ), 0x7FFFFFFEu );
	EXPECT_EQ( APIgameobj.GetMagicPreset( UNKNOWN, 16 ), nullptr );
	EXPECT_EQ( APIgameobj.SendMessageTo( UNKNOWN, nullptr, 1, 2, nullptr ), 0u );
	EXPECT_EQ( a->muiLogicFlags, flags );
	EXPECT_EQ( gpoWorldMgr->GetListHead( EF_WORLD_DELETION_LIST ), nullptr );
	EXPECT_EQ( EFApiTrace::mFuncName, nullptr );
	// Outside a logic call the two state jumps only say so.
	APIgameobj.ChangeState( 3 );
	APIgameobj.Break();
	EXPECT_EQ( EFApiTrace::mFuncName, nullptr );
}

TEST_F( LogicApiGameObjTest, StateSlotsActOnTheObjectAndLeaveTheRunningCall ) {
	APIgameobj.SetNextState( OBJECT_A, 4 );
	EXPECT_EQ( APIgameobj.GetCurrentStateID( OBJECT_A ), 4u );
	APIgameobj.SetLogicFlag( OBJECT_A, 0x30 );
	APIgameobj.ResetLogicFlag( OBJECT_A, 0x10 );
	EXPECT_EQ( a->muiLogicFlags & 0x30, 0x20u );
	EXPECT_EQ( APIgameobj.GetID( OBJECT_B, nullptr ), OBJECT_B );
	APIgameobj.KillObject( OBJECT_B );
	APIgameobj.KillObject( OBJECT_B );
	EXPECT_EQ( gpoWorldMgr->GetListHead( EF_WORLD_DELETION_LIST ), b );

	EFLogicCallbackRecord change = EFLogicCallbackRecordOf( a, FN_CHANGE );
	EFGameLogicMgr::ExecLogicCallback( &change, nullptr );
	EXPECT_EQ( a->moLogicInstance.muiCurrentState, 7u );
	EFLogicCallbackRecord breaking = EFLogicCallbackRecordOf( a, FN_BREAK );
	EFGameLogicMgr::ExecLogicCallback( &breaking, nullptr );
	EXPECT_EQ( a->moLogicInstance.muiCurrentState, 7u );
	EXPECT_EQ( gAfterLeaving, 0u );
}

TEST_F( LogicApiGameObjTest, NotificationsReachTheRegistrantOnlyWhileItsObjectLives ) {
	// On itself: (type, own id, own id); type 17 asks for the animation
	// manager's notification, and unregistering keeps the request.
	APIgameobj.RegisterNotify( OBJECT_A, 0xFFFFFFFF, NO_POST_ANIMATION, FN_HEARD );
	EXPECT_EQ( a->moAnimationMgr.mbSendPostUpdateNotif, 1u );
	Notifications().Notify( NO_POST_ANIMATION, OBJECT_A, OBJECT_A, nullptr, false );
	EXPECT_EQ( gHeard.size(), 1u );
	APIgameobj.UnregisterNotify( OBJECT_A, 0xFFFFFFFF, NO_POST_ANIMATION );
	EXPECT_EQ( a->moAnimationMgr.mbSendPostUpdateNotif, 1u );
	Notifications().Notify( NO_POST_ANIMATION, OBJECT_A, OBJECT_A, nullptr, false );
	EXPECT_EQ( gHeard.size(), 1u );

	// With a target: what B sends to A; unregistering the same target
	// leaves nothing.
	APIgameobj.RegisterNotify( OBJECT_A, OBJECT_B, NO_TIMER, FN_HEARD );
	u32 word = 0;
	Notifications().Notify( NO_TIMER, OBJECT_A, OBJECT_B, &word, false );
	EXPECT_EQ( gHeard.size(), 2u );
	APIgameobj.UnregisterNotify( OBJECT_A, OBJECT_B, NO_TIMER );
	Notifications().Notify( NO_TIMER, OBJECT_A, OBJECT_B, &word, false );
	EXPECT_EQ( gHeard.size(), 2u );

	// A sound of A's, finishing, sends as every instance sends: A hears it
	// through a registration that names the sound as its target.
	EFInstance sound;
	sound.SetUID( SOUND );
	sound.mpGameObjectOwner = a;
	APIgameobj.RegisterNotify( OBJECT_A, SOUND, NO_SOUND_COMPLETE, FN_HEARD );
	sound.Notify( NO_SOUND_COMPLETE, nullptr, false );
	EXPECT_EQ( gHeard.size(), 3u );
	APIgameobj.UnregisterNotify( OBJECT_A, SOUND, NO_SOUND_COMPLETE );
	sound.Notify( NO_SOUND_COMPLETE, nullptr, false );
	EXPECT_EQ( gHeard.size(), 3u );

	// Types the manager does not know leave nothing: no target of any
	// type, and the callback record each registration made is freed.
	const auto targets = [this] {
		u32 count = 0;
		for ( u32 type = 0; type < NO_MAX; type++ ) {
			count += Notifications().GetTargetCount( static_cast<EFNotifyType_e>( type ) );
		}
		return count;
	};
	const u32 registered = targets();
	for ( const u32 type : { 27u, 0xFFFFFFFFu } ) {
		SCOPED_TRACE( type );
		const u64 made = CountingNewCalls();
		const u64 freed = CountingDeleteCalls();
		APIgameobj.RegisterNotify( OBJECT_A, 0xFFFFFFFF, type, FN_HEARD );
		EXPECT_EQ( targets(), registered );
		EXPECT_EQ( CountingNewCalls() - made, 1u );
		EXPECT_EQ( CountingDeleteCalls() - freed, 1u );
		APIgameobj.UnregisterNotify( OBJECT_A, 0xFFFFFFFF, type );
		Notifications().Notify( static_cast<EFNotifyType_e>( type ), OBJECT_A, OBJECT_A, nullptr, false );
		EXPECT_EQ( CountingNewCalls() - made, 1u );
		EXPECT_EQ( CountingDeleteCalls() - freed, 1u );
		EXPECT_EQ( gHeard.size(), 3u );
	}

	// A record keyed on B naming A: once A is gone, nothing runs.
	APIgameobj.RegisterNotify( OBJECT_A, OBJECT_B, NO_TIMER, FN_HEARD );
	gpoWorldMgr->RemoveGameObject( OBJECT_A );
	a->Terminate();
	delete a;
	a = nullptr;
	Notifications().Notify( NO_TIMER, OBJECT_A, OBJECT_B, &word, false );
	EXPECT_EQ( gHeard.size(), 3u );
}

TEST_F( LogicApiGameObjTest, ClippingSwitchesTakeOnlyWhatCanClipAndOffClearsExactlyItsBits ) {
	a->muiClipTests = 0;
	a->moClipping.clipParams.oDists[0].fDist = 0.0f;
	APIgameobj.EnableClipping( OBJECT_A, 1, 1 );
	EXPECT_EQ( a->muiClipTests, 0x4u );
	a->moClipping.clipParams.oDists[0].fDist = 20.0f;
	a->moProximityClipping.proxClipParams.uiObjectID = OBJECT_B;
	a->moProximityClipping.proxClipParams.fDistance = 3.0f;
	APIgameobj.EnableClipping( OBJECT_A, 1, 3 );
	EXPECT_EQ( a->muiClipTests, 0xFu );
	APIgameobj.EnableClipping( OBJECT_A, 0, 3 );
	EXPECT_EQ( a->muiClipTests, 0xCu );
	a->moProximityClipping.proxClipParams.fDistance = 0.0f;
	a->muiClipTests = 0x2;
	APIgameobj.EnableClipping( OBJECT_A, 1, 2 );
	EXPECT_EQ( a->muiClipTests, 0x8u );
}

TEST_F( LogicApiGameObjTest, ThreeDObjectSlotsCheckTheirIndexAndRewriteOnlyTheBlendBits ) {
	EF3dObj* const model = new EF3dObj;
	delete[] a->mppEFInstance;
	a->mppEFInstance = new EFInstance*[1]{ model };
	a->muiNbInstance = 1;
	a->muiNb3dObj = 1;
	const struct {
		u32 type;
		u32 blend;
	} rows[] = { { 1, 0x10 }, { 2, 0x100 }, { 3, 0x200 }, { 0, 0 }, { 4, 0 }, { 2, 0x100 }, { 0xFFFFFFFF, 0 } };
	for ( const auto& row : rows ) {
		model->mui3dObjState = 0x310 | EF_3D_OBJ_VISIBLE;
		APIgameobj.SetTransparentType( OBJECT_A, 0, row.type );
		EXPECT_EQ( model->mui3dObjState, row.blend | EF_3D_OBJ_VISIBLE ) << row.type;
	}
	APIgameobj.SetTransparentPriority( OBJECT_A, 0, 7 );
	EXPECT_EQ( APIgameobj.GetTransparentPriority( OBJECT_A, 0 ), 7u );
	// An index past the objects, an unknown id, a model without a
	// hierarchy or a sphere: nothing happens, zeros come back.
	APIgameobj.SetTransparentType( OBJECT_A, 1, 1 );
	APIgameobj.SetTransparentPriority( UNKNOWN, 0, 9 );
	EXPECT_EQ( APIgameobj.GetTransparentPriority( OBJECT_A, 1 ), 0u );
	EXPECT_EQ( APIgameobj.GetTransparentPriority( UNKNOWN, 0 ), 0u );
	EXPECT_EQ( APIgameobj.IsInCutScene( UNKNOWN, 1 ), 0u );
	EXPECT_EQ( APIgameobj.GetNbJoints( OBJECT_A ), 0u );
	DTVector3d centre( 1.0f, 2.0f, 3.0f );
	f32		   radius = 5.0f;
	EXPECT_EQ( APIgameobj.GetRenderBSphere( OBJECT_A, &centre, &radius ), 0.0f );
	EXPECT_EQ( radius, 5.0f );
	EXPECT_EQ( APIgameobj.GetPhysicBSphereRadius( OBJECT_A ), 0.0f );
	_ShadowParams shadow = {};
	EXPECT_EQ( APIgameobj.GetShadowParams( UNKNOWN, &shadow ), 0u );
	APIgameobj.SetShadowParams( UNKNOWN, &shadow );
	EXPECT_EQ( APIgameobj.GetGroupID( UNKNOWN ), 0x7FFFFFFEu );
	EXPECT_EQ( APIgameobj.GetGroupBitMask( UNKNOWN ), 0x7FFFFFFEu );
}

}
