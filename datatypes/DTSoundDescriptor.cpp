#include "datatypes/DTSoundDescriptor.h"

#include "datatypes/DTVariant.h"

DTSoundDescriptor::DTSoundDescriptor()
	: miIndex( 0 ) {
	ReserveMembers( 1 );
	RegisterMember( DTVariant( &miIndex ), "INDEX" );
}

DTSoundDescriptor::~DTSoundDescriptor() {
}
