#include "LogicWorldFixture.h"

#include "datatypes/streamable/DTGlo.h"
#include "framework/core/world/EFInstanceFlags.h"
#include "framework/core/world/EFObjClipping.h"
#include "framework/core/world/ObjectRetrieverParams.h"
#include "framework/logic/EFGameTimer.h"
#include "framework/logic/EFLogicCallbackRecord.h"

#include <cstdint>
#include <vector>

namespace {

constexpr u32 OBJECT_A = 0x2a000001;
constexpr u32 OBJECT_B = 0x2a000002;
constexpr u32 OBJECT_C = 0x2a000003;
constexpr u32 OBJECT_D = 0x2a000004;
constexpr u32 LATENT = 0x2a800100;

// Events in the order they happened: (what, object id).
struct Event {
	char	what;
	u32		id;

	bool operator==( const Event& other ) const { return what == other.what && id == other.id; }
};

std::vector<Event>	gEvents;
std::vector<u32>	gTimerData;
u32					gTimerToDestroy;
u32					gTimerMade;

u32 RunningId() {
	const EFGameObject* const object = EFLogicStack::GetRunningGameObject();
	return object != nullptr ? object->GetUID() : 0;
}

void NoteConstructor( _api_cons* api, s32 ) {
	gEvents.push_back( { 'c', RunningId() } );
	api->SetInitialState( 0 );
}

s32 NoteState( void* ) {
	gEvents.push_back( { 's', RunningId() } );
	return 0;
}

s32 NoteMessage( const u32 message, u32, void* ) {
	gEvents.push_back( { 'm', RunningId() } );
	return static_cast<s32>( message ) + 1;
}

s32 NoteCallback( void* data ) {
	gEvents.push_back( { 'b', RunningId() } );
	return static_cast<s32>( *static_cast<u32*>( data ) );
}

// Messages the running object through the running-object id.
s32 MessageSelf( void* ) {
	gEvents.push_back( { 'r', static_cast<u32>( gpoGameLogicMgr->SendLogicMessageTo( 0x2a000000, 9, 0, nullptr,
																					  nullptr ) ) } );
	return 0;
}

s32 CountTimer( void*, void* data ) {
	gTimerData.push_back( static_cast<u32>( reinterpret_cast<uintptr_t>( data ) ) );
	return 0;
}

// Destroys another timer and makes a new one while firing.
s32 MeddlingTimer( void* caller, void* data ) {
	CountTimer( caller, data );
	gpoGameLogicMgr->DestroyTimer( static_cast<s32>( gTimerToDestroy ) );
	gTimerMade = gpoGameLogicMgr->CreateTimer();
	return 0;
}

void EventModule( LogicFakeModule& module ) {
	module.SetConstructor( NoteConstructor );
	module.SetFunctions( { { 0, NoteState }, { 1, NoteCallback }, { 2, MessageSelf } } );
}

}

class EFGameLogicMgrTest : public LogicWorldFixture {
protected:
	void SetUp() override {
		LogicWorldFixture::SetUp();
		gEvents.clear();
		gTimerData.clear();
		gTimerToDestroy = 0;
		gTimerMade = 0;
	}

	EFGameObject* EventObject( const u32 id, const u32 logicFlags = 0 ) {
		LogicFakeModule& module = Module();
		EventModule( module );
		EFGameObject* const object = AddObject( id, &module );
		object->muiLogicFlags |= logicFlags;
		object->moLogicInstance.SetMessageFunc( NoteMessage );
		return object;
	}

	// A timer of period owned by owner (none: null), with a counting
	// registration.
	u32 Timer( EFGameObject* owner, const f32 period, EFNotifyCallback callback = CountTimer ) {
		const u32 id = manager->CreateTimer();
		EFGameTimer* const timer = manager->GetTimer( static_cast<s32>( id ) );
		timer->mpGameObjectOwner = owner;
		timer->mfPeriod = period;
		if ( owner != nullptr ) {
			manager->GetNotificationMgr().RegisterNotify( NO_TIMER, owner->GetUID(), id, callback, nullptr );
		}
		return id;
	}

	static std::vector<Event> Take() {
		std::vector<Event> events;
		events.swap( gEvents );
		return events;
	}
};

