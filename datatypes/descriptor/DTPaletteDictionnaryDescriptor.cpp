#include "datatypes/descriptor/DTPaletteDictionnaryDescriptor.h"

#include "datatypes/persist/DTBasePersistStream.h"
#include "datatypes/streamable/DTDataBlock.h"
#include "datatypes/property/DTProperty.h"
#include "datatypes/property/DTVariant.h"

#include <new>

namespace {

// Least stored bytes of one entry: the name's length word, the character
// and the offsets' count; in the text form three items of one character.
constexpr u64 ENTRY_MIN			= 9;
constexpr u64 TEXT_ENTRY_MIN	= 3;

} // namespace

DTPaletteDictionnaryDescriptor::DTPaletteDictionnaryDescriptor()
	: mui32PalBufSize( 0 ), mui32NbStates( 0 ), mui32NbTextures( 0 ), mpPaletteBuffer( nullptr ), muiPaletteBufferBytes( 0 ),
	  mpEntries( nullptr ), muiEntryCount( 0 ) {
	ReserveMembers( 3 );
	RegisterMember( DTVariant( &mui32PalBufSize ), "PAL_BUF_SIZE" );
	RegisterMember( DTVariant( &mui32NbStates ), "NB_STATES" );
	RegisterMember( DTVariant( &mui32NbTextures ), "NB_TEXTURES" );
}

DTPaletteDictionnaryDescriptor::~DTPaletteDictionnaryDescriptor() {
	FreeAll();
}

const DTPaletteDictionnaryDescriptor::_sEntry * DTPaletteDictionnaryDescriptor::GetEntry( const u32 index ) const {
	return index < muiEntryCount ? &mpEntries[index] : nullptr;
}

void DTPaletteDictionnaryDescriptor::FreeAll() {
	delete[] mpPaletteBuffer;
	mpPaletteBuffer = nullptr;
	muiPaletteBufferBytes = 0;
	for ( u32 i = 0; i < muiEntryCount; i++ ) {
		delete[] mpEntries[i].mpOffsets;
	}
	delete[] mpEntries;
	mpEntries = nullptr;
	muiEntryCount = 0;
}

bool DTPaletteDictionnaryDescriptor::EntriesFit( const DTBasePersistStream & stream ) const {
	const u64 perEntry = stream.IsText() ? TEXT_ENTRY_MIN : ENTRY_MIN;
	if ( static_cast<u64>( mui32NbTextures ) * perEntry > stream.GetBytesLeft() ) {
		return false;
	}
	// Each entry holds its offsets in one allocation, bounded like a block.
	return static_cast<u64>( mui32NbStates ) * sizeof( s32 ) <= DT_VARIANT_EXTRA_MASK;
}

s32 DTPaletteDictionnaryDescriptor::LoadFromStream( DTBasePersistStream & stream ) {
	DTBaseInstanceDescriptor::LoadFromStream( stream );
	FreeAll();
	DTDataBlock::LoadNew( stream, "PALETTE_BUFFER", mui32PalBufSize, mpPaletteBuffer );
	muiPaletteBufferBytes = mpPaletteBuffer != nullptr ? mui32PalBufSize : 0;
	if ( mui32NbTextures == 0 || !EntriesFit( stream ) ) {
		return DT_PERSIST_OK;
	}
	mpEntries = new ( std::nothrow ) _sEntry[mui32NbTextures];
	if ( mpEntries == nullptr ) {
		return DT_PERSIST_OK;
	}
	muiEntryCount = mui32NbTextures;
	for ( u32 i = 0; i < muiEntryCount; i++ ) {
		LoadEntry( stream, mpEntries[i] );
	}
	return DT_PERSIST_OK;
}

void DTPaletteDictionnaryDescriptor::LoadEntry( DTBasePersistStream & stream, _sEntry & entry ) {
	char name[DT_PALETTE_NAME_MAX + 1] = {};
	if ( stream.LoadTextData( name, sizeof( name ) ) == DT_PERSIST_OK ) {
		entry.moName = name;
	}
	char separator = 0;
	stream.LoadData( separator );

	DTVector<s32> offsets;
	DTProperty array( "OFFSETS", DTVariant( &offsets ), false, 0 );
	array.LoadFromStream( stream );

	if ( mui32NbStates == 0 ) {
		return;
	}
	entry.mpOffsets = new ( std::nothrow ) s32[mui32NbStates]();
	if ( entry.mpOffsets == nullptr ) {
		return;
	}
	// Fewer stored offsets than states leave the last states at 0.
	const u32 stored = offsets.GetSize() < mui32NbStates ? offsets.GetSize() : mui32NbStates;
	for ( u32 i = 0; i < stored; i++ ) {
		entry.mpOffsets[i] = offsets[i];
	}
}
