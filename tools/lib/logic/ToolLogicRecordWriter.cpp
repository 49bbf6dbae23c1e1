#include "tools/lib/logic/ToolLogicRecordWriter.h"

bool ToolLogicRecordWriter::Write( ToolBigEndianWriter& out, const ToolLogicModule& module ) {
	ToolBigEndianWriter record;
	record.WriteU32( module.codeId );
	record.WriteU32( 0 );
	if ( !record.WriteString( module.objectName ) ) {
		return false;
	}
	record.WriteBytes( module.image );
	out.WriteBytes( record.Bytes() );
	return true;
}

bool ToolLogicRecordWriter::MakeRecord( const ToolLogicModule& module, ToolResourceRecord& record, std::string& error ) {
	ToolBigEndianWriter out;
	if ( !Write( out, module ) ) {
		error = "logic module name cannot be stored: " + module.objectName;
		return false;
	}
	record = ToolResourceRecord();
	record.classId = module.library ? TOOL_CLASS_LIBRARY_FILE : TOOL_CLASS_LOGIC_CODE;
	record.object = out.Take();
	return true;
}
