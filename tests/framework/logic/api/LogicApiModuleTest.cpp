/*
	A module built from C reaches the tables through the root table it is
	given: it calls standard-library, maths and registration slots.
*/
#include "framework/logic/LogicTestSupport.h"
#include "framework/logic/LogicWorldFixture.h"

#include "datatypes/persist/DTMemoryPersistStream.h"
#include "framework/logic/EFCustomLibBank.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/EFLogicCode.h"
#include "tools/lib/logic/ToolLogicRecordWriter.h"

#include "framework/logic/modules/tablesreport.h"

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr u32 TABLES_CODE	= 0x78;
constexpr u32 OBJECT_A		= 0x2a000001;

class LogicApiModuleTest : public LogicWorldFixture {};

TEST_F( LogicApiModuleTest, AModuleCallsTheStandardLibraryMathsAndRegistrationSlots ) {
	ToolBigEndianWriter out;
	ASSERT_TRUE( ToolLogicRecordWriter::Write( out, { TABLES_CODE, "TABLES", ReadFileBytes( HostModulePath( "TABLES" ) ),
													 false } ) );
	std::vector<u8> record = out.Take();
	EFLogicCode* const code = new EFLogicCode;
	DTMemoryPersistStream stream( reinterpret_cast<char*>( record.data() ), static_cast<s32>( record.size() ) );
	ASSERT_EQ( code->Load( stream ), 0 );
	ASSERT_EQ( manager->GetLogicCode( TABLES_CODE ), code );
	AddObject( OBJECT_A, nullptr )->moLogicInstance.mpLogicCode = code;
	manager->Update( 0.02f );

	TablesReport report = {};
	ASSERT_EQ( manager->SendLogicMessageTo( OBJECT_A, 1, 0, &report, nullptr ), 1 );
	EXPECT_EQ( report.clamped, static_cast<s32>( 0x80000000u ) );
	EXPECT_EQ( report.clampedDigits, 11 );
	EXPECT_EQ( report.minusOne, 0xFFFFFFFFu );
	EXPECT_EQ( report.absMinimum, static_cast<s32>( 0x80000000u ) );
	EXPECT_EQ( report.quotient, -3 );
	EXPECT_EQ( report.remainder, 1 );
	EXPECT_EQ( report.length, 5.0f );
	EXPECT_EQ( report.cross.x, 8.0f );
	EXPECT_EQ( report.cross.y, -6.0f );
	EXPECT_EQ( report.cross.z, 0.0f );
	EXPECT_EQ( report.squareRoot, std::sqrt( 2.0f ) );
	ASSERT_NE( report.block, nullptr );
	EXPECT_EQ( EFCustomLibBank::GetLib( TABLES_BLOCK_NAME ), report.block );
	EXPECT_EQ( *static_cast<u32*>( report.block ), TABLES_BLOCK_MARK );
	EFCustomLibBank::Destroy();
}

}
