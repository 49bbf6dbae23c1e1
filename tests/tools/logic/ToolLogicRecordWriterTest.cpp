#include "tools/lib/logic/ToolLogicRecordWriter.h"
#include "tools/lib/logic/ToolSampleLogic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST( ToolLogicRecordWriter, WritesIdZeroWordCountedNameAndImage ) {
	ToolBigEndianWriter out;
	ASSERT_TRUE( ToolLogicRecordWriter::Write( out, { 0x01020304, "AB", { 0x7F, 0x45 }, false } ) );
	const std::vector<u8> expected = { 0x01, 0x02, 0x03, 0x04, 0, 0, 0, 0, 0, 0, 0, 3, 'A', 'B', 0, 0x7F, 0x45 };
	EXPECT_EQ( out.Bytes(), expected );
}

TEST( ToolLogicRecordWriter, RecordsTakeTheirModulesClassAndRefuseUnreadableNames ) {
	struct Row {
		bool		library;
		std::string	name;
		bool		accepted;
		s32			classId;
	};
	const Row rows[] = {
		{ false, "PLAYER", true, TOOL_CLASS_LOGIC_CODE },
		{ true, "TUNING", true, TOOL_CLASS_LIBRARY_FILE },
		{ false, std::string( 2047, 'N' ), true, TOOL_CLASS_LOGIC_CODE },
		{ false, std::string( 2048, 'N' ), false, 0 },
		{ false, std::string( "A\0B", 3 ), false, 0 },
	};
	for ( const Row& row : rows ) {
		ToolResourceRecord record;
		std::string error;
		EXPECT_EQ( ToolLogicRecordWriter::MakeRecord( { 1, row.name, { 1 }, row.library }, record, error ), row.accepted )
			<< row.name.size();
		EXPECT_EQ( record.classId, row.classId );
		EXPECT_EQ( error.empty(), row.accepted );
	}
}

TEST( ToolSampleLogic, PutsTheModulesBeforeTheGameObjectThatNamesTheObjectModule ) {
	ToolResourceFile file;
	std::string error;
	ASSERT_TRUE( ToolMakeSampleLogicLevel( { 1, 2 }, { 3 }, file, error ) );
	ASSERT_EQ( file.records.size(), 3u );
	EXPECT_EQ( file.records[0].classId, TOOL_CLASS_LIBRARY_FILE );
	EXPECT_EQ( file.records[1].classId, TOOL_CLASS_LOGIC_CODE );
	EXPECT_EQ( file.records[2].classId, TOOL_CLASS_GAME_OBJECT );
	// The game object's UID, then the code id of its logic.
	const std::vector<u8>& object = file.records[2].object;
	ASSERT_GE( object.size(), 8u );
	EXPECT_EQ( std::vector<u8>( object.begin() + 4, object.begin() + 8 ), std::vector<u8>( { 0, 0, 1, 0 } ) );
	EXPECT_FALSE( ToolMakeSampleLogicLevel( {}, { 3 }, file, error ) );
}
