#include "tools/lib/level/ToolGenericDataWriter.h"

void ToolGenericDataWriter::WriteRecord( ToolBigEndianWriter& out, const ToolGenericRecord& record,
										 const std::span<const u8> data ) {
	out.WriteU32( record.uid );
	out.WriteU32( record.unused );
	WriteDataFile( out, record, data );
}

void ToolGenericDataWriter::WriteDataFile( ToolBigEndianWriter& out, const ToolGenericRecord& record,
										   const std::span<const u8> data ) {
	out.WriteU32( record.managerId );
	out.WriteU32( record.dataId );
	out.WriteBytes( data );
}