TEST_F( EFGameLogicMgrTest, TimersTakeOnePeriodOffEachFrameTheyReachIt ) {
	struct Row {
		const char*	name;
		f32			period;
		f32			dt;
		u32			frames;
		u32			fired;
		f32			elapsed;
		u32			paused;
	};
	const Row rows[] = {
		{ "half a second at 0.375 s frames", 0.5f, 0.375f, 4, 3, 0.0f, 0 },
		{ "a quarter second in one 0.875 s frame", 0.25f, 0.875f, 1, 1, 0.625f, 0 },
		{ "no period", 0.0f, 0.5f, 3, 0, 1.5f, 0 },
		{ "paused", 0.25f, 0.5f, 3, 0, 0.0f, 1 },
	};
	EFGameObject* const owner = EventObject( OBJECT_A );
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		gTimerData.clear();
		const u32 id = Timer( owner, row.period );
		manager->GetTimer( static_cast<s32>( id ) )->muiPaused = row.paused;
		std::vector<u32> firedAt;
		for ( u32 frame = 1; frame <= row.frames; frame++ ) {
			const size_t before = gTimerData.size();
			manager->Update( row.dt );
			if ( gTimerData.size() != before ) {
				firedAt.push_back( frame );
			}
		}
		EXPECT_EQ( gTimerData.size(), row.fired );
		for ( const u32 data : gTimerData ) {
			EXPECT_EQ( data, id );
		}
		EXPECT_EQ( manager->GetTimer( static_cast<s32>( id ) )->mfElapsed, row.elapsed );
		if ( row.fired == 3 ) {
			EXPECT_EQ( firedAt, ( std::vector<u32>{ 2, 3, 4 } ) );
		}
		manager->DestroyTimer( static_cast<s32>( id ) );
	}
}

TEST_F( EFGameLogicMgrTest, AnOwnerThatIsPausedOrClippedStopsItsTimers ) {
	const struct {
		const char*	name;
		u32			logicFlags;
		u32			clipOps;
		f32			elapsed;
	} rows[] = {
		{ "running", 0, 0, 0.75f },
		{ "paused", EF_LF_PAUSED, 0, 0.0f },
		{ "clipped", 0, EF_CLIPOP_NO_TIMERS, 0.0f },
		{ "clipped otherwise", 0, EF_CLIPOP_NO_LOGIC, 0.75f },
	};
	for ( const auto& row : rows ) {
		SCOPED_TRACE( row.name );
		EFGameObject* const owner = EventObject( OBJECT_A, row.logicFlags );
		owner->moClipping.uiClipOps = row.clipOps;
		const u32 id = Timer( owner, 10.0f );
		manager->Update( 0.25f );
		manager->Update( 0.5f );
		EXPECT_EQ( manager->GetTimer( static_cast<s32>( id ) )->mfElapsed, row.elapsed );
		manager->DestroyTimer( static_cast<s32>( id ) );
		gpoWorldMgr->Terminate();
	}
}

TEST_F( EFGameLogicMgrTest, TimersSurviveLogicThatDestroysAndMakesTimersWhileTheyFire ) {
	EFGameObject* const owner = EventObject( OBJECT_A );
	// Timers land in map order by id: whichever fires first removes the
	// other, and the timer it makes waits for the next frame.
	const u32 first = Timer( owner, 0.1f, MeddlingTimer );
	const u32 second = Timer( owner, 0.1f, MeddlingTimer );
	gTimerToDestroy = second;
	manager->Update( 0.25f );
	EXPECT_EQ( gTimerData, ( std::vector<u32>{ first } ) );
	EXPECT_EQ( manager->GetTimer( static_cast<s32>( second ) ), nullptr );
	ASSERT_NE( manager->GetTimer( static_cast<s32>( gTimerMade ) ), nullptr );
	EXPECT_EQ( manager->GetTimer( static_cast<s32>( gTimerMade ) )->mfElapsed, 0.0f );
}

