#include "datatypes/descriptor/DTSoundDescriptor.h"

#include "datatypes/property/DTVariant.h"

DTSoundDescriptor::DTSoundDescriptor()
	: miIndex( 0 ) {
	ReserveMembers( 1 );
	RegisterMember( DTVariant( &miIndex ), "INDEX" );
}

DTSoundDescriptor::~DTSoundDescriptor() {
}
