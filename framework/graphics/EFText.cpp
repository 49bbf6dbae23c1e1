#include "framework/graphics/EFText.h"

#include "datatypes/base/DTByteOrder.h"
#include "datatypes/registry/DTDynamicInstanciator.h"
#include "framework/graphics/hud/EFHudMgr.h"

DT_IMPLEMENT_DYNAMIC_CLASS( EFText, "EF_TEXTS", EF_TEXT_CLASS_ID, IT_OBJECT );

namespace {

// Texts are read from this language's tables.
constexpr u32 TEXT_LANGUAGE = 0;

}

s32 EFText::GetClassID() const {
	return EF_TEXT_CLASS_ID;
}

const char * EFText::GetClassName() const {
	return "EF_TEXTS";
}

s32 EFText::LoadFromStream( DTBasePersistStream & stream ) {
	const s32 result = DTTextsDescriptor::LoadFromStream( stream );
	if ( result != 0 ) {
		return result;
	}
	if ( gpoHudMgr != nullptr ) {
		gpoHudMgr->SetTextTable( this );
	}
	return result;
}

bool EFText::IsOwnedElsewhere() const {
	return gpoHudMgr != nullptr && gpoHudMgr->GetTextTable() == this;
}

const u8 * EFText::GetText( const u32 index ) const {
	if ( index >= mui32NbTextes ) {
		return nullptr;
	}
	const u8 * const entries = GetTextIndex( TEXT_LANGUAGE );
	const u8 * const texts = GetTexts( TEXT_LANGUAGE );
	if ( entries == nullptr || texts == nullptr ) {
		return nullptr;
	}
	const u64 entryEnd = static_cast<u64>( index ) * DT_TEXTS_INDEX_ENTRY_BYTES + DT_TEXTS_INDEX_ENTRY_BYTES;
	if ( entryEnd > GetTextIndexBytes( TEXT_LANGUAGE ) ) {
		return nullptr;
	}
	const u32 offset = DTReadBE32( entries + index * DT_TEXTS_INDEX_ENTRY_BYTES );
	if ( offset >= GetTextsBytes( TEXT_LANGUAGE ) ) {
		return nullptr;
	}
	return texts + offset;
}
