/*
===============================================================================

	Writer of generic data records: the record that hands data to one of
	the engine's generic-data managers by manager id.

	Binary form: two u32 the engine does not use, the manager id, the data
	id, then the manager's own data. The file that the text form names
	holds the manager id, the data id and the data.

===============================================================================
*/
#ifndef TOOL_GENERIC_DATA_WRITER_H
#define TOOL_GENERIC_DATA_WRITER_H

#include "datatypes/base/DTTypes.h"
#include "tools/lib/ToolBigEndianWriter.h"

#include <span>

constexpr s32 TOOL_CLASS_GENERIC_DATA = 72;

struct ToolGenericRecord {
	u32							uid = 0xFFFFFFFF;
	u32							unused = 0;
	u32							managerId = 0;
	u32							dataId = 0;
};

class ToolGenericDataWriter {
public:
	// The record followed by the manager's data.
	static void				WriteRecord( ToolBigEndianWriter& out, const ToolGenericRecord& record,
										 std::span<const u8> data );
	// The contents of the file a text record names.
	static void				WriteDataFile( ToolBigEndianWriter& out, const ToolGenericRecord& record,
										   std::span<const u8> data );
};

#endif
