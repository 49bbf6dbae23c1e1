/*
===============================================================================

	A hand-written sound-event table of one record, and the writer record
	that must give the same bytes: the pin of the .TSE layout shared by
	the table tests and the fuzz target's seeds.

===============================================================================
*/
#ifndef SOUND_TABLE_FIXTURES_H
#define SOUND_TABLE_FIXTURES_H

#include "support/TestHexBytes.h"
#include "tools/lib/audio/ToolSoundTableWriter.h"

// Header, then one record "HIT" with elements 5 and 6.
inline constexpr const char* kOneEventTableHex =
	"00525A51 00004347 0015030D 00000001\n"
	"11111111 22222222 00000002 00000003\n"		// unused, unused, spatial 2, selection 3
	"3F800000 3F800000 41200000 3E800000\n"		// near 1.0, near volume 1.0, far 10.0, far volume 0.25
	"42480000 00000002 00000004 00000001\n"		// cut-off 50.0, 2 elements, group 0x4, 1 instance
	"0100015A 00000010 00000007\n"				// loop, not killable, stop out of range, byte 51; set 0x10, effect 7
	"00000003 484954 00000005 00000006\n";		// "HIT", elements

inline ToolSoundEventRecord OneEventTableRecord() {
	ToolSoundEventRecord r;
	r.unused0 = 0x11111111;
	r.unused4 = 0x22222222;
	r.spatialMode = 2;
	r.selectionMode = 3;
	r.nearDistance = 1.0f;
	r.nearVolume = 1.0f;
	r.farDistance = 10.0f;
	r.farVolume = 0.25f;
	r.cutOffDistance = 50.0f;
	r.groupMask = 0x4;
	r.instances = 1;
	r.loop = 1;
	r.killable = 0;
	r.stopOutOfRange = 1;
	r.unused51 = 0x5A;
	r.setMask = 0x10;
	r.dspEffect = 7;
	r.name = "HIT";
	r.elements = { 5, 6 };
	return r;
}

#endif
