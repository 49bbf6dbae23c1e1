/*
===============================================================================

	Writer of logic-module records.

	A logic module travels in a level resource file as one record: u32
	code id, a u32 the engine does not use (0), the module's object name as
	a stored string (u32 length L counting its zero, then L bytes), then the
	module image itself. The record is of class EF_LOGIC_CODE for an object
	module and EF_LIBRARY_FILE for a library module. The engine finds the
	module's entry points by the object name, so the name must be the
	prefix of its "Constructor", "Destructor" and "Register" symbols.

===============================================================================
*/
#ifndef TOOL_LOGIC_RECORD_WRITER_H
#define TOOL_LOGIC_RECORD_WRITER_H

#include "tools/lib/ToolBigEndianWriter.h"
#include "tools/lib/level/ToolResourceFileWriter.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

constexpr s32 TOOL_CLASS_LOGIC_CODE		= 39;
constexpr s32 TOOL_CLASS_LIBRARY_FILE	= 69;

struct ToolLogicModule {
	u32						codeId = 0;
	std::string				objectName;
	std::vector<u8>			image;
	bool					library = false;
};

class ToolLogicRecordWriter {
public:
	// Appends the record's bytes; false, with nothing written, for a name
	// the engine could not read back whole.
	static bool				Write( ToolBigEndianWriter& out, const ToolLogicModule& module );

	// The module as a resource-file record of its class.
	static bool				MakeRecord( const ToolLogicModule& module, ToolResourceRecord& record, std::string& error );
};

#endif
