#include "datatypes/descriptor/DTPosObjectDescriptor.h"

#include "datatypes/property/DTVariant.h"

DTPosObjectDescriptor::DTPosObjectDescriptor()
	: moPosition{ 0.0f, 0.0f, 0.0f }, moLookAt{ 0.0f, 0.0f, 0.0f }, moLookUp{ 0.0f, 0.0f, 0.0f }, moLookRight{ 0.0f, 0.0f, 0.0f } {
	ReserveMembers( 4 );
	RegisterMember( DTVariant( &moPosition ), "POS" );
	RegisterMember( DTVariant( &moLookAt ), "LOOK_AT" );
	RegisterMember( DTVariant( &moLookUp ), "LOOK_UP" );
	RegisterMember( DTVariant( &moLookRight ), "LOOK_RIGHT" );
}

DTPosObjectDescriptor::~DTPosObjectDescriptor() {
}
