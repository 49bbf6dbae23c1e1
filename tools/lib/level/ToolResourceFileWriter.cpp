#include "tools/lib/level/ToolResourceFileWriter.h"

#include "tools/lib/ToolBigEndianWriter.h"
#include "tools/lib/ToolFile.h"

std::vector<u8> ToolResourceFileWriter::Encode( const ToolResourceFile& file ) {
	ToolBigEndianWriter out;
	out.WriteU32( file.leadingWord );
	out.WriteU32( static_cast<u32>( file.records.size() ) );
	for ( const ToolResourceRecord& record : file.records ) {
		out.WriteU32( record.firstWord );
		out.WriteU32( static_cast<u32>( record.object.size() ) );
		out.WriteU32( record.thirdWord );
		out.WriteS32( record.classId );
	}
	for ( const ToolResourceRecord& record : file.records ) {
		out.WriteBytes( record.object );
	}
	return out.Take();
}

bool ToolResourceFileWriter::WriteToDisc( const ToolResourceFile& file, const std::filesystem::path& discFolder,
										  const std::string& name, std::string& error ) {
	return ToolWriteFile( discFolder / name, Encode( file ), error );
}

size_t ToolResourceFileWriter::ObjectsOffset( const ToolResourceFile& file ) {
	return RecordOffset( file.records.size() );
}
