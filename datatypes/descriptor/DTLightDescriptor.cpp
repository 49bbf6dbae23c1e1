#include "datatypes/descriptor/DTLightDescriptor.h"

#include "datatypes/property/DTVariant.h"

DTLightDescriptor::DTLightDescriptor()
	: miLightType( 0 ), moColor{ 0.0f, 0.0f, 0.0f, 0.0f }, mui32Flags( 0 ), mfRadius( 0.0f ), mfConeAngle( 0.0f ), moPosition{ 0.0f, 0.0f, 0.0f }, moLookAt{ 0.0f, 0.0f, 0.0f }, moLookUp{ 0.0f, 0.0f, 0.0f }, moLookRight{ 0.0f, 0.0f, 0.0f } {
	ReserveMembers( 9 );
	RegisterMember( DTVariant( &miLightType ), "LIGHT_TYPE" );
	RegisterMember( DTVariant( &moColor ), "COLOR" );
	RegisterMember( DTVariant( &mui32Flags ), "FLAGS" );
	RegisterMember( DTVariant( &mfRadius ), "RADIUS" );
	RegisterMember( DTVariant( &mfConeAngle ), "CONE_ANGLE" );
	RegisterMember( DTVariant( &moPosition ), "LIGHT_POS" );
	RegisterMember( DTVariant( &moLookAt ), "LIGHT_AT" );
	RegisterMember( DTVariant( &moLookUp ), "LIGHT_UP" );
	RegisterMember( DTVariant( &moLookRight ), "LIGHT_RIGHT" );
}

DTLightDescriptor::~DTLightDescriptor() {
}
