#include "datatypes/descriptor/DT3dObjectDescriptor.h"

#include "datatypes/property/DTVariant.h"

DT3dObjectDescriptor::DT3dObjectDescriptor()
	: moScale{ 0.0f, 0.0f, 0.0f }, miInstanceFlag( 0 ) {
	ReserveMembers( 2 );
	RegisterMember( DTVariant( &moScale ), "SCALE" );
	RegisterMember( DTVariant( &miInstanceFlag ), "INSTANCE_FLAG" );
}

DT3dObjectDescriptor::~DT3dObjectDescriptor() {
}
