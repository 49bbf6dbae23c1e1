#include "framework/core/engine/EFCoreTestBench.h"

#include "datatypes/persist/DTBasePersistStream.h"
#include "datatypes/registry/DTDynamicInstanciator.h"
#include "datatypes/persist/DTMemoryPersistStream.h"
#include "framework/core/level/EFGenericDataLoader.h"
#include "framework/core/level/EFLoadingMgr.h"
#include "framework/core/spline/EFSplineMgr.h"
#include "tools/lib/level/ToolGenericDataWriter.h"

#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace {

// A data manager that records what reaches it and reads one u32 of data.
class RecordingMgr : public EFLoadingMgr {
public:
	struct Call {
		u32		managerId;
		u32		dataId;
		u32		firstWord;
	};

	explicit RecordingMgr( const u32 id ) : EFLoadingMgr( id ) {}

	s32 LoadData( const u32 managerId, const u32 dataId, DTBasePersistStream& stream ) override {
		u32 word = 0;
		stream.LoadData( word );
		calls.push_back( { managerId, dataId, word } );
		// Whatever the manager answers, the record reports success.
		return -5;
	}

	std::vector<Call>	calls;
};

// A stream that answers u32 reads from a list and text reads with a
// fixed text that it does not terminate, as a stored string without its
// zero would.
class ScriptedStream : public DTBasePersistStream {
public:
	std::deque<u32>		words;
	std::string			text;
	s32					lastTextMax = 0;

	s32 LoadData( u32& value ) override {
		if ( words.empty() ) {
			return DT_PERSIST_READ_PAST_END;
		}
		value = words.front();
		words.pop_front();
		return DT_PERSIST_OK;
	}
	s32 LoadTextData( char* buffer, const s32 max ) override {
		lastTextMax = max;
		const size_t count = text.size() < static_cast<size_t>( max ) ? text.size() : static_cast<size_t>( max );
		std::memcpy( buffer, text.data(), count );
		return DT_PERSIST_OK;
	}
	s32 LoadData( char& ) override { return DT_PERSIST_READ_PAST_END; }
	s32 LoadData( s8& ) override { return DT_PERSIST_READ_PAST_END; }
	s32 LoadData( s16& ) override { return DT_PERSIST_READ_PAST_END; }
	s32 LoadData( s32& ) override { return DT_PERSIST_READ_PAST_END; }
	s32 LoadData( s64& ) override { return DT_PERSIST_READ_PAST_END; }
	s32 LoadData( u8& ) override { return DT_PERSIST_READ_PAST_END; }
	s32 LoadData( u16& ) override { return DT_PERSIST_READ_PAST_END; }
	s32 LoadData( f32& ) override { return DT_PERSIST_READ_PAST_END; }
	s32 SaveData( const char& ) override { return 0; }
	s32 SaveData( const s8& ) override { return 0; }
	s32 SaveData( const s16& ) override { return 0; }
	s32 SaveData( const s32& ) override { return 0; }
	s32 SaveData( const s64& ) override { return 0; }
	s32 SaveData( const u8& ) override { return 0; }
	s32 SaveData( const u16& ) override { return 0; }
	s32 SaveData( const u32& ) override { return 0; }
	s32 SaveData( const f32& ) override { return 0; }
	s32 SaveTextData( const char* ) override { return 0; }
};

std::vector<u8> Record( const u32 managerId, const u32 dataId, const std::vector<u8>& data ) {
	ToolBigEndianWriter out;
	ToolGenericRecord record;
	record.managerId = managerId;
	record.dataId = dataId;
	ToolGenericDataWriter::WriteRecord( out, record, data );
	return out.Bytes();
}

const std::vector<u8> gPayload = { 0xAA, 0xBB, 0xCC, 0xDD };

class EFGenericDataLoaderTest : public EFCoreTestBench {};