TEST_F( EFGameLogicMgrTest, TimersOfADeletedOwnerAndTheFirstTimerCountWithoutNotifying ) {
	EFGameObject* const owner = EventObject( OBJECT_A );
	const u32 id = Timer( owner, 0.1f );
	EFGameTimer* const first = manager->GetTimer( static_cast<s32>( EF_FIRST_TIMER_ID ) );
	ASSERT_NE( first, nullptr );
	EXPECT_EQ( first->GetUID(), EF_FIRST_TIMER_ID );
	EXPECT_EQ( first->mpGameObjectOwner, nullptr );
	first->mfPeriod = 0.1f;
	gpoWorldMgr->RequestDeletion( owner );
	gpoWorldMgr->Update( 0.02f );
	EXPECT_EQ( manager->GetTimer( static_cast<s32>( id ) )->mpGameObjectOwner, nullptr );
	for ( u32 frame = 0; frame < 3; frame++ ) {
		manager->Update( 0.15f );
	}
	EXPECT_TRUE( gTimerData.empty() );
	EXPECT_FLOAT_EQ( first->mfElapsed, 0.15f );
	EXPECT_FLOAT_EQ( manager->GetTimer( static_cast<s32>( id ) )->mfElapsed, 0.15f );
}

TEST_F( EFGameLogicMgrTest, TheFirstFrameRunsEveryObjectFlaggedOnesFirstThenTheListRules ) {
	AddCamera();
	EventObject( OBJECT_A );
	EventObject( OBJECT_B, EF_LF_LOGIC_FIRST );
	EventObject( OBJECT_C );
	manager->Update( 0.1f );
	const std::vector<Event> first = Take();
	ASSERT_EQ( first.size(), 3u );
	EXPECT_EQ( first[0], ( Event{ 'c', OBJECT_B } ) );
	gpoWorldMgr->PrepareRender();
	ASSERT_NE( gpoWorldMgr->GetListHead( EF_WORLD_LOGIC_LIST ), nullptr );
	// Not on the list the clipping pass built: left out until a pass over
	// every object.
	EventObject( OBJECT_D );
	manager->Update( 0.1f );
	const std::vector<Event> listed = Take();
	EXPECT_EQ( listed.size(), 3u );
	for ( const Event& event : listed ) {
		EXPECT_EQ( event.what, 's' );
		EXPECT_NE( event.id, OBJECT_D );
	}
	manager->Terminate();
	manager->Update( 0.1f );
	const std::vector<Event> all = Take();
	EXPECT_EQ( all.size(), 4u );
	EXPECT_EQ( all[0], ( Event{ 's', OBJECT_B } ) );
}

TEST_F( EFGameLogicMgrTest, AFrameWithAnEmptyLogicListRunsEveryObject ) {
	EventObject( OBJECT_A );
	EventObject( OBJECT_B, EF_LF_LOGIC_FIRST );
	for ( u32 frame = 0; frame < 3; frame++ ) {
		manager->Update( 0.1f );
		ASSERT_EQ( gpoWorldMgr->GetListHead( EF_WORLD_LOGIC_LIST ), nullptr );
		const std::vector<Event> events = Take();
		ASSERT_EQ( events.size(), 2u ) << frame;
		EXPECT_EQ( events[0].id, OBJECT_B );
	}
}

TEST_F( EFGameLogicMgrTest, AWithdrawnObjectIsDeletedByTheWorldUpdateNotInTheWalk ) {
	struct Row {
		const char*	name;
		bool		list;
		bool		body;
	};
	const Row rows[] = {
		{ "every object", false, false },
		{ "the logic list", true, false },
		{ "with a body", false, true },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		if ( row.list && cameras == 0 ) {
			AddCamera();
		}
		EventObject( OBJECT_A );
		EFGameObject* const withdrawn = EventObject( OBJECT_B );
		EventObject( OBJECT_C );
		manager->Update( 0.1f );
		gpoWorldMgr->PrepareRender();
		withdrawn->muiFlags |= EF_INSTANCE_WITHDRAWN;
		u32 body = 0;
		if ( row.body ) {
			withdrawn->mpoPhysic = reinterpret_cast<EFPhysic*>( &body );
		}
		Take();
		manager->Update( 0.1f );
		const std::vector<Event> events = Take();
		EXPECT_EQ( events.size(), 2u );
		for ( const Event& event : events ) {
			EXPECT_NE( event.id, OBJECT_B );
		}
		EXPECT_EQ( gpoWorldMgr->GetListHead( EF_WORLD_DELETION_LIST ) == withdrawn, !row.body );
		// The stand-in body goes before the world update, which would use it.
		withdrawn->mpoPhysic = row.body ? nullptr : withdrawn->mpoPhysic;
		gpoWorldMgr->Update( 0.02f );
		EXPECT_EQ( gpoWorldMgr->FindGameObject( OBJECT_B ) == nullptr, !row.body );
		gpoWorldMgr->Terminate();
		manager->Terminate();
	}
}

