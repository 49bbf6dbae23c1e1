#include "datatypes/streamable/DTGlo.h"

#include "datatypes/persist/DTBasePersistStream.h"
#include "datatypes/property/DTVariant.h"

DTGlo::DTGlo( void * owner )
	: mui32GloID( DT_GLO_NO_ID ), mui32EnabledBitPos( DT_GLO_NO_ID ), muiGameObjectFlags( 0 ), muiShadowsFlags( 0 ),
	  mpOwner( owner ), oPosition{ 0.0f, 0.0f, 0.0f }, oLookAt{ 0.0f, 0.0f, 1.0f }, oLookUp{ 0.0f, 1.0f, 0.0f },
	  oLookRight{ 1.0f, 0.0f, 0.0f } {
	ReserveMembers( DT_GLO_MEMBER_COUNT );
	RegisterMember( DTVariant( &mui32GloID ), "GLO_FILE_ID" );
	RegisterMember( DTVariant( &mui32EnabledBitPos ), "GLO_ENABLE_BIT_POS" );
	RegisterMember( DTVariant( &oPosition ), "POS" );
	RegisterMember( DTVariant( &oLookAt ), "LOOK_AT" );
	RegisterMember( DTVariant( &oLookUp ), "LOOK_UP" );
	RegisterMember( DTVariant( &oLookRight ), "LOOK_RIGHT" );
	RegisterMember( DTVariant( &muiGameObjectFlags ), "OBJECT_FLAGS" );
	RegisterMember( DTVariant( &muiShadowsFlags ), "SHADOWS_FLAGS" );
	RegisterMember( DTVariant( static_cast<DTStreamable *>( &moDescriptorsList ) ), "OBJECT_DESCRIPTORS" );
	RegisterMember( DTVariant( moMagicData.GetSizeField() ), "MAGIC_SIZE" );
	RegisterMember( DTVariant( static_cast<DTStreamable *>( &moMagicData ) ), "MAGIC_DATA" );
}

DTGlo::~DTGlo() {
}

s32 DTGlo::SaveToStream( DTBasePersistStream & ) {
	return DT_PERSIST_OK;
}

s32 DTGlo::SavePropertiesText( DTBasePersistStream & ) {
	return DT_PERSIST_OK;
}

s32 DTGlo::SavePropertiesBinary( DTBasePersistStream & ) {
	return DT_PERSIST_OK;
}
