#include "datatypes/descriptor/DTFontsPalDescriptor.h"

#include "datatypes/persist/DTBasePersistStream.h"
#include "datatypes/streamable/DTDataBlock.h"
#include "datatypes/property/DTVariant.h"

DTFontsPalDescriptor::DTFontsPalDescriptor()
	: mui32NbColors( 0 ), mpColorTable( nullptr ), muiColorTableBytes( 0 ) {
	ReserveMembers( 1 );
	RegisterMember( DTVariant( &mui32NbColors ), "NB_COLORS" );
}

DTFontsPalDescriptor::~DTFontsPalDescriptor() {
	FreeTable();
}

void DTFontsPalDescriptor::FreeTable() {
	delete[] mpColorTable;
	mpColorTable = nullptr;
	muiColorTableBytes = 0;
}

s32 DTFontsPalDescriptor::LoadFromStream( DTBasePersistStream & stream ) {
	s32 result = DTBaseInstanceDescriptor::LoadFromStream( stream );
	FreeTable();
	if ( mui32NbColors != 0 ) {
		const u64 bytes = static_cast<u64>( mui32NbColors ) * DT_FONTS_PAL_COLOR_BYTES;
		result += DTDataBlock::LoadNew( stream, "COLOR_TABLE", bytes, mpColorTable );
		muiColorTableBytes = mpColorTable != nullptr ? static_cast<u32>( bytes ) : 0;
	}
	return result;
}