TEST_F( EFGenericDataLoaderTest, ABinaryRecordReachesTheNamedManagerRightAfterItsFourWords ) {
	struct Row {
		const char*		name;
		std::vector<u8>	bytes;
		u32				calls;
		s32				positionAfter;
	};
	std::vector<u8> truncated = Record( 1, 2, {} );
	truncated.resize( 14 );
	const Row rows[] = {
		{ "manager 1", Record( 1, 0x77, gPayload ), 1, 20 },
		{ "manager 5 is outside the table", Record( 5, 0x77, gPayload ), 0, 16 },
		{ "manager 3 holds no manager", Record( 3, 0x77, gPayload ), 0, 16 },
		{ "manager id all ones", Record( 0xFFFFFFFF, 0x77, gPayload ), 0, 16 },
		{ "truncated in the data id", truncated, 0, 14 },
	};
	RecordingMgr splines( EF_SPLINE_MGR_ID );
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		splines.calls.clear();
		std::vector<u8> bytes = row.bytes;
		DTMemoryPersistStream stream( reinterpret_cast<char*>( bytes.data() ), static_cast<s32>( bytes.size() ) );
		EFGenericDataLoader loader;
		EXPECT_EQ( loader.Load( stream ), 0 );
		EXPECT_EQ( stream.GetPosition(), row.positionAfter );
		ASSERT_EQ( splines.calls.size(), row.calls );
		if ( row.calls == 1 ) {
			EXPECT_EQ( splines.calls[0].managerId, 1u );
			EXPECT_EQ( splines.calls[0].dataId, 0x77u );
			EXPECT_EQ( splines.calls[0].firstWord, 0xAABBCCDDu );
		}
	}
}

TEST_F( EFGenericDataLoaderTest, ATextRecordReadsIdsAndDataFromTheFileItNames ) {
	ToolBigEndianWriter file;
	ToolGenericRecord record;
	record.managerId = 1;
	record.dataId = 9;
	ToolGenericDataWriter::WriteDataFile( file, record, gPayload );
	WriteDiscText( "SPLINES.BIN", std::string( file.Bytes().begin(), file.Bytes().end() ) );
	struct Row {
		const char*		name;
		std::string		fileName;
		u32				calls;
	};
	const Row rows[] = {
		{ "present file", "SPLINES.BIN", 1 },
		{ "missing file", "NOWHERE.BIN", 0 },
		// A name without its zero that fills the whole buffer.
		{ "unterminated name", std::string( 3000, 'N' ), 0 },
	};
	RecordingMgr splines( EF_SPLINE_MGR_ID );
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		splines.calls.clear();
		ScriptedStream stream;
		stream.words = { 0xFFFFFFFF, 0 };
		stream.text = row.fileName;
		EFGenericDataLoader loader;
		char word[DT_STREAMABLE_WORD_MAX] = "BEGIN";
		EXPECT_EQ( loader.LoadPropertiesText( word, stream ), 0 );
		EXPECT_EQ( stream.lastTextMax, EF_GENERIC_DATA_NAME_MAX );
		ASSERT_EQ( splines.calls.size(), row.calls );
		if ( row.calls == 1 ) {
			EXPECT_EQ( splines.calls[0].dataId, 9u );
			EXPECT_EQ( splines.calls[0].firstWord, 0xAABBCCDDu );
		}
	}
	// Every disc file the records opened is closed again.
	for ( const DTFileHandle_& handle : gFileHandleArray ) {
		EXPECT_EQ( handle.mui32InUse, 0u );
	}
}

TEST_F( EFGenericDataLoaderTest, IsRegisteredAsALoaderThatTheLevelLoaderDestroys ) {
	std::unique_ptr<DTStreamable> object( static_cast<DTStreamable*>(
		DTDynamicInstanciator::GetInstance().CreateInstance( EF_GENERIC_DATA_LOADER_CLASS_ID, IT_OBJECT ) ) );
	ASSERT_NE( object, nullptr );
	EXPECT_TRUE( object->IsLoader() );
	EXPECT_STREQ( object->GetClassName(), "EF_GENERIC_FILE" );
}

TEST_F( EFGenericDataLoaderTest, AManagerLeavesItsSlotWhenDestroyed ) {
	struct Row {
		u32		id;
		bool	entered;
	};
	const Row rows[] = { { 0, true }, { 4, true }, { 5, false }, { 0xFFFFFFFF, false } };
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.id );
		{
			RecordingMgr manager( row.id );
			EXPECT_EQ( EFLoadingMgr::GetManager( row.id ), row.entered ? &manager : nullptr );
			EXPECT_EQ( manager.LoadFromFile( "ANY" ), 0 );
		}
		EXPECT_EQ( EFLoadingMgr::GetManager( row.id ), nullptr );
	}
	// The spline manager is the manager of id 1; data too short for its
	// head leaves it without splines and still gives 0.
	EFSplineMgr splines;
	EXPECT_EQ( EFLoadingMgr::GetManager( EF_SPLINE_MGR_ID ), &splines );
	std::vector<u8> bytes = gPayload;
	DTMemoryPersistStream stream( reinterpret_cast<char*>( bytes.data() ), static_cast<s32>( bytes.size() ) );
	EXPECT_EQ( splines.LoadData( 1, 0, stream ), 0 );
	EXPECT_EQ( splines.GetNbSplines(), 0u );
}

}
