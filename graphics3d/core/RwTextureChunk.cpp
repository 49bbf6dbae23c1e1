#include "graphics3d/core/RwTextureChunk.h"

#include "graphics3d/core/RwStream.h"
#include "graphics3d/core/RwStreamData.h"
#include "graphics3d/core/RwTextureRead.h"

#include "datatypes/base/DTByteOrder.h"

// Filter modes that sample mip levels.
static const u32 FIRST_MIPMAPPED_FILTER	= 3;
static const u32 LAST_MIPMAPPED_FILTER	= 6;
static const u32 ADDRESSING_U_SHIFT		= 8;
static const u32 ADDRESSING_V_SHIFT		= 12;
static const u32 STORED_WORD_BYTES		= 4;
static const u32 FILTER_ADDRESSING_MASK	= 0xFFFF;

namespace {

// The switches as they were before the read.
struct SavedSwitches {
	bool	mipmapping;
	bool	automatic;

	void	Restore() const {
		RwTextureSetMipmapping( mipmapping );
		RwTextureSetAutoMipmapping( automatic );
	}
};

bool ReadStoredWord( RwStream* stream, u32* word ) {
	u32 length = 0;
	if ( !RwStreamFindChunk( stream, rwID_STRUCT, &length, nullptr ) ) {
		return false;
	}
	u8 bytes[STORED_WORD_BYTES] = { 0, 0, 0, 0 };
	const u32 kept = length < STORED_WORD_BYTES ? length : STORED_WORD_BYTES;
	if ( RwStreamRead( stream, bytes, kept ) != kept ) {
		return false;
	}
	if ( length > kept && RwStreamSkip( stream, length - kept ) == nullptr ) {
		return false;
	}
	*word = DTReadLE32( bytes );
	return true;
}

}	// namespace

RwTexture* RwTextureStreamRead( RwStream* stream ) {
	u32 word = 0;
	if ( !ReadStoredWord( stream, &word ) ) {
		return nullptr;
	}
	if ( ( word & rwTEXTUREADDRESSINGVMASK ) == 0 ) {
		word |= ( ( word & rwTEXTUREADDRESSINGUMASK ) >> ADDRESSING_U_SHIFT ) << ADDRESSING_V_SHIFT;
	}
	const SavedSwitches saved = { RwTextureGetMipmapping(), RwTextureGetAutoMipmapping() };
	const u32 filter = word & rwTEXTUREFILTERMODEMASK;
	if ( filter >= FIRST_MIPMAPPED_FILTER && filter <= LAST_MIPMAPPED_FILTER ) {
		RwTextureSetMipmapping( true );
		RwTextureSetAutoMipmapping( ( word & RWTEXTURE_CHUNK_NO_AUTOMIPMAP ) == 0 );
	} else {
		RwTextureSetMipmapping( false );
		RwTextureSetAutoMipmapping( false );
	}

	char name[RWSTRING_BUFFER_BYTES];
	char maskName[RWSTRING_BUFFER_BYTES];
	if ( _rwStringStreamFindAndRead( name, stream ) == nullptr || _rwStringStreamFindAndRead( maskName, stream ) == nullptr ) {
		saved.Restore();
		return nullptr;
	}
	RwTexture* const texture = RwTextureRead( name, maskName );
	if ( texture == nullptr ) {
		_rwPluginRegistrySkipDataChunks( &textureTKList, stream );
		saved.Restore();
		return nullptr;
	}
	if ( texture->refCount == 1 ) {
		texture->filterAddressing = word & FILTER_ADDRESSING_MASK;
	}
	saved.Restore();
	if ( _rwPluginRegistryReadDataChunks( &textureTKList, stream, texture ) == nullptr ) {
		// The reference this read took must not outlive the failure.
		RwTextureDestroy( texture );
		return nullptr;
	}
	return texture;
}
