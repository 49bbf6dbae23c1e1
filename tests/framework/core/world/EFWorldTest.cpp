#include "framework/graphics/animation/EFTexFader_BC.h"
#include "framework/core/world/WorldTestBench.h"

#include "framework/audio/EFSoundEventDescriptorHandler.h"
#include "framework/core/world/ObjectRetrieverParams.h"
#include "framework/logic/EFLogicCode.h"
#include "framework/logic/LogicFakeModule.h"
#include "datatypes/maths/DTTransfo.h"
#include "framework/graphics/animation/EFAnimNode.h"
#include "graphics3d/world/RpHAnim.h"

#include <string>

namespace {

constexpr u32 OBJECT_A = 0x2a000001;
constexpr u32 OBJECT_B = 0x2a000002;
constexpr u32 OBJECT_C = 0x2a000003;

struct PauseMessage {
	u32		message;
	u32		parameter;
};

std::vector<PauseMessage> gMessages;

s32 RecordMessage( const u32 message, const u32 parameter, void* ) {
	gMessages.push_back( { message, parameter } );
	return 0;
}

// A game object that notes when the world terminates it.
class NotingObject : public EFGameObject {
public:
	static inline std::vector<u32> terminated;
	void Terminate() override {
		terminated.push_back( GetUID() );
		EFGameObject::Terminate();
	}
};

// Logic code that registers a library.
class LibraryCode : public EFLogicCode {
public:
	LibraryCode() { mpfnRegisterLib = &Register; }
	static void Register( struct _api_cons* ) {}
};

void TraceLogicDestructor( s32 ) {
	EFCallTraceAdd( "logic destructor" );
}

// Gives the object a module with a tracing destructor and constructs it.
void ConstructWith( EFGameObject& object, LogicFakeModule& module ) {
	module.SetDestructor( &TraceLogicDestructor );
	object.moLogicInstance.mpLogicCode = &module;
	gpoGameLogicMgr->LaunchLogicNow( &object );
}

s32 TraceClipChange( void*, void* ) {
	EFCallTraceAdd( "clip change" );
	return 0;
}

s32 IndexOf( const char* name ) {
	for ( u32 i = 0; i < EFCallTraceCount(); i++ ) {
		if ( std::string( EFCallTraceAt( i ) ) == name ) {
			return static_cast<s32>( i );
		}
	}
	return -1;
}

}

// A playing node that counts the frames it is updated in and advances its
// time as animated nodes do.
class CountingAnimNode : public EFAnimNode {
public:
	CountingAnimNode() : EFAnimNode( OP_TextAnim ) { mfDuration = 1.0f; }
	f32 Update( f32 dt, DTWorkMemory& ) override {
		AdvanceTime( dt );
		updates++;
		return 0.0f;
	}
	u32 updates = 0;
};

class EFWorldTest : public WorldTestBench {};

TEST_F( EFWorldTest, TheIndexFormGivesAFramedSoundBelowTheInstanceCountOnly ) {
	EFGameObject* const running = MakeObject( OBJECT_A );
	EFSoundEventDescriptorHandler* const sound = new EFSoundEventDescriptorHandler;
	sound->SetUID( 0x07000001 );
	sound->CreateFrame( nullptr );
	EFSoundEventDescriptorHandler* const frameless = new EFSoundEventDescriptorHandler;
	frameless->SetUID( 0x07000002 );
	running->mppEFInstance = new EFInstance*[4]{ nullptr, frameless, nullptr, sound };
	SetRunning( running );
	const struct {
		s32			count;
		u32			id;
		EFPosData*	expected;
	} rows[] = {
		{ 3, 3, nullptr },		// index not below the count
		{ 4, 3, sound },
		{ 4, 1, nullptr },		// a sound without a frame
		{ 4, 2, nullptr },		// an empty place
		{ 4, 9, nullptr },
	};
	for ( const auto& row : rows ) {
		running->muiNbInstance = row.count;
		EXPECT_EQ( gpoWorldMgr->GetObjectPosData( row.id ), row.expected ) << row.count << " " << row.id;
	}
	running->muiNbInstance = 4;
}

