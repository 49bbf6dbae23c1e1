#include "tools/lib/logic/ToolSampleLogic.h"

#include "tools/lib/level/ToolLevelWriter.h"
#include "tools/lib/logic/ToolElfBuilder.h"
#include "tools/lib/logic/ToolLogicRecordWriter.h"

bool ToolMakeSampleLogicLevel( const std::vector<u8>& objectModule, const std::vector<u8>& libraryModule,
							   ToolResourceFile& file, std::string& error ) {
	file = ToolResourceFile();
	const ToolLogicModule modules[] = {
		{ TOOL_SAMPLE_LIBRARY_CODE_ID, TOOL_SAMPLE_LIBRARY_NAME, libraryModule, true },
		{ TOOL_SAMPLE_OBJECT_CODE_ID, TOOL_SAMPLE_OBJECT_NAME, objectModule, false },
	};
	for ( const ToolLogicModule& module : modules ) {
		if ( module.image.empty() ) {
			error = "empty logic module " + module.objectName;
			return false;
		}
		ToolResourceRecord record;
		if ( !ToolLogicRecordWriter::MakeRecord( module, record, error ) ) {
			return false;
		}
		file.records.push_back( std::move( record ) );
	}

	ToolGloRecord object;
	object.uid = TOOL_SAMPLE_GAME_OBJECT_ID;
	object.gloId = TOOL_SAMPLE_OBJECT_CODE_ID;
	ToolBigEndianWriter out;
	ToolLevelWriter::WriteGlo( out, object );
	ToolResourceRecord record;
	record.classId = TOOL_CLASS_GAME_OBJECT;
	record.object = out.Take();
	file.records.push_back( std::move( record ) );
	return true;
}

std::vector<u8> ToolReturningHostModule( const std::string& name ) {
	constexpr u8 RETURN = 0xC3;
	ToolElfBuilder builder( ToolElfMachine::X86_64 );
	builder.text.assign( 48, RETURN );
	builder.symbols = { { name + "Constructor", 0 }, { name + "Destructor", 16 }, { name + "Register", 32 } };
	return builder.Build();
}
