/*
===============================================================================

	Writer of level resource files.

	A resource file is a table of contents followed by its objects: a
	leading word, a u32 record count, then one 16-byte record per object
	(first word, the object's byte size, third word, class id), then the
	objects' stored bytes in record order. The writer computes each
	record's size from the object bytes it is given. All words are
	big-endian.

===============================================================================
*/
#ifndef TOOL_RESOURCE_FILE_WRITER_H
#define TOOL_RESOURCE_FILE_WRITER_H

#include "datatypes/base/DTTypes.h"

#include <filesystem>
#include <string>
#include <vector>

// Bytes of the table's head and of one record.
constexpr size_t TOOL_RESOURCE_HEAD_BYTES	= 8;
constexpr size_t TOOL_RESOURCE_RECORD_BYTES	= 16;

struct ToolResourceRecord {
	u32						firstWord = 0;
	u32						thirdWord = 0;
	s32						classId = 0;
	std::vector<u8>			object;
};

struct ToolResourceFile {
	u32						leadingWord = 0;
	std::vector<ToolResourceRecord>	records;
};

class ToolResourceFileWriter {
public:
	// The whole file image.
	static std::vector<u8>	Encode( const ToolResourceFile& file );

	// Writes the image to name under the disc folder; false with a message
	// in error when it cannot.
	static bool				WriteToDisc( const ToolResourceFile& file, const std::filesystem::path& discFolder,
										 const std::string& name, std::string& error );

	// Offset of the record count, of record index's words and of the first
	// object's bytes in an encoded image.
	static size_t			CountOffset() { return 4; }
	static size_t			RecordOffset( size_t index ) { return TOOL_RESOURCE_HEAD_BYTES + index * TOOL_RESOURCE_RECORD_BYTES; }
	static size_t			ObjectsOffset( const ToolResourceFile& file );
};

#endif
