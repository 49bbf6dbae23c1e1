#include "LogicTestSupport.h"

#include "datatypes/registry/DTDynamicInstanciator.h"
#include "datatypes/file/DTFile.h"
#include "datatypes/persist/DTMemoryPersistStream.h"
#include "datatypes/streamfile/DTStreamFAT.h"
#include "datatypes/persist/PersistTestDisc.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/EFLogicCodeLib.h"
#include "platform/host/HostExecutableMemory.h"
#include "tools/lib/level/ToolResourceFileWriter.h"
#include "tools/lib/logic/ToolLogicRecordWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// The module the test's root table serves, as the logic stack would say.
EFLogicCodeBC* gRunning = nullptr;
LogicMessageFunction gMessage = nullptr;
s32 gInitialState = -1;

void TestSetExternalFunction( s32 index, LogicFunction function ) {
	gRunning->SetFunction( static_cast<u32>( index ), function );
}
void TestGetGlobalData( void** variable, s32 size ) {
	gRunning->InitGlobalData( variable, size, 0 );
}
void TestSetMessageFunction( LogicMessageFunction function ) {
	gMessage = function;
}
void TestSetInitialState( s32 state ) {
	gInitialState = state;
}

_api_cons TestApi() {
	_api_cons api = {};
	api.SetExternalFunction = TestSetExternalFunction;
	api.GetGlobalData = TestGetGlobalData;
	api.SetMessageFunction = TestSetMessageFunction;
	api.SetInitialState = TestSetInitialState;
	return api;
}

std::vector<u8> Record( const u32 id, const std::string& name, const std::vector<u8>& image ) {
	ToolBigEndianWriter out;
	EXPECT_TRUE( ToolLogicRecordWriter::Write( out, { id, name, image, false } ) );
	return out.Take();
}

// Loads a record the way the level loader does: from a memory stream over
// a copy of the record's bytes, through the object's Load.
s32 LoadRecord( EFLogicCodeBC& code, const std::vector<u8>& record ) {
	std::vector<char> copy( record.begin(), record.end() );
	DTMemoryPersistStream stream( copy.data(), static_cast<s32>( copy.size() ) );
	return code.Load( stream );
}

class EFLogicCodeTest : public ::testing::Test {
protected:
	void SetUp() override {
		manager = std::make_unique<EFGameLogicMgr>();
		gpoGameLogicMgr = manager.get();
		saved = APIcons;
		blocksBefore = HostExecutableBlockCount();
	}
	void TearDown() override {
		manager->Terminate();
		gpoGameLogicMgr = nullptr;
		manager.reset();
		APIcons = saved;
		gRunning = nullptr;
		EXPECT_EQ( HostExecutableBlockCount(), blocksBefore );
	}

	std::unique_ptr<EFGameLogicMgr>	manager;
	_api_cons						saved;
	u32								blocksBefore = 0;
};

} // namespace

