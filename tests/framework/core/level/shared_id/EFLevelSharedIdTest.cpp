/*
	Records of a level file that share one id: the later record wins the
	id, and the object it replaces is still the level's, reached by the
	level's walks and destroyed when the level ends. Global new is counted
	in this program (not routed to the engine's heaps), so whatever the
	level left behind shows as blocks still allocated once it has ended,
	and as a leak under the address sanitizer.
*/
#include "framework/core/level/loader_routed_new/LoaderTestBench.h"

#include "framework/core/world/notification/CountingNew.h"

#include "datatypes/maths/DTFrame.h"
#include "datatypes/streamable/DTGlo.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFGameObjectFlags.h"
#include "framework/core/world/EFWorld.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/physics/EFPhysicMgr.h"
#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwTexDictionary.h"
#include "graphics3d/world/RpWorldPlugin.h"
#include "tools/lib/level/ToolSampleObjects.h"
#include "tools/lib/logic/ToolSampleLogic.h"

#include <functional>
#include <iterator>
#include <vector>

namespace {

constexpr u32 GROUP		= 5;
constexpr u32 LIVE		= 0x2A000031;
constexpr u32 HOLDER	= 0x2A000032;
constexpr u32 LATENT	= 0x2A000033 | TOOL_LATENT_TEMPLATE_BIT;

// The pause messages heard, in a fixed array: the test counts allocations.
u32 gPauseParameters[8];
u32 gPauseCount = 0;

s32 RecordPause( const u32 message, const u32 parameter, void* ) {
	if ( message == EF_MSG_PAUSE && gPauseCount < std::size( gPauseParameters ) ) {
		gPauseParameters[gPauseCount++] = parameter;
	}
	return 0;
}

ToolWaypointGroup Group( const f32 value ) {
	ToolWaypointGroup group;
	group.uid = GROUP;
	group.count = 1;
	group.points = { value, value, value };
	return group;
}

std::vector<u8> GroupBytes( const f32 value ) {
	ToolBigEndianWriter out;
	ToolWaypointWriter::WriteGroup( out, Group( value ) );
	return out.Take();
}

// An object record told apart from its namesakes by its x position.
ToolGloRecord Object( const u32 uid, const f32 x, const u32 flags = 0 ) {
	ToolGloRecord record;
	record.uid = uid;
	record.position = { x, 0.0f, 0.0f };
	record.objectFlags = flags;
	return record;
}

ToolResourceRecord ObjectRecord( const ToolGloRecord& object ) {
	ToolBigEndianWriter out;
	ToolLevelWriter::WriteGlo( out, object );
	return Record( TOOL_CLASS_GAME_OBJECT, out.Take() );
}

f32 GroupValue() {
	const DTWaypointGrp* const group = DTWpGrpMgr::moWpGrpMgr.GetWaypointGrp( GROUP );
	DTVector3d point;
	return group != nullptr && group->GetPoint( 0, point ) ? point.x : -1.0f;
}

class EFLevelSharedIdTest : public LoaderTestBench {
protected:
	void SetUp() override {
		LoaderTestBench::SetUp();
		// The library's own allocator: frames are counted by nobody here
		// but the address sanitizer.
		ASSERT_TRUE( RwEngineInit( nullptr, RWENGINE_INIT_NO_FREE_LISTS, 0 ) );
		ASSERT_TRUE( RpWorldPluginAttach() );
		ASSERT_TRUE( RwEngineOpen( &deviceConfiguration ) );
		ASSERT_TRUE( RwEngineStart() );
		libraryStarted = true;
		MakeController();
	}

	void TearDown() override {
		EndLevel();
		LoaderTestBench::TearDown();
		if ( libraryStarted ) {
			// The loader's end leaves an empty dictionary current.
			if ( RwTexDictionary* const dictionary = RwTexDictionaryGetCurrent() ) {
				RwTexDictionarySetCurrent( nullptr );
				RwTexDictionaryDestroy( dictionary );
			}
			RwEngineStop();
			RwEngineClose();
			RwEngineTerm();
		}
	}

	// What a level change does to the level's objects, waypoint groups and
	// templates.
	void EndLevel() {
		if ( gpoWorldMgr != nullptr ) {
			gpoWorldMgr->Terminate();
		}
		if ( gpoGameLogicMgr != nullptr ) {
			gpoGameLogicMgr->Terminate();
		}
		EFPhysicMgr::moPhysicMgr.UpdateDeletedPhysic();
	}

	s32 LoadLevel( const std::vector<ToolResourceRecord>& records ) {
		ToolResourceFile file;
		file.records = records;
		WriteResourceFile( "LEVEL.GCR", file );
		gpoRessourcesMgr->Terminate();
		return Load();
	}

	static u64 LiveBlocks() { return CountingNewCalls() - CountingDeleteCalls(); }

