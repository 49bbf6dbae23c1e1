#include "LoaderTestBench.h"

#include "datatypes/file/DTFile.h"
#include "datatypes/memory/DTMemHeap.h"
#include "datatypes/memory/MMMemory.h"
#include "framework/core/level/EFLoadingMgr.h"
#include "tools/lib/level/ToolGenericDataWriter.h"
#include "tools/lib/level/ToolMalformedData.h"

namespace {

constexpr s32 CLASS_TEXTURE_DICTIONARY = 34;
constexpr s32 CLASS_UNKNOWN = 200;
constexpr u32 NOTHING_READING_MGR_ID = 3;

// A generic-data manager that reads none of the data it is handed.
class NothingReadingMgr : public EFLoadingMgr {
public:
	NothingReadingMgr() : EFLoadingMgr( NOTHING_READING_MGR_ID ) {}
	s32 LoadData( u32, u32, DTBasePersistStream& ) override {
		calls++;
		return 0;
	}
	u32 calls = 0;
};

ToolResourceRecord GenericRecord( const std::vector<u8>& data ) {
	ToolGenericRecord record;
	record.managerId = NOTHING_READING_MGR_ID;
	ToolBigEndianWriter out;
	ToolGenericDataWriter::WriteRecord( out, record, data );
	return Record( TOOL_CLASS_GENERIC_DATA, out.Take() );
}

ToolResourceRecord ContainerRecord() {
	ToolBigEndianWriter out;
	ToolLevelWriter::WriteContainer( out, {} );
	return Record( TOOL_CLASS_CONTAINER, out.Take() );
}

class EFRessourcesMgrRecordsTest : public LoaderTestBench {
protected:
	// After any load: nothing open, the working heap current, not loading.
	void ExpectCleanExit() {
		EXPECT_EQ( DTNbrFileInUse(), 0u );
		EXPECT_EQ( MMGetActualHeap(), MM_GLOBAL_HEAP );
		EXPECT_EQ( gpoRessourcesMgr->IsLoading(), 0 );
	}
};

TEST_F( EFRessourcesMgrRecordsTest, LoadsRecordsByClassAndSkipsOrFailsWhatTheFileCannotHold ) {
	MakeController();
	NothingReadingMgr manager;
	const ToolResourceRecord memoryRecord = Record( CLASS_TEXTURE_DICTIONARY, { 1, 2, 3, 4, 5, 6 } );
	ToolResourceRecord shortSize = WaypointRecord( 2 );
	shortSize.object.resize( 8 );	// the group reads past the size the table gives

	struct Row {
		const char*						name;
		std::vector<ToolResourceRecord>	records;
		// Damage: the word at this offset of the encoded file (0 = none) and
		// a cut (0 = none).
		size_t							patchOffset;
		u32								patchValue;
		size_t							cutFromEnd;
		s32								result;
		std::vector<u32>				loadedGroups;
		std::vector<u32>				missingGroups;
		u32								dictionaryLoads;
		const char*						message;
	};
	const Row rows[] = {
		{ "unknown class between two good records", { WaypointRecord( 1 ), Record( CLASS_UNKNOWN, { 9, 9, 9 } ), WaypointRecord( 2 ) },
		  0, 0, 0, 0, { 1, 2 }, {}, 0, "CLASS 200 NOT REGISTERED" },
		{ "generic data its manager does not read", { GenericRecord( { 7, 7, 7, 7, 7 } ), WaypointRecord( 3 ) },
		  0, 0, 0, 0, { 3 }, {}, 0, "REST SKIPPED" },
		{ "memory record, then a file record", { memoryRecord, WaypointRecord( 4 ) }, 0, 0, 0, 0, { 4 }, {}, 1, "" },
		{ "level ending with generic data", { WaypointRecord( 5 ), GenericRecord( { 1 } ) }, 0, 0, 0, 0, { 5 }, {}, 0, "" },
		{ "level ending with a container", { WaypointRecord( 6 ), ContainerRecord() }, 0, 0, 0, 0, { 6 }, {}, 0, "" },
		{ "record reading past its size", { WaypointRecord( 7 ), shortSize, WaypointRecord( 8 ) },
		  0, 0, 0, DT_PERSIST_READ_PAST_END, { 7 }, { 8 }, 0, "PAST ITS" },
		{ "memory record no heap can hold", { memoryRecord, WaypointRecord( 9 ) },
		  ToolResourceFileWriter::RecordOffset( 0 ) + 4, 0x7FFFFFF0, 0, DT_PERSIST_READ_PAST_END, {}, { 9 }, 0, "NO MEMORY" },
		{ "file cut inside a memory record", { WaypointRecord( 10 ), memoryRecord },
		  0, 0, 2, DT_PERSIST_READ_PAST_END, { 10 }, {}, 0, "CUT SHORT" },
		{ "file cut inside a file record", { WaypointRecord( 11 ), WaypointRecord( 12 ) },
		  0, 0, 2, DT_PERSIST_READ_PAST_END, { 11 }, {}, 0, "PAST THE END OF THE FILE" },
		{ "unknown record larger than the file", { Record( CLASS_UNKNOWN, { 1 } ), WaypointRecord( 13 ) },
		  ToolResourceFileWriter::RecordOffset( 0 ) + 4, 0x10000, 0, DT_PERSIST_READ_PAST_END, {}, { 13 }, 0, "" },
		{ "count larger than the table", { WaypointRecord( 14 ) },
		  ToolResourceFileWriter::CountOffset(), 0x40000000, 0, DT_PERSIST_READ_PAST_END, {}, { 14 }, 0, "TABLE OF CONTENTS" },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		ToolResourceFile file;
		file.records = row.records;
		std::vector<u8> image = ToolResourceFileWriter::Encode( file );
		if ( row.patchOffset != 0 ) {
			image = ToolMalformedData::ReplaceU32( image, row.patchOffset, row.patchValue );
		}
		if ( row.cutFromEnd != 0 ) {
			image = ToolMalformedData::TruncateAt( image, image.size() - row.cutFromEnd );
		}
		WriteLevelFile( Gen(), "LEVEL.GCR", image );
		EFTextureDict::ResetBinaryLoadCount();
		Output();
		EXPECT_EQ( Reload(), row.result );
		const std::string text = Output();
		ExpectCleanExit();
		for ( const u32 uid : row.loadedGroups ) {
			EXPECT_TRUE( GroupLoaded( uid ) ) << uid;
		}
		for ( const u32 uid : row.missingGroups ) {
			EXPECT_EQ( DTWpGrpMgr::moWpGrpMgr.GetWaypointGrp( uid ), nullptr ) << uid;
		}
		EXPECT_EQ( EFTextureDict::GetBinaryLoadCount(), row.dictionaryLoads );
		EXPECT_NE( text.find( row.message ), std::string::npos ) << text;
	}
	EXPECT_EQ( manager.calls, 2u );
}

TEST_F( EFRessourcesMgrRecordsTest, OpensOnlyResourceFilesFromGenAndUpperCasesTheNamesInPlace ) {
	std::strcpy( context.szLevelPath, "testlvl" );
	MakeController();
	ToolResourceFile file;
	file.records = { WaypointRecord( 21 ) };
	const std::vector<u8> image = ToolResourceFileWriter::Encode( file );
	for ( const char* name : { "LEVEL.GCR", "LEVEL.GHR", "LEVEL.BIN", "OTHER.GCR" } ) {
		WriteLevelFile( Gen(), name, image );
	}
	WriteLevelFile( Language(), "FRONLY.GCR", image );

	struct Row {
		const char*	name;
		s32			result;
		const char*	held;
		const char*	message;
	};
	// Rows run in order on one manager: a name without extension takes the
	// last one given.
	const Row rows[] = {
		{ "level.gcr", 0, "LEVEL.GCR", "" },
		{ "OTHER", 0, "OTHER.GCR", "" },
		{ "LEVEL.GHR", 0, "LEVEL.GHR", "" },
		{ "LEVEL.BIN", DT_PERSIST_OPEN_FAILED, "LEVEL.BIN", "NOT A RESOURCE FILE" },
		{ "MISSING.GCR", DT_PERSIST_OPEN_FAILED, "MISSING.GCR", "File not found == LEVEL\\TESTLVL\\GEN\\MISSING.GCR!!!!" },
		{ "FRONLY.GCR", DT_PERSIST_OPEN_FAILED, "FRONLY.GCR", "File not found" },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		gpoRessourcesMgr->SetResFilename( row.name );
		Output();
		EXPECT_EQ( Reload(), row.result );
		EXPECT_NE( Output().find( row.message ), std::string::npos );
		EXPECT_STREQ( gpoRessourcesMgr->GetResFilename(), row.held );
		EXPECT_EQ( GroupLoaded( 21 ), row.result == 0 );
		EXPECT_EQ( DTNbrFileInUse(), 0u );
	}
	EXPECT_STREQ( gpoEngineController->GetLevelPath(), "TESTLVL" );
	// The start-up load's result never reaches the controller.
	EXPECT_EQ( gpoRessourcesMgr->Initialize(), 1u );
}

TEST_F( EFRessourcesMgrRecordsTest, TenFailingLoadsInARowLeaveFilesOpenable ) {
	MakeController();
	ToolResourceFile file;
	file.records = { WaypointRecord( 31 ), WaypointRecord( 32 ) };
	std::vector<u8> image = ToolResourceFileWriter::Encode( file );
	WriteLevelFile( Gen(), "LEVEL.GCR", ToolMalformedData::TruncateAt( image, image.size() - 1 ) );
	for ( u32 i = 0; i < 10; i++ ) {
		EXPECT_EQ( Reload(), DT_PERSIST_READ_PAST_END ) << i;
		ExpectCleanExit();
	}
	WriteLevelFile( Gen(), "LEVEL.GCR", image );
	EXPECT_EQ( Reload(), 0 );
	EXPECT_TRUE( GroupLoaded( 32 ) );
}

TEST_F( EFRessourcesMgrRecordsTest, TwentyLevelChangesLeaveNoFileOpenAndTheGlobalHeapNoLarger ) {
	MakeController();
	NothingReadingMgr manager;
	ToolResourceFile file;
	file.records = { WaypointRecord( 41 ), Record( CLASS_TEXTURE_DICTIONARY, { 1, 2 } ), GenericRecord( { 1, 2, 3 } ),
					 ContainerRecord() };
	WriteLevelFile( Gen(), "LEVEL.GCR", ToolResourceFileWriter::Encode( file ) );
	WriteLevelFile( Language(), ToolTextureDictionaryFile( 0 ), { 0 } );
	WriteBytes( "EXTRA.BIN", { 1, 2, 3, 4 } );

	u32 globalBytes = 0;
	for ( u32 change = 0; change < 20; change++ ) {
		SCOPED_TRACE( change );
		DropLevelObjects();
		gpoRessourcesMgr->RequestExternalFileLoad( "EXTRA.BIN" );
		gpoEngineController->LoadLevel( 0 );
		EXPECT_EQ( DTNbrFileInUse(), 0u );
		EXPECT_TRUE( GroupLoaded( 41 ) );
		EXPECT_EQ( gpoRessourcesMgr->GetExternalFileSize( "EXTRA.BIN" ), 4u );
		const u32 bytes = _MemHeap[MM_GLOBAL_HEAP]->GetBytesInUse();
		if ( change == 0 ) {
			globalBytes = bytes;
		}
		EXPECT_LE( bytes, globalBytes );
	}
	EXPECT_EQ( manager.calls, 20u );
}

}