TEST_F( EFLogicCodeTest, HostModuleRunsItsConstructorAndRegisteredFunctions ) {
	EFLogicCode* code = new EFLogicCode;
	ASSERT_EQ( LoadRecord( *code, Record( 0x42, "FEATURE", ReadFileBytes( HostModulePath( "FEATURE" ) ) ) ), 0 );
	EXPECT_EQ( manager->GetLogicCode( 0x42 ), code );
	EXPECT_EQ( code->GetID(), 0x42u );
	EXPECT_EQ( HostExecutableBlockCount(), blocksBefore + 1 );
	ASSERT_NE( code->GetConstructor(), nullptr );
	ASSERT_NE( code->GetDestructor(), nullptr );
	EXPECT_EQ( code->GetRegisterLib(), nullptr );
	ASSERT_EQ( code->GetNullSymbolsCount(), 1u );
	EXPECT_STREQ( code->GetNullSymbol( 0 ), "memcpy" );

	_api_cons api = TestApi();
	gRunning = code;
	code->PreConstructor();
	code->GetConstructor()( &api, 1 );
	EXPECT_EQ( gInitialState, 0 );
	EXPECT_EQ( code->GetFunctionCount(), 30 );
	ASSERT_NE( code->GetGlobalData(), nullptr );
	EXPECT_EQ( code->GetGlobalDataSize(), 64u );
	ASSERT_NE( EFLogicCodeBC::GetGlobalDataPos( 0 ), nullptr );
	EXPECT_EQ( *EFLogicCodeBC::GetGlobalDataPos( 0 ), code->GetGlobalData() );

	// Static data.
	EXPECT_EQ( code->GetFunction( 0 )( nullptr ), 6 );
	EXPECT_EQ( code->GetFunction( 0 )( nullptr ), 7 );
	// Float constants.
	f32 value = 2.0f;
	EXPECT_EQ( code->GetFunction( 1 )( &value ), 0 );
	EXPECT_EQ( value, 4.0f );
	// A switch table and a lookup table.
	const s32 classified[] = { 10, 23, 37, 41, 59, 61, 73, 89, -1 };
	for ( s32 i = 0; i < 9; i++ ) {
		s32 input = i;
		EXPECT_EQ( code->GetFunction( 2 )( &input ), classified[i] ) << i;
		u32 index = static_cast<u32>( i );
		EXPECT_EQ( code->GetFunction( 3 )( &index ), 11 * ( ( i & 7 ) + 1 ) ) << i;
	}
	// A struct copy through the engine's memcpy.
	std::vector<u32> big( 4096, 0xFFFFFFFF );
	EXPECT_EQ( code->GetFunction( 4 )( big.data() ), 1 );
	EXPECT_EQ( big[0], 1u );
	EXPECT_EQ( big[7], 8u );
	EXPECT_EQ( big[8], 0u );
	EXPECT_EQ( big[4095], 1u );
	EXPECT_EQ( code->GetFunction( 5 )( nullptr ), 1 );
	ASSERT_NE( gMessage, nullptr );
	EXPECT_EQ( gMessage( 0x10000001, 5, nullptr ), 0x10000006 );
	code->GetDestructor()( 0 );
	EXPECT_EQ( code->GetFunction( 5 )( nullptr ), 0 );
}

TEST_F( EFLogicCodeTest, RefusedImagesLeaveNoBlockEntryNameOrMapEntry ) {
	const std::vector<u8> feature = ReadFileBytes( HostModulePath( "FEATURE" ) );
	std::vector<u8> truncated( feature.begin(), feature.begin() + feature.size() / 2 );
	const std::string longName( 3000, 'L' );
	struct Row {
		const char*		name;
		std::vector<u8>	record;
		const char*		printed;
	};
	std::vector<u8> longNameRecord = Record( 1, "FEATURE", feature );
	{
		// A name longer than the reader's buffer: its tail stays in the stream.
		ToolBigEndianWriter out;
		out.WriteU32( 1 );
		out.WriteU32( 0 );
		out.WriteU32( static_cast<u32>( longName.size() + 1 ) );
		out.WriteBytes( std::vector<u8>( longName.begin(), longName.end() ) );
		out.WriteU8( 0 );
		out.WriteBytes( feature );
		longNameRecord = out.Take();
	}
	const Row rows[] = {
		{ "NeedsMemset", Record( 1, "NEEDSMEMSET", ReadFileBytes( HostModulePath( "NEEDSMEMSET" ) ) ), "memset" },
		{ "PowerPCImage", Record( 1, "SWITCHES", ReadFileBytes( std::string( ENGINE_PPC_FIXTURES_COMMITTED ) + "/SWITCHES.o" ) ),
		  "PowerPC" },
		{ "TruncatedImage", Record( 1, "FEATURE", truncated ), "FEATURE" },
		{ "NoImage", Record( 1, "FEATURE", {} ), "FEATURE" },
		{ "NameLongerThanTheBuffer", longNameRecord, "REFUSED" },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		EFLogicCode code;
		testing::internal::CaptureStdout();
		EXPECT_EQ( LoadRecord( code, row.record ), EF_LOGIC_LINK_FAILED );
		EXPECT_NE( testing::internal::GetCapturedStdout().find( row.printed ), std::string::npos );
		EXPECT_EQ( HostExecutableBlockCount(), blocksBefore );
		EXPECT_EQ( code.GetTextPtr(), nullptr );
		EXPECT_EQ( code.GetConstructor(), nullptr );
		EXPECT_EQ( code.GetNullSymbolsCount(), 0u );
		EXPECT_EQ( manager->GetLogicCode( 1 ), nullptr );
	}
}