	u32		deviceConfiguration = 0;
	bool	libraryStarted = false;
};

// Each shape is loaded twice: the first load leaves what the loader keeps
// for the run, the second must give back all it took.
TEST_F( EFLevelSharedIdTest, AnObjectReplacedUnderItsIdIsStillTheLevelsAndEndsWithIt ) {
	ToolGloRecord holder = Object( HOLDER, 0.0f );
	holder.descriptors = { { TOOL_CLASS_WAYPOINT_GROUP, GroupBytes( 1.0f ) },
						   { TOOL_CLASS_WAYPOINT_GROUP, GroupBytes( 2.0f ) } };
	ToolResourceRecord firstGroup = Record( TOOL_CLASS_WAYPOINT_GROUP, GroupBytes( 1.0f ) );
	ToolResourceRecord secondGroup = Record( TOOL_CLASS_WAYPOINT_GROUP, GroupBytes( 2.0f ) );

	struct Row {
		const char*							name;
		std::vector<ToolResourceRecord>		records;
		// What the id gives after the load, and what the level's walks reach.
		std::function<void()>				check;
	};
	const Row rows[] = {
		{ "one of each kind, no id shared", { firstGroup, ObjectRecord( Object( LATENT, 1.0f ) ), ObjectRecord( Object( LIVE, 1.0f ) ) }, [] {} },
		{ "two waypoint groups", { firstGroup, secondGroup }, [] { EXPECT_EQ( GroupValue(), 2.0f ); } },
		// The object's instances are made after its whole descriptor list
		// has loaded, by a walk over the list that meets the first group.
		{ "two waypoint groups in one object's descriptors", { ObjectRecord( holder ) },
		  [] { EXPECT_EQ( GroupValue(), 2.0f ); } },
		{ "two latent templates", { ObjectRecord( Object( LATENT, 1.0f ) ), ObjectRecord( Object( LATENT, 2.0f ) ) },
		  [] {
			  const DTMap<u32, _EFLatant>::Node* const node = gpoGameLogicMgr->GetLatentMap().Find( LATENT );
			  ASSERT_NE( node, nullptr );
			  EXPECT_EQ( node->mValue.mpoGlo->oPosition.x, 2.0f );
			  EXPECT_EQ( gpoGameLogicMgr->GetLatentMap().GetCount(), 1u );
		  } },
		{ "two live objects",
		  { ObjectRecord( Object( LIVE, 1.0f, EF_LF_PAUSE_MESSAGE ) ), ObjectRecord( Object( LIVE, 2.0f, EF_LF_PAUSE_MESSAGE ) ) },
		  [] {
			  const EFGameObject* const found = gpoWorldMgr->FindGameObject( LIVE );
			  ASSERT_NE( found, nullptr );
			  ASSERT_NE( found->GetFrame(), nullptr );
			  EXPECT_EQ( found->GetFrame()->moFrame.modelling.pos.x, 2.0f );
			  u32 listed = 0;
			  for ( EFGameObject* object = gpoWorldMgr->GetFirstGameObject(); object != nullptr;
					object = EFWorld::GetNextGameObject( object ) ) {
				  object->moLogicInstance.mpfnLogicMessage = &RecordPause;
				  listed++;
			  }
			  EXPECT_EQ( listed, 2u );
			  gPauseCount = 0;
			  gpoWorldMgr->Pause( true );
			  gpoWorldMgr->Pause( false );
			  const std::vector<u32> heard( gPauseParameters, gPauseParameters + gPauseCount );
			  EXPECT_EQ( heard, ( std::vector<u32>{ 1, 1, 0, 0 } ) );
		  } },
		// Disabled, the displaced object is on no walk's usual list, yet
		// still the world's: it hears the pause and ends with the level.
		{ "two live objects, the displaced one disabled",
		  { ObjectRecord( Object( LIVE, 1.0f, EF_LF_PAUSE_MESSAGE ) ), ObjectRecord( Object( LIVE, 2.0f, EF_LF_PAUSE_MESSAGE ) ) },
		  [] {
			  EFGameObject* displaced = nullptr;
			  for ( EFGameObject* object = gpoWorldMgr->GetFirstGameObject(); object != nullptr;
					object = EFWorld::GetNextGameObject( object ) ) {
				  object->moLogicInstance.mpfnLogicMessage = &RecordPause;
				  if ( gpoWorldMgr->FindGameObject( LIVE ) != object ) {
					  displaced = object;
				  }
			  }
			  ASSERT_NE( displaced, nullptr );
			  gpoWorldMgr->SetGameObjectEnabled( displaced, false );
			  gPauseCount = 0;
			  gpoWorldMgr->Pause( true );
			  gpoWorldMgr->Pause( false );
			  const std::vector<u32> heard( gPauseParameters, gPauseParameters + gPauseCount );
			  EXPECT_EQ( heard, ( std::vector<u32>{ 1, 1, 0, 0 } ) );
		  } },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		ASSERT_EQ( LoadLevel( row.records ), 0 );
		EndLevel();
		const u64 before = LiveBlocks();
		ASSERT_EQ( LoadLevel( row.records ), 0 );
		row.check();
		EndLevel();
		EXPECT_EQ( LiveBlocks(), before );
	}
}

} // namespace