TEST_F( EFGameLogicMgrTest, MessagesReachOneObjectOrEveryObjectOfAGroup ) {
	EFGameObject* const a = EventObject( OBJECT_A );
	EventObject( OBJECT_B );
	EventObject( OBJECT_C );
	EventObject( OBJECT_D );
	a->muiGroupID = 5;
	for ( const u32 id : { OBJECT_B, OBJECT_C } ) {
		gpoWorldMgr->FindGameObject( id )->muiGroupID = 3;
	}
	gpoWorldMgr->FindGameObject( OBJECT_D )->muiGroupID = 3;
	ObjectRetrieverParams group = {};
	group.groupID = { EF_RETRIEVER_START, 3 };
	const struct {
		const char*				name;
		u32						target;
		ObjectRetrieverParams*	params;
		s32						result;
		size_t					received;
	} rows[] = {
		{ "one object", OBJECT_A, nullptr, 5, 1 },
		{ "an unknown object", 0x2a000099, nullptr, 0, 0 },
		{ "a group of three", EF_QUERY_GROUP_ID, &group, 3, 3 },
		{ "a finished walk", EF_QUERY_GROUP_ID, &group, 0, 0 },
		{ "every object from a fresh walk", EF_QUERY_ALL, nullptr, 4, 4 },
		{ "an unknown query", 0xff000003, nullptr, 0, 0 },
	};
	for ( const auto& row : rows ) {
		SCOPED_TRACE( row.name );
		EXPECT_EQ( manager->SendLogicMessageTo( row.target, 4, 0, nullptr, row.params ), row.result );
		const std::vector<Event> events = Take();
		EXPECT_EQ( events.size(), row.received );
		for ( const Event& event : events ) {
			EXPECT_EQ( event.what, 'm' );
		}
	}
	EXPECT_EQ( EFLogicStack::GetLevel(), 0 );
}

TEST_F( EFGameLogicMgrTest, TheRunningObjectIdMessagesTheObjectWhoseLogicRuns ) {
	EFGameObject* const object = EventObject( OBJECT_A );
	manager->LaunchLogicNow( object );
	object->moLogicInstance.SetNextState( 2 );
	Take();
	manager->Update( 0.1f );
	EXPECT_EQ( Take(), ( std::vector<Event>{ { 'm', OBJECT_A }, { 'r', 10 } } ) );
}

TEST_F( EFGameLogicMgrTest, ALogicCallbackRunsItsObjectsFunctionWithTheData ) {
	EFGameObject* const object = EventObject( OBJECT_A );
	EFLogicCallbackRecord record = EFLogicCallbackRecordOf( object, 1 );
	u32 data = 77;
	EXPECT_EQ( EFGameLogicMgr::ExecLogicCallback( &record, &data ), 77 );
	EXPECT_EQ( Take(), ( std::vector<Event>{ { 'b', OBJECT_A } } ) );
	EFLogicCallbackRecord empty = EFLogicCallbackRecordOf( nullptr, 1 );
	EXPECT_EQ( EFGameLogicMgr::ExecLogicCallback( &empty, &data ), 1 );
	EXPECT_EQ( EFGameLogicMgr::ExecLogicCallback( nullptr, &data ), 0 );
	EXPECT_TRUE( Take().empty() );
}