TEST_F( EFWorldTest, RunningObjectFormsGiveNullWithNoLogicCallRunning ) {
	EFGameObject* const running = MakeObject( OBJECT_A );
	RecordingModel* const model = GiveModel( *running );
	SetRunning( nullptr );
	EXPECT_EQ( gpoWorldMgr->GetGameObject( EF_RUNNING_OBJECT_ID ), nullptr );
	EXPECT_EQ( gpoWorldMgr->GetObjectPosData( 0 ), nullptr );
	EXPECT_EQ( gpoWorldMgr->GetObjectPosData( 0x0f000001 ), nullptr );
	SetRunning( running );
	EXPECT_EQ( gpoWorldMgr->GetGameObject( EF_RUNNING_OBJECT_ID ), running );
	EXPECT_EQ( gpoWorldMgr->GetObjectPosData( 0x0f000001 ), model );
	EXPECT_EQ( gpoWorldMgr->GetObjectPosData( 0x0f000002 ), nullptr );
	SetRunning( nullptr );
}

TEST_F( EFWorldTest, EachIdKindLooksInItsOwnPlace ) {
	EFGameObject* const object = MakeObject( OBJECT_A );
	EFGameObject* const withdrawn = MakeObject( OBJECT_B );
	withdrawn->muiFlags |= EF_INSTANCE_WITHDRAWN;
	EFCamera* const camera = MakeCamera();
	const struct {
		u32			id;
		EFPosData*	expected;
	} rows[] = {
		{ OBJECT_A, object },
		{ OBJECT_B, nullptr },			// withdrawn
		{ OBJECT_C, nullptr },			// unknown
		{ 0x10000000, camera },
		{ 0x10000001, nullptr },		// free camera slot
		{ 0x12000001, nullptr },		// no such light
		{ 0x18000001, nullptr },		// static object: resolved elsewhere
		{ 0x1d000001, nullptr },
		{ 0x2e000001, nullptr },
		{ 0x3f000001, nullptr },		// hot spot: no lookup
		{ 0x4c000001, nullptr },
		{ EF_QUERY_GROUP_ID, object },	// group 0: the first present object
		{ 0xff000003, nullptr },		// no such query
		{ 0x55000001, nullptr },
	};
	for ( const auto& row : rows ) {
		EXPECT_EQ( gpoWorldMgr->GetObjectPosData( row.id ), row.expected ) << std::hex << row.id;
	}
	EXPECT_EQ( gpoWorldMgr->FindGameObject( OBJECT_B ), withdrawn );
}

TEST_F( EFWorldTest, PausingTwiceMessagesOnceAndResumingUndoesTheFlags ) {
	EFGameObject* const object = MakeObject( OBJECT_A );
	object->muiLogicFlags = EF_LF_PAUSE_MESSAGE | EF_LF_PAUSE_SETS_BITS;
	object->moLogicInstance.mpfnLogicMessage = &RecordMessage;
	EFGameObject* const quiet = MakeObject( OBJECT_B );
	quiet->muiLogicFlags = 0;
	quiet->moLogicInstance.mpfnLogicMessage = &RecordMessage;
	gMessages.clear();
	gpoWorldMgr->Pause( true );
	gpoWorldMgr->Pause( true );
	ASSERT_EQ( gMessages.size(), 1u );
	EXPECT_EQ( gMessages[0].message, EF_MSG_PAUSE );
	EXPECT_EQ( gMessages[0].parameter, 1u );
	EXPECT_EQ( gpoWorldMgr->GetPauseFlag(), 1u );
	// No body: the physics pause bit does not stay.
	EXPECT_EQ( object->muiLogicFlags & 0x78u, 0x68u );
	EXPECT_EQ( quiet->muiLogicFlags, 0u );
	gpoWorldMgr->Pause( false );
	ASSERT_EQ( gMessages.size(), 2u );
	EXPECT_EQ( gMessages[1].parameter, 0u );
	EXPECT_EQ( object->muiLogicFlags & 0x78u, 0u );
	EXPECT_EQ( gpoWorldMgr->GetPauseFlag(), 0u );
	gpoWorldMgr->Pause( true );
	gpoWorldMgr->Terminate();
	EXPECT_EQ( gpoWorldMgr->GetPauseFlag(), 0u );
	EXPECT_EQ( gMessages.size(), 3u );
}

