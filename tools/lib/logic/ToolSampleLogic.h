/*
===============================================================================

	The sample level's logic.

	The records of the sample level's resource file: the library module,
	the object module and one game object whose logic is the object
	module. The modules are the host images the build makes from the C
	sources under tools/logic/sample; they come first so that the game
	object finds its module when it loads.

===============================================================================
*/
#ifndef TOOL_SAMPLE_LOGIC_H
#define TOOL_SAMPLE_LOGIC_H

#include "tools/lib/level/ToolResourceFileWriter.h"

#include <string>
#include <vector>

// Code ids and object names of the sample modules, and the sample object's id.
constexpr u32 TOOL_SAMPLE_OBJECT_CODE_ID	= 0x00000100;
constexpr u32 TOOL_SAMPLE_LIBRARY_CODE_ID	= 0x00000200;
constexpr const char* TOOL_SAMPLE_OBJECT_NAME	= "SAMPLEOBJ";
constexpr const char* TOOL_SAMPLE_LIBRARY_NAME	= "SAMPLELIB";
constexpr u32 TOOL_SAMPLE_GAME_OBJECT_ID	= 0x2A000001;
// Class id of a stored game object.
constexpr s32 TOOL_CLASS_GAME_OBJECT		= 32;

// A host (x86-64) module named name whose three entries only return: the
// stand-in for the sample modules where their code does not matter.
std::vector<u8>	ToolReturningHostModule( const std::string& name );

// The resource file's records.
bool	ToolMakeSampleLogicLevel( const std::vector<u8>& objectModule, const std::vector<u8>& libraryModule,
								  ToolResourceFile& file, std::string& error );

#endif
