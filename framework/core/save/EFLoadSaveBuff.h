/*
===============================================================================

	Save image: the game state (logic block and game buffers) in one block
	with a header and checksums, and the restoration of the engine from one.

	An image is checked whole with VerifyImage before anything of the
	running game is touched. Placeholder body: no image is built, and every
	image is refused, so nothing is ever restored from one.

===============================================================================
*/
#ifndef EF_LOAD_SAVE_BUFF_H
#define EF_LOAD_SAVE_BUFF_H

#include "datatypes/base/DTTypes.h"

// Header fields the engine controller reads.
constexpr u32 EF_SAVE_LEVEL_NAME_OFFSET = 76;
constexpr u32 EF_SAVE_LEVEL_NAME_SIZE   = 64;

class EFLoadSaveBuff {
public:
							EFLoadSaveBuff();
	virtual					~EFLoadSaveBuff() {}

	// A new image (engine allocator, freed by the caller), or null.
	char*					CreateBuffer( const char* title, const char* levelName );
	// 1 when the image is whole and consistent; only then may it be restored.
	u32						VerifyImage( const char* image ) const;
	// Restores the engine from an image: 1 on success, else an error code.
	u32						UpdateEngineData( char* image );

protected:
	u32						mui32GameBufferBytes;
	u32						mui32ImageSize;
};

#endif
