/*
===============================================================================

	One record of a stream file's table of contents: four 32-bit words, of
	which the loader uses the byte size of the record's stored object and
	its class id. The first and third words are kept as stored and never
	interpreted.

	Stored form: 16 bytes, four big-endian words in member order.

===============================================================================
*/
#ifndef DT_FAT_RECORD_H
#define DT_FAT_RECORD_H

#include "datatypes/base/DTTypes.h"

// Bytes of one stored record.
constexpr u32 DT_FAT_RECORD_BYTES	= 16;

class DTFatRecord {
public:
	// {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0}.
							DTFatRecord();

	// Decodes the 16 stored bytes at bytes.
	void					Decode( const u8 * bytes );

	u32						mui32FirstWord;
	// Bytes of the record's stored object.
	u32						mui32ObjectSize;
	u32						mui32ThirdWord;
	s32						miClassID;
};

#endif
