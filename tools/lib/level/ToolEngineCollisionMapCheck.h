/*
===============================================================================

	The engine's load-time check of a collision map, for tools. Only a
	program that links the check's object library (engine_colmapcheck:
	makedisc, colmapcheck) may include this header; the writer library
	itself stays free of engine code and takes the check as a hook
	(ToolCollisionMapWriter::SetImageCheck).

===============================================================================
*/
#ifndef TOOL_ENGINE_COLLISION_MAP_CHECK_H
#define TOOL_ENGINE_COLLISION_MAP_CHECK_H

#include "framework/physics/EFCollisionMapCheck.h"

#include <string>
#include <vector>

// Whether the level loader would accept blob; message names the first
// problem when not.
inline bool ToolEngineCollisionMapCheck( const std::vector<u8>& blob, std::string& message ) {
	if ( blob.size() > 0xFFFFFFF0u ) {
		message = "collision map: larger than 4 GB";
		return false;
	}
	const u32 size = static_cast<u32>( blob.size() );
	std::vector<u32> scratch( EFCollisionMapCheck::GetScratchWords( size ), 0 );
	char line[160] = {};
	if ( EFCollisionMapCheck::Run( blob.data(), size, scratch.data(), line, sizeof( line ) ) ) {
		return true;
	}
	message = line;
	return false;
}

#endif