TEST_F( EFLogicCodeTest, RecordNamesAreTakenAsStoredAndTerminated ) {
	const std::vector<u8> feature = ReadFileBytes( HostModulePath( "FEATURE" ) );
	struct Row {
		const char*	stored;
		u32			length;		// bytes stored, without an added zero
		const char*	objectName;
		bool		hasEntries;
	};
	const Row rows[] = {
		{ "FEATURE", 8, "FEATURE", true },
		{ "FEATURE", 7, "FEATURE", true },
		{ "LOGIC\\FEATURE.ELF", 18, "LOGIC\\FEATURE.ELF", false },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.objectName );
		ToolBigEndianWriter out;
		out.WriteU32( 7 );
		out.WriteU32( 0 );
		out.WriteU32( row.length );
		out.WriteBytes( std::vector<u8>( row.stored, row.stored + row.length ) );
		out.WriteBytes( feature );
		auto* code = new EFLogicCode;
		ASSERT_EQ( LoadRecord( *code, out.Take() ), 0 );
		EXPECT_STREQ( code->GetObjectName(), row.objectName );
		EXPECT_EQ( code->GetConstructor() != nullptr, row.hasEntries );
		manager->GetCodeMap().DeleteAll();
	}
}

TEST_F( EFLogicCodeTest, LibraryRecordCallsItsRegisterEntryWithTheRootTable ) {
	APIcons = TestApi();
	auto* library = new EFLogicCodeLib;
	gRunning = library;
	ToolResourceRecord record;
	std::string error;
	ASSERT_TRUE( ToolLogicRecordWriter::MakeRecord( { 0x69, "TESTLIB", ReadFileBytes( HostModulePath( "TESTLIB" ) ), true },
													record, error ) );
	EXPECT_EQ( record.classId, EF_LOGIC_CODE_LIB_CLASS_ID );
	ASSERT_EQ( LoadRecord( *library, record.object ), 0 );
	ASSERT_NE( library->GetFunction( 7 ), nullptr );
	EXPECT_EQ( library->GetFunction( 7 )( nullptr ), 1 );

	// A library without a register entry stays loaded, with a warning.
	auto* plain = new EFLogicCodeLib;
	testing::internal::CaptureStdout();
	ASSERT_EQ( LoadRecord( *plain, Record( 0x70, "FEATURE", ReadFileBytes( HostModulePath( "FEATURE" ) ) ) ), 0 );
	EXPECT_NE( testing::internal::GetCapturedStdout().find( "WARNING" ), std::string::npos );
	EXPECT_EQ( manager->GetLogicCode( 0x70 ), plain );
}

TEST_F( EFLogicCodeTest, LevelResourceFileRecordsLoadThroughTheClassRegistry ) {
	ToolResourceFile file;
	const ToolLogicModule modules[] = {
		{ 0x200, "TESTLIB", ReadFileBytes( HostModulePath( "TESTLIB" ) ), true },
		{ 0x100, "FEATURE", ReadFileBytes( HostModulePath( "FEATURE" ) ), false },
	};
	for ( const ToolLogicModule& module : modules ) {
		ToolResourceRecord record;
		std::string error;
		ASSERT_TRUE( ToolLogicRecordWriter::MakeRecord( module, record, error ) );
		file.records.push_back( record );
	}
	APIcons = TestApi();
	std::vector<u8> bytes = ToolResourceFileWriter::Encode( file );
	std::vector<char> copy( bytes.begin(), bytes.end() );
	DTMemoryPersistStream stream( copy.data(), static_cast<s32>( copy.size() ) );
	DTStreamFAT table;
	ASSERT_EQ( table.LoadFromStream( stream ), 0 );
	size_t offset = ToolResourceFileWriter::ObjectsOffset( file );
	for ( const ToolResourceRecord& record : file.records ) {
		auto* object = static_cast<DTStreamable*>(
			DTDynamicInstanciator::GetInstance().CreateInstance( record.classId, IT_OBJECT ) );
		ASSERT_NE( object, nullptr );
		gRunning = static_cast<EFLogicCodeBC*>( object );
		DTMemoryPersistStream recordStream( copy.data() + offset, static_cast<s32>( record.object.size() ) );
		EXPECT_EQ( object->Load( recordStream ), 0 );
		offset += record.object.size();
	}
	ASSERT_NE( manager->GetLogicCode( 0x100 ), nullptr );
	ASSERT_NE( manager->GetLogicCode( 0x200 ), nullptr );
	EXPECT_EQ( manager->GetLogicCode( 0x100 )->GetClassID(), EF_LOGIC_CODE_CLASS_ID );
	EXPECT_EQ( manager->GetLogicCode( 0x200 )->GetClassID(), EF_LOGIC_CODE_LIB_CLASS_ID );
	EXPECT_NE( manager->GetLogicCode( 0x100 )->GetConstructor(), nullptr );
}