TEST_F( EFGameLogicMgrTest, ARegistrationWhoseObjectDiedRunsNothingAndIsDropped ) {
	EFGameObject* const a = EventObject( OBJECT_A );
	EventObject( OBJECT_B );
	EFNotificationMgr& notifications = manager->GetNotificationMgr();
	// Keyed on B, the record names A.
	ASSERT_NE( notifications.RegisterNotify( NO_TIMER, OBJECT_B, 9, EFGameLogicMgr::ExecLogicCallback,
											 EFNewLogicCallbackRecord( a, 1 ) ),
			   nullptr );
	u32 data = 5;
	notifications.Notify( NO_TIMER, OBJECT_B, 9, &data, false );
	EXPECT_EQ( Take(), ( std::vector<Event>{ { 'b', OBJECT_A } } ) );
	gpoWorldMgr->RemoveGameObject( OBJECT_A );
	a->Terminate();
	delete a;
	// The freed object is never looked at; the registration goes.
	notifications.Notify( NO_TIMER, OBJECT_B, 9, &data, false );
	EXPECT_TRUE( Take().empty() );
	EventObject( OBJECT_A );
	notifications.Notify( NO_TIMER, OBJECT_B, 9, &data, false );
	EXPECT_TRUE( Take().empty() );
}

TEST_F( EFGameLogicMgrTest, LatentCopiesGetConsecutiveIdsAndAreConstructedAtOnce ) {
	LogicFakeModule& module = Module();
	EventModule( module );
	EFGameObject* const latent = new EFGameObject;
	latent->SetUID( LATENT );
	latent->moLogicInstance.mpLogicCode = &module;
	manager->AddLatent( LATENT, latent, new DTGlo( latent ) );
	EXPECT_EQ( manager->LaunchLatant( 0x2a800999 ), 0u );
	const u32 first = manager->LaunchLatant( LATENT );
	const u32 second = manager->LaunchLatant( LATENT );
	EXPECT_EQ( first, EF_FIRST_SPAWN_ID );
	EXPECT_EQ( second, EF_FIRST_SPAWN_ID + 1 );
	EXPECT_EQ( Take(), ( std::vector<Event>{ { 'c', first }, { 'c', second } } ) );
	EFGameObject* const copy = gpoWorldMgr->FindGameObject( first );
	ASSERT_NE( copy, nullptr );
	EXPECT_EQ( copy->moLogicInstance.mpLogicCode, &module );
	EXPECT_EQ( module.GetRefCount(), 2u );
	EFLogicStack::SetCurrentGameObject( copy );
	copy->moLogicInstance.Run( 0.1f );
	EXPECT_EQ( Take(), ( std::vector<Event>{ { 's', first } } ) );
	// Spawn ids run on across levels.
	gpoWorldMgr->Terminate();
	manager->Terminate();
	EXPECT_EQ( manager->GetLatentMap().GetCount(), 0u );
	EXPECT_EQ( manager->LaunchLatant( LATENT ), 0u );
	EFGameObject* const again = new EFGameObject;
	manager->AddLatent( LATENT, again, new DTGlo( again ) );
	EXPECT_EQ( manager->LaunchLatant( LATENT ), EF_FIRST_SPAWN_ID + 2 );
}

TEST_F( EFGameLogicMgrTest, TerminateKeepsTheFirstTimerAndThePersistentBuffersOnly ) {
	EFGameObject* const owner = EventObject( OBJECT_A );
	const u32 made = Timer( owner, 1.0f );
	Timer( nullptr, 1.0f );
	giTimerCount = 2;
	manager->AddLogicCode( new LogicFakeModule( 0x500 ) );
	manager->GetGameMemoryMgr().GetGameBuffer( 1, 8, 1 );
	manager->GetGameMemoryMgr().GetGameBuffer( 2, 8, 0 );
	gpoWorldMgr->Terminate();
	manager->Terminate();
	EXPECT_EQ( manager->GetTimerCount(), 1u );
	EXPECT_NE( manager->GetTimer( static_cast<s32>( EF_FIRST_TIMER_ID ) ), nullptr );
	EXPECT_EQ( giTimerCount, 0 );
	EXPECT_EQ( manager->GetLogicCode( 0x500 ), nullptr );
	EXPECT_EQ( manager->GetCodeMap().GetCount(), 0u );
	EXPECT_NE( manager->GetGameMemoryMgr().GetGameBufferObject( 1 ), nullptr );
	EXPECT_EQ( manager->GetGameMemoryMgr().GetGameBufferObject( 2 ), nullptr );
	// Timer ids run on.
	EXPECT_EQ( manager->CreateTimer(), made + 2 );
	EXPECT_EQ( manager->Initialize(), 1u );
}
