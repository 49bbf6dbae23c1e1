/*
===============================================================================

	Sound of the sample level: an audio-environment record naming three
	banks, and their files. Bank 0 ("EFFECTS") and bank 1 ("AMBIENT") are
	sample banks (.SBH and .SBB) with a one-shot and a looping tone; bank
	2 ("MUSIC") is a stream bank (.SBH only) whose one record names a
	looping tone under STREAM\SAMPLE. Each bank has a .TSE and a .TSC
	table with one record playing its first playback.

===============================================================================
*/
#ifndef TOOL_SAMPLE_AUDIO_H
#define TOOL_SAMPLE_AUDIO_H

#include "tools/lib/level/ToolResourceFileWriter.h"

#include <filesystem>
#include <string>
#include <vector>

struct ToolDiscFile;

// The stream file's disc path, as the stream bank names it.
constexpr const char* TOOL_SAMPLE_STREAM_NAME = "STREAM\\SAMPLE\\TONE.DSP";

// Adds the bank files below audioFolder (the level's language AUDIO
// folder) and the stream file, paths relative to the disc's root, and
// returns the audio-environment record; false when it cannot be written.
bool	ToolMakeSampleAudio( const std::filesystem::path& audioFolder, std::vector<ToolDiscFile>& files,
							 ToolResourceRecord& environment, std::string& error );

#endif
