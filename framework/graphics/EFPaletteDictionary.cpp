#include "framework/graphics/EFPaletteDictionary.h"

#include "datatypes/containers/DTString.h"
#include "datatypes/registry/DTDynamicInstanciator.h"
#include "framework/graphics/EFPaletteMgr.h"

s32 EFPaletteDictionary_trigger = DTDynamicInstanciator::GetInstance().RegisterDynamicClass(
	&EFPaletteDictionary::Instanciate, "EF_PALETTE_DICTIONARY", EF_PALETTE_DICTIONARY_CLASS_ID, IT_OBJECT );

EFPaletteDictionary::EFPaletteDictionary() {
	goPaletteMgr.SetPaletteDictionary( this );
}

EFPaletteDictionary::~EFPaletteDictionary() {
	if ( goPaletteMgr.GetPaletteDictionary() == this ) {
		goPaletteMgr.ReleasePaletteDictionary();
	}
}

bool EFPaletteDictionary::IsOwnedElsewhere() const {
	return goPaletteMgr.GetPaletteDictionary() == this;
}

void * EFPaletteDictionary::Instanciate() {
	return new EFPaletteDictionary();
}

s32 EFPaletteDictionary::GetClassID() const {
	return EF_PALETTE_DICTIONARY_CLASS_ID;
}

const char * EFPaletteDictionary::GetClassName() const {
	return "EF_PALETTE_DICTIONARY";
}

s32 EFPaletteDictionary::LoadFromStream( DTBasePersistStream & stream ) {
	const s32 result = DTPaletteDictionnaryDescriptor::LoadFromStream( stream );
	goPaletteMgr.SetPaletteDictionary( this );
	return result;
}

const u8 * EFPaletteDictionary::GetPalette( const char * name, const unsigned long state, const u32 entries ) const {
	if ( name == nullptr || state >= mui32NbStates || GetPaletteBuffer() == nullptr ) {
		return nullptr;
	}
	for ( u32 i = 0; i < GetEntryCount(); i++ ) {
		const _sEntry * const entry = GetEntry( i );
		if ( entry == nullptr || DTstricmp( entry->moName.GetStr(), name ) != 0 ) {
			continue;
		}
		if ( entry->mpOffsets == nullptr ) {
			return nullptr;
		}
		const s64 offset = entry->mpOffsets[state];
		if ( offset < 0 || offset + static_cast<s64>( entries ) * 4 > GetPaletteBufferBytes() ) {
			return nullptr;
		}
		return GetPaletteBuffer() + offset;
	}
	return nullptr;
}