TEST_F( EFLogicCodeTest, FreeUnmapsTheCodeAndKeepsTheRegisterEntryAndSharedSize ) {
	APIcons = TestApi();
	// The map keeps the module and deletes it at the end.
	auto* owned = new EFLogicCodeLib;
	EFLogicCodeLib& library = *owned;
	gRunning = owned;
	ASSERT_EQ( LoadRecord( library, Record( 3, "TESTLIB", ReadFileBytes( HostModulePath( "TESTLIB" ) ) ) ), 0 );
	s32 dummy = 0;
	void* variable = nullptr;
	library.InitGlobalData( &variable, 24, 0 );
	library.SetLocalDataPos( reinterpret_cast<void**>( &dummy ) );
	library.AddRef();
	EXPECT_EQ( HostExecutableBlockCount(), blocksBefore + 1 );
	const LogicRegisterFn entry = library.GetRegisterLib();
	library.Free();
	EXPECT_EQ( HostExecutableBlockCount(), blocksBefore );
	EXPECT_EQ( library.GetTextPtr(), nullptr );
	EXPECT_EQ( library.GetID(), 0u );
	EXPECT_EQ( library.GetFunctionCount(), 0 );
	EXPECT_EQ( library.GetFunction( 7 ), nullptr );
	EXPECT_EQ( library.GetLocalDataPos( 0 ), nullptr );
	EXPECT_EQ( library.GetGlobalData(), nullptr );
	EXPECT_EQ( library.GetRefCount(), 0u );
	EXPECT_EQ( library.GetObjectName(), nullptr );
	EXPECT_EQ( library.GetRegisterLib(), entry );
	EXPECT_EQ( library.GetGlobalDataSize(), 24u );
	EXPECT_EQ( library.GetFunctionName( 0 ), nullptr );
}

class EFLogicCodeFileTest : public PersistTestDisc {};

TEST_F( EFLogicCodeFileTest, TextRecordLinksTheNamedFileAndClosesItOnEveryPath ) {
	EFGameLogicMgr manager;
	gpoGameLogicMgr = &manager;
	const std::vector<u8> feature = ReadFileBytes( HostModulePath( "FEATURE" ) );
	std::filesystem::create_directories( root / "disc" / "LOGIC" );
	std::ofstream( root / "disc" / "LOGIC" / "FEATURE.ELF", std::ios::binary )
		.write( reinterpret_cast<const char*>( feature.data() ), static_cast<std::streamsize>( feature.size() ) );
	std::ofstream( root / "disc" / "LOGIC" / "BROKEN.ELF", std::ios::binary ) << "not a module";
	struct Row {
		const char*	path;
		s32			result;
		const char*	objectName;
	};
	const Row rows[] = {
		{ "LOGIC\\FEATURE.ELF", 0, "FEATURE" },
		{ "LOGIC\\MISSING.ELF", EF_LOGIC_LINK_FAILED, "MISSING" },
		{ "LOGIC\\BROKEN.ELF", EF_LOGIC_LINK_FAILED_TEXT, "BROKEN" },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.path );
		const u32 open = DTNbrFileInUse();
		auto code = std::make_unique<EFLogicCode>();
		ToolBigEndianWriter out;
		out.WriteU32( 9 );
		out.WriteU32( 0 );
		ASSERT_TRUE( out.WriteString( row.path ) );
		std::vector<char> copy( out.Bytes().begin(), out.Bytes().end() );
		DTMemoryPersistStream stream( copy.data(), static_cast<s32>( copy.size() ) );
		char word[DT_STREAMABLE_WORD_MAX] = "BEGIN";
		testing::internal::CaptureStdout();
		EXPECT_EQ( code->LoadPropertiesText( word, stream ), row.result );
		testing::internal::GetCapturedStdout();
		EXPECT_EQ( DTNbrFileInUse(), open );
		EXPECT_STREQ( code->GetFileName(), row.path );
		EXPECT_STREQ( code->GetObjectName(), row.objectName );
		if ( row.result == 0 ) {
			EXPECT_NE( code->GetConstructor(), nullptr );
			EXPECT_EQ( manager.GetLogicCode( 9 ), code.get() );
			code.release();
		}
	}
	manager.Terminate();
	gpoGameLogicMgr = nullptr;
}