TEST_F( EFWorldTest, KillingTwiceLeavesOneEntryAndTheFrameDeletesEachOnce ) {
	LogicFakeModule module;
	EFGameObject* const a = MakeObject( OBJECT_A );
	EFGameObject* const b = MakeObject( OBJECT_B );
	ConstructWith( *a, module );
	ConstructWith( *b, module );
	gpoWorldMgr->RequestDeletion( a );
	gpoWorldMgr->RequestDeletion( b );
	gpoWorldMgr->RequestDeletion( a );
	gpoWorldMgr->RequestDeletion( b );
	EXPECT_EQ( List( EF_WORLD_DELETION_LIST ), ( std::vector<EFGameObject*>{ b, a } ) );
	gpoWorldMgr->Update( 0.02f );
	EXPECT_EQ( gpoWorldMgr->GetListHead( EF_WORLD_DELETION_LIST ), nullptr );
	EXPECT_EQ( gpoWorldMgr->FindGameObject( OBJECT_A ), nullptr );
	EXPECT_EQ( gpoWorldMgr->GetFirstGameObject(), nullptr );
	EXPECT_EQ( EFCallTraceCountOf( "logic destructor" ), 2u );
	EXPECT_EQ( module.GetRefCount(), 0u );
}

TEST_F( EFWorldTest, DeletedObjectsEndAfterPhysicsAndBeforeTheClippingOfTheFrame ) {
	MakeCamera();
	LogicFakeModule module;
	EFGameObject* const doomed = MakeObject( OBJECT_A, 0.0f, 0.0f, 5.0f );
	ConstructWith( *doomed, module );
	EFGameObject* const watcher = MakeObject( OBJECT_B, 0.0f, 0.0f, 5.0f );
	watcher->moClipping.clipParams.oDists[0].uiInFrustClipOps = EF_CLIPOP_NOTIFY;
	gpoGameLogicMgr->GetNotificationMgr().RegisterNotify( NO_CLIPCHANGE, OBJECT_B, OBJECT_B, &TraceClipChange, nullptr );
	gpoWorldMgr->RequestDeletion( doomed );
	// The world update advances the texture fader's fades.
	_TFEntry* const fade = EFTexFader_BC::AddEntry();
	ASSERT_NE( fade, nullptr );
	fade->mfTime = 1.0f;
	gpoWorldMgr->Update( 0.02f );
	EXPECT_EQ( fade->mfElapsed, 0.02f );
	EFTexFader_BC::DelEntry( fade );
	const s32 particles = IndexOf( "PLMgr_BC::Update" );
	const s32 terminated = IndexOf( "logic destructor" );
	const s32 clipped = IndexOf( "clip change" );
	EXPECT_EQ( particles, -1 );	// no particle manager in this world
	ASSERT_GE( terminated, 0 );
	EXPECT_LT( terminated, clipped );
	EXPECT_EQ( List( EF_WORLD_LOGIC_LIST ), ( std::vector<EFGameObject*>{ watcher } ) );
	EXPECT_EQ( gpoWorldMgr->GetFrameCount(), 1u );
}

TEST_F( EFWorldTest, LibraryRegisteringObjectsTerminateLastAndObjectsWithoutCodeFirst ) {
	LibraryCode library;
	EFLogicCode plain;
	const struct {
		u32				id;
		EFLogicCode*	code;
	} rows[] = {
		{ OBJECT_A, &library }, { OBJECT_B, nullptr }, { OBJECT_C, &plain }, { 0x2a000004, &library },
	};
	for ( const auto& row : rows ) {
		NotingObject* const object = new NotingObject;
		object->SetUID( row.id );
		object->moLogicInstance.mpLogicCode = row.code;
		gpoWorldMgr->AddGameObject( object );
	}
	NotingObject::terminated.clear();
	gpoWorldMgr->Terminate();
	ASSERT_EQ( NotingObject::terminated.size(), 4u );
	const std::vector<u32> firstPass( NotingObject::terminated.begin(), NotingObject::terminated.begin() + 2 );
	EXPECT_EQ( firstPass, ( std::vector<u32>{ OBJECT_B, OBJECT_C } ) );
	EXPECT_EQ( gpoWorldMgr->GetFirstGameObject(), nullptr );
	EXPECT_EQ( gpoWorldMgr->GetStatic3dObj(), nullptr );
}

// A later object of an id takes the map entry; the earlier one is still
// listed, still holds a frame waiting on the 3D library's dirty list, and
// must end with the level: a level heap reset under a listed frame lets the
// next level's blocks be written through its link.
TEST_F( EFWorldTest, ObjectsSharingAnIdAllEndAndLeaveNoFrameDirty ) {
	const u32 ids[] = { OBJECT_A, OBJECT_A, OBJECT_B };
	std::vector<EFGameObject*> objects;
	for ( const u32 id : ids ) {
		NotingObject* const object = new NotingObject;
		object->SetUID( id );
		object->CreateFrame( nullptr );
		MoveTo( *object, 1.0f, 2.0f, 3.0f );
		gpoWorldMgr->AddGameObject( object );
		objects.push_back( object );
	}
	EXPECT_EQ( gpoWorldMgr->FindGameObject( OBJECT_A ), objects[1] );
	EXPECT_FALSE( rwLinkListEmpty( &RwEngineInstance->dirtyFrames ) );
	NotingObject::terminated.clear();
	gpoWorldMgr->Terminate();
	EXPECT_EQ( NotingObject::terminated, ( std::vector<u32>{ OBJECT_A, OBJECT_B, OBJECT_A } ) );
	EXPECT_EQ( gpoWorldMgr->GetFirstGameObject(), nullptr );
	EXPECT_TRUE( rwLinkListEmpty( &RwEngineInstance->dirtyFrames ) );
}

TEST_F( EFWorldTest, AnimatedObjectsUpdateTheirHierarchyUnlessClippedAndRenormaliseEvery128 ) {
	MakeCamera();
	const struct {
		u32		ops;
		u8		counter;
		u32		hierarchies;
		u8		next;
	} rows[] = {
		{ 0, 5, 1, 6 },
		{ EF_CLIPOP_NO_HIERARCHY, 127, 0, 0 },
	};
	for ( const auto& row : rows ) {
		EFGameObject* const object = MakeObject( OBJECT_A, 0.0f, 0.0f, 5.0f );
		RecordingModel* const model = GiveModel( *object );
		// A one-node skeleton whose transform moves its node frame.
		RpHAnimNodeInfo node = { 0, 0, 0, RwFrameCreate() };
		RpHAnimHierarchy hierarchy = {};
		hierarchy.numNodes = 1;
		hierarchy.pNodeInfo = &node;
		model->mpHierarchy = &hierarchy;
		model->InitTransfo( 1 );
		model->mppTransfo[0]->mTranslation = DTVector3d( 1.0f, 2.0f, 3.0f );
		model->mui3dObjState |= EF_3D_OBJ_TRANSFO_DRIVEN;
		object->moAnimationMgr.CreateTable( 1 );
		CountingAnimNode* const playing = new CountingAnimNode;
		object->moAnimationMgr.AddAnim( playing, 0 );
		object->moAnimationMgr.Play( object->moAnimationMgr.muiBaseIndex, AS_LOOP, 0.0f );
		object->moClipping.clipParams.oDists[0].uiInFrustClipOps = row.ops;
		gpoWorldMgr->ClipGameObjects();
		ASSERT_EQ( List( EF_WORLD_ANIMATION_LIST ), ( std::vector<EFGameObject*>{ object } ) );
		object->mui8OrthonormalizeFrame = row.counter;
		gpoWorldMgr->Update( 0.02f );
		// A clipped hierarchy only advances the time.
		EXPECT_EQ( playing->updates, row.hierarchies );
		EXPECT_EQ( playing->mfCurrentTime, 0.02f );
		EXPECT_EQ( node.pFrame->modelling.pos.y, row.hierarchies != 0 ? 2.0f : 0.0f );
		EXPECT_EQ( object->mui8OrthonormalizeFrame, row.next );
		model->mpHierarchy = nullptr;
		gpoWorldMgr->Terminate();
		RwFrameDestroy( node.pFrame );
	}
}
